#include "device/transfers/listuploadplan.h"

#include "document/docitem.h"

#include <QBuffer>
#include <QDomDocument>
#include <QDomElement>
#include <QXmlStreamReader>
#include <QtEndian>

namespace {
// Text the list document keeps as a node: blank text is dropped when the document is read.
bool keptText(const QXmlStreamReader &reader)
{
    return reader.tokenType() == QXmlStreamReader::Characters && !reader.isWhitespace() &&
           (reader.isCDATA() || !reader.text().trimmed().isEmpty());
}
} // namespace

// The text of one entry or reference, filled in when its element has been read to the end.
struct ListUploadPlan::Slot
{
    QByteArray text;
    bool done = false;
};

// One element being copied out of the payload into a small document of its own, built node by node
// as the list document builds it when it reads the payload; several are open at once when they nest.
// A text beside the element changes how it is written (no indent before it, no line end after it),
// so it is placed between the same neighbours.
struct ListUploadPlan::Capture
{
    Capture(int depth, bool textBefore, SlotPtr slot)
        : depth(depth)
        , slot(std::move(slot))
    {
        wrapper = doc.createElement(QStringLiteral("w"));
        doc.appendChild(wrapper);
        if (textBefore)
            wrapper.appendChild(doc.createTextNode(QStringLiteral("x")));
        current = wrapper;
    }
    void add(const QXmlStreamReader &reader, bool keptText)
    {
        switch (reader.tokenType()) {
        case QXmlStreamReader::StartElement: {
            // Names whole, prefixes included, namespace declarations as plain attributes: the list
            // document is read without namespaces.
            QDomElement element = doc.createElement(reader.qualifiedName().toString());
            for (const QXmlStreamNamespaceDeclaration &ns : reader.namespaceDeclarations()) {
                const QString prefix = ns.prefix().toString();
                element.setAttribute(prefix.isEmpty() ? QStringLiteral("xmlns") : QStringLiteral("xmlns:") + prefix,
                                     ns.namespaceUri().toString());
            }
            for (const QXmlStreamAttribute &attribute : reader.attributes())
                element.setAttribute(attribute.qualifiedName().toString(), attribute.value().toString());
            current = current.appendChild(element);
            break;
        }
        case QXmlStreamReader::EndElement:
            current = current.parentNode();
            break;
        case QXmlStreamReader::Characters:
            if (keptText)
                current.appendChild(reader.isCDATA() ? QDomNode(doc.createCDATASection(reader.text().toString()))
                                                     : QDomNode(doc.createTextNode(reader.text().toString())));
            break;
        case QXmlStreamReader::Comment:
            current.appendChild(doc.createComment(reader.text().toString()));
            break;
        case QXmlStreamReader::ProcessingInstruction:
            current.appendChild(doc.createProcessingInstruction(reader.processingInstructionTarget().toString(),
                                                                reader.processingInstructionData().toString()));
            break;
        case QXmlStreamReader::EntityReference:
            current.appendChild(doc.createEntityReference(reader.name().toString()));
            break;
        default:
            break;
        }
    }
    // The element as the list document writes a single item; false when it is not whole.
    bool finish(bool textAfter)
    {
        const QDomElement element = wrapper.firstChildElement();
        if (element.isNull() || current != wrapper)
            return false;
        if (textAfter)
            wrapper.appendChild(doc.createTextNode(QStringLiteral("x")));
        slot->text = DocItem(element).toString().toUtf8();
        return true;
    }
    int depth;
    SlotPtr slot;
    QDomDocument doc;
    QDomElement wrapper;
    QDomNode current;
};

struct ListUploadPlan::Favourite
{
    std::deque<SlotPtr> refs; // not yet sent; a reference inside nested lists belongs to each
    bool ended = false;
    bool opened = false; // its opening message is out
};

ListUploadPlan::ListUploadPlan() = default;
ListUploadPlan::~ListUploadPlan() = default;

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

void ListUploadPlan::reset()
{
    m_reader.reset();
    m_buffer.reset();
    m_failed = m_atEnd = false;
    m_depth = m_itemsDepth = m_listsDepth = 0;
    m_itemsClosed = m_listsClosed = false;
    m_lastIsText.assign(1, 0);
    m_captures.clear();
    m_closed.clear();
    m_openLists.clear();
    m_openListDepths.clear();
    m_entriesSeen = m_listsSeen = 0;
    m_entryQueue.clear();
    m_entriesSent = 0;
    m_favourites.clear();
    m_listAt = 0;
    m_phase = Phase::Entries;
    m_ready.clear();
}

void ListUploadPlan::release()
{
    reset();
    m_payload = QByteArray();
}

void ListUploadPlan::startReading()
{
    reset();
    // Read through a device: the reader then decodes the text piece by piece instead of all at once.
    m_buffer = std::make_unique<QBuffer>();
    m_buffer->setData(m_payload);
    m_buffer->open(QIODevice::ReadOnly);
    m_reader = std::make_unique<QXmlStreamReader>(m_buffer.get());
    m_reader->setNamespaceProcessing(false);
}

bool ListUploadPlan::open(const QByteArray &payload, const QString &entryElement)
{
    messages.clear();
    entries = lists = 0;
    release();
    if (entryElement.isEmpty())
        return false;
    const qsizetype nul = payload.indexOf('\0');
    m_payload = nul >= 0 ? payload.left(nul) : payload;
    m_entryElement = entryElement;
    // The first reading only checks and counts, so nothing is sent of a document that turns out broken
    // and the progress total is known from the first message.
    startReading();
    while (step(false)) {
    }
    const bool whole = !m_reader->hasError();
    const int seenEntries = m_entriesSeen, seenLists = m_listsSeen;
    if (!whole) {
        release();
        return false;
    }
    startReading();
    entries = seenEntries;
    lists = seenLists;
    return true;
}

void ListUploadPlan::finishClosed(bool textAfter)
{
    for (const auto &capture : m_closed) {
        if (!capture->finish(textAfter))
            m_failed = true;
        capture->slot->done = true;
    }
    m_closed.clear();
}

// Reads one token; false at the end of the document or on an error.
bool ListUploadPlan::step(bool copying)
{
    QXmlStreamReader &reader = *m_reader;
    if (reader.atEnd())
        return false;
    reader.readNext();
    if (reader.hasError())
        return false;
    const QXmlStreamReader::TokenType token = reader.tokenType();
    const bool text = keptText(reader);
    if (!m_closed.empty() && (text || token != QXmlStreamReader::Characters))
        finishClosed(text);
    if (token == QXmlStreamReader::StartElement) {
        ++m_depth;
        const size_t level = size_t(m_depth);
        m_lastIsText.resize(level + 2, 0);
        const bool textBefore = m_lastIsText[level] != 0;
        m_lastIsText[level] = 0;
        m_lastIsText[level + 1] = 0;
        const QStringView name = reader.qualifiedName();
        // Only the first "items" and the first "lists" below the root count.
        if (m_depth > 1 && m_itemsDepth == 0 && name == QLatin1String("items"))
            m_itemsDepth = m_depth;
        else if (m_depth > 1 && m_listsDepth == 0 && name == QLatin1String("lists"))
            m_listsDepth = m_depth;
        if (m_itemsDepth > 0 && !m_itemsClosed && m_depth > m_itemsDepth && name == m_entryElement) {
            ++m_entriesSeen;
            if (copying) {
                m_entryQueue.push_back(std::make_shared<Slot>());
                m_captures.push_back(std::make_unique<Capture>(m_depth, textBefore, m_entryQueue.back()));
            }
        }
        if (m_listsDepth > 0 && !m_listsClosed && m_depth > m_listsDepth && name == QLatin1String("list")) {
            ++m_listsSeen;
            m_openLists.push_back(m_listsSeen - 1);
            m_openListDepths.push_back(m_depth);
            if (copying)
                m_favourites.emplace_back();
        }
        if (copying && !m_openLists.empty() && name == QLatin1String("ref")) {
            const SlotPtr slot = std::make_shared<Slot>();
            for (int list : m_openLists)
                m_favourites[size_t(list)].refs.push_back(slot);
            m_captures.push_back(std::make_unique<Capture>(m_depth, textBefore, slot));
        }
    } else if (text || token == QXmlStreamReader::Comment || token == QXmlStreamReader::ProcessingInstruction ||
               token == QXmlStreamReader::EntityReference) {
        m_lastIsText.resize(size_t(m_depth) + 2, 0);
        m_lastIsText[size_t(m_depth) + 1] = text ? 1 : 0;
    }
    for (const auto &capture : m_captures)
        capture->add(reader, text);
    if (token == QXmlStreamReader::EndElement) {
        while (!m_captures.empty() && m_captures.back()->depth == m_depth) {
            m_closed.push_back(std::move(m_captures.back()));
            m_captures.pop_back();
        }
        if (!m_openListDepths.empty() && m_openListDepths.back() == m_depth) {
            if (copying)
                m_favourites[size_t(m_openLists.back())].ended = true;
            m_openLists.pop_back();
            m_openListDepths.pop_back();
        }
        if (m_itemsDepth == m_depth)
            m_itemsClosed = true;
        if (m_listsDepth == m_depth)
            m_listsClosed = true;
        --m_depth;
    }
    return true;
}

bool ListUploadPlan::next(Message *message)
{
    if (!m_reader)
        return false;
    while (m_ready.empty() && m_phase != Phase::Done && !m_failed) {
        if (!m_atEnd && !step(true)) {
            m_atEnd = true;
            finishClosed(false);
            if (m_reader->hasError()) // the first reading went through, so this cannot be
                m_failed = true;
        }
        // An element's text is whole once the token after it is known: hold back until then.
        const bool entriesWhole = m_atEnd || (m_itemsClosed && m_closed.empty());
        while (m_phase == Phase::Entries) {
            size_t whole = 0;
            while (whole < m_entryQueue.size() && whole < 3 && m_entryQueue[whole]->done)
                ++whole;
            if (whole < 3 && !(entriesWhole && whole == m_entryQueue.size()))
                break;
            if (whole == 0) {
                m_phase = Phase::ListsOpen;
                break;
            }
            Message m{"PST", QByteArray(), true, m_entriesSent + int(whole)};
            for (size_t i = 0; i < whole; ++i) {
                m.text += m_entryQueue.front()->text;
                m_entryQueue.pop_front();
            }
            m_entriesSent += int(whole);
            m_ready.push_back(m);
        }
        if (m_phase == Phase::ListsOpen) {
            m_ready.push_back({"LST", "<lists>", false, 0});
            m_phase = Phase::Lists;
        }
        while (m_phase == Phase::Lists) {
            if (m_listAt >= int(m_favourites.size())) {
                if (!(m_atEnd || m_listsClosed))
                    break;
                m_ready.push_back({"LST", "</lists>", false, 0, true});
                m_phase = Phase::Done;
                break;
            }
            Favourite &list = m_favourites[size_t(m_listAt)];
            if (!list.opened) {
                m_ready.push_back({"LST", QStringLiteral("<list id=\"%1\">").arg(m_listAt).toUtf8(), false, 0});
                list.opened = true;
            }
            size_t whole = 0;
            while (whole < list.refs.size() && whole < 11 && list.refs[whole]->done)
                ++whole;
            const bool last = (list.ended || m_atEnd) && whole == list.refs.size() && m_closed.empty();
            if (whole == 11 || (last && whole > 0)) {
                Message m{"LST", QByteArray(), false, 0};
                for (size_t i = 0; i < whole; ++i) {
                    m.text += list.refs.front()->text;
                    list.refs.pop_front();
                }
                m_ready.push_back(m);
                continue;
            }
            if (!last)
                break;
            m_ready.push_back({"LST", "</list>", true, entries + m_listAt + 1});
            ++m_listAt;
        }
    }
    if (m_failed || m_ready.empty()) {
        if (m_phase == Phase::Done || m_failed) {
            // What was read is let go at once; a failure stays known to the caller.
            const bool failed = m_failed;
            release();
            m_failed = failed;
        }
        return false;
    }
    *message = std::move(m_ready.front());
    m_ready.pop_front();
    return true;
}

bool ListUploadPlan::build(const QByteArray &payload, const QString &entryElement)
{
    if (!open(payload, entryElement))
        return false;
    Message m;
    while (next(&m))
        messages.append(m);
    if (m_failed) {
        messages.clear();
        return false;
    }
    return true;
}

QByteArray ListUploadPlan::encode(const Message &message)
{
    char n[4];
    qToLittleEndian(quint32(message.text.size()), n);
    return message.tag + QByteArray(n, 4) + message.text;
}
