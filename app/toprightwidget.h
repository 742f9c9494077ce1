#pragma once

#include "app/swindow.h"
#include "ui_toprightwidget.h"

#include <QList>
#include <QMetaObject>
#include <QPointer>
#include <QWidget>

// The title-bar buttons of a page: minimise, maximise/restore and close act on the window directly;
// Settings, Help and About reach it as the commands "settings", "help" and "about".
class TopRightWidget : public QWidget, public Ui::TopRightWidget
{
    Q_OBJECT
public:
    explicit TopRightWidget(QWidget *parent = nullptr);

    // Wires the buttons to window (none: only removes the wiring to the previous window).
    void setWindow(SWindow *window);
    SWindow *wiredWindowPointer() const { return wiredWindow; }

public slots:
    void onBtnAbout();
    void onBtnHelp();
    void onBtnSettings();
    void setMaximized(bool maximized);

signals:
    void Command(const QString &command);

protected:
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void fitWidth();

    QPointer<SWindow> wiredWindow;
    QList<QMetaObject::Connection> connections;
    int designWidth = -1;
};
