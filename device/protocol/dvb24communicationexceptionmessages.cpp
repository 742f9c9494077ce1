#include "device/protocol/dvb24communicationexceptionmessages.h"

#include "device/protocol/dvb24communicationexception.h"

QString DVB24CommunicationExceptionMessages::message(int code)
{
    switch (code) {
    case int(DVB24ExceptionTypes::Ok):
        return tr("OK");
    case int(DVB24ExceptionTypes::GeneralError):
        return tr("Genereal Error (STB)");
    case int(DVB24ExceptionTypes::CommandUnknown):
        return tr("Command unknown");
    case int(DVB24ExceptionTypes::NotFound):
        return tr("Not found");
    case int(DVB24ExceptionTypes::Busy):
        return tr("Device is busy now.") + QLatin1Char(' ') + tr("Please try again later.");
    case int(DVB24ExceptionTypes::UserAbort):
        return tr("User Abort");
    case int(DVB24ExceptionTypes::ActionPending):
        return tr("Action pending");
    case int(DVB24ExceptionTypes::EndOfFile):
        return tr("End Of File (STB)");
    case int(DVB24ExceptionTypes::OutOfHandle):
        return tr("Out Of Handle");
    default:
        return tr("Unknown exception");
    }
}
