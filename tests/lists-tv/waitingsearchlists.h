#pragma once

#include "dialoganswerer.h"
#include "generatedtvlist.h"
#include "listinthewindow.h"

#include "app/mainwindow.h"
#include "document/itemsdatabasemodel.h"
#include "lists/tvlistmodule.h"
#include "modules/modulefactory.h"

#include <QDataStream>
#include <QMimeData>
#include <QString>
#include <QTemporaryDir>
#include <QStringList>
#include <QTest>

#include <algorithm>

// What the tests of a search that waits share: lists large enough that the rows' texts are still being
// read when a word has been typed, half of whose services hold "Sport", and typing as a person does.

// Enough services that reading their texts outlasts typing a word: the sanitizer build reads about a
// third as fast as the optimised one.
inline int serviceCount()
{
#if defined(__SANITIZE_ADDRESS__)
    return 20000;
#else
    return 60000;
#endif
}

// Every even service is named "Sport <n>", every odd one "Kultur <n>"; no other cell holds either word.
inline QString halfSport(int count)
{
    return GeneratedTvList::text(count, {QStringLiteral("Sport"), QStringLiteral("Kultur")});
}

// In the whole program with its look: a list of count services, half of them "Sport", saved in dir as
// name and opened on a receiver; run is called with the page that shows it.
template<class Run> void withHalfSportInTheWindow(const QTemporaryDir &dir, const QString &name, int count, Run &&run)
{
    const ProgramLook look{QString()};
    QVERIFY(look.ok);
    const QString file = listFile(dir, name, halfSport(count));
    QVERIFY(!file.isEmpty());
    ModuleFactory::registerListModule<TVListModule>(OmbrelayModule::TypeTvList);
    DialogAnswerer answers;
    MainWindow window;
    auto *page = qobject_cast<TVListModule *>(openInTheWindow(window, file));
    QVERIFY(page);
    QCOMPARE(page->stackedWidget->currentIndex(), int(TVListModule::PageEditor));
    run(page);
}

// the names (for links the titles: tag "title") of the items in a clipboard payload of the items table
inline QStringList payloadNames(const QMimeData *data, const QString &type, const QString &tag = QStringLiteral("name"))
{
    QStringList names;
    QDataStream stream(data->data(type));
    QString part;
    const QString open = QLatin1Char('<') + tag + QLatin1Char('>');
    const QString close = QLatin1String("</") + tag + QLatin1Char('>');
    for (stream >> part; stream.status() == QDataStream::Ok; stream >> part) {
        const qsizetype from = part.indexOf(open);
        const qsizetype to = part.indexOf(close);
        if (from >= 0 && to > from)
            names << part.mid(from + open.size(), to - from - open.size());
    }
    return names;
}

// links titled as halfSport names its services
inline QString halfSportLinks(int count)
{
    QString text = QStringLiteral("<?xml version='1.0' encoding='utf-8'?>\n<TDocument><documentProperties/><items>");
    for (int i = 0; i < count; ++i)
        text += QStringLiteral("<link id=\"%1\"><title>%2 %1</title><url>http://%1</url><type>website</type></link>")
                    .arg(QString::number(i), i % 2 ? QStringLiteral("Kultur") : QStringLiteral("Sport"));
    return text + QStringLiteral("</items><lists><list id=\"0\"/><list id=\"1\"/><list id=\"2\"/><list id=\"3\"/>"
                                 "</lists></TDocument>\n");
}

inline QStringList names(ItemsDatabaseModel *items)
{
    QStringList result;
    for (int row = 0; row < items->rowCount(); ++row)
        result << items->index(row, 1).data().toString();
    return result;
}

inline int countStarting(const QStringList &list, const QString &start)
{
    return int(std::count_if(list.begin(), list.end(), [&](const QString &name) { return name.startsWith(start); }));
}

// A person types text into the search field: a click into it, then a key every 20 ms.
template<class Page> void typeSearch(Page *page, const QString &text)
{
    QTest::mouseClick(page->txtSearch, Qt::LeftButton);
    page->txtSearch->setFocus();
    for (const QChar key : text) {
        QTest::keyClick(page->txtSearch, key.toLatin1());
        QTest::qWait(20);
    }
}
