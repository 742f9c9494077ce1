#pragma once

#include <QObject>
#include <QString>
#include <QVector>

#include <functional>

class QAction;
class QWidget;

// Owner of the one open list project of a list module and of everything about it that does not depend on
// the document's content: the File actions, the file dialogs, the project (compressed) and export (plain)
// forms, the recent-file list, and the question before unsaved changes are dropped. A subclass turns text
// into its document and back. "Modified" compares a digest of the document text with the digest of the
// text last saved or loaded; a subclass that can tell when its document last changed (documentRevision)
// is compared only after a change, once.
class ProjectFileManager : public QObject
{
    Q_OBJECT
public:
    ProjectFileManager(const QString &projectDescription, const QString &projectExtension,
                       const QString &exportDescription, const QString &exportExtension, int maxRecentFiles,
                       QWidget *parent);
    ~ProjectFileManager() override;

    virtual bool isModified() const;
    virtual QString documentText() const = 0;
    // Builds the document from text (a null text asks for an empty document); false leaves none loaded.
    virtual bool openDocument(const QString &text) = 0;
    // Drops the document; called only while one is loaded.
    virtual void closeDocument() = 0;
    virtual void takeSnapshot();
    // How often the document was turned into text to compare it or keep its digest, over all managers.
    static quint64 documentSerialisations();
    // The export target; a null string cancels the export.
    virtual QString exportFileName();

    QString fileName() const;
    bool isProjectLoaded() const;
    bool isUntitled() const;
    // Opens a project file, asking for one when the path is empty. False only when an error was shown.
    bool loadFile(const QString &path);
    QString fileFilter() const;
    QString projectFileExtension() const;
    QString exportFileExtension() const;
    QString exportFileDescription() const;
    QString projectFileDescription() const { return projectDescription; }
    // Where a save dialog starts, with the project's name: the open file's folder, else the last folder
    // opened from, else the user's documents, else home.
    QString initialSaveName() const;

    QAction *newAction = nullptr;
    QAction *openAction = nullptr;
    QAction *saveAction = nullptr;
    QAction *saveAsAction = nullptr;
    QAction *closeAction = nullptr;
    QAction *exportAction = nullptr;
    QVector<QAction *> recentFileActions;

public slots:
    virtual bool newProject(const QString &text = QString());
    virtual void openProject();
    virtual void saveProject();
    virtual void saveProjectAs();
    // Writes the export file onto the drive the user picks. False when nothing was written (refused,
    // cancelled, failed, or refused in words while the last export is still being written out); true when
    // the file is written and being flushed to its drive. The outcome, the flush included, comes with
    // onAfterExport.
    virtual bool exportProject();
    virtual bool closeProject();

signals:
    void onBeforeSave();
    void onAfterSave(bool success);
    void onBeforeExport();
    void onAfterExport(bool success);
    void onLoad(const QString &source = QString());
    void onUnload();
    void onRecentFileListChanged();
    void onFilePropertiesChanged();

protected:
    // A number that changes with every change of the document, or false when the subclass cannot
    // tell; then every question compares the document.
    virtual bool documentRevision(quint64 *revision) const;

    bool load(const QString &text);
    // Builds the document of a file the user opens or imports. A subclass may refuse a document it can
    // read but must not take, saying why in refusal; the open project then stays as it was.
    virtual bool openFileDocument(const QString &text, QString *refusal);
    bool save(bool forceDialog);
    bool writeFile(const QString &path);
    bool askSaveChanges();
    void addRecentFile();
    void updateRecentFileActions();
    // A write of the recent files or folder the settings store could not make is said (once).
    void storedOrSaid(bool stored);
    void unload();
    // The save dialog; a chosen name without a suffix gets extension. Empty when cancelled.
    QString askSaveName(const QString &caption, const QString &filter, const QString &extension) const;
    QWidget *dialogParentWidget() const { return dialogParent; }

private:
    // Length and two independent 64-bit hashes of a text: a text differing from the saved one gives the
    // same digest with a chance of about 2^-128.
    struct Digest
    {
        qsizetype length = -1;
        size_t first = 0;
        size_t second = 0;
        bool operator==(const Digest &other) const
        {
            return length == other.length && first == other.first && second == other.second;
        }
    };
    static Digest digestOf(const QString &text);
    bool writeText(const QString &path, const QString &text, bool compressed, QString *error) const;
    void openError(const QString &text);
    void exportFailed(const QString &name, const QString &error);
    QString serialise() const;
    // the text given is what the document now holds: it becomes the saved state
    void rememberSaved(const QString &text);

    Digest savedDigest;
    mutable bool answerKnown = false;
    mutable bool answer = false;
    mutable quint64 answeredRevision = 0;
    bool untitled = true;
    bool loaded = false;
    bool exportFlushing = false;
    int untitledCounter = 1;
    QWidget *dialogParent = nullptr;
    bool settingsFailureSaid = false;
    QString filePath;
    QString exportDescription;
    QString exportExtension;
    QString projectDescription;
    QString projectExtension;
    int maxRecentFiles = 0;

public:
    // What a text written out from the document was, kept by a sender in place of the text itself.
    class TextMark
    {
        friend class ProjectFileManager;
        Digest digest;
        bool tracked = false;
        quint64 revision = 0;
        quint64 generation = 0;
    };
    // The mark of a text the document was written out as just now.
    TextMark markText(const QString &text) const;
    // Takes the snapshot of a text marked earlier when the document still holds it: an unchanged
    // document is not written out again, a changed one once to compare. False, nothing taken, otherwise.
    bool takeSnapshotIfHolding(const TextMark &mark);

protected:
    // newProject for a document already built from text: after the save question, adopt puts it in
    // place (false leaves no project loaded); text stands for it in the saved state.
    bool newProjectWith(const QString &text, const std::function<bool()> &adopt);

private:
    bool loadWith(const QString &text, const std::function<bool()> &adopt);
    // counts the loads, so that a mark never stands for another document with the same revision
    quint64 loadGeneration = 0;
};
