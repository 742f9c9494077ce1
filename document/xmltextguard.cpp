#include "document/xmltextguard.h"

#include <QCoreApplication>

namespace XmlTextGuard {

namespace {

void position(const QString &text, qsizetype at, int *line, int *column)
{
    int l = 1;
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < at && i < text.size(); ++i) {
        if (text.at(i) == u'\n') {
            ++l;
            lineStart = i + 1;
        }
    }
    if (line)
        *line = l;
    if (column)
        *column = int(at - lineStart + 1);
}

bool fail(const QString &text, qsizetype at, const char *message, QString *out, int *line, int *column)
{
    if (out)
        *out = QCoreApplication::translate("XmlTextGuard", message);
    position(text, at, line, column);
    return false;
}

} // namespace

bool check(const QString &text, QString *message, int *line, int *column)
{
    const qsizetype size = text.size();
    int depth = 0;
    qsizetype pos = 0;
    while ((pos = text.indexOf(u'<', pos)) >= 0) {
        const QStringView rest = QStringView(text).mid(pos);
        if (rest.startsWith(u"<!--")) {
            const qsizetype end = text.indexOf(u"-->", pos + 4);
            if (end < 0)
                return true; // the parser reports the open comment
            pos = end + 3;
        } else if (rest.startsWith(u"<![CDATA[")) {
            const qsizetype end = text.indexOf(u"]]>", pos + 9);
            if (end < 0)
                return true;
            pos = end + 3;
        } else if (rest.startsWith(u"<?")) {
            const qsizetype end = text.indexOf(u"?>", pos + 2);
            if (end < 0)
                return true;
            pos = end + 2;
        } else if (rest.startsWith(u"<!")) {
            const qsizetype end = text.indexOf(u'>', pos + 2);
            const qsizetype subset = text.indexOf(u'[', pos + 2);
            if (subset >= 0 && (end < 0 || subset < end))
                return fail(text, pos, QT_TRANSLATE_NOOP("XmlTextGuard", "Document type definitions are not supported"),
                            message, line, column);
            if (end < 0)
                return true;
            pos = end + 1;
        } else if (rest.startsWith(u"</")) {
            if (depth > 0)
                --depth;
            const qsizetype end = text.indexOf(u'>', pos + 2);
            if (end < 0)
                return true;
            pos = end + 1;
        } else {
            // a start tag: find its end outside quoted attribute values
            qsizetype i = pos + 1;
            QChar quote;
            for (; i < size; ++i) {
                const QChar c = text.at(i);
                if (!quote.isNull()) {
                    if (c == quote)
                        quote = QChar();
                } else if (c == u'"' || c == u'\'') {
                    quote = c;
                } else if (c == u'>') {
                    break;
                }
            }
            if (i >= size)
                return true;
            if (text.at(i - 1) != u'/' && ++depth > maximumDepth)
                return fail(text, pos, QT_TRANSLATE_NOOP("XmlTextGuard", "Elements are nested too deeply"), message,
                            line, column);
            pos = i + 1;
        }
    }
    return true;
}

} // namespace XmlTextGuard
