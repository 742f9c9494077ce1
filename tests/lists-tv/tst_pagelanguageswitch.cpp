#include "testmain.h"

#include "dialoganswerer.h"
#include "listinthewindow.h"
#include "listoftype.h"
#include "listpagetest.h"

#include "app/mainwindow.h"
#include "app/startup.h"
#include "base/translatorloader.h"
#include "device/core/zbdeviceinfo.h"
#include "devices/zbdevicecollection.h"
#include "listfiles/linklistprojectfilemanager.h"
#include "listfiles/radiolistprojectfilemanager.h"
#include "listfiles/tvlistprojectfilemanager.h"
#include "lists/basiceditpanel.h"
#include "lists/linklistmodule.h"
#include "lists/radiolistmodule.h"
#include "lists/tvlistmodule.h"
#include "widgets/ssearchlineedit.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QMap>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

// A list open on a page while the language goes from English to German to Polish: every text the page
// shows follows, the buttons of its edit panels too, without the list being opened again.
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
    }
    return texts;
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
        ZBDeviceInfo usb = usbReceiver();
        usb.setNetListMaxCount(4);
        window.collection()->append(usb);
        window.show();
        QApplication::setActiveWindow(&window);
        window.tryToOpenFile(file);
        auto *page = qobject_cast<Page *>(window.currentModule());
        if (!page || !page->projectManager()->isProjectLoaded())
            return {};
        page->itemsTableViewAll->selectRow(1);
        page->btnShowServiceSettings->click();
        QCoreApplication::processEvents();
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

    void editPanelButtons_data() { everyTextFollows_data(); }
    void editPanelButtons()
    {
        QFETCH(QString, type);
        forPageOfType(type, [&](auto *page) { panelButtons<std::remove_pointer_t<decltype(page)>>(type); });
    }
};

OMBRELAY_TEST_MAIN(TestPageLanguageSwitch)
#include "tst_pagelanguageswitch.moc"
