#include "base/drivelist.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QStringList>

#include <algorithm>

namespace {

DriveList::Source &source()
{
    static DriveList::Source instance;
    return instance;
}

// mountinfo escapes blanks, tabs, newlines and backslashes as octal.
QString unescape(const QString &field)
{
    QString out;
    out.reserve(field.size());
    for (int i = 0; i < field.size(); ++i) {
        if (field.at(i) == QLatin1Char('\\') && i + 3 < field.size()) {
            bool ok = false;
            const int code = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                out.append(QChar(code));
                i += 3;
                continue;
            }
        }
        out.append(field.at(i));
    }
    return out;
}

bool underMediaFolder(const QString &mountPoint)
{
    return mountPoint.startsWith(QLatin1String("/media/")) || mountPoint.startsWith(QLatin1String("/run/media/"));
}

// sysfs names the disk of a partition one level up; both carry "removable" only on the disk.
bool diskIsRemovable(const QString &majorMinor)
{
    const QString base = QStringLiteral("/sys/dev/block/%1").arg(majorMinor);
    for (const QString &path : {base + QStringLiteral("/removable"), base + QStringLiteral("/../removable")}) {
        QFile flag(path);
        if (flag.open(QIODevice::ReadOnly))
            return flag.read(1) == "1";
    }
    return false;
}

} // namespace

DriveList::Mount DriveList::parseMountInfoLine(const QString &line)
{
    // id parent major:minor root mount-point options [optional fields...] - fstype source super-options
    const QStringList fields = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const int separator = fields.indexOf(QStringLiteral("-"));
    if (fields.size() < 7 || separator < 6 || separator + 2 >= fields.size())
        return {};
    return {unescape(fields.at(4)), unescape(fields.at(separator + 2)), fields.at(separator + 1), fields.at(2)};
}

bool DriveList::isCandidate(const Mount &mount)
{
    static const QSet<QString> excluded = {
        QStringLiteral("proc"),      QStringLiteral("sysfs"),       QStringLiteral("tmpfs"),
        QStringLiteral("devtmpfs"),  QStringLiteral("devpts"),      QStringLiteral("cgroup"),
        QStringLiteral("cgroup2"),   QStringLiteral("overlay"),     QStringLiteral("squashfs"),
        QStringLiteral("autofs"),    QStringLiteral("mqueue"),      QStringLiteral("debugfs"),
        QStringLiteral("tracefs"),   QStringLiteral("securityfs"),  QStringLiteral("pstore"),
        QStringLiteral("bpf"),       QStringLiteral("configfs"),    QStringLiteral("fusectl"),
        QStringLiteral("hugetlbfs"), QStringLiteral("binfmt_misc"), QStringLiteral("ramfs"),
        QStringLiteral("nsfs"),      QStringLiteral("efivarfs"),    QStringLiteral("nfs"),
        QStringLiteral("nfs4"),      QStringLiteral("cifs"),        QStringLiteral("smb3"),
        QStringLiteral("smbfs"),     QStringLiteral("9p"),          QStringLiteral("ceph"),
        QStringLiteral("glusterfs"), QStringLiteral("afs"),         QStringLiteral("davfs"),
        QStringLiteral("fuse.sshfs")};
    if (mount.mountPoint.isEmpty() || mount.mountPoint == QLatin1String("/"))
        return false;
    if (excluded.contains(mount.fileSystem) || mount.fileSystem.startsWith(QLatin1String("fuse.sshfs")))
        return false;
    return mount.device.startsWith(QLatin1String("/dev/"));
}

bool DriveList::isRemovableVolume(const Mount &mount, bool diskRemovable)
{
    return isCandidate(mount) && (underMediaFolder(mount.mountPoint) || diskRemovable);
}

QFileInfoList DriveList::drives()
{
    if (source())
        return source()();
    QFile mountInfo(QStringLiteral("/proc/self/mountinfo"));
    if (!mountInfo.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QStringList roots;
    const QStringList lines = QString::fromUtf8(mountInfo.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString &line : lines) {
        const Mount mount = parseMountInfoLine(line);
        // Only candidates are looked at further, so a hung network mount is never touched.
        if (!isCandidate(mount))
            continue;
        if (isRemovableVolume(mount, underMediaFolder(mount.mountPoint) || diskIsRemovable(mount.majorMinor))) {
            const QString root =
                mount.mountPoint.endsWith(QLatin1Char('/')) ? mount.mountPoint : mount.mountPoint + QLatin1Char('/');
            if (!roots.contains(root))
                roots.append(root);
        }
    }
    std::sort(roots.begin(), roots.end());
    QFileInfoList result;
    for (const QString &root : std::as_const(roots))
        result.append(QFileInfo(root));
    return result;
}

bool DriveList::isDrive(const QString &path)
{
    if (path.isEmpty() || !QDir::isAbsolutePath(path))
        return false;
    const QString wanted = QDir::cleanPath(path);
    const QFileInfoList roots = drives();
    return std::any_of(roots.cbegin(), roots.cend(),
                       [&wanted](const QFileInfo &root) { return QDir::cleanPath(root.absoluteFilePath()) == wanted; });
}

void DriveList::setSource(Source newSource)
{
    source() = std::move(newSource);
}
