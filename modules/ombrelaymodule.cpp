#include "modules/ombrelaymodule.h"

#include "modules/generaluiinterface.h"
#include "widgets/messagebox.h"

OmbrelayModule::OmbrelayModule(QWidget *parent)
    : QWidget(nullptr)
    , m_pageInterface(dynamic_cast<GeneralUiInterface *>(parent))
{}

OmbrelayModule::~OmbrelayModule() = default;

void OmbrelayModule::setCommunicationManager(DeviceCommunicationManager *manager)
{
    m_communicationManager = manager;
}

void OmbrelayModule::appendStatusText(const QString &text)
{
    m_statusText += text;
    if (m_buffering) {
        if (m_pageInterface)
            m_pageInterface->notifyModuleMessage(this);
        return;
    }
    showHeldTexts();
}

void OmbrelayModule::startBuffering()
{
    m_buffering = true;
}

void OmbrelayModule::onShow()
{
    m_buffering = false;
    if (!m_statusText.isEmpty())
        showHeldTexts();
}

void OmbrelayModule::setDeviceInfo(ZBDeviceInfo *info)
{
    m_deviceInfo = info;
}

void OmbrelayModule::clearStatusText()
{
    m_statusText.clear();
}

void OmbrelayModule::onDeviceStateChange(const QString &state)
{
    Q_UNUSED(state)
}

void OmbrelayModule::showHeldTexts()
{
    // Taken out before the box runs: texts reported while the box is open start a new batch instead of
    // being shown twice or wiped unseen.
    const QString text = m_statusText;
    m_statusText.clear();
    MessageBox::critical(this, text);
}

QString OmbrelayModule::moduleTypeName(int type)
{
    switch (type) {
    case TypeTvList:
        return tr("TV Lists");
    case TypeRadioList:
        return tr("Radio Lists");
    case TypeLinkList:
        return tr("Link Lists");
    case TypeMediaExplorer:
        return tr("Media Explorer");
    case TypeDevice:
        return tr("Device Basic Screen");
    case TypeWelcome:
        return tr("Welcome Screen");
    default:
        return QString();
    }
}
