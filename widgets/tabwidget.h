#pragma once

#include <QTabWidget>

// The tab widget of the list pages: reports when the keyboard focus enters or leaves it.
class TabWidget : public QTabWidget
{
    Q_OBJECT

public:
    explicit TabWidget(QWidget *parent = nullptr);

signals:
    void focusIn();
    void focusOut();

private slots:
    void onFocusChanged(QWidget *old, QWidget *now);

private:
    bool holds(const QWidget *widget) const;
};
