#include "app/swindow.h"

#include "base/settings.h"

#include <QGuiApplication>
#include <QHoverEvent>
#include <QMouseEvent>
#include <QScreen>

namespace {

// Band widths: five pixels inside on the leading edges; on the trailing edges five inside counting the
// last column, plus one beyond it.
constexpr int leadBand = 5;
constexpr int trailInside = 4;
constexpr int trailOutside = 1;

QRect availableArea(const QWidget *window)
{
    const QScreen *screen = window->screen();
    return screen ? screen->availableGeometry() : QRect();
}

} // namespace

SWindow::SWindow(QWidget *parent)
    : QMainWindow(parent)
{
    setMaximized(false);
    setFocusPolicy(Qt::StrongFocus);
}

SWindow::~SWindow()
{
    saveGeometrySettings();
}

SWindow::Edges SWindow::edgesAt(const QPoint &globalPos, const QRect &windowRect)
{
    const int left = windowRect.x();
    const int top = windowRect.y();
    const int right = left + windowRect.width() - 1;
    const int bottom = top + windowRect.height() - 1;
    Edges edges;
    edges.left = globalPos.x() >= left && globalPos.x() <= left + leadBand;
    edges.right = globalPos.x() >= right - trailInside && globalPos.x() <= right + trailOutside;
    edges.top = globalPos.y() >= top && globalPos.y() <= top + leadBand;
    edges.bottom = globalPos.y() >= bottom - trailInside && globalPos.y() <= bottom + trailOutside;
    return edges;
}

void SWindow::restoreGeometry()
{
    const QPoint position = Settings::getPoint(Settings::AppWindowPosition, QPoint(0, 0));
    // The screen the window was closed on when it is still there, else the one it starts on.
    const QScreen *target = position != QPoint(0, 0) ? QGuiApplication::screenAt(position) : nullptr;
    const QRect available = target ? target->availableGeometry() : availableArea(this);
    // A form's minimum wider or taller than the screen would keep the title bar's own buttons off it,
    // even maximised: the window is never larger than the screen.
    if (available.isValid())
        setMinimumSize(minimumSize().boundedTo(available.size()));
    const QSize defaultSize(qMin(available.width(), 1250), qMin(available.height(), 800));
    QSize size = Settings::getSize(Settings::AppWindowSize, defaultSize);
    if (available.isValid())
        size = size.boundedTo(available.size());
    resize(size);
    if (position != QPoint(0, 0)) {
        QPoint placed = position;
        // A place stored on a larger screen, or on one that is gone, would leave the window partly off
        // this one: it is moved inside, so its title bar and buttons can be reached.
        if (available.isValid()) {
            placed.setX(qMax(available.left(), qMin(placed.x(), available.left() + available.width() - width())));
            placed.setY(qMax(available.top(), qMin(placed.y(), available.top() + available.height() - height())));
        }
        move(placed);
    }
    normalGeometry = geometry();
    if (Settings::getBool(Settings::AppWindowMaximized, true))
        setMaximized(true);
}

void SWindow::saveGeometrySettings()
{
    if (!maximized) {
        Settings::setSize(Settings::AppWindowSize, size());
        Settings::setPoint(Settings::AppWindowPosition, pos());
    }
    Settings::setBool(Settings::AppWindowMaximized, maximized);
}

void SWindow::maxRestore()
{
    setMaximized(!maximized);
}

void SWindow::onCommand(const QString &command)
{
    Q_UNUSED(command)
}

void SWindow::setMaximized(bool maximize)
{
    const bool wasMaximized = maximized;
    if (maximize) {
        const QRect available = availableArea(this);
        if (!maximized)
            normalGeometry = geometry();
        if (available.isValid())
            setGeometry(available);
    } else if (maximized) {
        setGeometry(normalGeometry);
    }
    emit Maximize(maximize, wasMaximized);
    maximized = maximize;
}

void SWindow::clearOwnCursor()
{
    if (cursor().shape() != Qt::ArrowCursor)
        unsetCursor();
}

bool SWindow::event(QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::HoverMove || type == QEvent::HoverLeave) {
        if (maximized) {
            clearOwnCursor();
        } else if (type == QEvent::HoverLeave) {
            if (!mousePressed)
                clearOwnCursor();
        } else if (!mousePressed) {
            const auto *hover = static_cast<QHoverEvent *>(event);
            const Edges e = edgesAt(mapToGlobal(hover->position().toPoint()), geometry());
            if ((e.top && e.left) || (e.bottom && e.right))
                setCursor(Qt::SizeFDiagCursor);
            else if ((e.bottom && e.left) || (e.top && e.right))
                setCursor(Qt::SizeBDiagCursor);
            else if (e.left || e.right)
                setCursor(Qt::SizeHorCursor);
            else if (e.top || e.bottom)
                setCursor(Qt::SizeVerCursor);
            else
                clearOwnCursor();
        }
    }
    return QMainWindow::event(event);
}

void SWindow::mousePressEvent(QMouseEvent *event)
{
    pressGeometry = geometry();
    mousePressed = true;
    if (event->button() != Qt::LeftButton)
        return;
    pressPoint = event->globalPosition().toPoint();
    const Edges e = edgesAt(mapToGlobal(event->position().toPoint()), geometry());
    if (e.top && e.left)
        gripRegion = GripTopLeft;
    else if (e.bottom && e.right)
        gripRegion = GripBottomRight;
    else if (e.bottom && e.left)
        gripRegion = GripBottomLeft;
    else if (e.top && e.right)
        gripRegion = GripTopRight;
    else if (e.right)
        gripRegion = GripRight;
    else if (e.left)
        gripRegion = GripLeft;
    else if (e.bottom)
        gripRegion = GripBottom;
    else if (e.top)
        gripRegion = GripTop;
    else
        gripRegion = maximized ? GripNone : GripMove;
    event->accept();
}

void SWindow::mouseReleaseEvent(QMouseEvent *event)
{
    Q_UNUSED(event)
    mousePressed = false;
}

void SWindow::mouseDoubleClickEvent(QMouseEvent *event)
{
    setMaximized(!maximized);
    event->accept();
}

QSize SWindow::boundedSize(const QSize &requested) const
{
    const QSize lo = minimumSize();
    const QSize hi = maximumSize();
    auto bound = [](int value, int low, int high) { return value < low ? low : (value > high ? high : value); };
    return QSize(bound(requested.width(), lo.width(), hi.width()), bound(requested.height(), lo.height(), hi.height()));
}

void SWindow::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return;
    if (maximized) {
        event->accept();
        return;
    }
    const QPoint delta = event->globalPosition().toPoint() - pressPoint;
    const int dx = delta.x();
    const int dy = delta.y();
    const int x0 = pressGeometry.x();
    const int y0 = pressGeometry.y();
    const int w = pressGeometry.width();
    const int h = pressGeometry.height();
    QSize newSize(w, h);
    QPoint newPos(x0, y0);

    switch (gripRegion) {
    case GripMove:
        newPos = QPoint(x0 + dx, y0 + dy);
        break;
    case GripTop: {
        const QSize b = boundedSize(QSize(w, h - dy));
        if (b.height() == h - dy) {
            newSize = b;
            newPos = QPoint(x0, y0 + dy);
        }
        break;
    }
    case GripBottom:
        newSize = boundedSize(QSize(w, h + dy));
        break;
    case GripLeft: {
        const QSize b = boundedSize(QSize(w - dx, h));
        if (b.width() == w - dx) {
            newSize = b;
            newPos = QPoint(x0 + dx, y0);
        }
        break;
    }
    case GripRight:
        newSize = boundedSize(QSize(w + dx, h));
        break;
    case GripTopRight:
        newSize = boundedSize(QSize(w + dx, h - dy));
        newPos = QPoint(x0, newSize.height() == h - dy ? y0 + dy : y());
        break;
    case GripBottomRight:
        newSize = boundedSize(QSize(w + dx, h + dy));
        break;
    case GripBottomLeft:
        newSize = boundedSize(QSize(w - dx, h + dy));
        newPos = QPoint(newSize.width() == w - dx ? x0 + dx : x(), y0);
        break;
    case GripTopLeft:
        newSize = boundedSize(QSize(w - dx, h - dy));
        newPos = QPoint(newSize.width() == w - dx ? x0 + dx : x(), newSize.height() == h - dy ? y0 + dy : y());
        break;
    case GripNone:
        break;
    }

    if (newSize != QSize(w, h))
        resize(newSize);
    if (newPos != QPoint(x0, y0))
        move(newPos);
    event->accept();
}
