#pragma once

#include <QKeySequence>
#include <QObject>

class QAction;
class QMenu;

// The media explorer page's two context menus (PC pane and receiver pane) with their actions: what they
// hold, in which order, their texts and which of them are on.
class MediaExplorerActions : public QObject
{
    Q_OBJECT
public:
    // The commands both menus share; each has one action per pane.
    enum Command { Copy, Cut, Paste, Delete, NewFolder, Refresh, PropertiesPanel, CommandCount };

    explicit MediaExplorerActions(QObject *parent = nullptr);
    ~MediaExplorerActions() override;

    QMenu *pcMenu() const { return m_pcMenu; }
    QMenu *deviceMenu() const { return m_deviceMenu; }
    QMenu *convertMenu() const { return m_convertMenu; }
    QAction *pcAction(Command command) const { return m_pc[command]; }
    QAction *deviceAction(Command command) const { return m_device[command]; }
    QAction *showInExplorer() const { return m_showInExplorer; }
    QAction *convertMp3() const { return m_convertMp3; }
    QAction *convertMpg() const { return m_convertMpg; }
    QAction *convertMkv() const { return m_convertMkv; }
    QAction *convertDvd() const { return m_convertDvd; }

    // Both panes' action of command.
    void setEnabled(Command command, bool enabled);
    void setConvertEnabled(bool enabled, bool mkvOnly);
    // "Show in explorer" and the separator after it are only in the menu of a PC item.
    void setShowInExplorerVisible(bool visible);
    void retranslate();

private:
    QAction *makeAction(QKeySequence::StandardKey key);

    QMenu *m_pcMenu = nullptr;
    QMenu *m_deviceMenu = nullptr;
    QMenu *m_convertMenu = nullptr;
    QAction *m_pc[CommandCount] = {};
    QAction *m_device[CommandCount] = {};
    QAction *m_showInExplorer = nullptr;
    QAction *m_convertMp3 = nullptr;
    QAction *m_convertMpg = nullptr;
    QAction *m_convertMkv = nullptr;
    QAction *m_convertDvd = nullptr;
};
