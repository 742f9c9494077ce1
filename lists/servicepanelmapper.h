#pragma once

#include <QMap>
#include <QModelIndex>
#include <QObject>
#include <QPersistentModelIndex>

class CsvTableWidget;
class EditableComboBox;
class EnhancedDataWidgetMapper;
class ListPanelMapper;
class MultipleChoiceWidget;
class QAbstractItemModel;
class QCheckBox;
class QLineEdit;
class TvAdvancedSettingsItemDelegateWidget;

// Binds the editors of a service page's panel to one service of the items model (read through the
// panel's own unfiltered rows, so a service renamed out of the search still gets every later edit).
class ServicePanelMapper : public QObject
{
    Q_OBJECT
public:
    struct Editors
    {
        QLineEdit *name = nullptr;
        EditableComboBox *provider = nullptr;
        QCheckBox *epg = nullptr;
        TvAdvancedSettingsItemDelegateWidget *details = nullptr;
        CsvTableWidget *genres = nullptr;
        QCheckBox *parentLock = nullptr;
        MultipleChoiceWidget *childrenLock = nullptr;
    };

    ServicePanelMapper(const Editors &editors, QObject *parent);

    // Binds the editors to the columns named in fields ("name", "provider", ...) of items.
    void attach(QAbstractItemModel *items, const QMap<QString, int> &fields);
    void detach();
    bool isAttached() const { return mapper != nullptr; }
    // Shows the service at this index of the items model (or of a proxy over it, mapped by the caller).
    void showSource(const QModelIndex &source);
    void toFirst();
    // Empties the editors and locks them: the panel shows no service and takes no typing.
    void clear();
    bool isEmpty() const { return empty; }
    // Whether the editors show a service that is still in the model (not one whose row went).
    bool showsService() const;
    // Reads the shown service into the editors again, as after the form's texts were set anew.
    void reread();
    // While rows are pasted or deleted the panel says nothing.
    void setQuiet(bool quiet);
    // Whether the tuning of the service shown differs in content from what it held when the panel turned
    // to it: only then did the user's own change make it what it is.
    bool tuningChanged() const;

private:
    void keepProviderExact();
    void noteShownTuning();
    QString shownTuningNow() const;

    Editors editors;
    ListPanelMapper *rows = nullptr;
    EnhancedDataWidgetMapper *mapper = nullptr;
    int providerColumn = -1;
    int detailsColumn = -1;
    bool empty = false;
    // The row the panel turned to last, and its tuning then, in one form whatever the text's layout.
    QPersistentModelIndex shownRow;
    QString shownTuning;
};
