#pragma once

#include "devices/devicediscovery.h"
#include "devices/zbdevicelistmodel.h"
#include "modules/ombrelaymodule.h"
#include "ui_newdevicemodule.h"

class ZBDeviceCollection;

// The add-device page: a search of the network or of a range, one typed address, or a receiver
// managed through a USB drive. What the user confirms goes to the receiver collection.
class NewDeviceModule : public OmbrelayModule, public Ui::NewDeviceModule
{
    Q_OBJECT
public:
    enum Mode { IpMode = 0, SearchMode = 1, UsbMode = 2 };

    NewDeviceModule(QWidget *parent, ZBDeviceCollection *collection);
    ~NewDeviceModule() override;

    ModuleTypes moduleType() const override { return TypeNewDevice; }
    void retranslate() override;

    DeviceDiscovery &searcher() { return discovery; }

public slots:
    void showStartPage();

signals:
    void addNewDeviceRequest(ZBDeviceInfo info);
    void addNewDeviceListRequest(QList<ZBDeviceInfo> infos);
    void DeviceAdded(const ZBDeviceInfo *info);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private slots:
    void onBtnSearchConnectedDevices();
    void showSearchSettingsPage();
    void showIpPage();
    void onAddDeviceUSB();
    void connectDevice();
    void onBtnGoBack2();
    void onBtnFinish();
    void onBtnFinish2();
    void onBtnUnselectAll();
    void onDeviceFoundListItemChanged(const QModelIndex &index);
    void stopSearch();
    void onBtnGoBack4();
    void onBtnSearch2();
    void onSearchSettingsRadioChanged(bool on);
    void onStartIpSet();
    void onSearchIpTextChanged();
    void onDiscoveryStarted();
    void onHostsCounted(quint64 count);
    void onHostConnectionEnded();
    void onDeviceFound(const ZBDeviceInfo &info);
    void onSearchFinished();

private:
    void showSearchPage();
    void addConnectedDevices();
    void updateCheckButtons();
    void setDetailsVisible(bool visible);
    // Checks the range fields; shows the error and returns false when they do not make a range.
    bool validateRange(quint32 *start, quint32 *end);
    // Stores the search choices (and the range when it is valid); says so when the store could not be written.
    bool storeSearchSettings(bool withRange, quint32 start, quint32 end);
    // Shows the error and puts the focus on the field at fault (the start field when none is named).
    void showRangeError(const QString &text, QLineEdit *field = nullptr);
    void showDetails(const ZBDeviceInfo &info);
    void setSearchingText(const char *text);
    void restoreShownTexts();

    int mode = SearchMode;
    ZBDeviceCollection *collection;
    bool deviceFound = false;
    bool exitRequested = false;
    ZBDeviceInfo newDeviceInfo;
    DeviceDiscovery discovery;
    ZBDeviceListModel foundDevicesModel;
    // The range of the running search; 0, 0 for the whole network.
    quint32 searchFirst = 0;
    quint32 searchLast = 0;
    quint64 hostsCount = 0;
    quint64 hostsDone = 0;
    // Source texts of what the page shows beside its form, written again after a language change.
    const char *finishText = "Connect";
    const char *searchingText = nullptr;
};
