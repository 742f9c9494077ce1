#include "testmain.h"

#include "modules/generaluiinterface.h"
#include "modules/modulefactory.h"
#include "modules/ombrelaymodule.h"
#include "widgets/messagebox.h"

// A stand-in main window: records the pages that told it of held texts.
class FakeWindow : public QWidget, public GeneralUiInterface
{
public:
    QList<OmbrelayModule *> notified;
    bool close() override { return false; }
    void setCurrentModule(OmbrelayModule *, bool) override {}
    void notifyModuleMessage(OmbrelayModule *module) override { notified << module; }
    void gotoMainView() override {}
    void gotoSettings() override {}
    void gotoAbout() override {}
};

// A page that writes down what the factory set on it, as a list page and as a start page.
class Page : public OmbrelayModule
{
public:
    using OmbrelayModule::OmbrelayModule;
    QStringList calls;
    ModuleTypes moduleType() const override { return TypeTvList; }
    void retranslate() override {}
    void setMaximumListCount(int count) { calls << QStringLiteral("count=%1").arg(count); }
    void setLinkListButtonVisible(bool on) { calls << QStringLiteral("link=%1").arg(on); }
    void setRadioListButtonVisible(bool on) { calls << QStringLiteral("radio=%1").arg(on); }
    void setTvListButtonVisible(bool on) { calls << QStringLiteral("tv=%1").arg(on); }
    void setMediaExplorerButtonVisible(bool on) { calls << QStringLiteral("media=%1").arg(on); }
};

class TestOmbrelayModule : public QObject
{
    Q_OBJECT
    QStringList boxes;

private slots:
    void cleanup()
    {
        MessageBox::setAnswerHook({});
        ModuleFactory::clear();
    }

    // Texts of a hidden page wait for one box when it is shown; a text reported while that box is open
    // gets a box of its own, neither shown twice nor lost.
    void heldTextsShowOnce()
    {
        FakeWindow window;
        Page page(&window);
        QCOMPARE(page.parentWidget(), nullptr);
        Page orphan; // no page interface: held quietly
        orphan.appendStatusText(QStringLiteral("x"));
        MessageBox::setAnswerHook([&](QDialog *box) {
            boxes << qobject_cast<QMessageBox *>(box)->text() + "|" + box->windowTitle();
            if (boxes.size() == 1)
                page.appendStatusText(QStringLiteral("C"));
            box->reject();
        });
        page.appendStatusText(QStringLiteral("A"));
        page.appendStatusText(QStringLiteral("B"));
        QCOMPARE(window.notified, (QList<OmbrelayModule *>{&page, &page}));
        QVERIFY(boxes.isEmpty());
        page.onShow();
        QCOMPARE(boxes, (QStringList{"AB|Ombrelay Error", "C|Ombrelay Error"}));
        QVERIFY(page.statusText().isEmpty());
        page.startBuffering(); // withdrawn texts are not shown
        page.appendStatusText(QStringLiteral("stale"));
        page.clearStatusText();
        page.onShow();
        QCOMPARE(boxes.size(), 2);
        QCOMPARE(orphan.statusText(), QStringLiteral("x"));
    }

    void factoryOptions_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QVariantMap>("options");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("list count") << 1 << QVariantMap{{"maximumListCount", 7}} << QStringList{"count=7"};
        QTest::newRow("list count as text") << 1 << QVariantMap{{"maximumListCount", "12"}} << QStringList{"count=12"};
        QTest::newRow("list count absent") << 1 << QVariantMap{{"enableTvList", true}} << QStringList{"count=4"};
        QTest::newRow("list count no number") << 1 << QVariantMap{{"maximumListCount", "many"}} << QStringList{};
        QTest::newRow("list, empty map") << 1 << QVariantMap{} << QStringList{};
        QTest::newRow("start page, TV only")
            << 5 << QVariantMap{{"enableTvList", true}} << QStringList{"link=0", "radio=0", "tv=1", "media=0"};
        QTest::newRow("start page, empty map") << 5 << QVariantMap{} << QStringList{};
    }
    void factoryOptions()
    {
        QFETCH(int, type);
        QFETCH(QVariantMap, options);
        ModuleFactory::registerListModule<Page>(1);
        ModuleFactory::registerDeviceModule<Page>(5);
        FakeWindow window;
        std::unique_ptr<OmbrelayModule> module(createModule(type, &window, options));
        QTEST(static_cast<Page *>(module.get())->calls, "calls");
        QCOMPARE(module->pageInterface(), static_cast<GeneralUiInterface *>(&window));
    }

    // Nobody makes the welcome and add-device pages, numbers outside the types, or unregistered types.
    void typesTheFactoryNeverMakes()
    {
        for (int type : {0, 6, 7, 9, -3})
            ModuleFactory::registerPlainModule<Page>(type);
        for (int type : {0, 6, 7, 9, -3, 4})
            QCOMPARE(createModule(type, nullptr, {}), nullptr);
        ModuleFactory::registerPlainModule<Page>(4);
        std::unique_ptr<OmbrelayModule> made(createModule(4, nullptr, {}));
        QVERIFY(made);
        ModuleFactory::registerType(4, {});
        QCOMPARE(createModule(4, nullptr, {}), nullptr);
    }
};

OMBRELAY_TEST_MAIN(TestOmbrelayModule)
#include "tst_ombrelaymodule.moc"
