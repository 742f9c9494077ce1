#pragma once

#include "ui_selectdrivedialog.h"

#include <QDialog>
#include <QStringList>

class QSortFilterProxyModel;
class QStandardItemModel;

// Lets the user pick the removable drive that carries lists to and from a receiver managed by USB.
// It writes nothing; the caller reads selectedPath (the volume's root) after an accepted exec().
class SelectDriveDialog : public QDialog, public Ui::SelectDriveDialog
{
    Q_OBJECT
public:
    explicit SelectDriveDialog(QWidget *parent);
    ~SelectDriveDialog() override;

    QString selectedPath;

    // Registers the dialog as the drive picker of the list managers' export.
    static void registerAsExportPicker();

protected:
    void timerEvent(QTimerEvent *event) override;
    void changeEvent(QEvent *event) override;

private slots:
    void onSelectionChanged();
    void refresh();

private:
    void retranslateButtons();
    void buildModels();
    void updateOkButton();

    QStandardItemModel *driveModel = nullptr;
    QSortFilterProxyModel *sortModel = nullptr;
    // The roots seen at the last tick: a swapped stick keeps the count, so the paths are compared.
    QStringList drivePaths;
    QMetaObject::Connection selectionConnection;
    QMetaObject::Connection doubleClickConnection;
};
