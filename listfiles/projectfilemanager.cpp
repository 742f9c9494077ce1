#include "listfiles/projectfilemanager.h"

#include "base/driveflush.h"
#include "base/settings.h"
#include "listfiles/projectfileformat.h"
#include "widgets/messagebox.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QSaveFile>
#include <QStandardPaths>
#include <QWidget>

ProjectFileManager::ProjectFileManager(const QString &projectDescription, const QString &projectExtension,
                                       const QString &exportDescription, const QString &exportExtension,
                                       int maxRecentFiles, QWidget *parent)
    : QObject(parent)
    , dialogParent(parent)
    , exportDescription(exportDescription)
    , exportExtension(exportExtension)
    , projectDescription(projectDescription)
    , projectExtension(projectExtension)
    , maxRecentFiles(qMax(0, maxRecentFiles))
{
    auto makeAction = [this](const QString &text, const QKeySequence &shortcut, const QString &icon, bool enabled) {
        auto *action = new QAction(text, dialogParent);
        action->setShortcut(shortcut);
        if (!icon.isEmpty())
            action->setIcon(QIcon(icon));
        action->setEnabled(enabled);
        return action;
    };
    newAction = makeAction(tr("&New"), QKeySequence(Qt::CTRL | Qt::Key_N), QStringLiteral(":/icons/NewFile"), true);
    openAction = makeAction(tr("Open"), QKeySequence(Qt::CTRL | Qt::Key_O), QStringLiteral(":/icons/OpenFile"), true);
    saveAction = makeAction(tr("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S), QStringLiteral(":/icons/SaveFile"), false);
    saveAsAction = makeAction(tr("Save &as..."), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), QString(), false);
    closeAction = makeAction(tr("Close"), QKeySequence(Qt::CTRL | Qt::Key_W), QString(), false);
    exportAction = makeAction(tr("Export..."), QKeySequence(Qt::CTRL | Qt::Key_R), QString(), false);

    // Lambdas so that the subclasses' overrides run; the owning module triggers them directly.
    connect(newAction, &QAction::triggered, this, [this] { newProject(); });
    connect(openAction, &QAction::triggered, this, [this] { openProject(); });
    connect(saveAction, &QAction::triggered, this, [this] { saveProject(); });
    connect(saveAsAction, &QAction::triggered, this, [this] { saveProjectAs(); });
    connect(closeAction, &QAction::triggered, this, [this] { closeProject(); });
    connect(exportAction, &QAction::triggered, this, [this] { exportProject(); });

    for (int i = 0; i < this->maxRecentFiles; ++i) {
        auto *action = new QAction(dialogParent);
        action->setObjectName(QStringLiteral("recentFileAction_%1").arg(i));
        action->setVisible(false);
        connect(action, &QAction::triggered, this, [this, action] { loadFile(action->data().toString()); });
        recentFileActions.append(action);
    }
    updateRecentFileActions();
    connect(this, &ProjectFileManager::onLoad, this, [this] { ++loadGeneration; });
}

ProjectFileManager::~ProjectFileManager()
{
    // A flush still under way reaches nobody now: its busy cursor goes with the manager.
    if (exportFlushing)
        QGuiApplication::restoreOverrideCursor();
    delete newAction;
    delete openAction;
    delete saveAction;
    delete saveAsAction;
    delete closeAction;
    delete exportAction;
    qDeleteAll(recentFileActions);
}

namespace {

quint64 serialisations = 0;

// the largest text whose loaded state is taken by writing the document out again, as a save would
constexpr qsizetype exactLoadLimit = 1 << 20;

} // namespace

quint64 ProjectFileManager::documentSerialisations()
{
    return serialisations;
}

bool ProjectFileManager::documentRevision(quint64 *) const
{
    return false;
}

ProjectFileManager::Digest ProjectFileManager::digestOf(const QString &text)
{
    return {text.size(), qHash(QStringView(text), size_t(0x9e3779b97f4a7c15ULL)),
            qHash(QStringView(text), size_t(0xc2b2ae3d27d4eb4fULL))};
}

QString ProjectFileManager::serialise() const
{
    ++serialisations;
    return documentText();
}

void ProjectFileManager::rememberSaved(const QString &text)
{
    savedDigest = digestOf(text);
    quint64 revision = 0;
    answerKnown = documentRevision(&revision);
    answeredRevision = revision;
    answer = false;
}

bool ProjectFileManager::isModified() const
{
    if (!loaded)
        return false;
    quint64 revision = 0;
    const bool tracked = documentRevision(&revision);
    // unchanged since the last answer: the same answer, nothing compared
    if (tracked && answerKnown && revision == answeredRevision)
        return answer;
    answer = !(digestOf(serialise()) == savedDigest);
    answerKnown = tracked;
    answeredRevision = revision;
    return answer;
}

void ProjectFileManager::takeSnapshot()
{
    if (loaded)
        rememberSaved(serialise());
}

ProjectFileManager::TextMark ProjectFileManager::markText(const QString &text) const
{
    TextMark mark;
    mark.digest = digestOf(text);
    mark.tracked = documentRevision(&mark.revision);
    mark.generation = loadGeneration;
    return mark;
}

bool ProjectFileManager::takeSnapshotIfHolding(const TextMark &mark)
{
    if (!loaded)
        return false;
    quint64 revision = 0;
    const bool tracked = documentRevision(&revision);
    const bool unchanged = tracked && mark.tracked && revision == mark.revision && mark.generation == loadGeneration;
    // a change anywhere moves the revision: only then is the document written out to compare
    if (!unchanged && (mark.generation != loadGeneration || !(digestOf(serialise()) == mark.digest)))
        return false;
    savedDigest = mark.digest;
    answerKnown = tracked;
    answeredRevision = revision;
    answer = false;
    return true;
}

QString ProjectFileManager::exportFileName()
{
    return askSaveName(tr("Export..."), tr("%1 (*.%2)").arg(exportDescription, exportExtension), exportExtension);
}

QString ProjectFileManager::askSaveName(const QString &caption, const QString &filter, const QString &extension) const
{
    QFileDialog dialog(dialogParent, caption, initialSaveName(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // A name typed without a suffix gets the file type's own, or the Open dialog would hide the file
    // and nothing could tell its type; Qt's dialog then also asks before replacing that file.
    dialog.setDefaultSuffix(extension);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    QString name = dialog.selectedFiles().value(0);
    // a platform dialog may hand the typed name back as it is
    if (!name.isEmpty() && QFileInfo(name).suffix().isEmpty())
        name += (name.endsWith(QLatin1Char('.')) ? QString() : QStringLiteral(".")) + extension;
    return name;
}

QString ProjectFileManager::fileName() const
{
    return filePath;
}

bool ProjectFileManager::isProjectLoaded() const
{
    return loaded;
}

bool ProjectFileManager::isUntitled() const
{
    return untitled;
}

QString ProjectFileManager::projectFileExtension() const
{
    return projectExtension;
}

QString ProjectFileManager::exportFileExtension() const
{
    return exportExtension;
}

QString ProjectFileManager::exportFileDescription() const
{
    return exportDescription;
}

QString ProjectFileManager::fileFilter() const
{
    QString filter = tr("%1 (*.%2)").arg(projectDescription, projectExtension);
    if (!exportDescription.isEmpty() && !exportExtension.isEmpty())
        filter += QStringLiteral(";;%1").arg(tr("%1 (*.%2)").arg(exportDescription, exportExtension));
    return filter;
}

QString ProjectFileManager::initialSaveName() const
{
    const QFileInfo info(filePath);
    // The folder of the open file, else the last folder opened from, else the user's documents: never
    // the root of the file system.
    QString folder = untitled ? Settings::getString(Settings::RecentOpenDir, QString()) : info.absolutePath();
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (folder.isEmpty() || !QFileInfo(folder).isDir())
            folder = QDir::homePath();
    }
    return QDir(folder).filePath(info.baseName());
}

bool ProjectFileManager::load(const QString &text)
{
    return loadWith(text, [this, &text] { return openDocument(text); });
}

bool ProjectFileManager::openFileDocument(const QString &text, QString *)
{
    return openDocument(text);
}

bool ProjectFileManager::loadWith(const QString &text, const std::function<bool()> &adopt)
{
    // adopt installs the document: parsed from text here, or built beforehand (a download parsed off the
    // window's thread)
    if (!adopt())
        return false;
    loaded = true;
    // A document that tells its changes keeps the digest of a large loaded text as it is; writing the
    // document out again would cost as much as a save. Such a document counts as unchanged as long as
    // it writes out as that very text.
    quint64 revision = 0;
    if (documentRevision(&revision) && text.size() > exactLoadLimit)
        rememberSaved(text);
    else
        rememberSaved(serialise());
    newAction->setEnabled(true);
    openAction->setEnabled(true);
    saveAction->setEnabled(true);
    saveAsAction->setEnabled(true);
    closeAction->setEnabled(true);
    emit onLoad(text);
    emit onFilePropertiesChanged();
    return true;
}

bool ProjectFileManager::newProjectWith(const QString &text, const std::function<bool()> &adopt)
{
    if (!askSaveChanges())
        return false;
    untitled = true;
    filePath = QStringLiteral("Untitled %1.").arg(untitledCounter) + projectExtension;
    ++untitledCounter;
    return loadWith(text, adopt);
}

void ProjectFileManager::unload()
{
    loaded = false;
    filePath.clear();
    newAction->setEnabled(true);
    openAction->setEnabled(true);
    saveAction->setEnabled(false);
    saveAsAction->setEnabled(false);
    closeAction->setEnabled(false);
    emit onUnload();
    emit onFilePropertiesChanged();
    closeDocument();
}

bool ProjectFileManager::askSaveChanges()
{
    if (!loaded)
        return true;
    if (isModified()) {
        const auto answer = MessageBox::warningYesNoCancel(
            dialogParent, tr("Project '%1' has been modified.\nDo you want to save your changes?")
                              .arg(QFileInfo(filePath).fileName()));
        if (answer == MessageBox::Yes) {
            if (!save(false))
                return false;
        } else if (answer != MessageBox::No) {
            return false;
        }
    }
    unload();
    return true;
}

bool ProjectFileManager::closeProject()
{
    return askSaveChanges();
}

bool ProjectFileManager::newProject(const QString &text)
{
    return newProjectWith(text, [this, &text] { return openDocument(text); });
}

void ProjectFileManager::openProject()
{
    loadFile(QString());
}

void ProjectFileManager::openError(const QString &text)
{
    MessageBox::critical(dialogParent, text);
}

bool ProjectFileManager::loadFile(const QString &requestedPath)
{
    QString path = requestedPath;
    if (path.isEmpty()) {
        path = QFileDialog::getOpenFileName(dialogParent, tr("Open"),
                                            Settings::getString(Settings::RecentOpenDir, QString()), fileFilter());
        if (path.isEmpty())
            return true;
    }
    // The open project is touched only once the chosen file has been read; a file that does not open
    // leaves the project, its path and its modified state as they were.
    QString text;
    const auto readChosenFile = [&] {
        const QFileInfo info(path);
        if (!info.exists() || !info.isFile()) {
            openError(tr("Error. File not found."));
            return false;
        }
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            openError(tr("Error. Cannot read file."));
            return false;
        }
        storedOrSaid(Settings::setString(Settings::RecentOpenDir, info.absolutePath()));
        // A file beyond the cap is treated like damaged data rather than read into memory.
        const QByteArray bytes = file.size() <= ProjectFileFormat::maxFileBytes ? file.readAll() : QByteArray();
        text = ProjectFileFormat::decode(bytes, ProjectFileFormat::isExportName(path, exportExtension));
        if (text.isEmpty()) {
            openError(tr("Error. File is empty or contains invalid data."));
            return false;
        }
        return true;
    };
    if (!readChosenFile())
        return false;

    // Only the document can tell whether the text is one of its own, and it is built only after the open
    // project is closed: keep what is needed to bring that project back.
    const bool wasLoaded = loaded;
    const QString openText = loaded ? documentText() : QString();
    QString openPath = filePath;
    bool saved = false;
    const QMetaObject::Connection saving = connect(this, &ProjectFileManager::onAfterSave, this, [&](bool ok) {
        saved = saved || ok;
        if (ok)
            openPath = filePath;
    });
    const bool closed = askSaveChanges();
    disconnect(saving);
    if (!closed)
        return true;

    // A save made in answer to the question may have written over the chosen file.
    bool opened = !saved || readChosenFile();
    if (opened) {
        filePath = path;
        QString refusal;
        opened = loadWith(text, [this, &text, &refusal] { return openFileDocument(text, &refusal); });
        if (!opened)
            openError(refusal.isEmpty() ? tr("Error. File is empty or contains invalid data.") : refusal);
    }
    if (!opened) {
        filePath = openPath;
        if (wasLoaded) {
            // the snapshot outlives the close; a save in answer to the question moved it
            const Digest openSnapshot = savedDigest;
            load(openText);
            savedDigest = openSnapshot;
            answerKnown = false;
            emit onFilePropertiesChanged();
        }
        return false;
    }
    untitled = false;
    addRecentFile();
    return true;
}

void ProjectFileManager::saveProject()
{
    save(false);
}

void ProjectFileManager::saveProjectAs()
{
    save(true);
}

bool ProjectFileManager::save(bool forceDialog)
{
    if (!loaded)
        return false;
    if (!untitled && !forceDialog && QFileInfo(filePath).isWritable())
        return writeFile(filePath);
    const QString name = askSaveName(tr("Save As..."), fileFilter(), projectExtension);
    if (name.isEmpty())
        return false;
    // The list takes the new name only once it is written there: a failed write leaves its name, path and
    // modified state, and the next Save goes where the list came from.
    return writeFile(name);
}

bool ProjectFileManager::writeText(const QString &path, const QString &text, bool compressed, QString *error) const
{
    // Written beside the old file and renamed over it only when complete: a failed write keeps the old file.
    QSaveFile file(path);
    // Unbuffered, so every byte has gone to the disk before commit() puts the file in place.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        *error = file.errorString();
        return false;
    }
    const QByteArray bytes = ProjectFileFormat::encode(text, compressed);
    // A disk that fills up takes part of a write and reports nothing (Qt's "Unknown error"); the rest is
    // written again, and that write fails with the system's reason ("No space left on device").
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) {
            *error = file.errorString();
            file.cancelWriting();
            return false;
        }
        done += written;
    }
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

bool ProjectFileManager::writeFile(const QString &path)
{
    emit onBeforeSave();
    const QString text = serialise();
    quint64 revision = 0;
    const bool tracked = documentRevision(&revision);
    QString error;
    const bool ok = writeText(path, text, !ProjectFileFormat::isExportName(path, exportExtension), &error);
    if (ok) {
        savedDigest = digestOf(text);
        answerKnown = tracked;
        answeredRevision = revision;
        answer = false;
        const bool renamed = untitled || filePath != path;
        filePath = path;
        untitled = false;
        addRecentFile();
        if (renamed)
            emit onFilePropertiesChanged();
    } else {
        MessageBox::warning(dialogParent, tr("Write error. Cannot write file %1:\n%2").arg(path, error));
    }
    emit onAfterSave(ok);
    return ok;
}

bool ProjectFileManager::exportProject()
{
    // One export at a time: the last one may still be writing out to its drive, and the user must not
    // take its outcome for this one's.
    if (exportFlushing) {
        MessageBox::warning(dialogParent, tr("The last export is still being written to the drive. Wait until "
                                             "it is finished, then export again."));
        return false;
    }
    emit onBeforeExport();
    // Without a document there is nothing to export; refused silently.
    const QString name = loaded ? exportFileName() : QString();
    if (name.isNull()) {
        emit onAfterExport(false);
        return false;
    }
    QString error;
    if (!writeText(name, serialise(), false, &error)) {
        exportFailed(name, error);
        return false;
    }
    // The marker by which a USB drive asks the receiver for its lists goes once the lists are there.
    QFile::remove(QFileInfo(name).absoluteDir().filePath(Settings::dbXmlExportName()));
    // The user pulls the stick as soon as we say it worked: the data must be on it by then. Writing it out
    // takes long after a large copy to the stick, so it runs beside the window, which stays busy-looking
    // and answering; the outcome comes with onAfterExport.
    exportFlushing = true;
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    DriveFlush::flushInBackground(name, this, [this, name](bool ok, const QString &flushError) {
        exportFlushing = false;
        QGuiApplication::restoreOverrideCursor();
        if (ok)
            emit onAfterExport(true);
        else
            exportFailed(name, flushError);
    });
    // An export is not a save of the project: the snapshot stays, so unsaved changes are still asked about.
    return true;
}

void ProjectFileManager::exportFailed(const QString &name, const QString &error)
{
    MessageBox::warning(dialogParent, tr("Write error. Cannot write file %1:\n%2").arg(name, error));
    emit onAfterExport(false);
}

void ProjectFileManager::addRecentFile()
{
    QStringList files = Settings::getStringList(Settings::RecentFileList, QStringList());
    files.removeAll(filePath);
    files.prepend(filePath);
    while (files.size() > maxRecentFiles)
        files.removeLast();
    storedOrSaid(Settings::setStringList(Settings::RecentFileList, files));
    updateRecentFileActions();
}

void ProjectFileManager::storedOrSaid(bool stored)
{
    // Said once: the recent files and folder are written on every open and save.
    if (stored || settingsFailureSaid)
        return;
    settingsFailureSaid = true;
    MessageBox::warning(dialogParent, Settings::writeFailureText());
}

void ProjectFileManager::updateRecentFileActions()
{
    QStringList files = Settings::getStringList(Settings::RecentFileList, QStringList());
    const qsizetype stored = files.size();
    for (auto it = files.begin(); it != files.end();) {
        if (*it != filePath && !QFileInfo::exists(*it))
            it = files.erase(it);
        else
            ++it;
    }
    if (files.size() != stored)
        storedOrSaid(Settings::setStringList(Settings::RecentFileList, files));
    const int shown = qMin(int(files.size()), maxRecentFiles);
    for (int i = 0; i < recentFileActions.size(); ++i) {
        QAction *action = recentFileActions.at(i);
        if (i < shown) {
            action->setText(QFileInfo(files.at(i)).fileName());
            action->setToolTip(files.at(i));
            action->setData(files.at(i));
            action->setVisible(true);
        } else {
            action->setVisible(false);
        }
    }
    emit onRecentFileListChanged();
}
