#include "testmain.h"

#include "app/swindow.h"
#include "app/toprightwidget.h"

#include <QFile>
#include <QHBoxLayout>
#include <QSettings>
#include <QSignalSpy>
#include <QTranslator>

namespace {

class CommandWindow : public SWindow
{
public:
    QStringList commands;
    void onCommand(const QString &command) override { commands << command; }
};

// Translates every title-bar text of the one context with a marker, as a loaded language would.
class MarkingTranslator : public QTranslator
{
public:
    QString translate(const char *context, const char *sourceText, const char *, int) const override
    {
        if (QByteArray(context) != "TopRightWidget")
            return QString();
        return QStringLiteral("<%1>").arg(QString::fromUtf8(sourceText));
    }
    bool isEmpty() const override { return false; }
};

} // namespace

class TestTopRightWidget : public QObject
{
    Q_OBJECT
private slots:
    void init() { QSettings().clear(); }

    void commandsReachWindowOnlyWhenWired()
    {
        CommandWindow window;
        TopRightWidget bar(&window);
        QSignalSpy spy(&bar, &TopRightWidget::Command);
        bar.btnSettings->click();
        QCOMPARE(spy.count(), 0);
        bar.setWindow(&window);
        bar.btnSettings->click();
        bar.btnHelp->click();
        bar.btnAbout->click();
        QCOMPARE(window.commands, (QStringList{"settings", "help", "about"}));
        QCOMPARE(spy.count(), 3);
    }

    void rewiringLeavesNothingOnFirstWindow()
    {
        CommandWindow first;
        CommandWindow second;
        TopRightWidget bar;
        bar.setWindow(&first);
        bar.setWindow(&second);
        bar.btnHelp->click();
        bar.maxRestoreToolButton->click();
        QCOMPARE(first.commands, QStringList());
        QCOMPARE(second.commands, QStringList{"help"});
        QVERIFY(!first.isFrameMaximized());
        QVERIFY(second.isFrameMaximized());
        first.setMaximized(true);
        QCOMPARE(bar.maxRestoreToolButton->toolTip(), QStringLiteral("Restore"));
        second.setMaximized(false);
        QCOMPARE(bar.maxRestoreToolButton->toolTip(), QStringLiteral("Maximize"));
        first.setMaximized(true);
        QCOMPARE(bar.maxRestoreToolButton->toolTip(), QStringLiteral("Maximize"));
        bar.setWindow(nullptr);
        bar.btnHelp->click();
        QCOMPARE(second.commands, QStringList{"help"});
    }

    void windowButtonsActOnWindow()
    {
        CommandWindow window;
        TopRightWidget bar(&window);
        bar.setWindow(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        bar.maxRestoreToolButton->click();
        QVERIFY(window.isFrameMaximized());
        QVERIFY(bar.maxRestoreToolButton->styleSheet().contains(QLatin1String(":/images/restore_h")));
        QCOMPARE(bar.maxRestoreToolButton->toolTip(), QStringLiteral("Restore"));
        bar.maxRestoreToolButton->click();
        QVERIFY(!window.isFrameMaximized());
        bar.closeToolButton->click();
        QVERIFY(!window.isVisible());
    }

    void languageChangeRetranslates()
    {
        TopRightWidget bar;
        MarkingTranslator translator;
        QCoreApplication::installTranslator(&translator);
        // The language change is posted to every window.
        QTRY_COMPARE(bar.minimizeToolButton->toolTip(), QStringLiteral("<Minimize>"));
        QCOMPARE(bar.closeToolButton->toolTip(), QStringLiteral("<Close>"));
        QCOMPARE(bar.btnSettings->text(), QStringLiteral("<Settings>"));
        QCOMPARE(bar.btnHelp->text(), QStringLiteral("<Help>"));
        QCOMPARE(bar.btnAbout->text(), QStringLiteral("<About>"));
        // The maximise button follows only at its next state change.
        QCOMPARE(bar.maxRestoreToolButton->toolTip(), QStringLiteral("Maximize"));
        bar.setMaximized(true);
        QCOMPARE(bar.maxRestoreToolButton->toolTip(), QStringLiteral("<Restore>"));
        QCoreApplication::removeTranslator(&translator);
        QTRY_COMPARE(bar.btnAbout->text(), QStringLiteral("About"));
    }

    void screenshot()
    {
        const QString shots = qEnvironmentVariable("OMBRELAY_SCREENSHOT_DIR");
        if (shots.isEmpty())
            QSKIP("only when a screenshot folder is given");
        QFile sheet(QStringLiteral(":/styles/style"));
        QVERIFY(sheet.open(QIODevice::ReadOnly));
        qApp->setStyleSheet(QString::fromUtf8(sheet.readAll()));
        CommandWindow window;
        window.setObjectName(QStringLiteral("MainWindow"));
        window.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        auto *central = new QWidget(&window);
        auto *layout = new QHBoxLayout(central);
        layout->setContentsMargins(0, 0, 0, 0);
        auto *logo = new QWidget(central);
        logo->setObjectName(QStringLiteral("logoWidget"));
        logo->setFixedSize(248, 100);
        layout->addWidget(logo, 0, Qt::AlignTop);
        layout->addStretch();
        auto *bar = new TopRightWidget(central);
        bar->setFixedSize(250, 100);
        layout->addWidget(bar, 0, Qt::AlignTop);
        window.setCentralWidget(central);
        bar->setWindow(&window);
        window.setGeometry(0, 0, 800, 140);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(window.grab().save(shots + QStringLiteral("/frame.png")));
        qApp->setStyleSheet(QString());
    }
};

OMBRELAY_TEST_MAIN(TestTopRightWidget)
#include "tst_toprightwidget.moc"
