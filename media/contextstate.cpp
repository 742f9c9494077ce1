#include "media/contextstate.h"

#include <QDir>
#include <QFileInfo>

ContextState ContextState::forReceiver(bool volume, bool protectedItem, bool clipboardHasPcItems, bool modelReady)
{
    ContextState s;
    s.cut = !protectedItem;
    s.copy = !volume;
    s.newFolder = !volume;
    s.paste = clipboardHasPcItems;
    s.remove = !protectedItem;
    s.refresh = modelReady;
    return s;
}

ContextState ContextState::forPc(const QString &path, bool hasItem, bool targetValid, bool browserVisible,
                                 bool clipboardHasPayload)
{
    ContextState s;
    const bool allowed = hasItem && !isProtectedPcPath(path);
    s.copy = allowed;
    s.cut = allowed;
    s.remove = allowed;
    s.newFolder = hasItem || browserVisible;
    s.paste = targetValid && clipboardHasPayload;
    s.refresh = true;
    const QString suffix = QFileInfo(path).completeSuffix();
    s.mkvOnly = suffix.endsWith(QLatin1String("ts4"), Qt::CaseInsensitive);
    s.convert = QFileInfo(path).isFile() && (s.mkvOnly || suffix.endsWith(QLatin1String("ts"), Qt::CaseInsensitive));
    if (!s.convert)
        s.mkvOnly = false;
    return s;
}

bool ContextState::isProtectedPcPath(const QString &path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return true;
    if (info.isRoot())
        return true;
    return info.isDir() && QDir::cleanPath(info.absolutePath()) == QLatin1String("/");
}
