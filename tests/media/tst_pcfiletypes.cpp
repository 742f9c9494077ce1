#include "testmain.h"

#include "media/pcfilesystemmodel.h"

#include <QAbstractFileIconProvider>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTreeView>

#include <memory>

// The PC side of the media explorer: what its Type column and icons show, and how it follows a folder
// shown in a view while files arrive in it.

namespace {

QByteArray transportStream()
{
    QByteArray bytes;
    for (int packet = 0; packet < 20; ++packet) {
        QByteArray chunk(188, '\xff');
        chunk[0] = 0x47; // sync byte
        chunk[1] = 0x40;
        chunk[2] = char(packet);
        chunk[3] = 0x10;
        bytes += chunk;
    }
    return bytes;
}

QByteArray png()
{
    return QByteArray::fromHex("89504e470d0a1a0a0000000d49484452000000010000000108060000001f15c4890000000d49444154789c"
                               "6360000000000500010d0a2db40000000049454e44ae426082");
}

QByteArray jpeg()
{
    return QByteArray::fromHex("ffd8ffe000104a46494600010100000100010000ffdb004300080606070605080707070909080a0c140d0c"
                               "0b0b0c1912130f141d1a1f1e1d1a1c1c20242e2720222c231c1c2837292c30313434341f27393d38323c2e"
                               "333432ffd9");
}

// bytes that no type recognises by their content
QByteArray unrecognisable()
{
    QByteArray bytes;
    for (int i = 0; i < 100; ++i)
        bytes += char(i % 3 ? 0x02 + i % 5 : 0);
    return bytes;
}

bool write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestPcFileTypes : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<PcFileSystemModel> model;
    std::unique_ptr<QTreeView> view;
    QModelIndex shown;

    // as the page has it: the drive list at the top and a view showing one folder (no model tester: it
    // would read the whole file system from the drive list down)
    void show(const QString &folder)
    {
        model = std::make_unique<PcFileSystemModel>();
        model->setRootPath(QString());
        view = std::make_unique<QTreeView>();
        view->setModel(model.get());
        shown = model->index(folder);
        QVERIFY(shown.isValid());
        view->setRootIndex(shown);
        view->show();
        QTRY_VERIFY(!model->canFetchMore(shown));
    }

    QModelIndex row(const QString &name, int column = 0) const
    {
        for (int r = 0; r < model->rowCount(shown); ++r) {
            const QModelIndex index = model->index(r, 0, shown);
            if (model->fileName(index) == name)
                return index.siblingAtColumn(column);
        }
        return QModelIndex();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        // with an icon theme, the icons compared below are real ones
        if (QFile::exists(QStringLiteral("/usr/share/icons/Adwaita/index.theme"))) {
            QIcon::setThemeSearchPaths({QStringLiteral("/usr/share/icons")});
            QIcon::setThemeName(QStringLiteral("Adwaita"));
        }
    }

    void cleanup()
    {
        view.reset();
        model.reset();
    }

    // what the Type column and the icon show for the common kinds of files, as before the type came
    // from the name: the framework's answer from the file's contents
    void typesAndIcons_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("type"); // empty: whatever the contents say

        QTest::newRow("recording") << "News 2024.01.05.ts" << transportStream() << "MPEG-2 transport stream";
        QTest::newRow("recording, upper case") << "FILM.TS" << transportStream() << "MPEG-2 transport stream";
        QTest::newRow("png picture") << "logo.png" << png() << "PNG image";
        QTest::newRow("jpeg picture") << "photo.jpg" << jpeg() << "JPEG image";
        QTest::newRow("jpeg picture, upper case") << "PHOTO.JPEG" << jpeg() << "JPEG image";
        QTest::newRow("unknown suffix") << "dump.zzq" << unrecognisable() << "unknown";
        QTest::newRow("no suffix") << "blob" << unrecognisable() << "unknown";
        QTest::newRow("mp3 audio") << "song.mp3" << QByteArray::fromHex("4944330300000000000f") + unrecognisable()
                                   << QString();
        QTest::newRow("matroska video") << "clip.mkv" << QByteArray::fromHex("1a45dfa3") + unrecognisable()
                                        << QString();
    }

    void typesAndIcons()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, contents);
        QFETCH(QString, type);
        const QString folder = dir.filePath(QTest::currentDataTag());
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(write(folder + u'/' + name, contents));
        show(folder);
        QTRY_VERIFY(row(name).isValid());

        const QFileInfo info(folder + u'/' + name);
        const QAbstractFileIconProvider framework;
        const QString before = framework.type(info);
        if (!type.isEmpty())
            QCOMPARE(before, type);
        QTRY_COMPARE(row(name, 2).data().toString(), before);
        QIcon icon = framework.icon(info);
        if (icon.isNull()) // what the model shows then
            icon = framework.icon(QAbstractFileIconProvider::File);
        const QIcon shownIcon = row(name).data(Qt::DecorationRole).value<QIcon>();
        QCOMPARE(shownIcon.isNull(), icon.isNull());
        QCOMPARE(shownIcon.name(), icon.name());
    }

    void foldersAndDrives()
    {
        const QString folder = dir.filePath(QStringLiteral("folders"));
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/Video.ts")));
        show(folder);
        QTRY_VERIFY(row(QStringLiteral("Video.ts")).isValid());
        // a folder is a folder whatever its name ends in
        QTRY_COMPARE(row(QStringLiteral("Video.ts"), 2).data().toString(), QStringLiteral("File Folder"));
        const QAbstractFileIconProvider framework;
        QIcon folderIcon = framework.icon(QFileInfo(folder + QStringLiteral("/Video.ts")));
        if (folderIcon.isNull())
            folderIcon = framework.icon(QAbstractFileIconProvider::Folder);
        QCOMPARE(row(QStringLiteral("Video.ts")).data(Qt::DecorationRole).value<QIcon>().name(), folderIcon.name());
        const QModelIndex drive = model->index(QStringLiteral("/"));
        QVERIFY(drive.isValid());
        QCOMPARE(drive.siblingAtColumn(2).data().toString(), QStringLiteral("Drive"));
    }

    // files written, renamed and deleted in the folder shown reach the view; the root path the page
    // set stays what it was
    void followsTheFolder()
    {
        const QString folder = dir.filePath(QStringLiteral("follow"));
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(write(folder + QStringLiteral("/first.ts"), transportStream()));
        show(folder);
        QTRY_COMPARE(model->rowCount(shown), 1);
        const QString root = model->rootPath();

        QVERIFY(write(folder + QStringLiteral("/second.ts"), transportStream()));
        QVERIFY(QDir().mkdir(folder + QStringLiteral("/Sub")));
        QTRY_COMPARE(model->rowCount(shown), 3);
        QTRY_COMPARE(row(QStringLiteral("second.ts"), 2).data().toString(), QStringLiteral("MPEG-2 transport stream"));
        QVERIFY(QFile::rename(folder + QStringLiteral("/first.ts"), folder + QStringLiteral("/renamed.ts")));
        QTRY_VERIFY(row(QStringLiteral("renamed.ts")).isValid());
        QTRY_VERIFY(!row(QStringLiteral("first.ts")).isValid());

        // a subfolder read once, then gone
        const QModelIndex sub = row(QStringLiteral("Sub"));
        QVERIFY(write(folder + QStringLiteral("/Sub/inner.mkv"), unrecognisable()));
        model->fetchMore(sub);
        QTRY_COMPARE(model->rowCount(sub), 1);
        QVERIFY(QDir(folder + QStringLiteral("/Sub")).removeRecursively());
        QTRY_VERIFY(!row(QStringLiteral("Sub")).isValid());
        QVERIFY(QFile::remove(folder + QStringLiteral("/second.ts")));
        QTRY_COMPARE(model->rowCount(shown), 1);

        QCOMPARE(model->rootPath(), root);
        QCOMPARE(view->rootIndex(), QModelIndex(shown));
        QCOMPARE(model->filePath(view->rootIndex()), folder);
    }

    // a job writing file after file into the folder shown: the folder is read a few times, not once
    // per file, and every file arrives
    void jobWritingIntoTheFolder()
    {
        const QString folder = dir.filePath(QStringLiteral("job"));
        QVERIFY(QDir().mkpath(folder));
        show(folder);
        QSignalSpy readings(model.get(), &QFileSystemModel::directoryLoaded);
        constexpr int files = 150;
        for (int i = 0; i < files; ++i) {
            QVERIFY(write(folder + QStringLiteral("/Recording %1.ts").arg(i), QByteArray(100, 'r')));
            QTest::qWait(2); // the event loop runs between the files, as it does during a job
        }
        QTRY_COMPARE(model->rowCount(shown), files);
        QVERIFY2(readings.count() <= 10, qPrintable(QString::number(readings.count())));
    }
};

OMBRELAY_TEST_MAIN(TestPcFileTypes)
#include "tst_pcfiletypes.moc"
