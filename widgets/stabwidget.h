#pragma once

#include <QTabWidget>

// Base of the favourite-list tab widgets: a drag passing over a tab brings that tab to the front,
// so entries are dropped onto the list that is then shown.
class STabWidget : public QTabWidget
{
    Q_OBJECT

public:
    explicit STabWidget(QWidget *parent = nullptr);

    int maximumTabCount() const;
    void setMaximumTabCount(int count);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;

private:
    int tabAtPosition(const QPoint &position) const;

    int maxTabCount = 0;
};
