#pragma once

#include "document/itemsdatabasemodel.h"

#include <QSet>

#include <memory>

// One favourite list: its rows are the "ref" elements of one "list" element, each naming an entry of the
// document's items model by id. Entries dragged from the items table become refs, refs move within and
// between lists and documents (entries from another document are copied in with new ids), and the refs of
// an entry go when the entry is removed.
class ListModel : public ItemsDatabaseModel
{
    Q_OBJECT
public:
    ListModel(ItemsDatabaseModel *itemsModel, DocItemsDataProvider *refsProvider, const QString &mimeName,
              QObject *parent);

    // The columns are the owner's (the list tabs give all lists of a document the same ones).
    void setColumns(const QList<ItemProperty *> &properties);

    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    QStringList mimeTypes() const override;
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;
    Qt::DropActions supportedDropActions() const override;
    // Refused while a paste runs: the rows it is filling keep their places until it ends.
    bool removeRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;
    void fillMimeData(QMimeData *data, const QModelIndexList &indexes) const override;
    QString mimeType() const override;

    // A copy whose payload is large goes in over several turns of the event loop: the payload is read by a
    // worker thread, then the entries go in a step at a time, so that the window keeps repainting. While it
    // runs, no other drop is taken; the owner keeps the user from the list and shows the progress.
    bool isPasting() const { return paste != nullptr; }
    // Puts the rest of a running paste in now, without turning the event loop; nothing while none runs or
    // while one of its steps is under way.
    void finishPaste();
    // finishPaste for every list pasting into the entries of itemsModel: the document is read, compared or
    // dropped only whole.
    static void finishPastesInto(const ItemsDatabaseModel *itemsModel);
    // From how many payload bytes a copy is split, and how many entries go in at each step.
    static void setPasteSplit(qsizetype payloadBytes, int entriesPerStep);

    ~ListModel() override;

signals:
    void itemDropped();
    void pasteStarted();
    // done of total entries are in (the total is 0 while the payload is still being read)
    void pasteProgress(int done, int total);
    void pasteFinished();

public slots:
    void onRefItemRemoving(const QString &id);

private slots:
    void onItemsChanged();
    void onItemsAboutToBeRemoved();
    void onItemsRemoved();

private:
    // Removes every ref whose text is one of the ids, as row ranges from the highest down.
    void removeRefs(const QSet<QString> &ids);

    // Leaves out of refs every entry the list already holds.
    void leaveOutListed(QList<DocItem> *refs) const;
    QList<DocItem> refsFromItems(const QDomDocument &dropped) const;
    QStringList insertDroppedItems(const QDomDocument &dropped, QStringList *oldIds);

    struct PasteJob;
    bool startPaste(const QMimeData *data, int row);
    void pasteRead();
    void pasteStep();
    void endPaste();
    // The place the paste fills follows rows that others insert or remove meanwhile.
    void followInserted(int first, int last);
    void followRemoved(int first, int last);
    std::unique_ptr<PasteJob> paste;

    ItemsDatabaseModel *itemsModel = nullptr;
    QString refMimeType;
    // While the items model removes rows, the ids it announces are collected and their refs go in one
    // pass when the rows are gone, instead of one pass over the list per entry.
    int itemsRemoving = 0;
    QSet<QString> removedIds;
};
