#pragma once

// List documents, file helpers and the per-test session shared by the list-file tests.

#include "base/settings.h"
#include "dialoganswerer.h"
#include "document/listitemsdatabasemodel.h"
#include "listfiles/listprojectfilemanager.h"

#include <QByteArray>
#include <QDomDocument>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <memory>

namespace ListFixtures {

inline QString tvDocument()
{
    return QStringLiteral(
        "<?xml version='1.0' encoding='utf-8'?>\n<TDocument>\n"
        "  <documentProperties><owner note=\"kept\">someone</owner></documentProperties>\n  <items>\n"
        "    <tvService id=\"0\" epgMarked=\"1\" custom=\"keep\">\n"
        "      <name>Das Erste</name><provider>ARD</provider><genres>News;Sport</genres>\n"
        "      <parentLock>0</parentLock><childrenLock>1;3</childrenLock>\n"
        "      <details><config type=\"satellite\" freq=\"11836\"/></details>\n"
        "      <unknownThing a=\"b\">text</unknownThing>\n    </tvService>\n"
        "    <tvService id=\"1\"><name>ZDF</name><provider>ZDF</provider><genres>Sport</genres></tvService>\n"
        "    <tvService id=\"5\"><name>Arte</name><provider>ARD</provider><genres>R&amp;B</genres>"
        "<parentLock>1</parentLock></tvService>\n  </items>\n  <lists>\n"
        "    <list id=\"0\" name=\"Fav\"><ref>0</ref><ref>5</ref></list>\n"
        "    <list id=\"1\"><ref>12</ref><ref>x</ref><ref>7</ref></list>\n    <list id=\"2\"/>\n"
        "  </lists>\n</TDocument>\n");
}

inline QString linkDocument()
{
    return QStringLiteral(
        "<?xml version='1.0' encoding='utf-8'?>\n<TDocument><documentProperties/><items>\n"
        "  <link id=\"0\"><title>News</title><url>http://news.example</url><type>website</type>"
        "<genres>Info</genres></link>\n"
        "  <link id=\"1\" hideURL=\"true\"><title>Secret</title><url>http://hidden.example</url></link>\n"
        "</items><lists><list id=\"0\"><ref>1</ref></list></lists></TDocument>\n");
}

// The document as the DOM sees it, for comparing files whose layout differs.
inline QString canonical(const QString &text)
{
    QDomDocument document;
    document.setContent(text);
    return document.toString(1);
}

inline QString canonicalFile(const QString &path, bool compressed)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    return canonical(QString::fromUtf8(compressed ? qUncompress(bytes) : bytes));
}

inline QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

inline void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// What every manager test starts from: no recent files or folder, an empty folder of its own, a parent for
// the dialogs, and someone to answer them (gone before the parent).
struct ManagerSession
{
    ManagerSession()
    {
        Settings::setStringList(Settings::RecentFileList, {});
        Settings::setString(Settings::RecentOpenDir, QString());
    }
    QTemporaryDir dir;
    QWidget parent;
    DialogAnswerer answerer;
};

// A test class whose every test starts from its own ManagerSession: init() calls startSession(),
// cleanup() endSession().
class ManagerTest : public QObject
{
protected:
    void startSession()
    {
        session = std::make_unique<ManagerSession>();
        QVERIFY(session->dir.isValid());
        dir = &session->dir;
        parent = &session->parent;
        answerer = &session->answerer;
    }
    void endSession() { session.reset(); }

    // A titled project opened from its file, written into the session's folder.
    void open(ProjectFileManager &manager, const QString &name, const QString &text = tvDocument())
    {
        writeAll(dir->filePath(name), name.endsWith(QLatin1Char('c')) ? qCompress(text.toUtf8(), 9) : text.toUtf8());
        QVERIFY(manager.loadFile(dir->filePath(name)));
    }
    // Renames the entry of a row as the table's editor would.
    static bool rename(ListProjectFileManager &manager, int row, const QString &name)
    {
        return manager.itemsModel->setData(manager.itemsModel->index(row, 1), name, Qt::EditRole);
    }

    std::unique_ptr<ManagerSession> session;
    QTemporaryDir *dir = nullptr;
    QWidget *parent = nullptr;
    DialogAnswerer *answerer = nullptr;
};

} // namespace ListFixtures
