#include "testmain.h"

#include "modules/generaluiinterface.h"
#include "widgets/messagebox.h"
#include "modules/modulefactory.h"
#include "modules/ombrelaymodule.h"

// A stand-in main window: records what modules ask of it.
class FakeWindow : public QWidget, public GeneralUiInterface
{
public:
    QList<OmbrelayModule *> notified;
    bool close() override { return QWidget::close(); }
    void setCurrentModule(OmbrelayModule *, bool) override {}
    void notifyModuleMessage(OmbrelayModule *module) override { notified << module; }
    void gotoMainView() override {}
    void gotoSettings() override {}
    void gotoAbout() override {}
};

class PlainModule : public OmbrelayModule
{
public:
    explicit PlainModule(QWidget *parent = nullptr)
        : OmbrelayModule(parent)
    {}
    ModuleTypes moduleType() const override { return TypeMediaExplorer; }
    void retranslate() override {}
};

class FakeListModule : public PlainModule
{
public:
    using PlainModule::PlainModule;
    ModuleTypes moduleType() const override { return TypeTvList; }
    int maximumListCount = -1;
    int setterCalls = 0;
    void setMaximumListCount(int count)
    {
        maximumListCount = count;
        ++setterCalls;
    }
};

class FakeDeviceModule : public PlainModule
{
public:
    using PlainModule::PlainModule;
    ModuleTypes moduleType() const override { return TypeDevice; }
    QStringList calls;
    void setLinkListButtonVisible(bool on) { calls << QStringLiteral("link=%1").arg(on); }
    void setRadioListButtonVisible(bool on) { calls << QStringLiteral("radio=%1").arg(on); }
    void setTvListButtonVisible(bool on) { calls << QStringLiteral("tv=%1").arg(on); }
    void setMediaExplorerButtonVisible(bool on) { calls << QStringLiteral("media=%1").arg(on); }
};

class TestOmbrelayModule : public QObject
{
    Q_OBJECT

    struct Box
    {
        QString text;
        QString title;
        QWidget *parent = nullptr;
    };
    QList<Box> boxes;

private slots:
    void init()
    {
        boxes.clear();
        MessageBox::setAnswerHook([this](QDialog *dialog) {
            auto *box = qobject_cast<QMessageBox *>(dialog);
            boxes << Box{box->text(), box->windowTitle(), box->parentWidget()};
            QTest::keyClick(dialog, Qt::Key_Return);
        });
    }
    void cleanup()
    {
        MessageBox::setAnswerHook({});
        ModuleFactory::clear();
    }

    void constructionFindsThePageInterface()
    {
        FakeWindow window;
        PlainModule module(&window);
        QCOMPARE(module.parentWidget(), nullptr);
        QCOMPARE(module.pageInterface(), static_cast<GeneralUiInterface *>(&window));
        QVERIFY(module.isBuffering());
        QVERIFY(module.statusText().isEmpty());

        QWidget plain;
        PlainModule orphan(&plain);
        QCOMPARE(orphan.pageInterface(), nullptr);
        PlainModule none;
        QCOMPARE(none.pageInterface(), nullptr);
    }

    void hiddenTextsWaitForOneBox()
    {
        FakeWindow window;
        PlainModule module(&window);
        module.appendStatusText(QStringLiteral("A"));
        module.appendStatusText(QStringLiteral("B"));
        QCOMPARE(window.notified, (QList<OmbrelayModule *>{&module, &module}));
        QVERIFY(boxes.isEmpty());
        QCOMPARE(module.statusText(), QStringLiteral("AB"));

        module.onShow();
        QVERIFY(!module.isBuffering());
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes.at(0).text, QStringLiteral("AB"));
        QCOMPARE(boxes.at(0).title, QStringLiteral("Ombrelay Error"));
        QCOMPARE(boxes.at(0).parent, &module);
        QVERIFY(module.statusText().isEmpty());

        // Showing again with nothing held shows nothing.
        module.startBuffering();
        module.onShow();
        QCOMPARE(boxes.size(), 1);
    }

    void shownTextAppearsAtOnce()
    {
        FakeWindow window;
        PlainModule module(&window);
        module.onShow();
        module.appendStatusText(QStringLiteral("Download failed.\n"));
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes.at(0).text, QStringLiteral("Download failed.\n"));
        QVERIFY(module.statusText().isEmpty());
        QVERIFY(window.notified.isEmpty());
        module.appendStatusText(QStringLiteral("Again"));
        QCOMPARE(boxes.size(), 2);
        QCOMPARE(boxes.at(1).text, QStringLiteral("Again"));
    }

    void textDuringOpenBoxIsShownOnce()
    {
        PlainModule module;
        module.onShow();
        bool reported = false;
        MessageBox::setAnswerHook([&](QDialog *dialog) {
            boxes << Box{qobject_cast<QMessageBox *>(dialog)->text(), {}, nullptr};
            if (!reported) {
                reported = true;
                module.appendStatusText(QStringLiteral("second"));
            }
            QTest::keyClick(dialog, Qt::Key_Return);
        });
        module.appendStatusText(QStringLiteral("first"));
        QCOMPARE(boxes.size(), 2);
        QCOMPARE(boxes.at(0).text, QStringLiteral("first"));
        QCOMPARE(boxes.at(1).text, QStringLiteral("second"));
        QVERIFY(module.statusText().isEmpty());
    }

    void clearedTextsAreNotShown()
    {
        FakeWindow window;
        PlainModule module(&window);
        module.appendStatusText(QStringLiteral("stale"));
        module.clearStatusText();
        module.onShow();
        QVERIFY(boxes.isEmpty());
    }

    void hiddenWithoutInterfaceKeepsQuiet()
    {
        PlainModule module;
        module.appendStatusText(QStringLiteral("x"));
        QVERIFY(boxes.isEmpty());
        QCOMPARE(module.statusText(), QStringLiteral("x"));
    }

    void typeNames_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("name");
        // The ends of the named range and what lies outside it.
        QTest::newRow("0") << 0 << "";
        QTest::newRow("1") << 1 << "TV Lists";
        QTest::newRow("6") << 6 << "Welcome Screen";
        QTest::newRow("7") << 7 << "";
        QTest::newRow("9") << 9 << "";
        QTest::newRow("-1") << -1 << "";
    }
    void typeNames()
    {
        QFETCH(int, type);
        QFETCH(QString, name);
        QCOMPARE(OmbrelayModule::moduleTypeName(type), name);
    }

    void listModuleOptions_data()
    {
        QTest::addColumn<QVariantMap>("options");
        QTest::addColumn<int>("calls");
        QTest::addColumn<int>("count");
        QTest::newRow("given") << QVariantMap{{"maximumListCount", 7}} << 1 << 7;
        QTest::newRow("as text") << QVariantMap{{"maximumListCount", "12"}} << 1 << 12;
        QTest::newRow("absent gives 4") << QVariantMap{{"enableTvList", true}} << 1 << 4;
        QTest::newRow("empty map sets nothing") << QVariantMap{} << 0 << -1;
        QTest::newRow("not a number") << QVariantMap{{"maximumListCount", "many"}} << 0 << -1;
    }
    void listModuleOptions()
    {
        QFETCH(QVariantMap, options);
        QFETCH(int, calls);
        QFETCH(int, count);
        ModuleFactory::registerListModule<FakeListModule>(OmbrelayModule::TypeTvList);
        FakeWindow window;
        std::unique_ptr<OmbrelayModule> module(createModule(OmbrelayModule::TypeTvList, &window, options));
        auto *list = dynamic_cast<FakeListModule *>(module.get());
        QVERIFY(list);
        QCOMPARE(list->setterCalls, calls);
        QCOMPARE(list->maximumListCount, count);
        QCOMPARE(list->pageInterface(), static_cast<GeneralUiInterface *>(&window));
        QCOMPARE(list->parentWidget(), nullptr);
    }

    void deviceModuleOptions_data()
    {
        QTest::addColumn<QVariantMap>("options");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("tv only") << QVariantMap{{"enableTvList", true}}
                                 << QStringList{"link=0", "radio=0", "tv=1", "media=0"};
        QTest::newRow("all") << QVariantMap{{"enableTvList", true},
                                            {"enableRadioList", true},
                                            {"enableLinkList", true},
                                            {"enableMediaExplorer", true}}
                             << QStringList{"link=1", "radio=1", "tv=1", "media=1"};
        QTest::newRow("empty map") << QVariantMap{} << QStringList{};
    }
    void deviceModuleOptions()
    {
        QFETCH(QVariantMap, options);
        QFETCH(QStringList, calls);
        ModuleFactory::registerDeviceModule<FakeDeviceModule>(OmbrelayModule::TypeDevice);
        std::unique_ptr<OmbrelayModule> module(createModule(OmbrelayModule::TypeDevice, nullptr, options));
        auto *device = dynamic_cast<FakeDeviceModule *>(module.get());
        QVERIFY(device);
        QCOMPARE(device->calls, calls);
    }

    void typesTheFactoryNeverMakes_data()
    {
        QTest::addColumn<int>("type");
        QTest::newRow("none") << 0;
        QTest::newRow("welcome") << 6;
        QTest::newRow("add device") << 7;
        QTest::newRow("past the end") << 9;
        QTest::newRow("negative") << -3;
    }
    void typesTheFactoryNeverMakes()
    {
        QFETCH(int, type);
        ModuleFactory::registerPlainModule<PlainModule>(type);
        QCOMPARE(createModule(type, nullptr, {}), nullptr);
    }

    void unregisteredTypeGivesNull()
    {
        QVERIFY(!ModuleFactory::hasType(OmbrelayModule::TypeMediaExplorer));
        QCOMPARE(createModule(OmbrelayModule::TypeMediaExplorer, nullptr, {}), nullptr);
        ModuleFactory::registerPlainModule<PlainModule>(OmbrelayModule::TypeMediaExplorer);
        std::unique_ptr<OmbrelayModule> module(createModule(OmbrelayModule::TypeMediaExplorer, nullptr, {}));
        QVERIFY(module);
        ModuleFactory::registerType(OmbrelayModule::TypeMediaExplorer, {});
        QCOMPARE(createModule(OmbrelayModule::TypeMediaExplorer, nullptr, {}), nullptr);
    }
};

OMBRELAY_TEST_MAIN(TestOmbrelayModule)
#include "tst_ombrelaymodule.moc"
