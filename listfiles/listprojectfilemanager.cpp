#include "listfiles/listprojectfilemanager.h"

#include "base/drivelist.h"
#include "base/settings.h"
#include "document/docitem.h"
#include "document/docitemsdataprovider.h"
#include "document/exception.h"
#include "document/listdocument.h"
#include "document/listitemsdatabasemodel.h"
#include "document/listmodel.h"
#include "listfiles/exportdrivepicker.h"
#include "widgets/messagebox.h"

#include <QDir>

ListProjectFileManager::ListProjectFileManager(const QString &settingsGroup, const QString &projectDescription,
                                               const QString &projectExtension, const QString &exportDescription,
                                               const QString &exportExtension, int maxRecentFiles, QWidget *parent)
    : ProjectFileManager(projectDescription, projectExtension, exportDescription, exportExtension, 10, parent)
{
    Q_UNUSED(settingsGroup)
    Q_UNUSED(maxRecentFiles)
}

ListProjectFileManager::~ListProjectFileManager()
{
    // The list kinds release their models when the document is closed; a document still loaded at
    // destruction goes with the manager.
    delete document;
}

QString ListProjectFileManager::fourListTemplate()
{
    return QStringLiteral("<?xml version='1.0' encoding='utf-8'?><TDocument>  <documentProperties>  "
                          "</documentProperties>  <items/>          <lists>            <list id='0'>            "
                          "</list>            <list id='1'>            </list>            <list id='2'>            "
                          "</list>            <list id='3'>            </list>          </lists></TDocument>");
}

QString ListProjectFileManager::documentText() const
{
    // a paste into one of the lists still going in steps is put in first: what is read is the whole list
    ListModel::finishPastesInto(itemsModel);
    return document ? document->toString(2) : QString();
}

bool ListProjectFileManager::openDocument(const QString &text)
{
    ListDocument *parsed = nullptr;
    try {
        parsed = new ListDocument(text.isNull() ? fourListTemplate() : text);
    } catch (const Exception &) {
        // The caller reports the failure in its own words.
        return false;
    }
    return adoptDocument(parsed);
}

std::unique_ptr<ListDocument> ListProjectFileManager::readDocument(const QString &text)
{
    if (text.trimmed().isEmpty())
        return nullptr;
    try {
        return std::make_unique<ListDocument>(text);
    } catch (const Exception &) {
        return nullptr;
    }
}

namespace {

// The entries' element name of another list kind found directly below the items; empty when there is none.
QString foreignEntryTag(const ListDocument &document, const QString &ownTag)
{
    static const QStringList kinds = {QStringLiteral("tvService"), QStringLiteral("radioService"),
                                      QStringLiteral("link")};
    for (QDomElement entry = document.items.firstChildElement(); !entry.isNull(); entry = entry.nextSiblingElement()) {
        const QString tag = entry.tagName();
        if (tag != ownTag && kinds.contains(tag))
            return tag;
    }
    return {};
}

} // namespace

QString ListProjectFileManager::kindName(const QString &tag)
{
    if (tag == QLatin1String("tvService"))
        return tr("TV lists");
    if (tag == QLatin1String("radioService"))
        return tr("radio lists");
    return tr("internet link lists");
}

bool ListProjectFileManager::openFileDocument(const QString &text, QString *refusal)
{
    std::unique_ptr<ListDocument> parsed = readDocument(text);
    if (!parsed)
        return false;
    const QString own = itemTag();
    const QString foreign = own.isEmpty() ? QString() : foreignEntryTag(*parsed, own);
    if (!foreign.isEmpty()) {
        *refusal = tr("Error. This file holds %1, not %2.").arg(kindName(foreign), kindName(own));
        return false;
    }
    return adoptDocument(parsed.release());
}

bool ListProjectFileManager::newProjectFromDocument(std::unique_ptr<ListDocument> parsed, const QString &text)
{
    if (!parsed)
        return false;
    return newProjectWith(text, [this, &parsed] { return adoptDocument(parsed.release()); });
}

bool ListProjectFileManager::adoptDocument(ListDocument *parsed)
{
    // A document still loaded goes the normal way first, so no model outlives the document it reads.
    if (document)
        closeDocument();
    document = parsed;
    setupDocument();
    // what the loading walk found and no list kind took is not kept
    document->takeServices(QStringLiteral("tvService"));
    document->takeServices(QStringLiteral("radioService"));
    emit loadDocument();
    return true;
}

bool ListProjectFileManager::documentRevision(quint64 *revision) const
{
    // a question about the changes concerns the whole paste, not the part of it in so far
    ListModel::finishPastesInto(itemsModel);
    *revision = DocItem::contentWrites();
    return true;
}

void ListProjectFileManager::closeDocument()
{
    if (!document)
        return;
    // A paste under way ends before its lists and entries go (a closing program or page, another file
    // opened or downloaded): whatever asked the question about the changes saw it whole.
    ListModel::finishPastesInto(itemsModel);
    // the page detaches its views while the models still exist
    emit unloadDocument();
    releaseModels();
    delete document;
    document = nullptr;
}

void ListProjectFileManager::releaseModels()
{
    // the items model reads the provider: it goes first
    delete itemsModel;
    itemsModel = nullptr;
    delete itemsProvider;
    itemsProvider = nullptr;
}

QString ListProjectFileManager::exportFileName()
{
    const QString drive = ExportDrivePicker::pickDrive(dialogParentWidget());
    if (drive.isEmpty())
        return {};
    // The file is written right after this: a stick pulled while the picker was open leaves an empty
    // mount folder on the PC's own disk, where an export would look written and never reach the receiver.
    if (!DriveList::isDrive(drive)) {
        MessageBox::warning(dialogParentWidget(),
                            tr("The drive %1 is no longer there. Nothing was exported: plug the drive in and "
                               "export again.")
                                .arg(QDir::toNativeSeparators(drive)));
        return {};
    }
    return QDir(drive).filePath(QStringLiteral("%1.%2").arg(Settings::favsListUpdateName(), exportFileExtension()));
}

bool ListProjectFileManager::newProject(const QString &text)
{
    return ProjectFileManager::newProject(text.isEmpty() ? ListDocument::emptyDocumentXml(listCount) : text);
}

void ListProjectFileManager::setupDocument() {}

void ListProjectFileManager::retranslate()
{
    if (itemsModel)
        itemsModel->retranslate();
}

QList<QList<int>> ListProjectFileManager::readLists() const
{
    QList<QList<int>> result;
    if (!document)
        return result;
    for (QDomElement list = document->lists.firstChildElement(QStringLiteral("list")); !list.isNull();
         list = list.nextSiblingElement(QStringLiteral("list"))) {
        QList<int> ids;
        const QDomNodeList refs = list.elementsByTagName(QStringLiteral("ref"));
        for (int i = 0; i < refs.size(); ++i) {
            bool ok = false;
            const int id = refs.at(i).firstChild().nodeValue().toInt(&ok);
            if (ok)
                ids.append(id);
        }
        result.append(ids);
    }
    return result;
}
