#include "lists/tvlistmodule.h"

#include "lists/transferlistsdevicetask.h"

#include "exchange/printtvlistsbuilder.h"
#include "listfiles/tvlistprojectfilemanager.h"

TVListModule::TVListModule(QWidget *parent)
    : ServiceListModule(parent)
{
    setupUi(this);
    ServiceFormWidgets widgets = widgetsOf(static_cast<Ui::TVListModule *>(this));
    widgets.nameEdit = txtServiceTitle;
    widgets.providerBox = cmbProvider;
    setUpServiceEditing(widgets, new TVListProjectFileManager(this));
}

TVListModule::~TVListModule() = default;

TVListProjectFileManager *TVListModule::projectManager() const
{
    return static_cast<TVListProjectFileManager *>(manager);
}

const char *TVListModule::newItemText() const
{
    return QT_TRANSLATE_NOOP("TVListModule", "New TV service %1");
}

DeviceTask *TVListModule::createTransferTask(const QString &mode)
{
    return new TransferListsDeviceTask<TVListModule>(mode, listType(), this);
}

DeviceTask *TVListModule::createDeviceInfoTask(const QMap<QString, QString> &parameters)
{
    return new TransferListsDeviceTask<TVListModule>(QStringLiteral("getDeviceInfo"), parameters, this);
}

PrintServiceListsBuilder *TVListModule::makePrintBuilder()
{
    return new PrintTVListsBuilder(manager);
}

void TVListModule::retranslateForm()
{
    retranslateUi(this);
}
