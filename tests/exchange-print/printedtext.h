#pragma once

// What the tests of printed lists share: a list document of two favourite lists whose entry names are
// as long as asked, and the words of a printed PDF with their boxes, as poppler reads them back.

#include <QList>
#include <QMap>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <poppler-qt6.h>

#include <algorithm>
#include <memory>

namespace PrintedText {

constexpr int firstListSize = 163;
constexpr int secondListSize = 5;

// Each entry's name starts with a word found nowhere else in the print.
inline QString token(int id)
{
    return QStringLiteral("R%1Q").arg(id, 4, 10, QLatin1Char('0'));
}

// A name of length characters: words, or one word without a space.
inline QString entryName(int id, int length, bool spaces)
{
    if (!spaces)
        return (token(id) + QString(length, u'x')).left(length);
    // capitals, as many receivers spell names, so that 70 characters overfill the name column of each format
    static const QString words = QStringLiteral(" WESTDEUTSCHER RUNDFUNK MEDIATHEK WISSENSCHAFT MAGAZIN DOKUMENTATION "
                                                "WELTWEIT EMPFANG HD");
    QString name = (token(id) + words).left(std::max(length, int(token(id).size())));
    if (name.endsWith(u' '))
        name[name.size() - 1] = u'x';
    return name;
}

inline QString serviceId(int id)
{
    return QString::number(50000 + id);
}

// List 1 of firstListSize entries, list 2 of secondListSize, in the markup of the kind of list.
inline QString listDocument(const QString &kind, int length, bool spaces)
{
    QString items;
    QString lists = QStringLiteral("<list>");
    for (int id = 0; id < firstListSize + secondListSize; ++id) {
        const QString name = entryName(id, length, spaces).toHtmlEscaped();
        if (kind == QLatin1String("link")) {
            items += QStringLiteral("<link id=\"%1\"><title>%2</title><url>http://streams.example.org/live/%3</url>"
                                    "<genres>News;Sport</genres></link>")
                         .arg(QString::number(id), name, QString::number(id));
        } else {
            const QString tag =
                kind == QLatin1String("radio") ? QStringLiteral("radioService") : QStringLiteral("tvService");
            items += QStringLiteral("<%1 id=\"%2\"><name>%3</name><provider>Regional Broadcasting Group "
                                    "International</provider><details><config type=\"satellite\"><satellite "
                                    "position=\"192\"/><transponderFreq>12603.75</transponderFreq><p>H</p><symRate>"
                                    "27500</symRate><sid>%4</sid></config></details></%1>")
                         .arg(tag, QString::number(id), name, serviceId(id));
        }
        if (id == firstListSize)
            lists += QStringLiteral("</list><list>");
        lists += QStringLiteral("<ref>%1</ref>").arg(id);
    }
    return QStringLiteral("<TDocument><documentProperties/><items>") + items + QStringLiteral("</items><lists>") +
           lists + QStringLiteral("</list></lists></TDocument>");
}

struct Word
{
    int page; // from 1
    QString text;
    QRectF box;
};

struct Pdf
{
    QList<QSizeF> sizes;
    QList<Word> words;

    // the words of page's lowest line, left to right
    QStringList lastLine(int page) const
    {
        qreal bottom = -1;
        for (const Word &word : words)
            if (word.page == page)
                bottom = std::max(bottom, word.box.center().y());
        QMap<qreal, QString> line;
        for (const Word &word : words)
            if (word.page == page && qAbs(word.box.center().y() - bottom) < 3)
                line.insert(word.box.x(), word.text);
        return line.values();
    }
};

inline Pdf readPdf(const QString &path)
{
    Pdf pdf;
    const std::unique_ptr<Poppler::Document> document = Poppler::Document::load(path);
    for (int i = 0; document && i < document->numPages(); ++i) {
        const std::unique_ptr<Poppler::Page> page = document->page(i);
        pdf.sizes << page->pageSizeF();
        for (const auto &box : page->textList())
            // the font joins letters such as "fi" into one glyph, which poppler reads back as a ligature
            pdf.words.append({i + 1, box->text().normalized(QString::NormalizationForm_KC), box->boundingBox()});
    }
    return pdf;
}

// What is wrong with a print of the entries first to end - 1 (their ids, in the order of the lists) of a
// document of listDocument: every text stands inside its page; every page ends with its footer, the file
// name (title, as words) and the page number; each entry asked for stands in it exactly once, numbered on
// its line by its place in its list, and with serviceIds its service id once too; no other entry is
// printed. Empty when nothing is.
inline QStringList problems(const Pdf &pdf, const QStringList &title, int first, int end, bool serviceIds)
{
    QStringList found;
    if (pdf.sizes.isEmpty())
        return {QStringLiteral("no page")};
    for (const Word &word : pdf.words) {
        const QSizeF page = pdf.sizes.at(word.page - 1);
        if (word.box.left() < 0 || word.box.right() > page.width() || word.box.bottom() > page.height())
            found << QStringLiteral("%1 ends at %2,%3 on page %4 of %5 x %6")
                         .arg(word.text)
                         .arg(word.box.right())
                         .arg(word.box.bottom())
                         .arg(word.page)
                         .arg(page.width())
                         .arg(page.height());
    }
    for (int page = 1; page <= pdf.sizes.size(); ++page) {
        const QStringList footer = QStringList(title) << QString::number(page);
        if (pdf.lastLine(page) != footer)
            found << QStringLiteral("page %1 ends with %2").arg(page).arg(pdf.lastLine(page).join(u' '));
    }
    for (int id = 0; id < firstListSize + secondListSize; ++id) {
        QList<Word> names;
        for (const Word &word : pdf.words)
            if (word.text.startsWith(token(id)))
                names << word;
        if (names.size() != (id >= first && id < end ? 1 : 0)) {
            found << QStringLiteral("%1 printed %2 times").arg(token(id)).arg(names.size());
            continue;
        }
        if (names.isEmpty())
            continue;
        const Word &name = names.first();
        const QString number = QString::number(id < firstListSize ? id + 1 : id - firstListSize + 1);
        const bool numbered = std::any_of(pdf.words.cbegin(), pdf.words.cend(), [&](const Word &word) {
            return word.page == name.page && word.text == number &&
                   qAbs(word.box.center().y() - name.box.center().y()) < 3 && word.box.right() < name.box.left();
        });
        if (!numbered)
            found << QStringLiteral("%1 without its number %2").arg(token(id), number);
        const auto ids = std::count_if(pdf.words.cbegin(), pdf.words.cend(),
                                       [&](const Word &word) { return word.text == serviceId(id); });
        if (serviceIds && ids != 1)
            found << QStringLiteral("service id of %1 printed %2 times").arg(token(id)).arg(ids);
    }
    return found;
}

} // namespace PrintedText
