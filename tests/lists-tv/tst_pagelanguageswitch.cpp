#include "testmain.h"

#include "dialoganswerer.h"
#include "listinthewindow.h"
#include "listoftype.h"
#include "listpagetest.h"

#include "app/mainwindow.h"
#include "app/settingspage.h"
#include "app/startup.h"
#include "base/translatorloader.h"
#include "device/core/zbdeviceinfo.h"
#include "devices/zbdevice.h"
#include "devices/zbdevicecollection.h"
#include "document/listitemsdatabasemodel.h"
#include "document/objectsortfilterproxymodel.h"
#include "listfiles/linklistprojectfilemanager.h"
#include "listfiles/radiolistprojectfilemanager.h"
#include "listfiles/tvlistprojectfilemanager.h"
#include "lists/basiceditpanel.h"
#include "lists/linklistmodule.h"
#include "lists/radiolistmodule.h"
#include "lists/tvlistmodule.h"
#include "widgets/itemstableview.h"
#include "widgets/ssearchlineedit.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMap>
#include <QRadioButton>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

// A list open on a page while the language goes from English to German to Polish: every text the page
// shows follows, the buttons of its edit panels and the column titles of its tables too, without the list
// being opened again; a search typed in the box stays, with the rows it shows.
namespace {

using Texts = QMap<QString, QString>;

// What the page shows now: each visible button, label, group, tab and tool tip, keyed by where it is, so
// two pages built alike have the same keys.
Texts shownTexts(QWidget *page)
{
    Texts texts;
    QMap<QString, int> seen;
    const auto key = [page, &seen](QWidget *widget, const QString &what) {
        QString path = what;
        for (QWidget *at = widget; at && at != page; at = at->parentWidget())
            path.prepend(at->objectName() + u'/');
        // widgets without names under one parent stay apart by their order
        return path + u'#' + QString::number(seen[path]++);
    };
    for (QWidget *widget : page->findChildren<QWidget *>()) {
        if (!widget->isVisibleTo(page))
            continue;
        if (auto *button = qobject_cast<QAbstractButton *>(widget))
            texts.insert(key(widget, QStringLiteral("text")), button->text().remove(u'&'));
        else if (auto *label = qobject_cast<QLabel *>(widget))
            texts.insert(key(widget, QStringLiteral("text")), label->text());
        else if (auto *group = qobject_cast<QGroupBox *>(widget))
            texts.insert(key(widget, QStringLiteral("title")), group->title());
        else if (auto *search = qobject_cast<SSearchLineEdit *>(widget))
            texts.insert(key(widget, QStringLiteral("hint")), search->shownHint());
        if (auto *tabs = qobject_cast<QTabWidget *>(widget))
            for (int i = 0; i < tabs->count(); ++i)
                texts.insert(key(widget, QStringLiteral("tab%1").arg(i)), tabs->tabText(i).remove(u'&'));
        texts.insert(key(widget, QStringLiteral("tip")), widget->toolTip());
        // the column titles of the all-items table and of the favourite lists
        if (auto *header = qobject_cast<QHeaderView *>(widget);
            header && header->orientation() == Qt::Horizontal && header->model())
            for (int section = 0; section < header->count(); ++section)
                texts.insert(key(widget, QStringLiteral("column%1").arg(section)),
                             header->model()->headerData(section, Qt::Horizontal).toString());
    }
    return texts;
}

// Only the column titles of texts.
Texts columnTitles(const Texts &texts)
{
    Texts titles;
    for (auto it = texts.cbegin(); it != texts.cend(); ++it)
        if (it.key().contains(QLatin1String("/column")))
            titles.insert(it.key(), it.value());
    return titles;
}

// The window shown and active with a USB receiver that takes four favourite lists.
void showWithAReceiver(MainWindow &window)
{
    ZBDeviceInfo usb = usbReceiver();
    usb.setNetListMaxCount(4);
    window.collection()->append(usb);
    window.show();
    QApplication::setActiveWindow(&window);
}

// The keys whose texts differ between what a page shows after a switch and what a page made in that
// language shows.
QStringList differences(const Texts &switched, const Texts &fresh)
{
    QStringList found;
    for (auto it = fresh.cbegin(); it != fresh.cend(); ++it)
        if (switched.contains(it.key()) && switched.value(it.key()) != it.value())
            found << QStringLiteral("%1: \"%2\", not \"%3\"").arg(it.key(), switched.value(it.key()), it.value());
    return found;
}

} // namespace

class TestPageLanguageSwitch : public QObject
{
    Q_OBJECT

    // A page with a list open, a row chosen and the panel open, as a user leaves it.
    template<class Page> std::unique_ptr<Page> pageInUse(ZBDeviceInfo *info, const QString &type)
    {
        auto page = showListPage<Page>(info, listOfType(type, 12));
        if (!page->projectManager()->isProjectLoaded())
            return nullptr;
        page->itemsTableViewAll->selectRow(1);
        page->btnShowServiceSettings->click();
        QCoreApplication::processEvents();
        return page;
    }

    // What a page made and used in this language shows.
    template<class Page> Texts freshTexts(ZBDeviceInfo *info, const QString &type, const QString &language)
    {
        QTranslator translator;
        loadTranslator(&translator, language);
        QCoreApplication::processEvents();
        Texts texts;
        if (auto page = pageInUse<Page>(info, type))
            texts = shownTexts(page.get());
        loadTranslator(&translator, QStringLiteral("en_EN"));
        QCoreApplication::processEvents();
        return texts;
    }

    template<class Page> void switchWithAListOpen(const QString &type)
    {
        ZBDeviceInfo info(QStringLiteral("Box"));
        info.setNetListMaxCount(4);
        DialogAnswerer answers;
        const Texts freshEnglish = freshTexts<Page>(&info, type, QStringLiteral("en_EN"));
        const Texts freshGerman = freshTexts<Page>(&info, type, QStringLiteral("de_DE"));
        const Texts freshPolish = freshTexts<Page>(&info, type, QStringLiteral("pl_PL"));
        QVERIFY(!freshEnglish.isEmpty() && !freshPolish.isEmpty());

        auto page = pageInUse<Page>(&info, type);
        QVERIFY(page);
        QTranslator translator;
        QVERIFY(loadTranslator(&translator, QStringLiteral("de_DE")));
        QCoreApplication::processEvents();
        const QStringList german = differences(shownTexts(page.get()), freshGerman);
        QVERIFY(loadTranslator(&translator, QStringLiteral("pl_PL")));
        QCoreApplication::processEvents();
        const QStringList polish = differences(shownTexts(page.get()), freshPolish);
        loadTranslator(&translator, QStringLiteral("en_EN"));
        QCoreApplication::processEvents();
        const QStringList english = differences(shownTexts(page.get()), freshEnglish);
        QVERIFY2(german.isEmpty(), qPrintable(german.join(u'\n')));
        QVERIFY2(polish.isEmpty(), qPrintable(polish.join(u'\n')));
        QVERIFY2(english.isEmpty(), qPrintable(english.join(u'\n')));

        // the page has many translated texts; so few would mean the check looked at nothing
        int translated = 0;
        for (auto it = freshPolish.cbegin(); it != freshPolish.cend(); ++it)
            translated += freshEnglish.value(it.key()) != it.value() ? 1 : 0;
        QVERIFY2(translated > 10, qPrintable(QString::number(translated)));
        QCOMPARE(answers.boxTexts, QStringList());
    }

    // The buttons of the edit panel beside the table, read in German and in Polish.
    template<class Page> void panelButtons(const QString &type)
    {
        ZBDeviceInfo info(QStringLiteral("Box"));
        info.setNetListMaxCount(4);
        auto page = showListPage<Page>(&info, listOfType(type, 12));
        page->itemsTableViewAll->selectRow(0);
        QTranslator translator;
        QVERIFY(loadTranslator(&translator, QStringLiteral("de_DE")));
        QCoreApplication::processEvents();
        BasicEditPanel *panel = page->basicServicesEdit;
        QCOMPARE(panel->copyButton->text().remove(u'&'), QStringLiteral("Kopieren"));
        QCOMPARE(panel->deleteButton->text().remove(u'&'), QStringLiteral("Löschen"));
        QVERIFY(loadTranslator(&translator, QStringLiteral("pl_PL")));
        QCoreApplication::processEvents();
        QCOMPARE(panel->copyButton->text().remove(u'&'), QStringLiteral("Kopiuj"));
        QCOMPARE(panel->deleteButton->text().remove(u'&'), QStringLiteral("Usuń"));
        // Selecting another row afterwards changes the buttons' actions: their texts stay Polish.
        page->itemsTableViewAll->selectRow(2);
        QCOMPARE(panel->copyButton->text().remove(u'&'), QStringLiteral("Kopiuj"));
        loadTranslator(&translator, QStringLiteral("en_EN"));
        QCoreApplication::processEvents();
    }

    // The page of a list opened in the main window, a row chosen and the panel open, after the window went
    // through each of languages in turn: what the page shows then.
    template<class Page> Texts windowTexts(const QString &type, const QStringList &languages)
    {
        QTemporaryDir dir;
        const QString file = listFile(dir, QStringLiteral("list.") + projectExtensionOf(type), listOfType(type, 12));
        DialogAnswerer answers;
        MainWindow window;
        showWithAReceiver(window);
        auto *page = openInUse<Page>(window, file);
        if (!page)
            return {};
        QTranslator translator;
        for (const QString &language : languages) {
            loadTranslator(&translator, language);
            QCoreApplication::processEvents();
        }
        const Texts texts = shownTexts(page);
        loadTranslator(&translator, QStringLiteral("en_EN"));
        QCoreApplication::processEvents();
        return answers.boxTexts.isEmpty() ? texts : Texts();
    }

    // The list in file opened in the window, a row chosen and the panel open, as a user leaves it: its page,
    // or null.
    template<class Page> Page *openInUse(MainWindow &window, const QString &file)
    {
        window.tryToOpenFile(file);
        auto *page = qobject_cast<Page *>(window.currentModule());
        if (!page || !page->projectManager()->isProjectLoaded())
            return nullptr;
        page->itemsTableViewAll->selectRow(1);
        page->btnShowServiceSettings->click();
        QCoreApplication::processEvents();
        return page;
    }

    // The column titles of every table of the page read as a page made in the language shows them.
    void titlesMatch(QWidget *page, const Texts &freshTitles, const QString &language)
    {
        const Texts titles = columnTitles(shownTexts(page));
        QCOMPARE(titles.size(), freshTitles.size());
        const QStringList stale = differences(titles, freshTitles);
        QVERIFY2(stale.isEmpty(), qPrintable(language + u'\n' + stale.join(u'\n')));
    }

    // Types the name of one entry in the page's search box, as a user does: the rows shown then.
    template<class Page> QList<int> typeSearch(Page *page, const QString &type, QString *typed)
    {
        const int nameColumn = page->projectManager()->fieldColumns.value(
            type == QLatin1String("link") ? QStringLiteral("title") : QStringLiteral("name"));
        *typed = page->projectManager()->itemsModel->index(4, nameColumn).data().toString();
        page->txtSearch->setFocus();
        QTest::keyClicks(page->txtSearch, *typed);
        return page->itemsTableViewAll->proxy()->visibleIds();
    }

    // The search typed stays in the box, with the rows it showed, and the column titles read as a page
    // made in the language shows them.
    template<class Page>
    void searchAndTitlesHold(Page *page, const QString &typed, const QList<int> &rows, const Texts &freshTitles,
                             const QString &language)
    {
        QCOMPARE(page->txtSearch->text(), typed);
        QVERIFY(!page->txtSearch->isHintShown());
        QCOMPARE(page->itemsTableViewAll->proxy()->visibleIds(), rows);
        titlesMatch(page, freshTitles, language);
    }

private slots:
    void initTestCase() { registerStartUpServices(); }
    void init() { QSettings().clear(); }

    // The same in the main window, with the program's style sheet: a switch from German to Polish shows what
    // a window started in Polish shows.
    void everyTextFollowsInTheWindow_data() { everyTextFollows_data(); }
    void everyTextFollowsInTheWindow()
    {
        QFETCH(QString, type);
        const ProgramLook look{QString()};
        QVERIFY(look.ok);
        forPageOfType(type, [&](auto *page) {
            using Page = std::remove_pointer_t<decltype(page)>;
            const Texts fresh = windowTexts<Page>(type, {QStringLiteral("pl_PL")});
            const Texts switched = windowTexts<Page>(type, {QStringLiteral("de_DE"), QStringLiteral("pl_PL")});
            QVERIFY(fresh.size() > 10);
            QCOMPARE(switched.size(), fresh.size());
            const QStringList stale = differences(switched, fresh);
            QVERIFY2(stale.isEmpty(), qPrintable(stale.join(u'\n')));
        });
    }

    void everyTextFollows_data() { addTypeRows(); }
    void everyTextFollows()
    {
        QFETCH(QString, type);
        forPageOfType(type, [&](auto *page) { switchWithAListOpen<std::remove_pointer_t<decltype(page)>>(type); });
    }

    // A search typed before the language goes from English to German, Polish and English again is kept
    // through each switch, with the rows it shows; the column titles of every table follow each language.
    void searchStaysThroughSwitches_data() { addTypeRows(); }
    void searchStaysThroughSwitches()
    {
        QFETCH(QString, type);
        forPageOfType(type, [&](auto *none) {
            using Page = std::remove_pointer_t<decltype(none)>;
            ZBDeviceInfo info(QStringLiteral("Box"));
            info.setNetListMaxCount(4);
            DialogAnswerer answers;
            const QStringList languages{QStringLiteral("de_DE"), QStringLiteral("pl_PL"), QStringLiteral("en_EN")};
            QList<Texts> fresh;
            for (const QString &language : languages)
                fresh << columnTitles(freshTexts<Page>(&info, type, language));
            QVERIFY(fresh.first().size() > 4);
            QVERIFY(fresh.first() != fresh.last());

            auto page = pageInUse<Page>(&info, type);
            QVERIFY(page);
            QString typed;
            const QList<int> rows = typeSearch(page.get(), type, &typed);
            QVERIFY(!typed.isEmpty());
            QCOMPARE(rows.size(), 1);
            QTranslator translator;
            for (int i = 0; i < languages.size(); ++i) {
                loadTranslator(&translator, languages.at(i));
                QCoreApplication::processEvents();
                searchAndTitlesHold(page.get(), typed, rows, fresh.at(i), languages.at(i));
                if (QTest::currentTestFailed())
                    return;
            }
            QCOMPARE(answers.boxTexts, QStringList());
        });
    }

    // The same in the main window, the language chosen on its settings page and the list page shown again
    // after each choice.
    void searchStaysThroughSwitchesInTheWindow_data() { addTypeRows(); }
    void searchStaysThroughSwitchesInTheWindow()
    {
        QFETCH(QString, type);
        const ProgramLook look{QString()};
        QVERIFY(look.ok);
        forPageOfType(type, [&](auto *none) {
            using Page = std::remove_pointer_t<decltype(none)>;
            const QList<std::pair<QString, QString>> choices{{QStringLiteral("radioButton_2"), QStringLiteral("de_DE")},
                                                             {QStringLiteral("radioButton_3"), QStringLiteral("pl_PL")},
                                                             {QStringLiteral("englishRadioButton"), QString()}};
            QList<Texts> fresh;
            for (const auto &choice : choices)
                fresh << columnTitles(
                    windowTexts<Page>(type, choice.second.isEmpty() ? QStringList() : QStringList{choice.second}));
            QVERIFY(fresh.first().size() > 4);
            QVERIFY(fresh.first() != fresh.last());

            QTemporaryDir dir;
            const QString file =
                listFile(dir, QStringLiteral("list.") + projectExtensionOf(type), listOfType(type, 12));
            DialogAnswerer answers;
            MainWindow window;
            showWithAReceiver(window);
            auto *page = openInUse<Page>(window, file);
            QVERIFY(page);
            QString typed;
            const QList<int> rows = typeSearch(page, type, &typed);
            QCOMPARE(rows.size(), 1);
            for (int i = 0; i < choices.size(); ++i) {
                window.gotoSettings();
                auto *button = window.settingsPage()->findChild<QRadioButton *>(choices.at(i).first);
                QVERIFY(button);
                button->click();
                QCoreApplication::processEvents();
                window.gotoMainView();
                window.setCurrentModule(page, true);
                QVERIFY(page->isVisible());
                QCoreApplication::processEvents();
                searchAndTitlesHold(page, typed, rows, fresh.at(i), choices.at(i).first);
                if (QTest::currentTestFailed())
                    return;
            }
            QCOMPARE(answers.boxTexts, QStringList());
        });
    }

    // A page made in Polish, or one whose list was closed while the language went to Polish, opens its next
    // list after the switch to English with English column titles in every table.
    void titlesOfAListOpenedAfterASwitch_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<bool>("madeInPolish");
        for (const char *type : {"tv", "radio", "link"}) {
            QTest::addRow("%s, page made in Polish", type) << type << true;
            QTest::addRow("%s, list closed in Polish", type) << type << false;
        }
    }
    void titlesOfAListOpenedAfterASwitch()
    {
        QFETCH(QString, type);
        QFETCH(bool, madeInPolish);
        forPageOfType(type, [&](auto *none) {
            using Page = std::remove_pointer_t<decltype(none)>;
            ZBDeviceInfo info(QStringLiteral("Box"));
            info.setNetListMaxCount(4);
            DialogAnswerer answers;
            const Texts english = columnTitles(freshTexts<Page>(&info, type, QStringLiteral("en_EN")));
            QVERIFY(english.size() > 4);
            QTranslator translator;
            if (madeInPolish)
                QVERIFY(loadTranslator(&translator, QStringLiteral("pl_PL")));
            QCoreApplication::processEvents();
            auto page = pageInUse<Page>(&info, type);
            QVERIFY(page);
            if (!madeInPolish) {
                QVERIFY(loadTranslator(&translator, QStringLiteral("pl_PL")));
                QCoreApplication::processEvents();
            }
            QVERIFY(page->projectManager()->closeProject());
            loadTranslator(&translator, QStringLiteral("en_EN"));
            QCoreApplication::processEvents();
            QVERIFY(page->projectManager()->newProject(listOfType(type, 12)));
            page->itemsTableViewAll->selectRow(1);
            page->btnShowServiceSettings->click();
            QCoreApplication::processEvents();
            titlesMatch(page.get(), english, QStringLiteral("en_EN"));
            QCOMPARE(answers.boxTexts, QStringList());
        });
    }

    // In the main window started in Polish: English chosen on the settings page, a list opened then has
    // English column titles.
    void titlesOfAListOpenedAfterASwitchInTheWindow_data() { addTypeRows(); }
    void titlesOfAListOpenedAfterASwitchInTheWindow()
    {
        QFETCH(QString, type);
        forPageOfType(type, [&](auto *none) {
            using Page = std::remove_pointer_t<decltype(none)>;
            const ProgramLook look{QString()};
            QVERIFY(look.ok);
            const Texts english = columnTitles(windowTexts<Page>(type, {}));
            QVERIFY(english.size() > 4);
            QTemporaryDir dir;
            const QString file =
                listFile(dir, QStringLiteral("list.") + projectExtensionOf(type), listOfType(type, 12));
            DialogAnswerer answers;
            MainWindow window;
            // as the start-up sets the language the user chose
            QVERIFY(loadTranslator(window.translator(), QStringLiteral("pl_PL")));
            QCoreApplication::processEvents();
            showWithAReceiver(window);
            // the receiver's list page is made in Polish, before any list is open
            QVERIFY(qobject_cast<Page *>(window.collection()->at(0)->module(moduleTypeOf<Page>())));
            window.gotoSettings();
            window.settingsPage()->findChild<QRadioButton *>(QStringLiteral("englishRadioButton"))->click();
            QCoreApplication::processEvents();
            window.gotoMainView();
            auto *page = openInUse<Page>(window, file);
            QVERIFY(page);
            titlesMatch(page, english, QStringLiteral("en_EN"));
            QCOMPARE(answers.boxTexts, QStringList());
        });
    }

    void editPanelButtons_data() { everyTextFollows_data(); }
    void editPanelButtons()
    {
        QFETCH(QString, type);
        forPageOfType(type, [&](auto *page) { panelButtons<std::remove_pointer_t<decltype(page)>>(type); });
    }
};

OMBRELAY_TEST_MAIN(TestPageLanguageSwitch)
#include "tst_pagelanguageswitch.moc"
