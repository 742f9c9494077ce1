#include "lists/radiolistmodule.h"

#include "lists/transferlistsdevicetask.h"

#include "exchange/printradiolistsbuilder.h"
#include "listfiles/radiolistprojectfilemanager.h"

RadioListModule::RadioListModule(QWidget *parent)
    : ServiceListModule(parent)
{
    setupUi(this);
    ServiceFormWidgets widgets = widgetsOf(static_cast<Ui::RadioListModule *>(this));
    widgets.nameEdit = titleLineEdit;
    widgets.providerBox = providerComboBox;
    setUpServiceEditing(widgets, new RadioListProjectFileManager(this));
}

RadioListModule::~RadioListModule() = default;

RadioListProjectFileManager *RadioListModule::projectManager() const
{
    return static_cast<RadioListProjectFileManager *>(manager);
}

const char *RadioListModule::newItemText() const
{
    return QT_TRANSLATE_NOOP("RadioListModule", "New radio service %1");
}

DeviceTask *RadioListModule::createTransferTask(const QString &mode)
{
    return new TransferListsDeviceTask<RadioListModule>(mode, listType(), this);
}

DeviceTask *RadioListModule::createDeviceInfoTask(const QMap<QString, QString> &parameters)
{
    return new TransferListsDeviceTask<RadioListModule>(QStringLiteral("getDeviceInfo"), parameters, this);
}

PrintServiceListsBuilder *RadioListModule::makePrintBuilder()
{
    return new PrintRadioListsBuilder(manager);
}

void RadioListModule::retranslateForm()
{
    retranslateUi(this);
}

void RadioListModule::prepareTuningEditor()
{
    detailedSettingsWidget->setRadioMode();
}
