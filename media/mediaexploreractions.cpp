#include "media/mediaexploreractions.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>

// Texts stay in the page's translation context.
MediaExplorerActions::MediaExplorerActions(QObject *parent)
    : QObject(parent)
{
    const QKeySequence::StandardKey keys[CommandCount] = {
        QKeySequence::Copy,       QKeySequence::Cut,        QKeySequence::Paste,     QKeySequence::Delete,
        QKeySequence::UnknownKey, QKeySequence::UnknownKey, QKeySequence::UnknownKey};
    for (int c = 0; c < CommandCount; ++c) {
        m_pc[c] = makeAction(keys[c]);
        m_device[c] = makeAction(keys[c]);
    }
    m_showInExplorer = makeAction(QKeySequence::UnknownKey);

    // Menus have no parent widget: the page deletes them.
    m_pcMenu = new QMenu;
    m_deviceMenu = new QMenu;
    m_pcMenu->addAction(m_showInExplorer);
    m_pcMenu->addSeparator();
    m_pcMenu->addAction(m_pc[NewFolder]);
    m_pcMenu->addAction(m_pc[Refresh]);
    m_pcMenu->addSeparator();
    m_pcMenu->addAction(m_pc[Cut]);
    m_pcMenu->addAction(m_pc[Copy]);
    m_pcMenu->addAction(m_pc[Paste]);
    m_pcMenu->addSeparator();
    m_pcMenu->addAction(m_pc[Delete]);
    m_pcMenu->addSeparator();
    m_convertMenu = new QMenu(m_pcMenu);
    m_convertMp3 = m_convertMenu->addAction(QStringLiteral("MP3"));
    m_convertMpg = m_convertMenu->addAction(QStringLiteral("MPG"));
    m_convertMkv = m_convertMenu->addAction(QStringLiteral("MKV"));
    m_convertDvd = m_convertMenu->addAction(QStringLiteral("DVD"));
    m_pcMenu->addMenu(m_convertMenu);
    m_pcMenu->addSeparator();
    m_pcMenu->addAction(m_pc[PropertiesPanel]);
    m_deviceMenu->addAction(m_device[NewFolder]);
    m_deviceMenu->addAction(m_device[Refresh]);
    m_deviceMenu->addSeparator();
    m_deviceMenu->addAction(m_device[Cut]);
    m_deviceMenu->addAction(m_device[Copy]);
    m_deviceMenu->addAction(m_device[Paste]);
    m_deviceMenu->addSeparator();
    m_deviceMenu->addAction(m_device[Delete]);
    m_deviceMenu->addSeparator();
    m_deviceMenu->addAction(m_device[PropertiesPanel]);
    retranslate();
    m_pc[PropertiesPanel]->setText(QCoreApplication::translate("MediaExplorerModule", "Hide properties panel"));
    m_device[PropertiesPanel]->setText(QCoreApplication::translate("MediaExplorerModule", "Hide properties panel"));
}

MediaExplorerActions::~MediaExplorerActions()
{
    delete m_pcMenu;
    delete m_deviceMenu;
}

QAction *MediaExplorerActions::makeAction(QKeySequence::StandardKey key)
{
    auto *action = new QAction(this);
    if (key != QKeySequence::UnknownKey) {
        action->setShortcuts(key);
        // The page's own shortcuts carry these keys; the menu only shows them.
        action->setShortcutContext(Qt::WidgetShortcut);
    }
    return action;
}

void MediaExplorerActions::setEnabled(Command command, bool enabled)
{
    m_pc[command]->setEnabled(enabled);
    m_device[command]->setEnabled(enabled);
}

void MediaExplorerActions::setConvertEnabled(bool enabled, bool mkvOnly)
{
    m_convertMenu->setEnabled(enabled);
    m_convertMpg->setVisible(!mkvOnly);
    m_convertDvd->setVisible(!mkvOnly);
    m_convertMkv->setVisible(mkvOnly);
}

void MediaExplorerActions::setShowInExplorerVisible(bool visible)
{
    const QList<QAction *> entries = m_pcMenu->actions();
    entries.at(0)->setVisible(visible);
    entries.at(1)->setVisible(visible);
}

void MediaExplorerActions::retranslate()
{
    const QString texts[PropertiesPanel] = {QCoreApplication::translate("MediaExplorerModule", "Copy"),
                                            QCoreApplication::translate("MediaExplorerModule", "Cut"),
                                            QCoreApplication::translate("MediaExplorerModule", "Paste"),
                                            QCoreApplication::translate("MediaExplorerModule", "Delete"),
                                            QCoreApplication::translate("MediaExplorerModule", "New folder"),
                                            QCoreApplication::translate("MediaExplorerModule", "Refresh")};
    for (int c = 0; c < PropertiesPanel; ++c) {
        m_pc[c]->setText(texts[c]);
        m_device[c]->setText(texts[c]);
    }
    m_showInExplorer->setText(QCoreApplication::translate("MediaExplorerModule", "Show in explorer"));
    m_convertMenu->setTitle(QCoreApplication::translate("MediaExplorerModule", "Convert to"));
}
