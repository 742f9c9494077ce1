#include "base/settings.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QSettings>
#include <QStandardPaths>

namespace {

// Constant data: no initialisation order to worry about.
constexpr const char *keyTexts[Settings::KeyCount] = {
    "PathVideoConversion",
    "PathPictures",
    "PathVideo",
    "PathMusic",
    "printGrid",
    "printPrintFileName",
    "printPageNumber",
    "printFormatDetailed",
    "printFormatCompact",
    "printFormatHandout",
    "printTitle",
    "DownloadFFmpegRequest",
    "SendingListsRestartWarning",
    "SearchModule/CheckConnectionEnabled",
    "SearchModule/EndIP",
    "SearchModule/FastScanEnabled",
    "SearchModule/StartIP",
    "preferredLanguage",
    "recentFileList",
    "recentOpenDir",
    "OmbrelayDeviceList",
    "AppWindow/Position",
    "AppWindow/Size",
    "AppWindow/Fullscreen",
    "AppWindow/Maximized",
};

constexpr QChar separator = u';';
constexpr QChar escape = u'\\';

QVariant readValue(Settings::setingKey key, const QVariant &defaultValue)
{
    const QString name = Settings::keyName(key);
    if (name.isEmpty())
        return defaultValue;
    return QSettings().value(name, defaultValue);
}

// Keys whose last write did not reach the file, each with the file it was meant for. The store keeps such a
// value in memory as if it were stored (and writes it with the next write that gets through), so for these
// keys the value in memory says nothing about the file: they are written whatever that value is.
QSet<QString> &unwrittenKeys()
{
    static QSet<QString> keys;
    return keys;
}

QString unwrittenEntry(const QSettings &settings, const QString &name)
{
    return settings.fileName() + u'\n' + name;
}

// QSettings forgets the values it holds for a file as soon as no QSettings object uses it any more when the
// file was empty or missing on disk: one object per file with unwritten values stays open until they reach
// it, so they are still there to be read and to be written by the next write or by writeUnsaved(). Held for
// the program's life at most; never destroyed at exit, when the store's own globals may be gone.
QHash<QString, QSettings *> &heldStores()
{
    static auto *stores = new QHash<QString, QSettings *>;
    return *stores;
}

void noteUnwritten(const QString &entry)
{
    unwrittenKeys().insert(entry);
    const QString file = entry.left(entry.indexOf(u'\n'));
    if (!heldStores().contains(file))
        heldStores().insert(file, new QSettings);
}

// The file now holds everything the store held, also the values of earlier writes that failed.
void noteAllWritten(const QSettings &settings)
{
    const QString file = unwrittenEntry(settings, QString());
    unwrittenKeys().removeIf([&file](const QString &key) { return key.startsWith(file); });
    delete heldStores().take(settings.fileName());
}

// Whether the program's own file holds value under name. The organisation's file and the system's files
// are read as fallbacks, but a value found only there is not in the program's file: it would change with
// them, and a write of it that fails would go unnoticed.
bool ownFileHolds(const QString &name, const QVariant &value)
{
    QSettings own;
    own.setFallbacksEnabled(false);
    return own.contains(name) && own.value(name) == value;
}

// Written through to the file now, so a store that cannot be written is known while the user is there.
bool writeValue(const QString &name, const QVariant &value)
{
    if (name.isEmpty())
        return false;
    QSettings settings;
    const QString entry = unwrittenEntry(settings, name);
    // A value the file holds needs no write: each write goes to the disk now, and some keys (the recent
    // files and folder) are written again with the same value on every open and save.
    if (!unwrittenKeys().contains(entry) && ownFileHolds(name, value))
        return true;
    settings.setValue(name, value);
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        noteUnwritten(entry);
        return false;
    }
    noteAllWritten(settings);
    return true;
}

bool writeValue(Settings::setingKey key, const QVariant &value)
{
    return writeValue(Settings::keyName(key), value);
}

} // namespace

QString Settings::keyName(setingKey key)
{
    const int index = static_cast<int>(key);
    if (index < 0 || index >= KeyCount)
        return QString();
    return QString::fromLatin1(keyTexts[index]);
}

QString Settings::getString(setingKey key, const QString &defaultValue)
{
    const QString value = readValue(key, defaultValue).toString();
    return value.isEmpty() ? defaultValue : value;
}

bool Settings::setString(setingKey key, const QString &value)
{
    return writeValue(key, value);
}

bool Settings::getBool(setingKey key, bool defaultValue)
{
    const QVariant value = readValue(key, QVariant());
    if (!value.isValid())
        return defaultValue;
    return value.toString() == QLatin1String("true");
}

bool Settings::setBool(setingKey key, bool value)
{
    return setString(key, value ? QStringLiteral("true") : QStringLiteral("false"));
}

QStringList Settings::getStringList(setingKey key, const QStringList &defaultValue)
{
    const QVariant value = readValue(key, QVariant());
    if (!value.isValid())
        return defaultValue;
    return splitList(value.toString());
}

bool Settings::setStringList(setingKey key, const QStringList &list)
{
    return setString(key, joinList(list));
}

QSize Settings::getSize(setingKey key, const QSize &defaultValue)
{
    return readValue(key, defaultValue).toSize();
}

bool Settings::setSize(setingKey key, const QSize &value)
{
    return writeValue(key, value);
}

QPoint Settings::getPoint(setingKey key, const QPoint &defaultValue)
{
    return readValue(key, defaultValue).toPoint();
}

bool Settings::setPoint(setingKey key, const QPoint &value)
{
    return writeValue(key, value);
}

QMap<int, QString> Settings::getMap(setingKey key)
{
    return mapFromText(readValue(key, QString()).toString());
}

bool Settings::setMap(setingKey key, const QMap<int, QString> &map)
{
    return setString(key, mapToText(map));
}

QString Settings::fileName()
{
    return QDir::toNativeSeparators(QSettings().fileName());
}

QString Settings::writeFailureText()
{
    return QCoreApplication::translate("Settings", "The settings could not be saved to \"%1\".").arg(fileName());
}

QStringList Settings::writeUnsaved()
{
    QSettings settings;
    const QString file = unwrittenEntry(settings, QString());
    QStringList names;
    for (const QString &entry : std::as_const(unwrittenKeys())) {
        if (entry.startsWith(file))
            names.append(entry.mid(file.size()));
    }
    if (names.isEmpty())
        return names;
    // The store still holds their values as not written: a sync tries them all again.
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        names.sort();
        return names;
    }
    noteAllWritten(settings);
    return QStringList();
}

namespace {

// What a key holds, in the user's words; keys of one kind share their words.
QString keyDescription(const QString &name)
{
    const auto tr = [](const char *text) { return QCoreApplication::translate("Settings", text); };
    int index = Settings::KeyCount;
    while (--index >= 0 && name != QLatin1String(keyTexts[index])) {
    }
    switch (index) {
    case Settings::PathVideoConversion:
        return tr("the video converter's path");
    case Settings::PathPictures:
    case Settings::PathVideo:
    case Settings::PathMusic:
        return tr("the media folders");
    case Settings::PrintGrid:
    case Settings::PrintPrintFileName:
    case Settings::PrintPageNumber:
    case Settings::PrintFormatDetailed:
    case Settings::PrintFormatCompact:
    case Settings::PrintFormatHandout:
    case Settings::PrintTitle:
        return tr("the print options");
    case Settings::DownloadFFmpegRequest:
    case Settings::SendingListsRestartWarning:
        return tr("the questions not to be asked again");
    case Settings::SearchCheckConnectionEnabled:
    case Settings::SearchEndIP:
    case Settings::SearchFastScanEnabled:
    case Settings::SearchStartIP:
        return tr("the device search");
    case Settings::PreferredLanguage:
        return tr("the language");
    case Settings::RecentFileList:
    case Settings::RecentOpenDir:
        return tr("the recent files");
    case Settings::OmbrelayDeviceList:
        return tr("the list of devices");
    case Settings::AppWindowPosition:
    case Settings::AppWindowSize:
    case Settings::AppWindowFullscreen:
    case Settings::AppWindowMaximized:
        return tr("the window's place and size");
    default:
        // The copy of a stored list that could not be read is named by the key it is kept under.
        return name;
    }
}

} // namespace

QString Settings::unsavedText(const QStringList &keys)
{
    QStringList described;
    for (const QString &key : keys) {
        const QString description = keyDescription(key);
        if (!described.contains(description))
            described.append(description);
    }
    return writeFailureText() + u'\n' +
           QCoreApplication::translate("Settings", "Not saved: %1.").arg(described.join(QStringLiteral(", ")));
}

QString Settings::keepUnreadCopy(setingKey key, const QString &text)
{
    if (keyName(key).isEmpty())
        return QString();
    const QString group = keyName(key) + QStringLiteral("Unread");
    QString name;
    {
        QSettings settings;
        settings.beginGroup(group);
        const QStringList kept = settings.childKeys();
        // A copy in the store's memory may be one whose write failed: it is written again (or found in the
        // file) before its key is handed out.
        for (const QString &stamp : kept) {
            if (settings.value(stamp).toString() == text) {
                name = stamp;
                break;
            }
        }
        if (name.isEmpty()) {
            // Two copies within one second get a number after the time.
            const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd'T'HHmmss"));
            name = stamp;
            for (int n = 2; kept.contains(name); ++n)
                name = stamp + u'-' + QString::number(n);
        }
    }
    name = group + u'/' + name;
    return writeValue(name, text) ? name : QString();
}

QString Settings::joinList(const QStringList &list)
{
    QString text;
    for (qsizetype entry = 0; entry < list.size(); ++entry) {
        if (entry > 0)
            text += separator;
        const QString &value = list.at(entry);
        const bool last = entry == list.size() - 1;
        qsizetype i = 0;
        while (i < value.size()) {
            if (value.at(i) == escape) {
                qsizetype end = i;
                while (end < value.size() && value.at(end) == escape)
                    ++end;
                const qsizetype run = end - i;
                // A run that ends up right before a ';' in the text is doubled so the reader can tell
                // an escaped ';' (odd run) from a separator (even run).
                const bool beforeSeparator = end < value.size() ? value.at(end) == separator : !last;
                text += QString(beforeSeparator ? run * 2 : run, escape);
                i = end;
            } else if (value.at(i) == separator) {
                text += escape;
                text += separator;
                ++i;
            } else {
                text += value.at(i);
                ++i;
            }
        }
    }
    return text;
}

QStringList Settings::splitList(const QString &text)
{
    QStringList list;
    if (text.isEmpty())
        return list;
    QString current;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text.at(i);
        if (c == escape) {
            qsizetype end = i;
            while (end < text.size() && text.at(end) == escape)
                ++end;
            const qsizetype run = end - i;
            if (end < text.size() && text.at(end) == separator) {
                current += QString(run / 2, escape);
                if (run % 2) {
                    current += separator;
                } else {
                    list.append(current);
                    current.clear();
                }
                i = end + 1;
            } else {
                current += QString(run, escape);
                i = end;
            }
        } else if (c == separator) {
            list.append(current);
            current.clear();
            ++i;
        } else {
            current += c;
            ++i;
        }
    }
    list.append(current);
    return list;
}

QString Settings::mapToText(const QMap<int, QString> &map)
{
    QString text;
    for (auto it = map.cbegin(); it != map.cend(); ++it)
        text += QString::number(it.key()) + u':' + it.value() + u'|';
    return text;
}

QMap<int, QString> Settings::mapFromText(const QString &text)
{
    QMap<int, QString> map;
    if (text.isEmpty())
        return map;
    const QStringList pieces = text.split(u'|');
    for (const QString &piece : pieces) {
        const QStringList parts = piece.split(u':');
        if (parts.size() != 2)
            continue;
        map.insert(parts.at(0).toInt(), parts.at(1));
    }
    return map;
}

namespace {

// A tool beside the program when it is there; on Linux the distribution's tool on the PATH otherwise.
QString toolPath(const QString &besideProgram, const QString &onPath)
{
    const QString bundled = QCoreApplication::applicationDirPath() + besideProgram;
    if (!QFileInfo(bundled).isExecutable()) {
        const QString found = QStandardPaths::findExecutable(onPath);
        if (!found.isEmpty())
            return QDir::toNativeSeparators(found);
    }
    return QDir::toNativeSeparators(bundled);
}

} // namespace

QString Settings::ffmpegDefaultPath()
{
    return toolPath(QStringLiteral("/tools/FFmpeg/ffmpeg.exe"), QStringLiteral("ffmpeg"));
}

QString Settings::dvdauthorPath()
{
    return toolPath(QStringLiteral("/tools/DVDAuthor/dvdauthor.exe"), QStringLiteral("dvdauthor"));
}

QString Settings::dbXmlExportName()
{
    return QStringLiteral("dbxmlexport");
}

QString Settings::favsListUpdateName()
{
    return QStringLiteral("FavsListUpdate");
}
