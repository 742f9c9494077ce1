#pragma once

#include <QMainWindow>
#include <QPoint>
#include <QRect>

// Base of the frameless main window: moves the window from its free area, resizes it from a band
// along each edge, keeps its own maximised state (never the platform's) and stores the geometry
// between runs.
class SWindow : public QMainWindow
{
    Q_OBJECT
public:
    enum GripRegion {
        GripNone = 0,
        GripMove = 1,
        GripTop = 2,
        GripBottom = 3,
        GripLeft = 4,
        GripRight = 5,
        GripTopRight = 6,
        GripBottomRight = 7,
        GripBottomLeft = 8,
        GripTopLeft = 9,
    };
    Q_ENUM(GripRegion)

    explicit SWindow(QWidget *parent = nullptr);
    ~SWindow() override;

    // Applies the stored size, position and maximised state; a subclass calls it last in its constructor.
    void restoreGeometry();

    bool isFrameMaximized() const { return maximized; }
    QRect normalFrameGeometry() const { return normalGeometry; }
    GripRegion currentGripRegion() const { return gripRegion; }

    // The edge bands of a point in screen coordinates against a window rectangle.
    struct Edges
    {
        bool left = false;
        bool right = false;
        bool top = false;
        bool bottom = false;
    };
    static Edges edgesAt(const QPoint &globalPos, const QRect &windowRect);

public slots:
    void maxRestore();
    virtual void onCommand(const QString &command);
    void setMaximized(bool maximize);

signals:
    void Maximize(bool maximized, bool wasMaximized);

protected:
    bool event(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

    // Stores the size, position and maximised state; the destructor stores them again.
    void saveGeometrySettings();

private:
    void clearOwnCursor();
    QSize boundedSize(const QSize &requested) const;

    GripRegion gripRegion = GripNone;
    QPoint pressPoint;
    bool maximized = false;
    QRect normalGeometry;
    QRect pressGeometry;
    bool mousePressed = false;
};
