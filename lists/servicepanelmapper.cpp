#include "lists/servicepanelmapper.h"

#include "lists/listpanelmapper.h"

#include "document/objectsortfilterproxymodel.h"
#include "tuning/tvadvancedsettingsitemdelegatewidget.h"
#include "widgets/csvtablewidget.h"
#include "widgets/editablecombobox.h"
#include "widgets/enhanceddatawidgetmapper.h"
#include "widgets/multiplechoicewidget.h"

#include <QCheckBox>
#include <QDomDocument>
#include <QLineEdit>

namespace {
// The tuning element as the DOM writes it: a text laid out otherwise, or rewritten by the editor in its
// own layout, is the same tuning.
QString tuningContent(const QString &text)
{
    QDomDocument document;
    if (!document.setContent(text))
        return text;
    return document.toString(-1);
}
} // namespace

ServicePanelMapper::ServicePanelMapper(const Editors &editors, QObject *parent)
    : QObject(parent)
    , editors(editors)
    , rows(new ListPanelMapper(this))
{}

void ServicePanelMapper::attach(QAbstractItemModel *items, const QMap<QString, int> &fields)
{
    detach();
    const auto column = [&fields](const char *name) { return fields.value(QString::fromLatin1(name), -1); };
    mapper = rows->attach(items, true);
    // After the mapper has filled the panel (connected after it, so run after it).
    connect(mapper, &QDataWidgetMapper::currentIndexChanged, this, &ServicePanelMapper::keepProviderExact);
    connect(rows->model(), &QAbstractItemModel::dataChanged, this, &ServicePanelMapper::keepProviderExact);
    connect(mapper, &QDataWidgetMapper::currentIndexChanged, this, &ServicePanelMapper::noteShownTuning);
    providerColumn = column("provider");
    detailsColumn = column("<details");
    shownRow = QPersistentModelIndex();
    shownTuning.clear();
    mapper->addMapping(editors.name, column("name"));
    mapper->addMapping(editors.provider, providerColumn, "currentText");
    mapper->addMapping(editors.epg, column("@epgMarked"));
    mapper->addMapping(editors.details, column("<details"), "DetailedSettingsData");
    connect(editors.details, &TvAdvancedSettingsItemDelegateWidget::zbXmlChanged, mapper, &QDataWidgetMapper::submit,
            Qt::UniqueConnection);
    mapper->addMapping(editors.genres, column("genres"), "CsvContent");
    mapper->addMapping(editors.parentLock, column("parentLock"));
    mapper->addMapping(editors.childrenLock, column("childrenLock"), "SelectedValues");
    connect(editors.childrenLock, &MultipleChoiceWidget::SelectedValuesChanged, mapper, &QDataWidgetMapper::submit,
            Qt::UniqueConnection);
    empty = false;
}

void ServicePanelMapper::detach()
{
    if (mapper) {
        disconnect(editors.details, nullptr, mapper, nullptr);
        disconnect(editors.childrenLock, nullptr, mapper, nullptr);
        mapper = nullptr;
    }
    rows->detach();
    empty = false;
}

void ServicePanelMapper::showSource(const QModelIndex &source)
{
    if (!mapper)
        return;
    rows->showSource(source);
    empty = false;
}

bool ServicePanelMapper::showsService() const
{
    // The mapper's row is a persistent index: it turns invalid when its service is deleted.
    return mapper && !empty && mapper->currentIndex() >= 0;
}

void ServicePanelMapper::toFirst()
{
    if (mapper)
        mapper->toFirst();
}

void ServicePanelMapper::clear()
{
    empty = true;
    const QList<QWidget *> all{editors.name,    editors.provider,   editors.epg,         editors.genres,
                               editors.details, editors.parentLock, editors.childrenLock};
    for (QWidget *editor : all) {
        const QSignalBlocker blocker(editor);
        editor->setEnabled(false);
    }
    // Emptied without a word to the mapper: nothing of this reaches any service. The tuning editor
    // has no empty state; locked, it keeps what it showed.
    const QSignalBlocker a(editors.name), b(editors.provider), c(editors.epg), d(editors.parentLock), e(editors.genres),
        f(editors.childrenLock);
    editors.name->clear();
    editors.provider->setCurrentIndex(-1);
    editors.epg->setChecked(false);
    editors.parentLock->setChecked(false);
    editors.genres->setProperty("CsvContent", QString());
    editors.childrenLock->setProperty("SelectedValues", QString());
}

void ServicePanelMapper::reread()
{
    if (empty) {
        clear();
        return;
    }
    if (!mapper)
        return;
    mapper->revert();
    keepProviderExact();
}

void ServicePanelMapper::setQuiet(bool quiet)
{
    if (mapper)
        mapper->blockSignals(quiet);
}

void ServicePanelMapper::noteShownTuning()
{
    // The same service shown again (the panel following its row after a paste, say) keeps what it held
    // when it was first shown; only another service starts anew.
    const QModelIndex row = mapper ? rows->model()->index(mapper->currentIndex(), 0) : QModelIndex();
    if (row.isValid() && row == QModelIndex(shownRow))
        return;
    shownRow = row;
    shownTuning = shownTuningNow();
}

QString ServicePanelMapper::shownTuningNow() const
{
    if (!mapper || !shownRow.isValid() || detailsColumn < 0)
        return QString();
    return tuningContent(shownRow.sibling(shownRow.row(), detailsColumn).data(Qt::EditRole).toString());
}

bool ServicePanelMapper::tuningChanged() const
{
    return shownRow.isValid() && shownTuningNow() != shownTuning;
}

void ServicePanelMapper::keepProviderExact()
{
    // A provider box that cannot be typed in picks its entry without regard to case, so "ard" would
    // show, and on the next write store, "ARD": the service's own provider is chosen exactly instead.
    EditableComboBox *box = editors.provider;
    if (!mapper || empty || box->isEditable() || mapper->currentIndex() < 0)
        return;
    const QString value = rows->model()->index(mapper->currentIndex(), providerColumn).data(Qt::EditRole).toString();
    if (box->currentText() == value)
        return;
    for (int entry = 0; entry < box->count(); ++entry) {
        if (box->itemText(entry) == value) {
            const QSignalBlocker blocker(box);
            box->setCurrentIndex(entry);
            return;
        }
    }
}
