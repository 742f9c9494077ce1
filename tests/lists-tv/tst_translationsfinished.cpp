#include "testmain.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>
#include <QXmlStreamReader>

// Every entry of the program's translation files is finished: no "unfinished" mark, no empty text,
// and the same %1.. place markers as its source, so no German or Polish user meets an English text or
// a message that lost its file name.
class TestTranslationsFinished : public QObject
{
    Q_OBJECT

    struct Entry
    {
        QString context;
        QString source;
        QString translation;
        QString type;
        qint64 line = 0;
    };

    static QList<Entry> read(const QString &path, QString *error)
    {
        QList<Entry> entries;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            *error = file.errorString();
            return entries;
        }
        QXmlStreamReader xml(&file);
        QString context;
        Entry entry;
        while (!xml.atEnd()) {
            xml.readNext();
            if (!xml.isStartElement())
                continue;
            const auto name = xml.name();
            if (name == QLatin1String("context")) {
                context.clear();
            } else if (name == QLatin1String("name")) {
                context = xml.readElementText();
            } else if (name == QLatin1String("message")) {
                entry = Entry();
                entry.context = context;
                entry.line = xml.lineNumber();
            } else if (name == QLatin1String("source")) {
                entry.source = xml.readElementText();
            } else if (name == QLatin1String("translation")) {
                entry.type = xml.attributes().value(QLatin1String("type")).toString();
                entry.translation = xml.readElementText(QXmlStreamReader::IncludeChildElements);
                entries << entry;
            }
        }
        if (xml.hasError())
            *error = QStringLiteral("%1 at line %2").arg(xml.errorString()).arg(xml.lineNumber());
        return entries;
    }

    static QStringList markers(const QString &text)
    {
        static const QRegularExpression marker(QStringLiteral("%\\d+"));
        QStringList found;
        for (auto it = marker.globalMatch(text); it.hasNext();)
            found << it.next().captured();
        found.sort();
        return found;
    }

private slots:
    void everyEntryIsFinished_data()
    {
        QTest::addColumn<QString>("path");
        // CTest names the source tree; a run by hand falls back to the tree this test was built from.
        const QString root = qEnvironmentVariable("OMBRELAY_SOURCE_DIR", QStringLiteral(OMBRELAY_BUILT_SOURCE_DIR));
        const QDir dir(QDir(root).filePath(QStringLiteral("Resources/MUI")));
        const QStringList files = dir.entryList({QStringLiteral("*.ts")}, QDir::Files, QDir::Name);
        for (const QString &name : files)
            QTest::newRow(qPrintable(name)) << dir.filePath(name);
        // No files found is a failure of its own row, not an empty pass.
        if (files.size() < 2)
            QTest::newRow("no translation files") << dir.path();
    }
    void everyEntryIsFinished()
    {
        QFETCH(QString, path);
        QVERIFY2(QFileInfo(path).isFile(), qPrintable(path));
        QString error;
        const QList<Entry> entries = read(path, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY(!entries.isEmpty());
        QStringList faults;
        for (const Entry &entry : entries) {
            // Entries no longer in the sources are not shown to anyone.
            if (entry.type == QLatin1String("vanished") || entry.type == QLatin1String("obsolete"))
                continue;
            const QString where =
                QStringLiteral("line %1 [%2] \"%3\"").arg(entry.line).arg(entry.context, entry.source);
            if (entry.type == QLatin1String("unfinished"))
                faults << where + QStringLiteral(": unfinished");
            else if (entry.translation.trimmed().isEmpty() && !entry.source.trimmed().isEmpty())
                faults << where + QStringLiteral(": empty");
            else if (markers(entry.translation) != markers(entry.source))
                faults << where + QStringLiteral(": place markers differ");
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
    }
};

OMBRELAY_TEST_MAIN(TestTranslationsFinished)
#include "tst_translationsfinished.moc"
