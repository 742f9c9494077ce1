#include "device/transfers/listuploadplan.h"

#include "document/docitem.h"

#include <QDomDocument>
#include <QDomElement>
#include <QtEndian>

namespace {
// One element as the list document writes a single item.
QByteArray elementText(const QDomElement &element)
{
    return DocItem(element).toString().toUtf8();
}

QList<QDomElement> descendants(const QDomElement &parent, const QString &name)
{
    QList<QDomElement> found;
    const QDomNodeList list = parent.elementsByTagName(name);
    for (int i = 0; i < list.size(); ++i)
        found.append(list.at(i).toElement());
    return found;
}
} // namespace

QString ListUploadPlan::entryElementFor(const QString &listType)
{
    if (listType == QLatin1String("tv"))
        return QStringLiteral("tvService");
    if (listType == QLatin1String("radio"))
        return QStringLiteral("radioService");
    if (listType == QLatin1String("link"))
        return QStringLiteral("link");
    return QString();
}

bool ListUploadPlan::build(const QByteArray &payload, const QString &entryElement)
{
    messages.clear();
    entries = lists = 0;
    QByteArray text = payload;
    const int nul = int(text.indexOf('\0'));
    if (nul >= 0)
        text.truncate(nul);
    QDomDocument doc;
    if (entryElement.isEmpty() || !doc.setContent(text))
        return false;
    const QDomElement root = doc.documentElement();
    const QDomElement items = root.elementsByTagName(QStringLiteral("items")).item(0).toElement();
    const QDomElement listsElement = root.elementsByTagName(QStringLiteral("lists")).item(0).toElement();
    const QList<QDomElement> entryElements = items.isNull() ? QList<QDomElement>() : descendants(items, entryElement);
    QList<QDomElement> favourites;
    if (!listsElement.isNull())
        favourites = descendants(listsElement, QStringLiteral("list"));
    entries = int(entryElements.size());
    lists = int(favourites.size());

    for (int at = 0; at < entries; at += 3) {
        Message m{"PST", QByteArray(), true, qMin(at + 3, entries)};
        for (int i = at; i < qMin(at + 3, entries); ++i)
            m.text += elementText(entryElements.at(i));
        messages.append(m);
    }
    messages.append({"LST", "<lists>", false, 0});
    for (int i = 0; i < lists; ++i) {
        messages.append({"LST", QStringLiteral("<list id=\"%1\">").arg(i).toUtf8(), false, 0});
        const QList<QDomElement> refs = descendants(favourites.at(i), QStringLiteral("ref"));
        QByteArray buffer;
        for (int r = 0; r < refs.size(); ++r) {
            buffer += elementText(refs.at(r));
            if ((r + 1) % 11 == 0 || r == refs.size() - 1) {
                messages.append({"LST", buffer, false, 0});
                buffer.clear();
            }
        }
        messages.append({"LST", "</list>", true, entries + i + 1});
    }
    messages.append({"LST", "</lists>", false, 0});
    return true;
}

QByteArray ListUploadPlan::encode(const Message &message)
{
    char n[4];
    qToLittleEndian(quint32(message.text.size()), n);
    return message.tag + QByteArray(n, 4) + message.text;
}
