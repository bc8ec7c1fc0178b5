#include "sync/SyncFile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <limits>
#include <set>
#include <vector>

namespace {

// Characters XML cannot hold become U+FFFD, as the writer writes them, so what was read is what a
// write and a read give back.
QString cleanText(QString text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        bool valid = (c >= 0x20 || c == u'\t' || c == u'\n' || c == u'\r') && c != 0xFFFE && c != 0xFFFF;
        if (QChar::isHighSurrogate(c)) {
            if (i + 1 < text.size() && QChar::isLowSurrogate(text.at(i + 1).unicode())) {
                ++i;
                continue;
            }
            valid = false;
        } else if (QChar::isLowSurrogate(c)) {
            valid = false;
        }
        if (!valid)
            text[i] = QChar(QChar::ReplacementCharacter);
    }
    return text;
}

qint64 secondsOf(QStringView text)
{
    const QDateTime dateTime = QDateTime::fromString(text.trimmed().toString(), Qt::ISODate);
    if (!dateTime.isValid())
        return 0;
    const qint64 seconds = dateTime.toSecsSinceEpoch();
    // Years 100 to 9999, as the collection's dates go.
    constexpr qint64 First = -58987929600;
    constexpr qint64 Last = 253402300799;
    return seconds >= First && seconds <= Last ? seconds : 0;
}

class Parser
{
public:
    explicit Parser(const QByteArray &bytes) : m_xml(bytes) { }
    SyncFile::ReadResult run();

private:
    enum class Element { Xbel, Item, Info };

    void start();
    QString elementText();
    void comment();
    void metadata(SyncNode &node);
    SyncNode *openNode();

    QXmlStreamReader m_xml;
    // Nodes read so far, parents before their entries; their ids are settled at the end.
    std::vector<SyncNode> m_nodes;
    // The open elements that matter, with the index of each item's node.
    std::vector<std::pair<Element, qsizetype>> m_open;
    qint64 m_commentHighest = 0;
    bool m_sawXbel = false;
};

SyncFile::ReadResult Parser::run()
{
    SyncFile::ReadResult result;
    while (!m_xml.atEnd()) {
        const QXmlStreamReader::TokenType token = m_xml.readNext();
        if (token == QXmlStreamReader::StartElement)
            start();
        else if (token == QXmlStreamReader::EndElement && !m_open.empty())
            m_open.pop_back();
        else if (token == QXmlStreamReader::Comment && m_open.size() == 1)
            comment();
    }
    if (m_xml.hasError()) {
        result.error = QCoreApplication::translate("Sync", "The file is not a complete XBEL file: %1 at line %2.")
                           .arg(m_xml.errorString(), QString::number(m_xml.lineNumber()));
        return result;
    }
    if (!m_sawXbel) {
        result.error = QCoreApplication::translate("Sync", "The file is not an XBEL file.");
        return result;
    }
    // Items keep the ids the file gives them; one without a usable id (none, not a number, or one
    // used before) gets a new id above all others. The node's index stands in for its parent's id
    // until then.
    std::set<qint64> used;
    std::vector<qint64> ids(m_nodes.size(), 0);
    qint64 highest = m_commentHighest;
    std::vector<size_t> renumber;
    for (size_t i = 0; i < m_nodes.size(); ++i) {
        const qint64 id = m_nodes[i].id;
        if (id > 0 && used.insert(id).second) {
            ids[i] = id;
            highest = std::max(highest, id);
        } else {
            renumber.push_back(i);
        }
    }
    for (const size_t i : renumber)
        ids[i] = ++highest;
    result.renumbered = static_cast<int>(renumber.size());
    for (size_t i = 0; i < m_nodes.size(); ++i) {
        SyncNode node = std::move(m_nodes[i]);
        node.id = ids[i];
        node.parent = node.parent < 0 ? SyncTree::RootId : ids[static_cast<size_t>(node.parent)];
        node.order = static_cast<qint64>(i);
        result.tree.add(std::move(node));
    }
    result.tree.setHighestId(highest);
    return result;
}

void Parser::start()
{
    const QStringView name = m_xml.name();
    if (m_open.empty()) {
        if (name == u"xbel" && !m_sawXbel) {
            m_sawXbel = true;
            m_open.emplace_back(Element::Xbel, -1);
        } else {
            m_xml.skipCurrentElement();
        }
        return;
    }
    const auto [parent, index] = m_open.back();
    const bool inFolder = parent == Element::Xbel || (parent == Element::Item && m_nodes[size_t(index)].folder);
    if (inFolder && (name == u"folder" || name == u"bookmark")) {
        SyncNode node;
        node.folder = name == u"folder";
        node.parent = index; // an index until the ids are settled
        const QXmlStreamAttributes attributes = m_xml.attributes();
        bool ok = false;
        const qint64 id = attributes.value(QLatin1String("id")).toLongLong(&ok);
        node.id = ok && id > 0 && id < std::numeric_limits<qint64>::max() / 2 ? id : 0;
        if (!node.folder)
            node.url = cleanText(attributes.value(QLatin1String("href")).toString());
        m_nodes.push_back(std::move(node));
        m_open.emplace_back(Element::Item, static_cast<qsizetype>(m_nodes.size() - 1));
    } else if (parent == Element::Item && name == u"title") {
        m_nodes[size_t(index)].title = cleanText(elementText());
    } else if (parent == Element::Item && name == u"desc") {
        m_nodes[size_t(index)].description = cleanText(elementText());
    } else if (parent == Element::Item && name == u"info") {
        m_open.emplace_back(Element::Info, index);
    } else if (parent == Element::Info && name == u"metadata"
               && m_xml.attributes().value(QLatin1String("owner")) == QLatin1String(SyncFile::MetadataOwner)) {
        metadata(m_nodes[size_t(index)]);
        m_xml.skipCurrentElement();
    } else {
        m_xml.skipCurrentElement(); // separators, aliases, the file's own title, what we do not know
    }
}

// The text of the element just started with that of the elements inside it, counting the depth
// instead of recursing, so that markup nested in a title cannot use up the stack.
QString Parser::elementText()
{
    QString text;
    for (int depth = 0;;) {
        switch (m_xml.readNext()) {
        case QXmlStreamReader::Characters:
        case QXmlStreamReader::EntityReference:
            text += m_xml.text();
            break;
        case QXmlStreamReader::StartElement:
            ++depth;
            break;
        case QXmlStreamReader::EndElement:
            if (depth-- == 0)
                return text;
            break;
        default:
            if (m_xml.hasError() || m_xml.atEnd())
                return text;
            break;
        }
    }
}

// The extension's comment right inside xbel: "- highestId :N: for ...".
void Parser::comment()
{
    static const QRegularExpression pattern(QStringLiteral("highestId\\s*:(\\d{1,15}):"));
    const QRegularExpressionMatch match = pattern.match(m_xml.text());
    if (match.hasMatch())
        m_commentHighest = std::max(m_commentHighest, match.captured(1).toLongLong());
}

void Parser::metadata(SyncNode &node)
{
    const QXmlStreamAttributes attributes = m_xml.attributes();
    node.hasExtras = true;
    bool ok = false;
    const int visits = attributes.value(QLatin1String("visits")).toInt(&ok);
    if (ok)
        node.visits = visits;
    const int rating = attributes.value(QLatin1String("rating")).toInt(&ok);
    if (ok && rating >= 0 && rating <= 5)
        node.rating = rating;
    node.lastVisit = secondsOf(attributes.value(QLatin1String("visited")));
}

} // namespace

SyncFile::ReadResult SyncFile::read(const QByteArray &bytes)
{
    return Parser(bytes).run();
}
