#include "exchange/selectdrivedialog.h"

#include "base/drivelist.h"
#include "listfiles/exportdrivepicker.h"
#include "widgets/messagebox.h"

#include <QDir>
#include <QEvent>
#include <QFileSystemModel>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>

namespace {

QStringList currentDrivePaths()
{
    QStringList paths;
    for (const QFileInfo &drive : DriveList::drives())
        paths.append(drive.absoluteFilePath());
    return paths;
}

QString volumeName(const QString &root)
{
    const QString name = QDir(root).dirName();
    return name.isEmpty() ? root : name;
}

} // namespace

SelectDriveDialog::SelectDriveDialog(QWidget *parent)
    : QDialog(parent)
{
    setupUi(this);
    retranslateButtons();
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    drivePaths = currentDrivePaths();
    buildModels();
    connect(btnRefresh, &QPushButton::pressed, this, &SelectDriveDialog::refresh);
    updateOkButton();
    startTimer(2000);
}

SelectDriveDialog::~SelectDriveDialog()
{
    lvDrives->setModel(nullptr);
    delete sortModel;
    delete driveModel;
}

void SelectDriveDialog::registerAsExportPicker()
{
    ExportDrivePicker::setPicker([](QWidget *parent) -> QString {
        SelectDriveDialog dialog(parent);
        if (MessageBox::execDialog(&dialog) != QDialog::Accepted)
            return {};
        return dialog.selectedPath;
    });
}

void SelectDriveDialog::buildModels()
{
    driveModel = new QStandardItemModel;
    const QIcon icon(QStringLiteral(":/icons/pendrive"));
    for (const QString &root : std::as_const(drivePaths)) {
        auto *item = new QStandardItem(icon, volumeName(root));
        item->setData(root, QFileSystemModel::FileNameRole);
        item->setToolTip(root);
        item->setEditable(false);
        driveModel->appendRow(item);
    }
    sortModel = new QSortFilterProxyModel;
    sortModel->setSourceModel(driveModel);
    sortModel->setSortRole(QFileSystemModel::FileNameRole);
    sortModel->sort(0, Qt::AscendingOrder);
    lvDrives->setModel(sortModel);
    selectionConnection = connect(lvDrives->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                                  &SelectDriveDialog::onSelectionChanged);
    doubleClickConnection = connect(lvDrives, &QListView::doubleClicked, this, &QDialog::accept);

    // The drive chosen before a rebuild stays chosen while it is still plugged in; a drive that is gone is
    // no longer offered, so OK can never return it.
    if (!selectedPath.isNull()) {
        const QModelIndexList match =
            sortModel->match(sortModel->index(0, 0), QFileSystemModel::FileNameRole, selectedPath, 1, Qt::MatchExactly);
        if (match.isEmpty())
            selectedPath.clear();
        else
            lvDrives->selectionModel()->select(match.first(), QItemSelectionModel::ClearAndSelect);
    }
}

void SelectDriveDialog::onSelectionChanged()
{
    QString path;
    const QModelIndexList selected = lvDrives->selectionModel()->selectedIndexes();
    if (!selected.isEmpty() && selected.first().model())
        path = selected.first().data(QFileSystemModel::FileNameRole).toString();
    selectedPath = path;
    updateOkButton();
}

void SelectDriveDialog::refresh()
{
    if (!driveModel || !sortModel)
        return;
    lvDrives->setModel(nullptr);
    sortModel->setSourceModel(nullptr);
    disconnect(selectionConnection);
    disconnect(doubleClickConnection);
    delete driveModel;
    delete sortModel;
    drivePaths = currentDrivePaths();
    buildModels();
    updateOkButton();
}

void SelectDriveDialog::updateOkButton()
{
    if (QPushButton *ok = buttonBox->button(QDialogButtonBox::Ok))
        ok->setEnabled(!selectedPath.isEmpty());
}

void SelectDriveDialog::timerEvent(QTimerEvent *)
{
    if (currentDrivePaths() != drivePaths)
        refresh();
}

void SelectDriveDialog::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) {
        retranslateUi(this);
        retranslateButtons();
    }
}

void SelectDriveDialog::retranslateButtons()
{
    // The standard buttons would take their texts from Qt's own translations, which the program does not
    // load; a German or Polish user would read "Cancel".
    if (QPushButton *ok = buttonBox->button(QDialogButtonBox::Ok))
        ok->setText(tr("OK"));
    if (QPushButton *cancel = buttonBox->button(QDialogButtonBox::Cancel))
        cancel->setText(tr("Cancel"));
}
