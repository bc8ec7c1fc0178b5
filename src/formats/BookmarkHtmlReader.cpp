#include "formats/BookmarkHtmlReader.h"

#include "formats/FormatText.h"
#include "formats/HtmlEntities.h"
#include "formats/HtmlTokenizer.h"
#include "formats/ItemSink.h"
#include "store/DateConverter.h"
#include "store/LinkItem.h"
#include "store/TextCodec.h"

#include <QCoreApplication>
#include <QIODevice>
#include <QStringDecoder>

#include <limits>
#include <string_view>
#include <vector>

namespace {

using FormatText::equalsIgnoringCase;
using Kind = HtmlTokenizer::Kind;

enum class Tag { A, H1, H3, DL, DT, DD, HR, P, BR, Title, Meta, Other };

Tag tagOf(std::string_view name)
{
    switch (name.size()) {
    case 1:
        if (equalsIgnoringCase(name, "a"))
            return Tag::A;
        if (equalsIgnoringCase(name, "p"))
            return Tag::P;
        break;
    case 2:
        if (equalsIgnoringCase(name, "dt"))
            return Tag::DT;
        if (equalsIgnoringCase(name, "dd"))
            return Tag::DD;
        if (equalsIgnoringCase(name, "dl"))
            return Tag::DL;
        if (equalsIgnoringCase(name, "h3"))
            return Tag::H3;
        if (equalsIgnoringCase(name, "hr"))
            return Tag::HR;
        if (equalsIgnoringCase(name, "br"))
            return Tag::BR;
        if (equalsIgnoringCase(name, "h1"))
            return Tag::H1;
        break;
    case 4:
        if (equalsIgnoringCase(name, "meta"))
            return Tag::Meta;
        break;
    case 5:
        if (equalsIgnoringCase(name, "title"))
            return Tag::Title;
        break;
    default:
        break;
    }
    return Tag::Other;
}

// Where a bookmark file's contents begin; a META tag after that is not looked for.
bool startsContents(Tag tag)
{
    return tag == Tag::DL || tag == Tag::DT || tag == Tag::A || tag == Tag::H3;
}

// "text/html; charset=UTF-8" -> "utf-8"
QByteArray charsetOfContentType(std::string_view content)
{
    const QByteArray lower = QByteArray(content.data(), qsizetype(content.size())).toLower();
    const qsizetype at = lower.indexOf("charset");
    if (at < 0)
        return {};
    qsizetype i = at + 7;
    while (i < lower.size() && (lower.at(i) == ' ' || lower.at(i) == '\t'))
        ++i;
    if (i >= lower.size() || lower.at(i) != '=')
        return {};
    ++i;
    while (i < lower.size() && (lower.at(i) == ' ' || lower.at(i) == '"' || lower.at(i) == '\''))
        ++i;
    qsizetype end = i;
    while (end < lower.size() && lower.at(end) != ';' && lower.at(end) != '"' && lower.at(end) != '\''
           && !FormatText::isSpace(lower.at(end)))
        ++end;
    return lower.mid(i, end - i);
}

bool isUtf8Label(const QByteArray &label)
{
    return label == "utf-8" || label == "utf8" || label == "unicode-1-1-utf-8" || label == "x-unicode20utf8";
}

// Labels that browsers read as Windows-1252, as HTML says.
bool isWindows1252Label(const QByteArray &label)
{
    static const char *const Labels[]
        = {"windows-1252", "cp1252",   "x-cp1252", "iso-8859-1", "iso8859-1",  "iso_8859-1",      "latin1",     "l1",
           "ascii",        "us-ascii", "cp819",    "ibm819",     "iso-ir-100", "iso_8859-1:1987", "csisolatin1"};
    for (const char *known : Labels) {
        if (label == known)
            return true;
    }
    return false;
}

bool isBookmarkDoctype(std::string_view declaration)
{
    constexpr std::string_view Name = "netscape-bookmark-file";
    if (!equalsIgnoringCase(declaration.substr(0, 9), "<!doctype"))
        return false;
    for (size_t i = 0; i + Name.size() <= declaration.size(); ++i) {
        if (equalsIgnoringCase(declaration.substr(i, Name.size()), Name))
            return true;
    }
    return false;
}

class Parser
{
public:
    Parser(const QByteArray &html, LinkItem &target, ImportReport &report, const Progress &progress)
        : m_tokens(std::string_view(html.constData(), size_t(html.size()))), m_sink(target, report, progress, html),
          m_report(report), m_cleanSource(FormatText::isCleanUtf8(m_tokens.html()))
    {
    }

    void run();

private:
    enum class Collect { None, LinkTitle, FolderTitle, Description };

    // A link inside a description (some services write them there) is part of its text, not a
    // bookmark of its own.
    bool keptInDescription(Tag tag) const { return m_collect == Collect::Description && tag == Tag::A; }
    void startTag(Tag tag);
    void endTag(Tag tag);
    void startItem(Collect collect);
    void finishCollecting();
    void describeNext(LinkItem *item);
    void appendRaw(std::string_view piece);
    std::string_view takeText(bool title);
    std::string_view takeUrl();
    std::string_view asUtf8(std::string_view raw, std::string &room) const;
    void applyNumbers(LinkItem &item);

    HtmlTokenizer m_tokens;
    ItemSink m_sink;
    ImportReport &m_report;
    DateConverter m_dates;

    Collect m_collect = Collect::None;
    // The source of the name or description being collected: one piece of the file (the usual case),
    // or the pieces gathered in m_raw.
    std::string_view m_rawPiece;
    std::string m_raw;
    bool m_rawGathered = false;
    // The decoded text and URL of the entry being finished, kept for their room.
    std::string m_text;
    std::string m_url;
    // The attributes of the A or H3 being collected.
    std::string_view m_href;
    std::string_view m_lastVisit;
    std::string_view m_visits;
    std::string_view m_rating;

    LinkItem *m_describable = nullptr; // the item a DD now would describe
    // Its description so far, once a second DD adds to it: the item takes it when the next item comes,
    // so that a long run of DDs is not copied again for each.
    std::string m_gatheredDescription;
    LinkItem *m_folderAwaitingList = nullptr; // the folder a DL now would open
    std::vector<bool> m_lists; // the open DL lists: true for those that opened a folder
    bool m_sawBookmarkMarkup = false;
    // Every piece of a file of clean UTF-8 (without zero bytes) is clean UTF-8 too.
    const bool m_cleanSource;
    int m_repairs = 0;
};

void Parser::run()
{
    for (;;) {
        const Kind kind = m_tokens.next();
        if (kind == Kind::End)
            break;
        if (m_tokens.repaired())
            ++m_repairs;
        switch (kind) {
        case Kind::Text:
            if (m_collect != Collect::None)
                appendRaw(m_tokens.raw());
            break;
        case Kind::StartTag:
            startTag(tagOf(m_tokens.name()));
            break;
        case Kind::EndTag:
            endTag(tagOf(m_tokens.name()));
            break;
        case Kind::Declaration:
            if (isBookmarkDoctype(m_tokens.raw()))
                m_sawBookmarkMarkup = true;
            break;
        case Kind::Comment:
        case Kind::End:
            break;
        }
        if (!m_sink.advance(qint64(m_tokens.position())))
            break;
    }
    if (m_report.status != ImportReport::Cancelled) {
        finishCollecting();
        if (m_repairs > 0)
            m_report.damage(
                QCoreApplication::translate("BookmarkHtmlReader",
                                            "%1 damaged tags were read as far as they go; the names next to them "
                                            "may be incomplete.")
                    .arg(m_repairs));
        if (!m_sawBookmarkMarkup && m_report.folders == 0 && m_report.links == 0)
            m_report.fail(QCoreApplication::translate("BookmarkHtmlReader", "The file holds no bookmarks."));
    }
    describeNext(nullptr);
    m_sink.finish();
}

void Parser::startTag(Tag tag)
{
    if (m_collect != Collect::None) {
        if (tag == Tag::Other || tag == Tag::Meta || keptInDescription(tag)) {
            appendRaw(m_tokens.raw()); // markup in a name, such as <script>, stays text
            return;
        }
        if (tag == Tag::BR) {
            appendRaw(m_collect == Collect::Description ? "&#10;" : " ");
            return;
        }
        finishCollecting();
    }
    switch (tag) {
    case Tag::A:
        m_sawBookmarkMarkup = true;
        startItem(Collect::LinkTitle);
        break;
    case Tag::H3:
        m_sawBookmarkMarkup = true;
        startItem(Collect::FolderTitle);
        break;
    case Tag::DD:
        if (m_describable)
            m_collect = Collect::Description;
        break;
    case Tag::DL:
        m_sawBookmarkMarkup = true;
        describeNext(nullptr);
        if (m_folderAwaitingList) {
            m_sink.enterFolder(m_folderAwaitingList);
            m_folderAwaitingList = nullptr;
            m_lists.push_back(true);
        } else {
            m_lists.push_back(false);
        }
        break;
    default:
        break;
    }
}

void Parser::endTag(Tag tag)
{
    if (m_collect != Collect::None) {
        if (tag == Tag::Other || tag == Tag::Meta || tag == Tag::BR || keptInDescription(tag)) {
            appendRaw(m_tokens.raw());
            return;
        }
        finishCollecting();
    }
    if (tag == Tag::DL) {
        describeNext(nullptr);
        m_folderAwaitingList = nullptr;
        if (!m_lists.empty()) {
            if (m_lists.back())
                m_sink.leaveFolder();
            m_lists.pop_back();
        }
    }
}

void Parser::startItem(Collect collect)
{
    m_collect = collect;
    m_rawPiece = {};
    m_rawGathered = false;
    m_href = {};
    m_lastVisit = {};
    m_visits = {};
    m_rating = {};
    m_folderAwaitingList = nullptr;
    describeNext(nullptr);
    for (const HtmlTokenizer::Attribute &attribute : m_tokens.attributes()) {
        const std::string_view name = attribute.name;
        if (equalsIgnoringCase(name, "href"))
            m_href = attribute.value;
        else if (equalsIgnoringCase(name, "last_visit"))
            m_lastVisit = attribute.value;
        else if (equalsIgnoringCase(name, BookmarkHtmlReader::VisitsAttribute))
            m_visits = attribute.value;
        else if (equalsIgnoringCase(name, BookmarkHtmlReader::RatingAttribute))
            m_rating = attribute.value;
    }
}

void Parser::appendRaw(std::string_view piece)
{
    if (!m_rawGathered && m_rawPiece.empty()) {
        m_rawPiece = piece;
        return;
    }
    if (!m_rawGathered) {
        m_raw.assign(m_rawPiece);
        m_rawGathered = true;
    }
    m_raw.append(piece);
}

// raw as UTF-8: itself when it is clean already, else a repaired copy in room.
std::string_view Parser::asUtf8(std::string_view raw, std::string &room) const
{
    if (m_cleanSource || FormatText::isCleanUtf8(raw))
        return raw;
    room.assign(raw);
    FormatText::makeUtf8(room);
    return room;
}

// The collected source as item text: blanks at the ends go (a name's line breaks become one space),
// then references are decoded. The text stays valid until the next call; most are a piece of the
// file itself.
std::string_view Parser::takeText(bool title)
{
    const std::string_view raw = FormatText::trimmed(m_rawGathered ? std::string_view(m_raw) : m_rawPiece);
    m_rawPiece = {};
    m_rawGathered = false;
    const bool joinLines = title && raw.find_first_of("\r\n") != std::string_view::npos;
    if (!joinLines && raw.find('&') == std::string_view::npos)
        return asUtf8(raw, m_text);
    std::string &text = m_text;
    text.clear();
    if (joinLines) {
        std::string joined;
        joined.reserve(raw.size());
        for (size_t i = 0; i < raw.size();) {
            if (!FormatText::isSpace(raw[i])) {
                joined += raw[i++];
                continue;
            }
            size_t end = i;
            bool lineBreak = false;
            for (; end < raw.size() && FormatText::isSpace(raw[end]); ++end)
                lineBreak = lineBreak || raw[end] == '\n' || raw[end] == '\r';
            if (lineBreak)
                joined += ' ';
            else
                joined.append(raw.substr(i, end - i));
            i = end;
        }
        HtmlEntities::appendDecoded(text, joined, false);
    } else {
        HtmlEntities::appendDecoded(text, raw, false);
    }
    FormatText::makeUtf8(text);
    return text;
}

std::string_view Parser::takeUrl()
{
    const std::string_view raw = FormatText::trimmed(m_href);
    if (raw.find('&') == std::string_view::npos)
        return asUtf8(raw, m_url);
    m_url.clear();
    HtmlEntities::appendDecoded(m_url, raw, true);
    FormatText::makeUtf8(m_url);
    return m_url;
}

void Parser::applyNumbers(LinkItem &item)
{
    long long value = 0;
    if (!m_lastVisit.empty() && FormatText::parseInteger(m_lastVisit, value)) {
        constexpr long long Max = BookmarkHtmlReader::MaxLastVisitSeconds;
        if (value > Max * 1000)
            value /= 1'000'000;
        else if (value > Max)
            value /= 1000;
        if (value <= Max)
            item.LastVisit = m_dates.toOleDate(value);
    }
    if (!m_visits.empty() && FormatText::parseInteger(m_visits, value) && value >= std::numeric_limits<int>::min()
        && value <= std::numeric_limits<int>::max())
        item.Visits = static_cast<std::int32_t>(value);
    if (!m_rating.empty() && FormatText::parseInteger(m_rating, value) && value >= 0 && value <= 255)
        item.Rating = static_cast<std::uint8_t>(value);
}

void Parser::finishCollecting()
{
    const Collect collect = m_collect;
    m_collect = Collect::None;
    switch (collect) {
    case Collect::None:
        return;
    case Collect::LinkTitle: {
        const std::string_view url = takeUrl();
        LinkItem *link = m_sink.addLink(takeText(true), url);
        applyNumbers(*link);
        describeNext(link);
        return;
    }
    case Collect::FolderTitle: {
        LinkItem *folder = m_sink.addFolder(takeText(true));
        applyNumbers(*folder);
        describeNext(folder);
        m_folderAwaitingList = folder;
        return;
    }
    case Collect::Description: {
        const std::string_view text = takeText(false);
        if (text.empty())
            return;
        if (m_describable->Description.empty()) {
            m_sink.setText(*m_describable, &LinkItem::Description, text);
            return;
        }
        if (m_gatheredDescription.empty())
            m_gatheredDescription = m_describable->Description;
        m_gatheredDescription += '\n';
        m_gatheredDescription += text;
        return;
    }
    }
}

// Gives the item that DDs described what they gathered, and makes item (or none) the one they describe.
void Parser::describeNext(LinkItem *item)
{
    if (!m_gatheredDescription.empty()) {
        m_sink.setText(*m_describable, &LinkItem::Description, m_gatheredDescription);
        m_gatheredDescription.clear();
    }
    m_describable = item;
}

QByteArray metaCharset(const QByteArray &bytes)
{
    constexpr qsizetype Limit = 64 * 1024;
    HtmlTokenizer tokens(std::string_view(bytes.constData(), size_t(qMin(bytes.size(), Limit))));
    for (Kind kind = tokens.next(); kind != Kind::End; kind = tokens.next()) {
        if (kind != Kind::StartTag)
            continue;
        const Tag tag = tagOf(tokens.name());
        if (startsContents(tag))
            break;
        if (tag != Tag::Meta)
            continue;
        std::string_view value;
        if (tokens.attribute("charset", value))
            return QByteArray(value.data(), qsizetype(value.size())).trimmed().toLower();
        std::string_view equiv;
        if (tokens.attribute("http-equiv", equiv) && equalsIgnoringCase(FormatText::trimmed(equiv), "content-type")
            && tokens.attribute("content", value)) {
            const QByteArray charset = charsetOfContentType(value);
            if (!charset.isEmpty())
                return charset;
        }
    }
    return {};
}

} // namespace

QByteArray BookmarkHtmlReader::declaredCharset(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return "utf-8";
    if (bytes.startsWith("\xFF\xFE"))
        return "utf-16le";
    if (bytes.startsWith("\xFE\xFF"))
        return "utf-16be";
    return metaCharset(bytes);
}

QByteArray BookmarkHtmlReader::toUtf8(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return bytes.mid(3);
    if (bytes.startsWith("\xFF\xFE"))
        return QString(QStringDecoder(QStringDecoder::Utf16LE).decode(QByteArrayView(bytes).sliced(2))).toUtf8();
    if (bytes.startsWith("\xFE\xFF"))
        return QString(QStringDecoder(QStringDecoder::Utf16BE).decode(QByteArrayView(bytes).sliced(2))).toUtf8();
    QByteArray label = metaCharset(bytes);
    // A META tag that could be read names an ASCII-based charset, whatever it says (UTF-16 is not).
    if (label.isEmpty() || isUtf8Label(label) || label.startsWith("utf-16") || label.startsWith("utf-32")
        || label == "unicode")
        return bytes;
    if (isWindows1252Label(label))
        label = "windows-1252";
    QStringDecoder decoder(label.constData());
    if (decoder.isValid())
        return QString(decoder.decode(bytes)).toUtf8();
    return TextCodec::toDisplay(std::string_view(bytes.constData(), size_t(bytes.size()))).toUtf8();
}

ImportReport BookmarkHtmlReader::readBytes(const QByteArray &bytes, LinkItem &target, const Progress &progress)
{
    ImportReport report;
    const QByteArray html = toUtf8(bytes);
    Parser parser(html, target, report, progress);
    parser.run();
    return report;
}

ImportReport BookmarkHtmlReader::read(QIODevice &device, LinkItem &target, const Progress &progress)
{
    if (!device.isReadable()) {
        ImportReport report;
        report.fail(
            QCoreApplication::translate("BookmarkHtmlReader", "The file cannot be read: %1").arg(device.errorString()));
        return report;
    }
    return readBytes(device.readAll(), target, progress);
}
