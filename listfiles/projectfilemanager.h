#pragma once

#include <QObject>
#include <QString>
#include <QVector>

class QAction;
class QWidget;

// Owner of the one open list project of a list module and of everything about it that does not depend on
// the document's content: the File actions, the file dialogs, the project (compressed) and export (plain)
// forms, the recent-file list, and the question before unsaved changes are dropped. A subclass turns text
// into its document and back. "Modified" is computed by comparing the document text with a snapshot.
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
    virtual bool setDocumentText(const QString &text) = 0;
    // Drops the document; called only while one is loaded.
    virtual void clearDocument() = 0;
    virtual void takeSnapshot();
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
    bool load(const QString &text);
    bool save(bool forceDialog);
    bool writeFile(const QString &path);
    bool askSaveChanges();
    void addRecentFile();
    void updateRecentFileActions();
    void unload();
    QString initialSaveName() const;
    QWidget *dialogParentWidget() const { return dialogParent; }

private:
    bool writeText(const QString &path, const QString &text, bool compressed, QString *error) const;
    void openError(const QString &text);

    QString snapshot;
    bool untitled = true;
    bool loaded = false;
    int untitledCounter = 1;
    QWidget *dialogParent = nullptr;
    QString filePath;
    QString exportDescription;
    QString exportExtension;
    QString projectDescription;
    QString projectExtension;
    int maxRecentFiles = 0;
};
