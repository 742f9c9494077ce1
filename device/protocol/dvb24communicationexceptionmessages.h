#pragma once

#include <QObject>
#include <QString>

// The user texts of the protocol's error codes; a class only to give them their translation context.
class DVB24CommunicationExceptionMessages : public QObject
{
    Q_OBJECT
public:
    static QString message(int code);
};
