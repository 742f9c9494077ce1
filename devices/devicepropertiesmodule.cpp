#include "devices/devicepropertiesmodule.h"

#include "base/strictipv4.h"
#include "devices/networkaddresses.h"

#include <QEvent>

DevicePropertiesModule::DevicePropertiesModule(QWidget *parent)
    : OmbrelayModule(parent)
{
    setupUi(this);
    // What a receiver reports (its names above all) is shown as it stands, never as markup.
    for (QLabel *label :
         {lblNativeName, lblShareName, lblSoftwareVersion, lblProtocolVersion, lblMacAddress, lblHardwareVersion})
        label->setTextFormat(Qt::PlainText);
    lblErrorMessage->hide();
    label_3->hide();
    txtPassword->hide();
    cbRememberPassword->hide();
    connect(btnDevPropertiesGoBack, &QAbstractButton::pressed, this, &DevicePropertiesModule::onBtnGoBack);
    connect(btnSave, &QAbstractButton::pressed, this, &DevicePropertiesModule::onBtnSave);
    connect(btnRemoveDevice, &QAbstractButton::pressed, this, &DevicePropertiesModule::onBtnRemove);
    for (QLineEdit *field : {txtGivenName, static_cast<QLineEdit *>(txtIp), txtPassword})
        connect(field, &QLineEdit::returnPressed, this, &DevicePropertiesModule::onBtnSave);
}

void DevicePropertiesModule::retranslate()
{
    retranslateUi(this);
}

void DevicePropertiesModule::changeEvent(QEvent *event)
{
    OmbrelayModule::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        retranslateUi(this);
}

void DevicePropertiesModule::setDeviceInfo(const ZBDeviceInfo &info)
{
    m_info = info;
    // Through the strict parser: a stored padded text never turns octal.
    m_oldAddress = StrictIPv4::toHostAddress(info.ip().toString());
    lblNativeName->setText(info.name());
    lblShareName->setText(info.shareName());
    txtGivenName->setText(info.label());
    lblSoftwareVersion->setText(info.softwareVersion());
    lblProtocolVersion->setText(QString::number(double(info.protocolVersion()), 'f', 1));
    lblMacAddress->setText(info.mac());
    lblHardwareVersion->setText(info.hardwareVersion());
    lblErrorMessage->hide();
    picErrorMessage->hide();
    txtIp->setText(paddedIpText(info.ip()));
    txtIp->setEnabled(!info.name().isEmpty());

    const QList<std::pair<QPair<QWidget *, QWidget *>, bool>> rows = {
        {{lblIp, txtIp}, !info.isUsbManaged()},
        {{lblShareNameLabel, lblShareName}, !info.shareName().isEmpty()},
        {{lblMacAddressLabel, lblMacAddress}, !info.mac().isEmpty()},
        {{lblHardwareVersionLabel, lblHardwareVersion}, !info.hardwareVersion().isEmpty()},
        {{lblSoftwareVersionLabel, lblSoftwareVersion}, !info.softwareVersion().isEmpty()},
        {{lblProtocolVersionLabel, lblProtocolVersion}, info.protocolVersion() != 0.0f}};
    int shown = 0;
    for (const auto &[widgets, visible] : rows) {
        widgets.first->setVisible(visible);
        widgets.second->setVisible(visible);
        shown += visible ? 1 : 0;
    }
    txtPassword->setText(info.password());
    cbRememberPassword->setChecked(info.rememberPassword());

    QRect panel = pnlProperties->geometry();
    panel.setHeight(100 + 20 * shown);
    pnlProperties->setGeometry(panel);
    for (QWidget *button : {static_cast<QWidget *>(btnSave), static_cast<QWidget *>(btnRemoveDevice)})
        button->move(button->x(), 200 + 20 * shown);
}

void DevicePropertiesModule::showError(const QString &text)
{
    lblErrorMessage->setText(text);
    lblErrorMessage->show();
    picErrorMessage->show();
}

void DevicePropertiesModule::onBtnSave()
{
    const bool network = !m_info.isUsbManaged();
    if (network && !isValidHostText(txtIp->text())) {
        showError(tr("Please enter a valid IP address before save."));
        return;
    }
    const QHostAddress address = StrictIPv4::toHostAddress(txtIp->text().trimmed());
    m_info.setGivenName(txtGivenName->text());
    if (network)
        m_info.setIp(address);
    m_info.setRememberPassword(cbRememberPassword->isChecked());
    if (m_info.rememberPassword())
        m_info.setPassword(txtPassword->text());
    const bool ipChanged = network && address != m_oldAddress;
    if (ipChanged && m_knownAddresses.contains(address)) {
        showError(tr("This IP is being used by another device."));
        return;
    }
    emit saveDeviceInfoRequest(m_info, ipChanged);
}

void DevicePropertiesModule::onBtnGoBack()
{
    emit goBackRequest(m_info.id());
}

void DevicePropertiesModule::onBtnRemove()
{
    emit removeDeviceRequest(m_info.id());
}
