#pragma once

#include "listfiles/projectfilemanager.h"

#include <QList>
#include <QMap>
#include <QString>

#include <memory>

class DocItemsDataProvider;
class ListDocument;
class ListItemsDatabaseModel;

// The project-file manager of list files: turns text into a ListDocument and back, gives a new project an
// empty document with the module's number of favourite lists, sends the export to a removable drive, and
// gives the list pages the loaded document's provider, columns and models (built by the list kinds).
class ListProjectFileManager : public ProjectFileManager
{
    Q_OBJECT
public:
    // Every list manager keeps ten recent files, whatever maxRecentFiles says. The settings group names
    // where the list kind keeps its project settings; nothing is stored under it yet.
    ListProjectFileManager(const QString &settingsGroup, const QString &projectDescription,
                           const QString &projectExtension, const QString &exportDescription,
                           const QString &exportExtension, int maxRecentFiles, QWidget *parent);
    ~ListProjectFileManager() override;

    // The document as saved, exported and compared: the DOM text with an indentation of 2.
    QString documentText() const override;
    bool openDocument(const QString &text) override;
    void closeDocument() override;
    // "<drive>/FavsListUpdate.<export extension>" on the drive the user picks; null when cancelled.
    QString exportFileName() override;

    virtual void setupDocument();
    virtual void retranslate();
    // The element name of the entries of this list kind ("tvService", "radioService", "link").
    virtual QString itemTag() const { return QString(); }

    DocItemsDataProvider *itemsDataProvider() const { return itemsProvider; }
    int maximumListCount() const { return listCount; }
    void setListCount(int count) { listCount = count; }
    // The favourite lists of the loaded document as item ids; refs that are no number are skipped.
    QList<QList<int>> readLists() const;

    // What the entries of the element name are called in messages: "TV lists", "radio lists" and so on.
    static QString kindName(const QString &tag);

    // The fixed text of a new document with four lists, used when no text at all is given.
    static QString fourListTemplate();

    // The document of a list text, validated; null when the text is no list document. Touches nothing
    // shared, so it may run on any thread.
    static std::unique_ptr<ListDocument> readDocument(const QString &text);
    // newProject with a document readDocument built from text: the save question first; a cancelled
    // question keeps the open project and drops parsed.
    bool newProjectFromDocument(std::unique_ptr<ListDocument> parsed, const QString &text);

    DocItemsDataProvider *itemsProvider = nullptr;
    QMap<QString, int> fieldColumns;
    ListDocument *document = nullptr;
    ListItemsDatabaseModel *itemsModel = nullptr;

public slots:
    bool newProject(const QString &text = QString()) override;

signals:
    void loadDocument();
    void unloadDocument();

protected:
    // A file whose entries are of another list kind is refused: the page would show none of them and send
    // them on as its own kind.
    bool openFileDocument(const QString &text, QString *refusal) override;
    // Every change of a list document goes through DocItem or the item providers, which count it.
    bool documentRevision(quint64 *revision) const override;

    // Deletes what setupDocument built for the loaded document: here the items model and its
    // provider. A list kind with models of its own deletes those first (they listen to the items
    // model), then calls this.
    virtual void releaseModels();

private:
    // Puts a built document in place with its models.
    bool adoptDocument(ListDocument *parsed);

    int listCount = 4;
};
