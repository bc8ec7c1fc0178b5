#include "sync/SyncFile.h"

#include "formats/XbelReader.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDateTime>
#include <QRegularExpression>

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

// The sync's tree from the walk through the file: nodes with the ids the file gives, settled at the end.
class Parser : public XbelReader::Handler
{
public:
    SyncFile::ReadResult run(const QByteArray &bytes);

    void enter(const Entry &entry) override;
    void leave() override { m_open.pop_back(); }
    void title(const QString &text) override { m_nodes[m_open.back()].title = cleanText(text); }
    void description(const QString &text) override { m_nodes[m_open.back()].description = cleanText(text); }
    void metadata(const Metadata &metadata) override;
    void comment(const QString &text) override;

private:
    // Nodes read so far, parents before their entries; their ids are settled at the end.
    std::vector<SyncNode> m_nodes;
    // The index of each open folder's and bookmark's node.
    std::vector<size_t> m_open;
    qint64 m_commentHighest = 0;
};

SyncFile::ReadResult Parser::run(const QByteArray &bytes)
{
    SyncFile::ReadResult result;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    const XbelReader::Parse parse = XbelReader::parse(buffer, *this);
    if (parse.end != XbelReader::Parse::End::Complete) {
        result.error = QCoreApplication::translate("Sync", "The file is not a complete XBEL file: %1 at line %2.")
                           .arg(parse.error, QString::number(parse.line));
        return result;
    }
    if (!parse.sawXbel) {
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

void Parser::enter(const Entry &entry)
{
    SyncNode node;
    node.folder = entry.folder;
    node.parent = m_open.empty() ? -1 : qint64(m_open.back()); // an index until the ids are settled
    bool ok = false;
    const qint64 id = entry.id.toLongLong(&ok);
    node.id = ok && id > 0 && id < std::numeric_limits<qint64>::max() / 2 ? id : 0;
    if (!node.folder)
        node.url = cleanText(entry.href);
    m_nodes.push_back(std::move(node));
    m_open.push_back(m_nodes.size() - 1);
}

// The extension's comment right inside xbel: "- highestId :N: for ...".
void Parser::comment(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("highestId\\s*:(\\d{1,15}):"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (match.hasMatch())
        m_commentHighest = std::max(m_commentHighest, match.captured(1).toLongLong());
}

void Parser::metadata(const Metadata &metadata)
{
    if (metadata.owner != QLatin1String(SyncFile::MetadataOwner))
        return;
    SyncNode &node = m_nodes[m_open.back()];
    node.hasExtras = true;
    bool ok = false;
    const int visits = metadata.visits.toInt(&ok);
    if (ok)
        node.visits = visits;
    const int rating = metadata.rating.toInt(&ok);
    if (ok && rating >= 0 && rating <= 5)
        node.rating = rating;
    node.lastVisit = secondsOf(metadata.visited);
}

} // namespace

SyncFile::ReadResult SyncFile::read(const QByteArray &bytes)
{
    return Parser().run(bytes);
}
