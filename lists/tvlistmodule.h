#pragma once
#include "lists/servicelistmodule.h"
#include "ui_tvlistmodule.h"

class TVListProjectFileManager;

// The editor of a receiver's TV services and favourite lists (module type 1).
class TVListModule : public ServiceListModule, public Ui::TVListModule
{
    Q_OBJECT
public:
    explicit TVListModule(QWidget *parent = nullptr);
    ~TVListModule() override;

    ModuleTypes moduleType() const override { return TypeTvList; }
    QString listType() const override { return QStringLiteral("tv"); }
    TVListProjectFileManager *projectManager() const;

protected:
    DeviceTask *createTransferTask(const QString &mode) override;
    PrintServiceListsBuilder *makePrintBuilder() override;
    const char *translationContext() const override { return "TVListModule"; }
    const char *newItemText() const override;
    DeviceTask *createDeviceInfoTask(const QMap<QString, QString> &parameters) override;
    void retranslateForm() override;
};
