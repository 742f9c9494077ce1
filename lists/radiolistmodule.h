#pragma once
#include "lists/servicelistmodule.h"
#include "ui_radiolistmodule.h"

class RadioListProjectFileManager;

// The editor of a receiver's radio services and favourite lists (module type 2): the TV page's editing
// over radio services, with the tuning editor in radio mode.
class RadioListModule : public ServiceListModule, public Ui::RadioListModule
{
    Q_OBJECT
public:
    explicit RadioListModule(QWidget *parent = nullptr);
    ~RadioListModule() override;

    ModuleTypes moduleType() const override { return TypeRadioList; }
    QString listType() const override { return QStringLiteral("radio"); }
    RadioListProjectFileManager *projectManager() const;

protected:
    DeviceTask *createTransferTask(const QString &mode) override;
    PrintServiceListsBuilder *makePrintBuilder() override;
    const char *translationContext() const override { return "RadioListModule"; }
    const char *newItemText() const override;
    DeviceTask *createDeviceInfoTask(const QMap<QString, QString> &parameters) override;
    void retranslateForm() override;
    void prepareTuningEditor() override;
    // The panel stays as it was: it shows the row that becomes current instead.
    bool hidesDetailsAfterPasteOrDelete() const override { return false; }
    // The rows remembered for printing are those of the favourite list's latest selection, none included.
    bool keepsRowsOnEmptyFavouriteSelection() const override { return false; }
};
