#include "devices/newdevicemodule.h"

#include "base/settings.h"
#include "base/strictipv4.h"
#include "devices/networkaddresses.h"
#include "devices/zbdevice.h"
#include "devices/zbdevicecollection.h"
#include "devices/zbdeviceitemmodel.h"
#include "modules/generaluiinterface.h"
#include "widgets/messagebox.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>

namespace {

quint32 fieldAddress(const QLineEdit *field)
{
    quint32 address = 0;
    StrictIPv4::parse(field->text().trimmed(), &address);
    return address;
}

} // namespace

NewDeviceModule::NewDeviceModule(QWidget *parent, ZBDeviceCollection *deviceCollection)
    : OmbrelayModule(parent)
    , collection(deviceCollection)
{
    setupUi(this);

    connect(btnSearchConnectedDevices, &QAbstractButton::pressed, this, &NewDeviceModule::onBtnSearchConnectedDevices);
    connect(btnSearchSettings, &QAbstractButton::clicked, this, &NewDeviceModule::showSearchSettingsPage);
    connect(btnAddDeviceManually, &QAbstractButton::pressed, this, &NewDeviceModule::showIpPage);
    connect(btnAddDeviceUSB, &QAbstractButton::pressed, this, &NewDeviceModule::onAddDeviceUSB);
    connect(btnGoBack, &QAbstractButton::pressed, this, &NewDeviceModule::showStartPage);
    connect(btnGoBack_3, &QAbstractButton::pressed, this, &NewDeviceModule::showStartPage);
    connect(btnConnectNewDevice, &QAbstractButton::pressed, this, &NewDeviceModule::connectDevice);
    connect(txtIp1, &QLineEdit::returnPressed, this, &NewDeviceModule::connectDevice);
    // The address mask wants every digit before the field reports Return: a typed address
    // ("192.168.1.5") must connect on Return and keypad Enter as on the button.
    txtIp1->installEventFilter(this);
    connect(btnGoBack_2, &QAbstractButton::pressed, this, &NewDeviceModule::onBtnGoBack2);
    connect(btnFinish, &QAbstractButton::pressed, this, &NewDeviceModule::onBtnFinish);
    connect(txtDeviceName, &QLineEdit::returnPressed, this, &NewDeviceModule::onBtnFinish);
    connect(btnFinish_2, &QAbstractButton::pressed, this, &NewDeviceModule::onBtnFinish2);
    connect(btnUnselectAll, &QAbstractButton::pressed, this, &NewDeviceModule::onBtnUnselectAll);
    connect(&foundDevicesModel, &ZBDeviceListModel::itemCheckStateChanged, this,
            &NewDeviceModule::onDeviceFoundListItemChanged);
    connect(btnStopSearch, &QAbstractButton::pressed, this, &NewDeviceModule::stopSearch);
    connect(btnGoBack_4, &QAbstractButton::pressed, this, &NewDeviceModule::onBtnGoBack4);
    connect(btnSearch2, &QAbstractButton::pressed, this, &NewDeviceModule::onBtnSearch2);
    connect(rbSearchScope, &QRadioButton::toggled, this, &NewDeviceModule::onSearchSettingsRadioChanged);
    connect(txtStartSearch, &QLineEdit::editingFinished, this, &NewDeviceModule::onStartIpSet);
    connect(txtStartSearch, &QLineEdit::textChanged, this, &NewDeviceModule::onSearchIpTextChanged);
    connect(txtEndSearch, &QLineEdit::textChanged, this, &NewDeviceModule::onSearchIpTextChanged);

    // What a receiver reports (its name above all) is shown as it stands, never as markup.
    for (QLabel *label :
         {lblConnectedTo, lblIPAddress, lblMacAddress, lblHardwareVersion, lblSoftwareVersion, lblProtocolVersion})
        label->setTextFormat(Qt::PlainText);

    tblFoundDevices->setModel(&foundDevicesModel);
    tblFoundDevices->setColumnWidth(0, 250);
    tblFoundDevices->setColumnWidth(1, 100);
    tblFoundDevices->horizontalHeader()->setStretchLastSection(true);

    connect(&discovery, &DeviceDiscovery::DiscoveryStarted, this, &NewDeviceModule::onDiscoveryStarted);
    connect(&discovery, &DeviceDiscovery::hostConnectionStarted, this, &NewDeviceModule::onHostConnectionEnded);
    connect(&discovery, &DeviceDiscovery::HostsCounted, this, &NewDeviceModule::onHostsCounted);
    connect(&discovery, &DeviceDiscovery::DeviceFound, this, &NewDeviceModule::onDeviceFound);
    connect(&discovery, &DeviceDiscovery::finished, this, &NewDeviceModule::onSearchFinished);

    // A stored range is restored only when it is one the search would take.
    const QString endText = Settings::getString(Settings::SearchEndIP, QStringLiteral("0"));
    const QString startText =
        endText != QLatin1String("0") ? Settings::getString(Settings::SearchStartIP, QStringLiteral("0")) : QString();
    bool startOk = false;
    bool endOk = false;
    const quint32 start = startText.toUInt(&startOk);
    const quint32 end = endText.toUInt(&endOk);
    const bool rangeStored = startOk && endOk && start != 0 && end != 0 &&
                             isValidRange(QHostAddress(start).toString(), QHostAddress(end).toString());
    rbSearchScope->setChecked(rangeStored);
    cbFastScan->setChecked(Settings::getBool(Settings::SearchFastScanEnabled, false));
    cbCheckConnection->setChecked(Settings::getBool(Settings::SearchCheckConnectionEnabled, true));
    if (rangeStored) {
        txtStartSearch->setText(paddedIpText(QHostAddress(start)));
        txtEndSearch->setText(paddedIpText(QHostAddress(end)));
    }
    mode = SearchMode;
    label_4->hide();
    txtDevicePassword->hide();
    cbRememberPassword->hide();
    cbCheckConnection->hide();
}

NewDeviceModule::~NewDeviceModule()
{
    tblFoundDevices->setModel(nullptr);
}

void NewDeviceModule::retranslate()
{
    retranslateUi(this);
    restoreShownTexts();
}

// The form's texts come back with a language change; what the page shows now is written again over them,
// in the new language.
void NewDeviceModule::restoreShownTexts()
{
    btnFinish->setText(tr(finishText));
    if (searchingText)
        txtSearchingMessage->setText(tr(searchingText));
    if (foundDevicesModel.rowCount() > 0) // else the form's own text stands
        btnUnselectAll->setText(foundDevicesModel.hasChecked() ? tr("Uncheck all") : tr("Check all"));
    if (mode == IpMode && deviceFound)
        showDetails(newDeviceInfo);
}

void NewDeviceModule::setSearchingText(const char *text)
{
    searchingText = text;
    txtSearchingMessage->setText(tr(text));
}

bool NewDeviceModule::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtIp1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (txtIp1->isEnabled())
                connectDevice();
            return true;
        }
    }
    return OmbrelayModule::eventFilter(watched, event);
}

void NewDeviceModule::changeEvent(QEvent *event)
{
    OmbrelayModule::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        retranslate();
}

void NewDeviceModule::showStartPage()
{
    wizard->setCurrentIndex(0);
}

void NewDeviceModule::onBtnSearchConnectedDevices()
{
    finishText = QT_TR_NOOP("Connect");
    btnFinish->setText(tr(finishText));
    if (Settings::getBool(Settings::SearchCheckConnectionEnabled, true) && !isNetworkAvailable()) {
        MessageBox::information(
            this, tr("There is no network connection available. Please make sure a network cable is plugged in."));
        return;
    }
    exitRequested = false;
    mode = SearchMode;
    searchFirst = 0;
    searchLast = 0;
    if (rbSearchAll->isChecked()) {
        discovery.start();
        return;
    }
    searchFirst = fieldAddress(txtStartSearch);
    searchLast = fieldAddress(txtEndSearch);
    if (!discovery.startRange(QHostAddress(searchFirst), QHostAddress(searchLast))) {
        // Never the whole network in place of a range the user asked for.
        showSearchSettingsPage();
        showRangeError(tr("The search range may hold at most 65536 addresses."));
    }
}

void NewDeviceModule::onDiscoveryStarted()
{
    if (mode != SearchMode)
        return;
    showSearchPage();
    addConnectedDevices();
}

void NewDeviceModule::showSearchPage()
{
    foundDevicesModel.clear();
    btnFinish_2->setEnabled(false);
    setSearchingText(QT_TR_NOOP("Initializing..."));
    txtSearchingMessage->show();
    wizard->setCurrentIndex(3);
    btnGoBack_3->setEnabled(false);
    tblFoundDevices->setEnabled(false);
    btnUnselectAll->setEnabled(false);
    tblFoundDevices->horizontalHeader()->show();
    btnStopSearch->setEnabled(true);
    btnStopSearch->setFocus();
    pgrSearchProgress->setMaximum(0);
    pgrSearchProgress->setValue(0);
    pgrSearchProgress->show();
}

void NewDeviceModule::addConnectedDevices()
{
    QList<QHostAddress> known;
    for (int i = 0; collection && i < collection->count(); ++i) {
        const ZBDevice *device = collection->at(i);
        if (!device || !device->isConnected())
            continue;
        const QHostAddress address = StrictIPv4::toHostAddress(device->ipAddressString());
        // A range search lists only what is in its range, connected or not.
        const quint32 value = address.toIPv4Address();
        if (searchLast != 0 && (value < searchFirst || value > searchLast))
            continue;
        onDeviceFound(device->info());
        known << address;
    }
    discovery.setKnownAddresses(known);
}

void NewDeviceModule::onHostsCounted(quint64 count)
{
    hostsCount = count;
    hostsDone = 0;
    pgrSearchProgress->setMaximum(100);
    pgrSearchProgress->setValue(0);
    pgrSearchProgress->show();
    setSearchingText(QT_TR_NOOP("Searching for devices..."));
    pgrSearchProgress->repaint();
}

void NewDeviceModule::onHostConnectionEnded()
{
    if (discovery.isCanceled())
        return;
    ++hostsDone;
    if (hostsCount > 0)
        pgrSearchProgress->setValue(int(double(hostsDone) / double(hostsCount) * pgrSearchProgress->maximum()));
}

void NewDeviceModule::onDeviceFound(const ZBDeviceInfo &info)
{
    deviceFound = true;
    if (mode == SearchMode) {
        foundDevicesModel.addDevice(info, true);
        return;
    }
    if (mode != IpMode)
        return;
    showDetails(info);
    txtDeviceName->setText(info.label());
    newDeviceInfo = info;
    wizard->setCurrentIndex(2);
    txtDeviceName->selectAll();
    txtDeviceName->setFocus();
}

void NewDeviceModule::showDetails(const ZBDeviceInfo &info)
{
    // A receiver's name can be of any length and this line has a fixed place beside the picture: a long
    // one is shortened there and given whole in the tool tip.
    const QString connectedTo = tr("Connected to %1").arg(info.name());
    lblConnectedTo->ensurePolished(); // the style sheet sets the font the width is measured in
    lblConnectedTo->setText(
        lblConnectedTo->fontMetrics().elidedText(connectedTo, Qt::ElideRight, lblConnectedTo->contentsRect().width()));
    lblConnectedTo->setToolTip(ZBDeviceItemModel::plainToolTip(connectedTo));
    lblIPAddress->setText(tr("IP address: %1").arg(info.ip().toString()));
    lblMacAddress->setText(tr("MAC address: %1").arg(info.mac()));
    lblHardwareVersion->setText(tr("Hardware version: %1").arg(info.hardwareVersion()));
    lblSoftwareVersion->setText(tr("Software version: %1").arg(info.softwareVersion()));
    lblProtocolVersion->setText(tr("Protocol version: %1").arg(double(info.protocolVersion()), 0, 'g', 6));
}

void NewDeviceModule::setDetailsVisible(bool visible)
{
    for (QLabel *label :
         {lblConnectedTo, lblIPAddress, lblMacAddress, lblHardwareVersion, lblSoftwareVersion, lblProtocolVersion})
        label->setVisible(visible);
}

void NewDeviceModule::onSearchFinished()
{
    setDetailsVisible(deviceFound);
    if (mode == SearchMode) {
        txtSearchingMessage->hide();
        btnGoBack_3->setEnabled(true);
        tblFoundDevices->setEnabled(true);
        btnUnselectAll->setEnabled(true);
        btnFinish_2->setEnabled(foundDevicesModel.hasChecked());
        btnStopSearch->setEnabled(false);
        pgrSearchProgress->hide();
    } else if (mode == IpMode && !discovery.isBusy() && !deviceFound) {
        if (MessageBox::questionYesNo(
                this, tr("Ombrelay could not establish connection to this device. Would you like to add it anyway?"),
                MessageBox::No)) {
            txtDeviceName->setText(tr("Unknown device"));
            wizard->setCurrentIndex(2);
            txtDeviceName->selectAll();
            txtDeviceName->setFocus();
        } else {
            lblConnecting->hide();
            for (QWidget *widget : {static_cast<QWidget *>(txtIp1), static_cast<QWidget *>(btnGoBack),
                                    static_cast<QWidget *>(btnConnectNewDevice)})
                widget->setEnabled(true);
            txtIp1->selectAll();
            txtIp1->setFocus();
        }
    }
    if (exitRequested && !discovery.isBusy()) {
        // The search has ended: now the window closes the ordinary way, asking its modules.
        exitRequested = false;
        if (pageInterface())
            pageInterface()->close();
    }
}

void NewDeviceModule::stopSearch()
{
    setSearchingText(QT_TR_NOOP("Search is stopping. Please wait."));
    btnStopSearch->setEnabled(false);
    discovery.cancel();
    onSearchFinished();
}

void NewDeviceModule::updateCheckButtons()
{
    const bool any = foundDevicesModel.hasChecked();
    btnUnselectAll->setText(any ? tr("Uncheck all") : tr("Check all"));
    btnFinish_2->setEnabled(any);
}

void NewDeviceModule::onDeviceFoundListItemChanged(const QModelIndex &)
{
    updateCheckButtons();
}

void NewDeviceModule::onBtnUnselectAll()
{
    foundDevicesModel.updateCheckState();
    updateCheckButtons();
}

void NewDeviceModule::onBtnFinish2()
{
    if (collection)
        collection->append(foundDevicesModel.devices(true));
    showStartPage();
}

void NewDeviceModule::showSearchSettingsPage()
{
    txtSearchSettingsErrorMessage->hide();
    wizard->setCurrentIndex(4);
}

void NewDeviceModule::onSearchSettingsRadioChanged(bool on)
{
    for (QWidget *widget : {static_cast<QWidget *>(lblStartSearch), static_cast<QWidget *>(lblEndSearch),
                            static_cast<QWidget *>(txtStartSearch), static_cast<QWidget *>(txtEndSearch)})
        widget->setEnabled(on);
    txtStartSearch->setFocus();
    onSearchIpTextChanged();
}

void NewDeviceModule::onSearchIpTextChanged()
{
    btnGoBack_4->setEnabled(!rbSearchScope->isChecked() ||
                            (isValidHostText(txtStartSearch->text()) && isValidHostText(txtEndSearch->text())));
}

void NewDeviceModule::onStartIpSet()
{
    if (!isValidHostText(txtStartSearch->text())) {
        showRangeError(tr("Start IP is not valid."));
        return;
    }
    if (!isValidHostText(txtEndSearch->text())) {
        const quint32 start = fieldAddress(txtStartSearch);
        txtStartSearch->setText(paddedIpText(QHostAddress(start)));
        txtEndSearch->setText(paddedIpText(QHostAddress((start & 0xFFFFFF00u) + 255)));
    }
    txtSearchSettingsErrorMessage->hide();
}

void NewDeviceModule::showRangeError(const QString &text, QLineEdit *field)
{
    txtSearchSettingsErrorMessage->setText(text);
    txtSearchSettingsErrorMessage->show();
    (field ? field : txtStartSearch)->setFocus();
}

bool NewDeviceModule::validateRange(quint32 *start, quint32 *end)
{
    *start = fieldAddress(txtStartSearch);
    *end = fieldAddress(txtEndSearch);
    if (!rbSearchScope->isChecked())
        return true;
    if (isValidRange(txtStartSearch->text(), txtEndSearch->text()))
        return true;
    if (!isValidHostText(txtStartSearch->text()))
        showRangeError(tr("Start IP is not valid."));
    else if (!isValidHostText(txtEndSearch->text()))
        showRangeError(tr("End IP is not valid."), txtEndSearch);
    else if (*start <= *end)
        showRangeError(tr("The search range may hold at most 65536 addresses."));
    else
        showRangeError(tr("Starting IP address has to be lower than last\none.Please specify correct pair."));
    return false;
}

bool NewDeviceModule::storeSearchSettings(bool withRange, quint32 start, quint32 end)
{
    bool stored = Settings::setBool(Settings::SearchFastScanEnabled, cbFastScan->isChecked());
    stored = Settings::setBool(Settings::SearchCheckConnectionEnabled, cbCheckConnection->isChecked()) && stored;
    if (withRange) {
        const bool scope = rbSearchScope->isChecked();
        stored = Settings::setString(Settings::SearchStartIP, QString::number(scope ? start : 0)) && stored;
        stored = Settings::setString(Settings::SearchEndIP, QString::number(scope ? end : 0)) && stored;
    }
    if (!stored)
        MessageBox::warning(this, Settings::writeFailureText());
    return stored;
}

void NewDeviceModule::onBtnGoBack4()
{
    quint32 start = 0;
    quint32 end = 0;
    mode = SearchMode;
    const bool valid = validateRange(&start, &end);
    storeSearchSettings(valid, start, end);
    if (!valid)
        return;
    txtSearchSettingsErrorMessage->hide();
    showStartPage();
}

void NewDeviceModule::onBtnSearch2()
{
    quint32 start = 0;
    quint32 end = 0;
    const bool valid = validateRange(&start, &end);
    storeSearchSettings(valid, start, end);
    if (!valid)
        return;
    txtSearchSettingsErrorMessage->hide();
    onBtnSearchConnectedDevices();
}

void NewDeviceModule::showIpPage()
{
    for (QWidget *widget : {static_cast<QWidget *>(txtIp1), static_cast<QWidget *>(btnGoBack),
                            static_cast<QWidget *>(btnConnectNewDevice)})
        widget->setEnabled(true);
    txtInvalidIpAddress->hide();
    lblConnecting->hide();
    txtIp1->clear();
    txtIp1->setFocus();
    txtIp1->setCursorPosition(0);
    wizard->setCurrentIndex(1);
}

void NewDeviceModule::connectDevice()
{
    const QHostAddress address = StrictIPv4::toHostAddress(txtIp1->text().trimmed());
    newDeviceInfo.prepareForConnection();
    // An address that parses answers any earlier complaint about the text.
    if (!address.isNull())
        txtInvalidIpAddress->hide();
    if (!address.isNull() &&
        (discovery.knownAddresses().contains(address) || (collection && collection->containsAddress(address)))) {
        MessageBox::information(this, tr("This IP is being used by another device."));
        return;
    }
    txtInvalidIpAddress->hide();
    lblConnecting->hide();
    if (!isValidHostText(txtIp1->text())) {
        txtInvalidIpAddress->show();
        txtIp1->selectAll();
        txtIp1->setFocus();
        return;
    }
    mode = IpMode;
    deviceFound = false;
    exitRequested = false;
    newDeviceInfo.setIp(address);
    discovery.probeAddress(address);
    lblConnecting->show();
    for (QWidget *widget : {static_cast<QWidget *>(txtIp1), static_cast<QWidget *>(btnGoBack),
                            static_cast<QWidget *>(btnConnectNewDevice)})
        widget->setEnabled(false);
}

void NewDeviceModule::onAddDeviceUSB()
{
    finishText = QT_TR_NOOP("Create");
    btnFinish->setText(tr(finishText));
    deviceFound = false;
    exitRequested = false;
    mode = UsbMode;
    newDeviceInfo.prepareForConnection();
    newDeviceInfo.setUsbManaged(true);
    newDeviceInfo.setHasAnalogFrontend(true);
    newDeviceInfo.setHasCableFrontend(true);
    newDeviceInfo.setHasSatelliteFrontend(true);
    newDeviceInfo.setHasTerrestrialFrontend(true);
    onSearchFinished();
    txtDeviceName->setText(tr("Unknown device"));
    wizard->setCurrentIndex(2);
    txtDeviceName->selectAll();
    txtDeviceName->setFocus();
}

void NewDeviceModule::onBtnGoBack2()
{
    if (mode == IpMode)
        showIpPage();
    else
        showStartPage();
}

void NewDeviceModule::onBtnFinish()
{
    newDeviceInfo.setGivenName(txtDeviceName->text());
    if (newDeviceInfo.isUsbManaged()) {
        newDeviceInfo.setName(QStringLiteral("USB managed device"));
        newDeviceInfo.setType(0);
        newDeviceInfo.setTvListMaxCount(4);
        newDeviceInfo.setRadioListMaxCount(4);
        newDeviceInfo.setNetListMaxCount(4);
        newDeviceInfo.setEnableMediaExplorerModule(false);
    } else {
        newDeviceInfo.setIp(StrictIPv4::toHostAddress(txtIp1->text().trimmed()));
    }
    newDeviceInfo.ensureDefaults();
    emit addNewDeviceRequest(ZBDeviceInfo(newDeviceInfo));
    showStartPage();
}

void NewDeviceModule::closeEvent(QCloseEvent *event)
{
    if (!discovery.isBusy())
        return;
    if (!Settings::getBool(Settings::SearchFastScanEnabled, true)) {
        if (pageInterface())
            pageInterface()->setCurrentModule(this, false);
        if (!MessageBox::questionYesNo(this,
                                       tr("Ombrelay is looking for connected devices. Do you want to stop and exit?"),
                                       MessageBox::Yes)) {
            event->ignore();
            return;
        }
    }
    // Probes are told to stop; the window closes once they have ended.
    stopSearch();
    discovery.stop();
    if (!discovery.isBusy())
        return;
    exitRequested = true;
    event->ignore();
}
