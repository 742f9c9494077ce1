#include "base/naturalcompare.h"

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// start and length of the first run of the digits 0-9, or start -1
void firstRun(QStringView text, qsizetype &start, qsizetype &length)
{
    start = -1;
    length = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isDigit(text.at(i))) {
            start = i;
            while (i < text.size() && isDigit(text.at(i)))
                ++i;
            length = i - start;
            return;
        }
    }
}

// compares two digit runs by value, whatever their length
int compareNumbers(QStringView a, QStringView b)
{
    while (a.size() > 1 && a.front() == u'0')
        a = a.mid(1);
    while (b.size() > 1 && b.front() == u'0')
        b = b.mid(1);
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    const int order = a.compare(b);
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

} // namespace

int naturalCompare(const QString &a, const QString &b)
{
    return naturalCompare(QStringView(a), QStringView(b));
}

int naturalCompare(QStringView a, QStringView b)
{
    qsizetype p, pLength, q, qLength;
    firstRun(a, p, pLength);
    firstRun(b, q, qLength);
    if (p >= 0 && p == q && a.left(p).compare(b.left(q), Qt::CaseInsensitive) == 0)
        return compareNumbers(a.mid(p, pLength), b.mid(q, qLength));
    return QString::localeAwareCompare(a, b);
}
