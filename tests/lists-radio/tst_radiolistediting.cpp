#include "testmain.h"

#include "dialoganswerer.h"
#include "generatedtvlist.h"
#include "radiolisttext.h"

#include "base/translatorloader.h"
#include "device/core/zbdeviceinfo.h"
#include "document/listitemsdatabasemodel.h"
#include "listfiles/radiolistprojectfilemanager.h"
#include "listfiles/tvlistprojectfilemanager.h"
#include "lists/favouritelisteditor.h"
#include "lists/radiolistmodule.h"
#include "lists/tvlistmodule.h"

#include <QDomDocument>
#include <QTableView>
#include <QTest>
#include <QTextStream>
#include <QTranslator>

namespace {
// The rows remembered for printing are the page's own; these pages show them.
class RadioPage : public RadioListModule
{
public:
    using ListsModuleShared::lastSelectedRows;
};
class TvPage : public TVListModule
{
public:
    using ListsModuleShared::lastSelectedRows;
};

// Every service element of a document by id, written out whole.
QMap<QString, QString> services(const QString &xml)
{
    QDomDocument doc;
    doc.setContent(xml);
    QMap<QString, QString> found;
    const QDomElement items = doc.documentElement().firstChildElement(QStringLiteral("items"));
    for (QDomElement e = items.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        QString text;
        QTextStream out(&text);
        e.save(out, -1);
        found.insert(e.attribute(QStringLiteral("id")), text);
    }
    return found;
}

// The same element with its children lock taken out.
QString withoutChildrenLock(QString element)
{
    static const QRegularExpression lock(QStringLiteral("<childrenLock>[^<]*</childrenLock>|<childrenLock/>"));
    return element.remove(lock);
}
} // namespace

class TestRadioListEditing : public QObject
{
    Q_OBJECT
    ZBDeviceInfo info{QStringLiteral("Box")};

    template<class Page> std::unique_ptr<Page> makePage(const QString &text)
    {
        auto page = std::make_unique<Page>();
        page->setDeviceInfo(&info);
        page->resize(1100, 760);
        page->show();
        page->onShow();
        if (!text.isEmpty())
            page->projectManager()->newProject(text);
        return page;
    }
    static int rowOf(QAbstractItemModel *model, const QString &id)
    {
        for (int row = 0; row < model->rowCount(); ++row)
            if (model->index(row, 8).data().toString() == id)
                return row;
        return -1;
    }

private slots:
    // The first show puts the tuning editor in radio mode; the TV page's editor stays as it is.
    void firstShow_data()
    {
        QTest::addColumn<bool>("radio");
        QTest::newRow("radio") << true;
        QTest::newRow("tv") << false;
    }
    void firstShow()
    {
        QFETCH(bool, radio);
        std::unique_ptr<ServiceListModule> owner;
        TvAdvancedSettingsItemDelegateWidget *tuning = nullptr;
        QString newName;
        QString element;
        if (radio) {
            auto page = makePage<RadioPage>(RadioListText::numbered(3));
            tuning = page->detailedSettingsWidget;
            page->onShow(); // a second show changes nothing
            page->btnCreateNewItem->click();
            ListItemsDatabaseModel *items = page->projectManager()->itemsModel;
            const QModelIndex current = page->itemsTableViewAll->currentIndex();
            const QString id = current.siblingAtColumn(8).data().toString();
            newName = QStringLiteral("New radio service ") + id;
            QCOMPARE(items->indexById(id, 1).data().toString(), newName);
            QCOMPARE(page->titleLineEdit->text(), newName);
            element = page->projectManager()->documentText();
            owner = std::move(page);
        } else {
            auto page = makePage<TvPage>(GeneratedTvList::text(3));
            tuning = page->detailedSettingsWidget;
            page->btnCreateNewItem->click();
            const QString id = page->itemsTableViewAll->currentIndex().siblingAtColumn(8).data().toString();
            newName = QStringLiteral("New TV service ") + id;
            QCOMPARE(page->projectManager()->itemsModel->indexById(id, 1).data().toString(), newName);
            QCOMPARE(page->txtServiceTitle->text(), newName);
            element = page->projectManager()->documentText();
            owner = std::move(page);
        }
        QCOMPARE(tuning->cmbAnalogTvNorm->isHidden(), radio);
        QCOMPARE(tuning->a_tvNormLabel->isHidden(), radio);
        QCOMPARE(tuning->a_freqByChannelToolButton->isHidden(), radio);
        QCOMPARE(tuning->sbAnalogFrequency->decimals() == 2, radio);
        QVERIFY(element.contains(radio ? QStringLiteral("<radioService") : QStringLiteral("<tvService")));
        QVERIFY(!element.contains(radio ? QStringLiteral("<tvService") : QStringLiteral("<radioService")));
        QVERIFY(element.contains(newName));
    }

    // With the panel open a delete shows the service that becomes current, or, with none, an empty
    // panel that takes no typing.
    void deleteWithThePanelOpen_data()
    {
        QTest::addColumn<QList<int>>("deleted"); // ids
        QTest::newRow("a middle service") << QList<int>{2};
        QTest::newRow("the last service") << QList<int>{4};
        QTest::newRow("two services") << QList<int>{1, 2};
        QTest::newRow("every service") << QList<int>{1, 2, 3, 4};
    }
    void deleteWithThePanelOpen()
    {
        QFETCH(QList<int>, deleted);
        auto page = makePage<RadioPage>(RadioListText::numbered(4));
        ItemsTableView *table = page->itemsTableViewAll;
        QAbstractItemModel *rows = table->model();
        table->selectRow(rowOf(rows, QString::number(deleted.first())));
        page->btnShowServiceSettings->click();
        QVERIFY(page->tabServiceProperties->isVisible());
        QCOMPARE(page->titleLineEdit->text(), QStringLiteral("Radio %1").arg(deleted.first()));
        table->selectionModel()->clearSelection();
        for (int id : deleted)
            table->selectionModel()->select(rows->index(rowOf(rows, QString::number(id)), 0),
                                            QItemSelectionModel::Select | QItemSelectionModel::Rows);
        table->deleteSelected();
        QCOMPARE(rows->rowCount(), 4 - deleted.size());
        QVERIFY(page->tabServiceProperties->isVisible());
        ListItemsDatabaseModel *items = page->projectManager()->itemsModel;
        const QString before = page->projectManager()->documentText();
        if (rows->rowCount() == 0) {
            for (QWidget *editor :
                 std::initializer_list<QWidget *>{page->titleLineEdit, page->providerComboBox, page->epgCheckBox,
                                                  page->parentLockCheckBox, page->parentalControlMultipleChoice})
                QVERIFY2(!editor->isEnabled(), qPrintable(editor->objectName()));
            QCOMPARE(page->titleLineEdit->text(), QString());
            QCOMPARE(page->providerComboBox->currentText(), QString());
            QVERIFY(!page->epgCheckBox->isChecked());
            QCOMPARE(page->parentalControlMultipleChoice->values(), QString());
            QCOMPARE(page->projectManager()->documentText(), before);
            // A new service opens the panel again for typing.
            page->btnCreateNewItem->click();
            QCOMPARE(rows->rowCount(), 1);
            const QString id = rows->index(0, 8).data().toString();
            QVERIFY(page->titleLineEdit->isEnabled());
            QCOMPARE(page->titleLineEdit->text(), items->indexById(id, 1).data().toString());
            QVERIFY(page->titleLineEdit->text().startsWith(QLatin1String("New radio service ")));
            return;
        }
        const QModelIndex current = table->currentIndex();
        QVERIFY(current.isValid());
        QCOMPARE(table->selectionModel()->selectedRows(0).size(), 1);
        QCOMPARE(table->selectionModel()->selectedRows(0).first().row(), current.row());
        const QString id = rows->index(current.row(), 8).data().toString();
        QVERIFY(!deleted.contains(id.toInt()));
        QCOMPARE(page->titleLineEdit->text(), items->indexById(id, 1).data().toString());
        QCOMPARE(page->providerComboBox->currentText(), items->indexById(id, 2).data().toString());
        QVERIFY(page->titleLineEdit->isEnabled());
        // Typing goes to the service shown.
        page->titleLineEdit->setFocus();
        page->titleLineEdit->setText(QStringLiteral("Typed"));
        QTest::keyClick(page->titleLineEdit, Qt::Key_Return);
        QTRY_COMPARE(items->indexById(id, 1).data().toString(), QStringLiteral("Typed"));
    }

    // Browsing every row with the panel open through three languages writes nothing; ticking one
    // children lock then changes that lock alone, also for providers that differ only in case.
    void browsingWritesNothing_data()
    {
        QTest::addColumn<QString>("ticked"); // id
        QTest::newRow("on ARD") << "2";
        QTest::newRow("on ard") << "3";
        QTest::newRow("on the name with an ampersand") << "1";
    }
    void browsingWritesNothing()
    {
        QFETCH(QString, ticked);
        const QString text = RadioListText::text({"Rock & Pop", "Bayern 3", "Ärger FM", "Łódź", "Antenne"},
                                                 {"ard", "ARD", "ard", "Ąę", ""});
        auto page = makePage<RadioPage>(text);
        const QMap<QString, QString> before = services(page->projectManager()->documentText());
        QCOMPARE(before.size(), 5);
        ItemsTableView *table = page->itemsTableViewAll;
        table->selectRow(0);
        page->btnShowServiceSettings->click();
        QVERIFY(page->tabServiceProperties->isVisible());
        QString shownName = table->model()->index(0, 1).data().toString();
        for (const QString &language : {QStringLiteral("de_DE"), QStringLiteral("pl_PL"), QString()}) {
            QTranslator translator;
            if (!language.isEmpty()) {
                QVERIFY(loadTranslator(&translator, language));
                QCoreApplication::installTranslator(&translator);
                QCoreApplication::processEvents();
            }
            // The panel still shows its service after the form was re-texted.
            QCOMPARE(page->titleLineEdit->text(), shownName);
            for (int row = 0; row < table->model()->rowCount(); ++row) {
                table->selectRow(row);
                QCOMPARE(page->titleLineEdit->text(), table->model()->index(row, 1).data().toString());
                QCOMPARE(page->providerComboBox->currentText(), table->model()->index(row, 2).data().toString());
                shownName = page->titleLineEdit->text();
            }
            if (!language.isEmpty()) {
                QCoreApplication::removeTranslator(&translator);
                QCoreApplication::processEvents();
            }
            QCOMPARE(services(page->projectManager()->documentText()), before);
        }
        QVERIFY(!page->projectManager()->isModified());

        table->selectRow(rowOf(table->model(), ticked));
        QTableView *choices = page->parentalControlMultipleChoice->findChild<QTableView *>();
        QVERIFY(choices && choices->model()->rowCount() >= 2);
        int unticked = 0;
        while (unticked < choices->model()->rowCount() &&
               choices->model()->index(unticked, 0).data(Qt::CheckStateRole).toInt() == Qt::Checked)
            ++unticked;
        QVERIFY(choices->model()->setData(choices->model()->index(unticked, 0), Qt::Checked, Qt::CheckStateRole));
        const QMap<QString, QString> after = services(page->projectManager()->documentText());
        for (auto it = before.cbegin(); it != before.cend(); ++it) {
            if (it.key() == ticked) {
                QVERIFY(after.value(it.key()) != it.value());
                QCOMPARE(withoutChildrenLock(after.value(it.key())), withoutChildrenLock(it.value()));
            } else {
                QCOMPARE(after.value(it.key()), it.value());
            }
        }
    }

    // A favourite-list selection that leaves no row selected forgets the rows remembered for printing
    // on the radio page; the TV page keeps them.
    void favouriteSelectionAndRememberedRows_data()
    {
        QTest::addColumn<bool>("radio");
        QTest::newRow("radio") << true;
        QTest::newRow("tv") << false;
    }
    void favouriteSelectionAndRememberedRows()
    {
        QFETCH(bool, radio);
        std::unique_ptr<RadioPage> radioPage;
        std::unique_ptr<TvPage> tvPage;
        ItemsTableView *table = nullptr;
        ListTabWidget *tabs = nullptr;
        QModelIndexList *remembered = nullptr;
        if (radio) {
            radioPage = makePage<RadioPage>(RadioListText::numbered(6));
            table = radioPage->itemsTableViewAll;
            tabs = radioPage->listsTabWidget;
            remembered = &radioPage->lastSelectedRows;
        } else {
            tvPage = makePage<TvPage>(GeneratedTvList::text(6));
            table = tvPage->itemsTableViewAll;
            tabs = tvPage->listsTabWidget;
            remembered = &tvPage->lastSelectedRows;
        }
        for (int row : {1, 2})
            table->selectionModel()->select(table->model()->index(row, 0),
                                            QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QCOMPARE(remembered->size(), 2);
        auto *editor = qobject_cast<FavouriteListEditor *>(tabs->currentWidget());
        QVERIFY(editor);
        QVERIFY(editor->tblItems->model()->rowCount() > 0);
        editor->tblItems->selectRow(0);
        QCOMPARE(remembered->size(), 1);
        editor->tblItems->clearSelection();
        QCOMPARE(remembered->size(), radio ? 0 : 1);
    }
};

OMBRELAY_TEST_MAIN(TestRadioListEditing)
#include "tst_radiolistediting.moc"
