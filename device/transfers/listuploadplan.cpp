#include "device/transfers/listuploadplan.h"

#include "document/docitem.h"

#include <QDomDocument>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <QtEndian>

#include <memory>
#include <vector>

// The payload is read once as a stream and never held as a whole DOM: for a list of 20,000 services
// that tree costs many times the text. Each element that travels is copied out while it is read and
// turned into its text on its own small DOM, so it is written exactly as the list document writes a
// single item.
namespace {
// One element being copied out of the payload; several are open at once when they nest.
struct Capture
{
    Capture(int depth, bool textBefore, std::vector<QByteArray> *texts)
        : depth(depth)
        , textBefore(textBefore)
        , texts(texts)
        , index(texts->size())
        , writer(&xml)
    {
        texts->emplace_back();
    }
    int depth;
    bool textBefore;
    // Its text's place, held by index: the vector grows while elements are open.
    std::vector<QByteArray> *texts;
    size_t index;
    QByteArray xml;
    QXmlStreamWriter writer;
};

// The current token as part of a copied element. Names are taken whole, prefixes included, and
// namespace declarations as plain attributes: the list document is read without namespaces.
void copyToken(const QXmlStreamReader &reader, QXmlStreamWriter &writer)
{
    switch (reader.tokenType()) {
    case QXmlStreamReader::StartElement: {
        writer.writeStartElement(reader.qualifiedName().toString());
        for (const QXmlStreamNamespaceDeclaration &ns : reader.namespaceDeclarations()) {
            const QString prefix = ns.prefix().toString();
            writer.writeAttribute(prefix.isEmpty() ? QStringLiteral("xmlns") : QStringLiteral("xmlns:") + prefix,
                                  ns.namespaceUri().toString());
        }
        for (const QXmlStreamAttribute &attribute : reader.attributes())
            writer.writeAttribute(attribute.qualifiedName().toString(), attribute.value().toString());
        break;
    }
    case QXmlStreamReader::EndElement:
        writer.writeEndElement();
        break;
    case QXmlStreamReader::Characters:
        if (reader.isCDATA()) {
            writer.writeCDATA(reader.text().toString());
        } else {
            // A carriage return from a character reference is kept as one: written raw it would read
            // back as a line feed.
            const QList<QStringView> pieces = reader.text().split(u'\r');
            for (qsizetype i = 0; i < pieces.size(); ++i) {
                if (i > 0)
                    writer.writeEntityReference(QStringLiteral("#xd"));
                if (!pieces.at(i).isEmpty())
                    writer.writeCharacters(pieces.at(i).toString());
            }
        }
        break;
    case QXmlStreamReader::Comment:
        writer.writeComment(reader.text().toString());
        break;
    case QXmlStreamReader::ProcessingInstruction:
        writer.writeProcessingInstruction(reader.processingInstructionTarget().toString(),
                                          reader.processingInstructionData().toString());
        break;
    case QXmlStreamReader::EntityReference:
        writer.writeEntityReference(reader.name().toString());
        break;
    default:
        break;
    }
}

// Text the list document keeps as a node: blank text between elements is dropped when it is read.
bool keptText(const QXmlStreamReader &reader)
{
    return reader.tokenType() == QXmlStreamReader::Characters && !reader.isWhitespace() &&
           (reader.isCDATA() || !reader.text().trimmed().isEmpty());
}

// One element as the list document writes a single item; false when the copy does not read back.
// A text beside the element changes how it is written (no indent before it, no line end after it),
// so the copy is read back between the same neighbours.
bool elementText(const QByteArray &xml, bool textBefore, bool textAfter, QByteArray *text)
{
    QDomDocument doc;
    const QByteArray around = textBefore ? QByteArray("x") : QByteArray();
    if (!doc.setContent("<w>" + around + xml + (textAfter ? "x" : "") + "</w>"))
        return false;
    const QDomElement element = doc.documentElement().firstChildElement();
    if (element.isNull())
        return false;
    *text = DocItem(element).toString().toUtf8();
    return true;
}

// Where an element named once in the document (the first "items", the first "lists") opens and whether
// it has been closed again.
struct Scope
{
    int depth = 0; // 0 before it opens
    bool closed = false;
    bool inside(int at) const { return depth > 0 && !closed && at > depth; }
};
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
    if (entryElement.isEmpty())
        return false;
    const qsizetype nul = payload.indexOf('\0');
    QXmlStreamReader reader(nul >= 0 ? payload.left(nul) : payload);
    reader.setNamespaceProcessing(false);

    // Texts in document order of their start tags; a nested element closes first but keeps its place.
    std::vector<QByteArray> entryTexts;
    std::vector<QByteArray> refTexts;
    std::vector<std::vector<int>> favourites; // per list, its references in refTexts
    std::vector<int> openLists;               // favourites, outermost first, with their start depths
    std::vector<int> openListDepths;
    std::vector<std::unique_ptr<Capture>> captures;
    // Closed elements still waiting to learn whether a text follows them.
    std::vector<std::unique_ptr<Capture>> closed;
    // Per level, whether the last node kept there so far is a text.
    std::vector<char> lastIsText(1, 0);
    Scope items, listsScope;
    int depth = 0;
    bool copiedBack = true;
    const auto finish = [&](bool textAfter) {
        for (const auto &capture : closed)
            copiedBack = copiedBack &&
                         elementText(capture->xml, capture->textBefore, textAfter, &capture->texts->at(capture->index));
        closed.clear();
    };

    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.hasError())
            break;
        const QXmlStreamReader::TokenType token = reader.tokenType();
        const bool text = keptText(reader);
        if (!closed.empty() && (text || token != QXmlStreamReader::Characters))
            finish(text);
        if (token == QXmlStreamReader::StartElement) {
            ++depth;
            lastIsText.resize(size_t(depth) + 1, 0);
            const bool textBefore = lastIsText[size_t(depth)] != 0;
            lastIsText[size_t(depth)] = 0;
            if (size_t(depth) + 1 < lastIsText.size())
                lastIsText[size_t(depth) + 1] = 0;
            const QStringView name = reader.qualifiedName();
            // The root itself is never the items or lists element: they are looked for below it.
            if (depth > 1 && items.depth == 0 && name == QLatin1String("items"))
                items.depth = depth;
            else if (depth > 1 && listsScope.depth == 0 && name == QLatin1String("lists"))
                listsScope.depth = depth;
            if (items.inside(depth) && name == entryElement)
                captures.push_back(std::make_unique<Capture>(depth, textBefore, &entryTexts));
            if (listsScope.inside(depth) && name == QLatin1String("list")) {
                favourites.emplace_back();
                openLists.push_back(int(favourites.size()) - 1);
                openListDepths.push_back(depth);
            }
            if (!openLists.empty() && name == QLatin1String("ref")) {
                for (int list : openLists)
                    favourites[size_t(list)].push_back(int(refTexts.size()));
                captures.push_back(std::make_unique<Capture>(depth, textBefore, &refTexts));
            }
        } else if (text || token == QXmlStreamReader::Comment || token == QXmlStreamReader::ProcessingInstruction) {
            lastIsText.resize(size_t(depth) + 2, 0);
            lastIsText[size_t(depth) + 1] = text ? 1 : 0;
        }
        for (const auto &capture : captures)
            copyToken(reader, capture->writer);
        if (token == QXmlStreamReader::EndElement) {
            while (!captures.empty() && captures.back()->depth == depth) {
                captures.back()->writer.writeEndDocument();
                closed.push_back(std::move(captures.back()));
                captures.pop_back();
            }
            if (!openListDepths.empty() && openListDepths.back() == depth) {
                openLists.pop_back();
                openListDepths.pop_back();
            }
            if (items.depth == depth && !items.closed)
                items.closed = true;
            if (listsScope.depth == depth && !listsScope.closed)
                listsScope.closed = true;
            --depth;
        }
    }
    finish(false);
    if (reader.hasError() || !copiedBack)
        return false;

    entries = int(entryTexts.size());
    lists = int(favourites.size());
    // Each text is let go as soon as it is in its message, so the texts are held about once.
    for (int at = 0; at < entries; at += 3) {
        Message m{"PST", QByteArray(), true, qMin(at + 3, entries)};
        for (int i = at; i < qMin(at + 3, entries); ++i) {
            m.text += entryTexts[size_t(i)];
            entryTexts[size_t(i)] = QByteArray();
        }
        messages.append(m);
    }
    messages.append({"LST", "<lists>", false, 0});
    for (int i = 0; i < lists; ++i) {
        messages.append({"LST", QStringLiteral("<list id=\"%1\">").arg(i).toUtf8(), false, 0});
        const std::vector<int> &refs = favourites[size_t(i)];
        QByteArray buffer;
        for (size_t r = 0; r < refs.size(); ++r) {
            buffer += refTexts[size_t(refs[r])];
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
