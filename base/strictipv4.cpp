#include "base/strictipv4.h"

namespace StrictIPv4 {

bool parse(const QString &text, quint32 *address)
{
    quint32 value = 0;
    int groups = 0;
    int digits = 0;
    int group = 0;
    for (int i = 0; i <= text.size(); ++i) {
        const bool end = i == text.size();
        const QChar c = end ? QChar(u'.') : text.at(i);
        if (c == u'.') {
            if (digits == 0 || group > 255 || ++groups > 4)
                return false;
            value = (value << 8) | quint32(group);
            digits = 0;
            group = 0;
        } else if (c >= u'0' && c <= u'9') {
            if (++digits > 3)
                return false;
            group = group * 10 + (c.unicode() - u'0');
        } else {
            return false;
        }
    }
    if (groups != 4)
        return false;
    if (address)
        *address = value;
    return true;
}

QHostAddress toHostAddress(const QString &text)
{
    quint32 value = 0;
    return parse(text, &value) ? QHostAddress(value) : QHostAddress();
}

QString normalized(const QString &text)
{
    quint32 value = 0;
    return parse(text, &value) ? QHostAddress(value).toString() : QString();
}

} // namespace StrictIPv4
