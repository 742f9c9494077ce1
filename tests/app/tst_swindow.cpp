#include "testmain.h"

#include "app/swindow.h"

#include <QHoverEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QSettings>
#include <QSignalSpy>

namespace {

// A window with the fixed minimum a real page has, so that the resize limits can be reached.
class FrameWindow : public SWindow
{
public:
    explicit FrameWindow(const QSize &minimum = QSize(300, 200))
    {
        setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        setMinimumSize(minimum);
        setCentralWidget(new QWidget(this));
        restoreGeometry();
    }
};

void storeGeometry(const QSize &size, const QPoint &position)
{
    QSettings settings;
    settings.setValue("AppWindow/Size", size);
    settings.setValue("AppWindow/Position", position);
    settings.setValue("AppWindow/Maximized", "false");
}

QRect available()
{
    return QGuiApplication::primaryScreen()->availableGeometry();
}

void sendMouse(QWidget *w, QEvent::Type type, const QPoint &local, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(local), QPointF(w->mapToGlobal(local)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

// Press at a window point, move by a screen offset (one step per entry of steps), release.
void drag(QWidget *w, const QPoint &local, const QList<QPoint> &steps)
{
    const QPoint global = w->mapToGlobal(local);
    sendMouse(w, QEvent::MouseButtonPress, local, Qt::LeftButton, Qt::LeftButton);
    for (const QPoint &step : steps) {
        const QPoint target = global + step;
        QMouseEvent move(QEvent::MouseMove, QPointF(w->mapFromGlobal(target)), QPointF(target), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w, &move);
    }
    sendMouse(w, QEvent::MouseButtonRelease, local, Qt::LeftButton, Qt::NoButton);
}

void hover(QWidget *w, const QPoint &local)
{
    QHoverEvent event(QEvent::HoverMove, QPointF(local), QPointF(w->mapToGlobal(local)), QPointF(local));
    QApplication::sendEvent(w, &event);
}

} // namespace

class TestSWindow : public QObject
{
    Q_OBJECT

    // A normal window at a known place, away from the screen edges.
    void placeNormal(SWindow &window, const QRect &geometry)
    {
        window.setMaximized(false);
        window.setGeometry(geometry);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.setGeometry(geometry);
        QTRY_COMPARE(window.geometry(), geometry);
    }

private slots:
    void init() { QSettings().clear(); }
    void cleanup() { QSettings().clear(); }

    void edgeBands_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<bool>("left");
        QTest::addColumn<bool>("right");
        QTest::addColumn<bool>("top");
        QTest::addColumn<bool>("bottom");
        // window rectangle: x 100..499, y 50..349
        QTest::newRow("inside") << QPoint(300, 200) << false << false << false << false;
        QTest::newRow("left 5 inside") << QPoint(105, 200) << true << false << false << false;
        QTest::newRow("left 6 inside") << QPoint(106, 200) << false << false << false << false;
        QTest::newRow("left before window") << QPoint(99, 200) << false << false << false << false;
        QTest::newRow("right 4 inside last") << QPoint(495, 200) << false << true << false << false;
        QTest::newRow("right 5 inside last") << QPoint(494, 200) << false << false << false << false;
        QTest::newRow("right 1 beyond") << QPoint(500, 200) << false << true << false << false;
        QTest::newRow("right 2 beyond") << QPoint(501, 200) << false << false << false << false;
        QTest::newRow("top") << QPoint(300, 55) << false << false << true << false;
        QTest::newRow("bottom 1 beyond") << QPoint(300, 350) << false << false << false << true;
        QTest::newRow("top left corner") << QPoint(103, 53) << true << false << true << false;
        QTest::newRow("bottom right corner") << QPoint(499, 349) << false << true << false << true;
    }
    void edgeBands()
    {
        QFETCH(QPoint, point);
        const SWindow::Edges e = SWindow::edgesAt(point, QRect(100, 50, 400, 300));
        QTEST(e.left, "left");
        QTEST(e.right, "right");
        QTEST(e.top, "top");
        QTEST(e.bottom, "bottom");
    }

    void firstRunOpensMaximisedWithDefaultSize()
    {
        FrameWindow window;
        const QRect area = available();
        QVERIFY(window.isFrameMaximized());
        QCOMPARE(window.geometry(), area);
        const QSize expected =
            QSize(qMin(area.width(), 1250), qMin(area.height(), 800)).expandedTo(window.minimumSize());
        QCOMPARE(window.normalFrameGeometry().size(), expected);
        window.setMaximized(false);
        QCOMPARE(window.size(), expected);
    }

    void minimumLargerThanDefaultWins()
    {
        const QRect area = available();
        FrameWindow window(QSize(area.width() + 40, area.height() + 30));
        QCOMPARE(window.normalFrameGeometry().size(), QSize(area.width() + 40, area.height() + 30));
    }

    void storedGeometryIsApplied_data()
    {
        QTest::addColumn<QPoint>("position");
        QTest::addColumn<bool>("moved");
        QTest::newRow("stored position") << QPoint(40, 30) << true;
        QTest::newRow("origin means none") << QPoint(0, 0) << false;
    }
    void storedGeometryIsApplied()
    {
        QFETCH(QPoint, position);
        QFETCH(bool, moved);
        storeGeometry(QSize(420, 310), position);
        SWindow reference;
        reference.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        const QPoint unplaced = reference.pos();
        FrameWindow window;
        QVERIFY(!window.isFrameMaximized());
        QCOMPARE(window.size(), QSize(420, 310));
        QCOMPARE(window.pos(), moved ? position : unplaced);
        QCOMPARE(window.normalFrameGeometry(), window.geometry());
    }

    void maximisedFlagOtherThanTrueReadsFalse()
    {
        QSettings().setValue("AppWindow/Maximized", "True");
        FrameWindow window;
        QVERIFY(!window.isFrameMaximized());
    }

    void exitWhileNormalStoresEverything()
    {
        {
            FrameWindow window;
            placeNormal(window, QRect(60, 70, 450, 330));
        }
        QSettings settings;
        QCOMPARE(settings.value("AppWindow/Size").toSize(), QSize(450, 330));
        QCOMPARE(settings.value("AppWindow/Position").toPoint(), QPoint(60, 70));
        QCOMPARE(settings.value("AppWindow/Maximized").toString(), QStringLiteral("false"));
    }

    void exitWhileMaximisedKeepsEarlierGeometry()
    {
        storeGeometry(QSize(401, 301), QPoint(11, 12));
        {
            FrameWindow window;
            window.resize(500, 400);
            window.setMaximized(true);
        }
        QSettings settings;
        QCOMPARE(settings.value("AppWindow/Size").toSize(), QSize(401, 301));
        QCOMPARE(settings.value("AppWindow/Position").toPoint(), QPoint(11, 12));
        QCOMPARE(settings.value("AppWindow/Maximized").toString(), QStringLiteral("true"));
    }

    void maximiseSignalsAndNormalGeometry()
    {
        FrameWindow window;
        placeNormal(window, QRect(50, 60, 400, 300));
        QSignalSpy spy(&window, &SWindow::Maximize);
        window.setMaximized(true);
        QCOMPARE(window.geometry(), available());
        window.setMaximized(true);
        QCOMPARE(window.normalFrameGeometry(), QRect(50, 60, 400, 300));
        window.maxRestore();
        QTRY_COMPARE(window.geometry(), QRect(50, 60, 400, 300));
        window.setMaximized(false);
        QCOMPARE(spy.count(), 4);
        const QList<QList<bool>> expected{{true, false}, {true, true}, {false, true}, {false, false}};
        for (int i = 0; i < expected.size(); ++i) {
            QCOMPARE(spy.at(i).at(0).toBool(), expected.at(i).at(0));
            QCOMPARE(spy.at(i).at(1).toBool(), expected.at(i).at(1));
        }
    }

    void doubleClickToggles()
    {
        FrameWindow window;
        placeNormal(window, QRect(50, 60, 400, 300));
        QSignalSpy spy(&window, &SWindow::Maximize);
        sendMouse(&window, QEvent::MouseButtonDblClick, QPoint(200, 150), Qt::LeftButton, Qt::LeftButton);
        QVERIFY(window.isFrameMaximized());
        sendMouse(&window, QEvent::MouseButtonDblClick, QPoint(200, 150), Qt::RightButton, Qt::RightButton);
        QVERIFY(!window.isFrameMaximized());
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(0), (QList<QVariant>{true, false}));
        QCOMPARE(spy.at(1), (QList<QVariant>{false, true}));
    }

    void pressRegions_data()
    {
        QTest::addColumn<QPoint>("local");
        QTest::addColumn<int>("region");
        QTest::newRow("free area") << QPoint(200, 150) << int(SWindow::GripMove);
        QTest::newRow("left at 5") << QPoint(5, 150) << int(SWindow::GripLeft);
        QTest::newRow("left at 6") << QPoint(6, 150) << int(SWindow::GripMove);
        QTest::newRow("right 5 inside") << QPoint(395, 150) << int(SWindow::GripRight);
        QTest::newRow("top") << QPoint(200, 0) << int(SWindow::GripTop);
        QTest::newRow("bottom") << QPoint(200, 299) << int(SWindow::GripBottom);
        QTest::newRow("top left") << QPoint(3, 3) << int(SWindow::GripTopLeft);
        QTest::newRow("top right") << QPoint(398, 2) << int(SWindow::GripTopRight);
        QTest::newRow("bottom right") << QPoint(398, 298) << int(SWindow::GripBottomRight);
        QTest::newRow("bottom left") << QPoint(1, 298) << int(SWindow::GripBottomLeft);
    }
    void pressRegions()
    {
        QFETCH(QPoint, local);
        FrameWindow window;
        placeNormal(window, QRect(50, 60, 400, 300));
        sendMouse(&window, QEvent::MouseButtonPress, local, Qt::LeftButton, Qt::LeftButton);
        sendMouse(&window, QEvent::MouseButtonRelease, local, Qt::LeftButton, Qt::NoButton);
        QTEST(int(window.currentGripRegion()), "region");
    }

    void pressWhileMaximisedGripsNothing()
    {
        FrameWindow window;
        window.show();
        QVERIFY(window.isFrameMaximized());
        const QRect before = window.geometry();
        drag(&window, QPoint(200, 150), {QPoint(30, 30)});
        QCOMPARE(window.currentGripRegion(), SWindow::GripNone);
        drag(&window, QPoint(2, 150), {QPoint(30, 0)});
        QCOMPARE(window.currentGripRegion(), SWindow::GripLeft);
        QCOMPARE(window.geometry(), before);
    }

    void drags_data()
    {
        QTest::addColumn<QPoint>("start");
        QTest::addColumn<QList<QPoint>>("steps");
        QTest::addColumn<QRect>("expected");
        // window at 100,100 400x300, minimum 300x200
        QTest::newRow("move") << QPoint(200, 150) << QList<QPoint>{{10, 5}, {-20, 15}} << QRect(80, 115, 400, 300);
        QTest::newRow("right grows") << QPoint(398, 150) << QList<QPoint>{{50, 0}} << QRect(100, 100, 450, 300);
        QTest::newRow("bottom stops at minimum")
            << QPoint(200, 298) << QList<QPoint>{{0, -50}, {0, -150}} << QRect(100, 100, 400, 200);
        QTest::newRow("top stops at last move in bounds")
            << QPoint(200, 2) << QList<QPoint>{{0, 60}, {0, 150}} << QRect(100, 160, 400, 240);
        QTest::newRow("left shrinks and moves")
            << QPoint(2, 150) << QList<QPoint>{{40, 0}} << QRect(140, 100, 360, 300);
        QTest::newRow("left stops at last move in bounds")
            << QPoint(2, 150) << QList<QPoint>{{40, 0}, {140, 0}} << QRect(140, 100, 360, 300);
        QTest::newRow("top left past minimum width keeps x")
            << QPoint(2, 2) << QList<QPoint>{{40, 20}, {150, 30}} << QRect(140, 130, 300, 270);
        QTest::newRow("bottom left") << QPoint(2, 298) << QList<QPoint>{{-30, 20}} << QRect(70, 100, 430, 320);
        QTest::newRow("top right") << QPoint(398, 2) << QList<QPoint>{{25, -20}} << QRect(100, 80, 425, 320);
        QTest::newRow("bottom right") << QPoint(398, 298) << QList<QPoint>{{25, 20}} << QRect(100, 100, 425, 320);
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

    void moveWithoutLeftButtonDoesNothing()
    {
        FrameWindow window;
        placeNormal(window, QRect(100, 100, 400, 300));
        sendMouse(&window, QEvent::MouseButtonPress, QPoint(200, 150), Qt::RightButton, Qt::RightButton);
        QMouseEvent move(QEvent::MouseMove, QPointF(250, 180), QPointF(window.mapToGlobal(QPoint(250, 180))),
                         Qt::NoButton, Qt::RightButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &move);
        QCOMPARE(window.geometry(), QRect(100, 100, 400, 300));
    }

    void hoverCursors_data()
    {
        QTest::addColumn<QPoint>("local");
        QTest::addColumn<bool>("maximised");
        QTest::addColumn<int>("shape");
        QTest::newRow("maximised edge") << QPoint(1, 1) << true << int(Qt::ArrowCursor);
        QTest::newRow("top left") << QPoint(2, 2) << false << int(Qt::SizeFDiagCursor);
        QTest::newRow("bottom right") << QPoint(398, 298) << false << int(Qt::SizeFDiagCursor);
        QTest::newRow("bottom left") << QPoint(2, 298) << false << int(Qt::SizeBDiagCursor);
        QTest::newRow("top right") << QPoint(398, 2) << false << int(Qt::SizeBDiagCursor);
        QTest::newRow("left") << QPoint(2, 150) << false << int(Qt::SizeHorCursor);
        QTest::newRow("right") << QPoint(399, 150) << false << int(Qt::SizeHorCursor);
        QTest::newRow("top") << QPoint(200, 3) << false << int(Qt::SizeVerCursor);
        QTest::newRow("bottom") << QPoint(200, 297) << false << int(Qt::SizeVerCursor);
        QTest::newRow("inside") << QPoint(200, 150) << false << int(Qt::ArrowCursor);
    }
    void hoverCursors()
    {
        QFETCH(QPoint, local);
        FrameWindow window;
        placeNormal(window, QRect(100, 100, 400, 300));
        QFETCH(bool, maximised);
        hover(&window, QPoint(2, 150));
        QCOMPARE(window.cursor().shape(), Qt::SizeHorCursor);
        window.setMaximized(maximised);
        hover(&window, local);
        QTEST(int(window.cursor().shape()), "shape");
    }

    void hoverKeepsCursorWhilePressed()
    {
        FrameWindow window;
        placeNormal(window, QRect(100, 100, 400, 300));
        hover(&window, QPoint(2, 150));
        sendMouse(&window, QEvent::MouseButtonPress, QPoint(2, 150), Qt::LeftButton, Qt::LeftButton);
        hover(&window, QPoint(200, 3));
        QCOMPARE(window.cursor().shape(), Qt::SizeHorCursor);
        sendMouse(&window, QEvent::MouseButtonRelease, QPoint(2, 150), Qt::LeftButton, Qt::NoButton);
        QCOMPARE(window.cursor().shape(), Qt::SizeHorCursor);
        hover(&window, QPoint(200, 3));
        QCOMPARE(window.cursor().shape(), Qt::SizeVerCursor);
    }
};

OMBRELAY_TEST_MAIN(TestSWindow)
#include "tst_swindow.moc"
