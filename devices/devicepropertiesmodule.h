#pragma once

#include "device/core/zbdeviceinfo.h"
#include "modules/ombrelaymodule.h"
#include "ui_devicepropertiesmodule.h"

#include <QHostAddress>
#include <QList>

// One receiver's description: its given name and address can be edited and the receiver removed.
// The page changes nothing itself; it hands the checked edit to the main window.
class DevicePropertiesModule : public OmbrelayModule, public Ui::DevicePropertiesModule
{
    Q_OBJECT
public:
    explicit DevicePropertiesModule(QWidget *parent = nullptr);

    ModuleTypes moduleType() const override { return TypeDeviceProperties; }
    void retranslate() override;

    void setKnownAddresses(const QList<QHostAddress> &addresses) { m_knownAddresses = addresses; }
    void setDeviceInfo(const ZBDeviceInfo &info);

signals:
    void goBackRequest(quint32 id);
    void removeDeviceRequest(quint32 id);
    void saveDeviceInfoRequest(ZBDeviceInfo info, bool ipChanged);

public slots:
    void onBtnGoBack();
    void onBtnSave();
    void onBtnRemove();

protected:
    void changeEvent(QEvent *event) override;

private:
    void showError(const QString &text);

    QList<QHostAddress> m_knownAddresses;
    QHostAddress m_oldAddress;
    ZBDeviceInfo m_info;
};
