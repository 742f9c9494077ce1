#include "app/toprightwidget.h"

#include "app/swindow.h"

#include <QEvent>
#include <QLayout>

TopRightWidget::TopRightWidget(QWidget *parent)
    : QWidget(parent)
{
    setupUi(this);
    setMaximized(false);
}

void TopRightWidget::setWindow(SWindow *window)
{
    for (const QMetaObject::Connection &connection : std::as_const(connections))
        disconnect(connection);
    connections.clear();
    wiredWindow = window;
    if (!window)
        return;
    connections << connect(minimizeToolButton, &QToolButton::clicked, window, &QWidget::showMinimized)
                << connect(maxRestoreToolButton, &QToolButton::clicked, window, &SWindow::maxRestore)
                << connect(closeToolButton, &QToolButton::clicked, window, &QWidget::close)
                << connect(window, &SWindow::Maximize, this, &TopRightWidget::setMaximized)
                << connect(btnAbout, &QPushButton::clicked, this, &TopRightWidget::onBtnAbout)
                << connect(btnHelp, &QPushButton::clicked, this, &TopRightWidget::onBtnHelp)
                << connect(btnSettings, &QPushButton::clicked, this, &TopRightWidget::onBtnSettings)
                << connect(this, &TopRightWidget::Command, window, &SWindow::onCommand);
}

void TopRightWidget::onBtnAbout()
{
    emit Command(QStringLiteral("about"));
}

void TopRightWidget::onBtnHelp()
{
    emit Command(QStringLiteral("help"));
}

void TopRightWidget::onBtnSettings()
{
    emit Command(QStringLiteral("settings"));
}

void TopRightWidget::setMaximized(bool maximized)
{
    if (maximized) {
        maxRestoreToolButton->setStyleSheet(
            QStringLiteral("#maxRestoreToolButton { image: url(:/images/restore); }\n"
                           "#maxRestoreToolButton:hover { image: url(:/images/restore_h); }"));
        maxRestoreToolButton->setToolTip(tr("Restore"));
    } else {
        maxRestoreToolButton->setStyleSheet(
            QStringLiteral("#maxRestoreToolButton { image: url(:/images/maximize); }\n"
                           "#maxRestoreToolButton:hover { image: url(:/images/maximize_h); }"));
        maxRestoreToolButton->setToolTip(tr("Maximize"));
    }
}

void TopRightWidget::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) {
        minimizeToolButton->setToolTip(tr("Minimize"));
        closeToolButton->setToolTip(tr("Close"));
        btnSettings->setText(tr("Settings"));
        btnHelp->setText(tr("Help"));
        btnAbout->setText(tr("About"));
    }
    if (event->type() == QEvent::LanguageChange || event->type() == QEvent::StyleChange ||
        event->type() == QEvent::FontChange)
        fitWidth();
}

void TopRightWidget::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    fitWidth();
}

void TopRightWidget::fitWidth()
{
    // The pages hold the title bar at a fixed width made for Windows' narrow font; Linux fonts and the
    // longer translations need more, so a fixed width grows until no button text is cut off.
    if (designWidth < 0) {
        if (minimumWidth() != maximumWidth())
            return;
        designWidth = maximumWidth();
    }
    int needed = 0;
    for (const QWidget *item :
         {static_cast<QWidget *>(btnSettings), static_cast<QWidget *>(line), static_cast<QWidget *>(btnHelp),
          static_cast<QWidget *>(line_2), static_cast<QWidget *>(btnAbout)})
        needed += item->sizeHint().width();
    const QLayout *row = horizontalFrame_4->layout();
    needed += row->contentsMargins().left() + row->contentsMargins().right() + 5 * qMax(0, row->spacing());
    const int width = qMax(designWidth, needed);
    setFixedWidth(width);
}
