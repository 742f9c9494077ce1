#include "testmain.h"

#include "app/swindow.h"
#include "app/toprightwidget.h"
#include "base/translatorloader.h"

#include <QHoverEvent>
#include <QScreen>
#include <QSettings>
#include <QSignalSpy>
#include <QTranslator>

namespace {

// A window with the fixed minimum a real page has, so that the resize limits can be reached.
class FrameWindow : public SWindow
{
public:
    QStringList commands;
    explicit FrameWindow(const QSize &minimum = QSize(300, 200))
    {
        setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        setMinimumSize(minimum);
        setCentralWidget(new QWidget(this));
        restoreGeometry();
    }
    void onCommand(const QString &command) override { commands << command; }
};

void mouse(QWidget *w, QEvent::Type type, const QPoint &local, Qt::MouseButtons buttons = Qt::LeftButton)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::MouseButton(buttons.toInt());
    QMouseEvent event(type, QPointF(local), QPointF(w->mapToGlobal(local)), button,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

void hover(QWidget *w, const QPoint &local)
{
    QHoverEvent event(QEvent::HoverMove, QPointF(local), QPointF(w->mapToGlobal(local)), QPointF(local));
    QApplication::sendEvent(w, &event);
}

// Press at a window point, move by screen offsets measured from the press, release.
void drag(QWidget *w, const QPoint &local, const QList<QPoint> &steps)
{
    const QPoint global = w->mapToGlobal(local);
    mouse(w, QEvent::MouseButtonPress, local);
    for (const QPoint &step : steps)
        mouse(w, QEvent::MouseMove, w->mapFromGlobal(global + step));
    mouse(w, QEvent::MouseButtonRelease, local);
}

} // namespace

class TestSWindow : public QObject
{
    Q_OBJECT

    static void placeNormal(SWindow &window, const QRect &geometry)
    {
        window.setMaximized(false);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.setGeometry(geometry);
        QTRY_COMPARE(window.geometry(), geometry);
    }
    static QRect area() { return QGuiApplication::primaryScreen()->availableGeometry(); }
    static QList<QVariant> stored()
    {
        QSettings s;
        return {s.value("AppWindow/Size"), s.value("AppWindow/Position"), s.value("AppWindow/Maximized")};
    }

private slots:
    void init() { QSettings().clear(); }

    void gripsAndCursors_data()
    {
        QTest::addColumn<QPoint>("local"); // the window is 400 x 300
        QTest::addColumn<bool>("maximised");
        QTest::addColumn<int>("region");
        QTest::addColumn<int>("shape");
        QTest::newRow("free") << QPoint(200, 150) << false << int(SWindow::GripMove) << int(Qt::ArrowCursor);
        QTest::newRow("left 5") << QPoint(5, 150) << false << int(SWindow::GripLeft) << int(Qt::SizeHorCursor);
        QTest::newRow("left 6") << QPoint(6, 150) << false << int(SWindow::GripMove) << int(Qt::ArrowCursor);
        QTest::newRow("right 5 inside") << QPoint(394, 150) << false << int(SWindow::GripMove) << int(Qt::ArrowCursor);
        QTest::newRow("right 4 inside") << QPoint(395, 150) << false << int(SWindow::GripRight)
                                        << int(Qt::SizeHorCursor);
        QTest::newRow("top left") << QPoint(3, 3) << false << int(SWindow::GripTopLeft) << int(Qt::SizeFDiagCursor);
        QTest::newRow("bottom right") << QPoint(398, 298) << false << int(SWindow::GripBottomRight)
                                      << int(Qt::SizeFDiagCursor);
        QTest::newRow("bottom left") << QPoint(1, 298) << false << int(SWindow::GripBottomLeft)
                                     << int(Qt::SizeBDiagCursor);
        QTest::newRow("maximised, free") << QPoint(200, 150) << true << int(SWindow::GripNone) << int(Qt::ArrowCursor);
        QTest::newRow("maximised, edge") << QPoint(2, 150) << true << int(SWindow::GripLeft) << int(Qt::ArrowCursor);
    }
    void gripsAndCursors()
    {
        QFETCH(QPoint, local);
        QFETCH(bool, maximised);
        FrameWindow window;
        placeNormal(window, QRect(100, 100, 400, 300));
        hover(&window, QPoint(2, 150));
        QCOMPARE(window.cursor().shape(), Qt::SizeHorCursor);
        window.setMaximized(maximised);
        const QRect before = window.geometry();
        hover(&window, local);
        QTEST(int(window.cursor().shape()), "shape");
        // A pressed button keeps the cursor; a maximised window neither moves nor resizes.
        mouse(&window, QEvent::MouseButtonPress, local);
        hover(&window, QPoint(200, 150));
        QTEST(int(window.cursor().shape()), "shape");
        drag(&window, local, {QPoint(30, 20)});
        QTEST(int(window.currentGripRegion()), "region");
        if (maximised)
            QCOMPARE(window.geometry(), before);
    }

    void drags_data()
    {
        QTest::addColumn<QPoint>("start");
        QTest::addColumn<QList<QPoint>>("steps");
        QTest::addColumn<QRect>("expected"); // from 100,100 400x300, minimum 300x200
        QTest::newRow("move") << QPoint(200, 150) << QList<QPoint>{{10, 5}, {-20, 15}} << QRect(80, 115, 400, 300);
        QTest::newRow("right grows") << QPoint(398, 150) << QList<QPoint>{{50, 0}} << QRect(100, 100, 450, 300);
        QTest::newRow("bottom stops at minimum")
            << QPoint(200, 298) << QList<QPoint>{{0, -50}, {0, -150}} << QRect(100, 100, 400, 200);
        QTest::newRow("top stops at last move in bounds")
            << QPoint(200, 2) << QList<QPoint>{{0, 60}, {0, 150}} << QRect(100, 160, 400, 240);
        QTest::newRow("left stops at last move in bounds")
            << QPoint(2, 150) << QList<QPoint>{{40, 0}, {140, 0}} << QRect(140, 100, 360, 300);
        QTest::newRow("top left past minimum width keeps x")
            << QPoint(2, 2) << QList<QPoint>{{40, 20}, {150, 30}} << QRect(140, 130, 300, 270);
        QTest::newRow("bottom left") << QPoint(2, 298) << QList<QPoint>{{-30, 20}} << QRect(70, 100, 430, 320);
        QTest::newRow("top right") << QPoint(398, 2) << QList<QPoint>{{25, -20}} << QRect(100, 80, 425, 320);
    }
    void drags()
    {
        QFETCH(QPoint, start);
        QFETCH(QList<QPoint>, steps);
        FrameWindow window;
        placeNormal(window, QRect(100, 100, 400, 300));
        drag(&window, start, steps);
        QTEST(window.geometry(), "expected");
    }

    void geometryBetweenRuns()
    {
        {
            FrameWindow first; // nothing stored: maximised, with the default normal size
            QVERIFY(first.isFrameMaximized());
            QCOMPARE(first.geometry(), area());
            QCOMPARE(first.normalFrameGeometry().size(), QSize(qMin(area().width(), 1250), qMin(area().height(), 800)));
            placeNormal(first, QRect(60, 70, 450, 330));
        }
        QCOMPARE(stored(), (QList<QVariant>{QSize(450, 330), QPoint(60, 70), "false"}));
        {
            FrameWindow second;
            QCOMPARE(second.geometry(), QRect(60, 70, 450, 330));
            second.resize(500, 400);
            second.setMaximized(true); // the earlier normal geometry stays stored
        }
        QCOMPARE(stored(), (QList<QVariant>{QSize(450, 330), QPoint(60, 70), "true"}));
        // A stored (0,0) means no position; only "true" means maximised.
        QSettings().setValue("AppWindow/Position", QPoint(0, 0));
        QSettings().setValue("AppWindow/Maximized", "True");
        SWindow reference;
        reference.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        FrameWindow unplaced;
        QVERIFY(!unplaced.isFrameMaximized());
        QCOMPARE(unplaced.pos(), reference.pos());
        QSettings().clear();
        // A form minimum above the screen is not: the window is never larger than the screen.
        FrameWindow large(area().size() + QSize(40, 30));
        QCOMPARE(large.normalFrameGeometry().size(), area().size());
    }

    // A place and size stored on a larger screen (or a screen that is gone): the window comes back inside
    // this one, its title bar and buttons on it, no larger than it even where the form's minimum is, and
    // maximised it fills the screen exactly.
    void restoredInsideTheScreen_data()
    {
        QTest::addColumn<QPoint>("position");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QSize>("minimum");
        const QRect a = area();
        QTest::newRow("larger than the screen, minimum too")
            << QPoint(a.left() + 100, a.top() + 200) << a.size() + QSize(261, 100) << a.size() + QSize(261, 70);
        QTest::newRow("right and below the screen")
            << a.bottomRight() - QPoint(50, 40) << QSize(400, 300) << QSize(300, 200);
        QTest::newRow("far right, half height")
            << QPoint(a.right() + 900, a.top() + 10) << QSize(400, 300) << QSize(300, 200);
        QTest::newRow("left of and above the screen")
            << QPoint(a.left() - 500, a.top() - 300) << QSize(400, 300) << QSize(300, 200);
    }
    void restoredInsideTheScreen()
    {
        QFETCH(QPoint, position);
        QFETCH(QSize, size);
        QFETCH(QSize, minimum);
        {
            QSettings s;
            s.setValue("AppWindow/Size", size);
            s.setValue("AppWindow/Position", position);
            s.setValue("AppWindow/Maximized", "false");
        }
        FrameWindow window(minimum);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(!window.isFrameMaximized());
        QVERIFY2(area().contains(window.geometry()), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                    .arg(window.x())
                                                                    .arg(window.y())
                                                                    .arg(window.width())
                                                                    .arg(window.height())));
        if (size.width() <= area().width() && size.height() <= area().height())
            QCOMPARE(window.size(), size); // a size that fits is kept
        window.setMaximized(true);
        QCOMPARE(window.geometry(), area());
    }

    void maximiseSignalsAndDoubleClick()
    {
        FrameWindow window;
        placeNormal(window, QRect(50, 60, 400, 300));
        QSignalSpy spy(&window, &SWindow::Maximize);
        window.setMaximized(true);
        QCOMPARE(window.geometry(), area());
        window.setMaximized(true);
        QCOMPARE(window.normalFrameGeometry(), QRect(50, 60, 400, 300));
        window.maxRestore();
        QTRY_COMPARE(window.geometry(), QRect(50, 60, 400, 300));
        mouse(&window, QEvent::MouseButtonDblClick, QPoint(200, 150), Qt::RightButton);
        mouse(&window, QEvent::MouseButtonDblClick, QPoint(200, 150));
        QCOMPARE(spy,
                 (QList<QList<QVariant>>{{true, false}, {true, true}, {false, true}, {true, false}, {false, true}}));
    }

    void titleBarWiring()
    {
        FrameWindow first;
        FrameWindow second;
        TopRightWidget bar;
        first.setMaximized(false);
        second.setMaximized(false);
        bar.btnSettings->click();
        bar.setWindow(&first);
        bar.setWindow(&second);
        for (QPushButton *button : {bar.btnSettings, bar.btnHelp, bar.btnAbout})
            button->click();
        bar.maxRestoreToolButton->click();
        QCOMPARE(first.commands, QStringList());
        QCOMPARE(second.commands, (QStringList{"settings", "help", "about"}));
        QVERIFY(!first.isFrameMaximized() && second.isFrameMaximized());
        QCOMPARE(bar.maxRestoreToolButton->toolTip(), QStringLiteral("Restore"));
        first.setMaximized(false);
        QCOMPARE(bar.maxRestoreToolButton->toolTip(), QStringLiteral("Restore"));
        second.show();
        bar.closeToolButton->click();
        QVERIFY(!second.isVisible());
        bar.setWindow(nullptr);
        bar.btnHelp->click();
        QCOMPARE(second.commands.size(), 3);
    }

    void titleBarLanguageChange()
    {
        TopRightWidget bar;
        QTranslator german;
        QVERIFY(loadTranslator(&german, QStringLiteral("de_DE")));
        const QString about = QCoreApplication::translate("TopRightWidget", "About");
        QVERIFY(about != QLatin1String("About"));
        QTRY_COMPARE(bar.btnAbout->text(), about);
        // The maximise button follows at its next state change.
        QCOMPARE(bar.maxRestoreToolButton->toolTip(), QStringLiteral("Maximize"));
        bar.setMaximized(true);
        QCOMPARE(bar.maxRestoreToolButton->toolTip(), QCoreApplication::translate("TopRightWidget", "Restore"));
        loadTranslator(&german, QStringLiteral("en_EN"));
        QTRY_COMPARE(bar.btnAbout->text(), QStringLiteral("About"));
    }
};

OMBRELAY_TEST_MAIN(TestSWindow)
#include "tst_swindow.moc"
