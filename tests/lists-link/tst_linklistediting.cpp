#include "testmain.h"

#include "dialoganswerer.h"
#include "listpagetest.h"
#include "radiolisttext.h"

#include "base/translatorloader.h"
#include "device/core/zbdeviceinfo.h"
#include "document/listitemsdatabasemodel.h"
#include "listfiles/linklistprojectfilemanager.h"
#include "listfiles/radiolistprojectfilemanager.h"
#include "lists/basiceditpanel.h"
#include "lists/linklistmodule.h"
#include "lists/radiolistmodule.h"

#include <QDomDocument>
#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QToolButton>
#include <QTranslator>

namespace {
// Title of every link of a document text by id.
QMap<int, QString> linkTitles(const QString &text)
{
    QDomDocument doc;
    doc.setContent(text);
    QMap<int, QString> found;
    const QDomElement items = doc.documentElement().firstChildElement(QStringLiteral("items"));
    for (QDomElement e = items.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        found.insert(e.attribute(QStringLiteral("id")).toInt(), e.firstChildElement(QStringLiteral("title")).text());
    return found;
}

// The page's editing state is its own; the tests read it.
class LinkPage : public LinkListModule
{
public:
    using ListsModuleShared::newItemPending;
};

int rowOfId(QAbstractItemModel *model, int id)
{
    for (int row = 0; row < model->rowCount(); ++row)
        if (model->index(row, 8).data().toString() == QString::number(id))
            return row;
    return -1;
}

void clickCell(QTableView *table, int row, int column)
{
    const QRect rect = table->visualRect(table->model()->index(row, column));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, rect.center());
}

QToolButton *deleteButtonOf(BasicEditPanel *panel)
{
    for (QToolButton *button : panel->findChildren<QToolButton *>())
        if (button->isVisible() && button->text().remove(QLatin1Char('&')) == QLatin1String("Delete"))
            return button;
    return nullptr;
}
} // namespace

class TestLinkListEditing : public QObject
{
    Q_OBJECT
    ZBDeviceInfo info{QStringLiteral("Box")};


private slots:
    // A delete on the tool bar with the panel open: the panel shows the link that becomes current, and what is
    // typed there goes to that link; with no link left, its editors are empty and locked.
    void deleteWithThePanelOpen_data()
    {
        QTest::addColumn<QList<int>>("deleted"); // ids
        QTest::newRow("a middle link") << QList<int>{2};
        QTest::newRow("the last link") << QList<int>{4};
        QTest::newRow("two links") << QList<int>{1, 2};
        QTest::newRow("every link") << QList<int>{1, 2, 3, 4};
    }
    void deleteWithThePanelOpen()
    {
        QFETCH(QList<int>, deleted);
        auto page = showListPage<LinkListModule>(&info, linkDocument({1, 2, 3, 4}));
        ItemsTableView *table = page->itemsTableViewAll;
        QAbstractItemModel *rows = table->model();
        clickCell(table, rowOfId(rows, deleted.first()), 1);
        QTest::mouseClick(page->btnShowServiceSettings, Qt::LeftButton);
        QVERIFY(page->tabServiceProperties->isVisible());
        QCOMPARE(page->txtLinkTitle->text(), QStringLiteral("Link %1").arg(deleted.first()));
        for (int id : deleted.mid(1))
            QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::ControlModifier,
                              table->visualRect(rows->index(rowOfId(rows, id), 1)).center());
        QCOMPARE(table->selectionModel()->selectedRows().size(), deleted.size());
        QToolButton *remove = deleteButtonOf(page->basicServicesEdit);
        QVERIFY(remove);
        QTest::mouseClick(remove, Qt::LeftButton);
        QCOMPARE(rows->rowCount(), 4 - deleted.size());
        QVERIFY(page->tabServiceProperties->isVisible());
        LinkListProjectFileManager *manager = page->projectManager();
        const QString before = manager->documentText();
        if (rows->rowCount() == 0) {
            for (QWidget *editor :
                 std::initializer_list<QWidget *>{page->txtLinkTitle, page->txtLinkUrl, page->parentLockCheckBox,
                                                  page->parentalControlMultipleChoice})
                QVERIFY2(!editor->isEnabled(), qPrintable(editor->objectName()));
            QCOMPARE(page->txtLinkTitle->text(), QString());
            QCOMPARE(page->txtLinkUrl->text(), QString());
            QVERIFY(!page->parentLockCheckBox->isChecked());
            QCOMPARE(page->lblGenreValue->text(), QString());
            QVERIFY(!page->lblLinkUrl->isEnabled());
            // Typing reaches nothing.
            QTest::keyClicks(page->txtLinkTitle, QStringLiteral("lost"));
            QTest::keyClick(page->txtLinkTitle, Qt::Key_Return);
            QCOMPARE(manager->documentText(), before);
            // A new link opens the panel again for typing.
            page->btnCreateNewItem->click();
            QCOMPARE(rows->rowCount(), 1);
            QVERIFY(page->txtLinkTitle->isEnabled());
            QVERIFY(page->txtLinkUrl->isEnabled());
            QVERIFY(page->lblLinkUrl->isEnabled());
            QCOMPARE(page->txtLinkTitle->text(), rows->index(0, 1).data().toString());
            return;
        }
        const QModelIndex current = table->currentIndex();
        QVERIFY(current.isValid());
        QCOMPARE(table->selectionModel()->selectedRows(0).size(), 1);
        QCOMPARE(table->selectionModel()->selectedRows(0).first().row(), current.row());
        const int id = rows->index(current.row(), 8).data().toInt();
        QVERIFY(!deleted.contains(id));
        QCOMPARE(page->txtLinkTitle->text(), QStringLiteral("Link %1").arg(id));
        QCOMPARE(page->txtLinkUrl->text(), QStringLiteral("http://%1").arg(id));
        QVERIFY(page->txtLinkTitle->isEnabled());
        QVERIFY(page->lblLinkUrl->isEnabled());
        // Typing goes to the link shown, and only to it.
        page->txtLinkTitle->setFocus(Qt::OtherFocusReason);
        page->txtLinkTitle->selectAll();
        QTest::keyClicks(page->txtLinkTitle, QStringLiteral("Typed"));
        QTest::keyClick(page->txtLinkTitle, Qt::Key_Return);
        QMap<int, QString> expected = linkTitles(before);
        expected[id] = QStringLiteral("Typed");
        QTRY_COMPARE(linkTitles(manager->documentText()), expected);
    }

    // A new link is numbered after the highest id in use, never with a free lower one; its proposed title
    // carries that number.
    void newLinkIds_data()
    {
        QTest::addColumn<QList<int>>("ids");
        QTest::addColumn<QList<int>>("deleted");
        QTest::addColumn<QList<int>>("expected"); // of two new links, one after the other
        QTest::newRow("empty list") << QList<int>{} << QList<int>{} << QList<int>{1, 2};
        QTest::newRow("0 free") << QList<int>{1, 2, 3} << QList<int>{} << QList<int>{4, 5};
        QTest::newRow("a deleted link's id") << QList<int>{0, 1, 2, 3} << QList<int>{1} << QList<int>{4, 5};
        QTest::newRow("a gap in the middle") << QList<int>{0, 7} << QList<int>{} << QList<int>{8, 9};
    }
    void newLinkIds()
    {
        QFETCH(QList<int>, ids);
        QFETCH(QList<int>, deleted);
        QFETCH(QList<int>, expected);
        auto page = showListPage<LinkPage>(&info, linkDocument(ids));
        ItemsTableView *table = page->itemsTableViewAll;
        QAbstractItemModel *rows = table->model();
        for (int id : deleted) {
            table->selectRow(rowOfId(rows, id));
            table->deleteSelected();
        }
        LinkListProjectFileManager *manager = page->projectManager();
        DialogAnswerer answers;
        answers.boxAnswers << "No, delete it";
        for (int i = 0; i < expected.size(); ++i) {
            const int id = expected.at(i);
            page->btnCreateNewItem->click();
            QVERIFY(page->newItemPending);
            QCOMPARE(rows->index(table->currentIndex().row(), 8).data().toInt(), id);
            QCOMPARE(page->txtLinkTitle->text(), QStringLiteral("New link %1").arg(id));
            page->txtLinkUrl->setFocus(Qt::OtherFocusReason);
            QTest::keyClicks(page->txtLinkUrl, QStringLiteral("http://new%1").arg(id));
            QTest::mouseClick(page->btnSaveServiceSettings, Qt::LeftButton);
            QVERIFY(!page->newItemPending);
            const QMap<int, QString> titles = linkTitles(manager->documentText());
            QCOMPARE(titles.value(id), QStringLiteral("New link %1").arg(id));
            QCOMPARE(titles.size(), ids.size() - deleted.size() + i + 1);
            for (int gone : deleted)
                QVERIFY(!titles.contains(gone));
        }
        QCOMPARE(answers.boxTexts, QStringList());
    }

    // The all-links column: the table takes the height the tool bar does not need, in every language; typing
    // on a row moves nothing into an editor; and the form's own values.
    void allLinksColumn_data()
    {
        QTest::addColumn<QString>("language");
        QTest::newRow("en") << "en_EN";
        QTest::newRow("de") << "de_DE";
        QTest::newRow("pl") << "pl_PL";
    }
    void allLinksColumn()
    {
        QFETCH(QString, language);
        QTranslator translator;
        if (language != QLatin1String("en_EN")) {
            QVERIFY(loadTranslator(&translator, language));
            QCoreApplication::installTranslator(&translator);
        }
        auto page = showListPage<LinkListModule>(&info, linkDocument({1, 2, 3}), QSize(1027, 700));
        QCOMPARE(page->stackedWidget->currentIndex(), 1);
        QCoreApplication::processEvents();
        QFrame *column = page->frAllItemsContainer;
        ItemsTableView *table = page->itemsTableViewAll;
        QWidget *tools = page->itemsToolBar;
        QCOMPARE(tools->height(), 30);
        for (QWidget *member :
             std::initializer_list<QWidget *>{page->btnCreateNewItem, page->basicServicesEdit, page->filterToolButton,
                                              page->showHideColumnsToolButton})
            QVERIFY2(member->height() == 30 && member->y() == 0, qPrintable(member->objectName()));
        // No band between the title, the tool bar and the table.
        QCOMPARE(tools->y(), page->allServicesFrame->geometry().bottom() + 1 + 2);
        QCOMPARE(table->y(), tools->geometry().bottom() + 1);
        QVERIFY2(table->height() * 100 > column->height() * 70,
                 qPrintable(QStringLiteral("%1 of %2").arg(table->height()).arg(column->height())));

        // A letter on a selected row does not start editing, nor does Enter write anything.
        const QString before = page->projectManager()->documentText();
        clickCell(table, 0, 1);
        QTest::keyClick(table, Qt::Key_X);
        QVERIFY(!table->isEditing());
        QTest::keyClick(table, Qt::Key_Return);
        QTest::keyClick(table, Qt::Key_Down);
        QCOMPARE(page->projectManager()->documentText(), before);

        QCOMPARE(page->windowTitle(), QStringLiteral("Form"));
        QCOMPARE(page->btnDownloadLists->iconSize(), QSize(60, 60));
        QCOMPARE(column->minimumWidth(), 510);
        QCOMPARE(tools->maximumHeight(), 30);
        QCOMPARE(page->btnCreateNewItem->minimumHeight(), 30);
        QCOMPARE(page->btnCreateNewItem->maximumHeight(), 30);
        for (QWidget *member :
             std::initializer_list<QWidget *>{page->btnCreateNewItem, page->basicServicesEdit, page->filterToolButton,
                                              page->showHideColumnsToolButton})
            QCOMPARE(member->sizePolicy(), QSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred));
        QCOMPARE(table->editTriggers(), QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
        if (language != QLatin1String("en_EN"))
            QCoreApplication::removeTranslator(&translator);
    }

    // After the focus went from the panel to the table, the first click on a panel tab changes the tab, on
    // either page, styled as the program styles it; browsing the tabs writes nothing.
    void firstTabClickCounts_data()
    {
        QTest::addColumn<bool>("radio");
        QTest::addColumn<bool>("fromTheTitleField"); // else from the table's title cell
        QTest::newRow("link page, title field") << false << true;
        QTest::newRow("link page, title cell") << false << false;
        QTest::newRow("radio page, name field") << true << true;
        QTest::newRow("radio page, name cell") << true << false;
    }
    void firstTabClickCounts()
    {
        QFETCH(bool, radio);
        QFETCH(bool, fromTheTitleField);
        std::unique_ptr<ListsModuleShared> owner;
        TabWidget *tabs = nullptr;
        QLineEdit *title = nullptr;
        ItemsTableView *table = nullptr;
        std::function<QString()> documentText;
        if (radio) {
            auto page = showListPage<RadioListModule>(&info, RadioListText::numbered(3));
            tabs = page->tabServiceProperties;
            title = page->titleLineEdit;
            table = page->itemsTableViewAll;
            documentText = [manager = page->projectManager()] { return manager->documentText(); };
            owner = std::move(page);
        } else {
            auto page = showListPage<LinkListModule>(&info, linkDocument({1, 2, 3}));
            tabs = page->tabServiceProperties;
            title = page->txtLinkTitle;
            table = page->itemsTableViewAll;
            documentText = [manager = page->projectManager()] { return manager->documentText(); };
            owner = std::move(page);
        }
        QFile style(QStringLiteral(":/styles/style"));
        QVERIFY(style.open(QIODevice::ReadOnly));
        owner->setStyleSheet(QString::fromUtf8(style.readAll()));
        const QString before = documentText();
        clickCell(table, 1, 1);
        QTest::mouseClick(owner->findChild<QPushButton *>(QStringLiteral("btnShowServiceSettings")), Qt::LeftButton);
        QVERIFY(tabs->isVisible());
        QCOMPARE(tabs->currentIndex(), 0);
        if (fromTheTitleField) {
            QTest::mouseClick(title, Qt::LeftButton);
            QCOMPARE(QApplication::focusWidget(), title);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            // Wherever the two Tabs went, the focus then goes to the table.
            clickCell(table, 1, 1);
        } else {
            clickCell(table, 0, 1);
            QTest::keyClick(table, Qt::Key_Tab);
            QTest::keyClick(table, Qt::Key_Tab);
        }
        QCOMPARE(QApplication::focusWidget(), table);
        QVERIFY(tabs->isVisible());
        QTabBar *bar = tabs->tabBar();
        for (int tab : {1, tabs->count() - 1, 0, 1, 0}) {
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab).center());
            QCOMPARE(tabs->currentIndex(), tab);
        }
        QCOMPARE(documentText(), before);
    }

    // A page closed while the panel holds typing not yet written: the page goes without calling into itself half
    // destroyed (the window's close moves the focus out of the field, which writes the field).
    void closingWithTypingInThePanel_data()
    {
        QTest::addColumn<QString>("field");
        QTest::newRow("title") << "txtLinkTitle";
        QTest::newRow("url") << "txtLinkUrl";
    }
    void closingWithTypingInThePanel()
    {
        QFETCH(QString, field);
        auto page = showListPage<LinkListModule>(&info, linkDocument({1, 2}));
        clickCell(page->itemsTableViewAll, 0, 1);
        QTest::mouseClick(page->btnShowServiceSettings, Qt::LeftButton);
        auto *edit = page->findChild<QLineEdit *>(field);
        QVERIFY(edit && edit->isVisible());
        QTest::mouseClick(edit, Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), edit);
        QTest::keyClicks(edit, QStringLiteral("typed"));
        QPointer<LinkListModule> watch(page.get());
        page.reset();
        QVERIFY(watch.isNull());
        // A second page works as the first did.
        auto next = showListPage<LinkListModule>(&info, linkDocument({1}));
        clickCell(next->itemsTableViewAll, 0, 1);
        QTest::mouseClick(next->btnShowServiceSettings, Qt::LeftButton);
        QCOMPARE(next->txtLinkTitle->text(), QStringLiteral("Link 1"));
    }

    // The page's first-show hook is a slot, so that it can be reached by name.
    void onShowIsASlot()
    {
        const QMetaObject &meta = LinkListModule::staticMetaObject;
        const int index = meta.indexOfSlot("onShow()");
        QVERIFY(index >= 0);
        QCOMPARE(meta.method(index).access(), QMetaMethod::Public);
        auto page = std::make_unique<LinkListModule>();
        page->setDeviceInfo(&info);
        page->show();
        QVERIFY(QMetaObject::invokeMethod(page.get(), "onShow"));
        // The first show wired the page: the tuning tab is gone.
        QCOMPARE(page->tabServiceProperties->count(), 2);
        QCOMPARE(page->stackedWidget->currentIndex(), 0);
    }
};

OMBRELAY_TEST_MAIN(TestLinkListEditing)
#include "tst_linklistediting.moc"
