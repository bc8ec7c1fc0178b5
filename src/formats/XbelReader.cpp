#include "formats/XbelReader.h"

#include "formats/FormatText.h"
#include "formats/ItemSink.h"
#include "store/DateConverter.h"
#include "store/LinkItem.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDateTime>
#include <QHash>
#include <QIODevice>
#include <QXmlStreamReader>

#include <limits>
#include <vector>

namespace {

// Control characters that XML cannot hold (a lenient parse lets some through) become U+FFFD, as the
// writer writes them; zero bytes go.
std::string itemText(QString text)
{
    for (QChar &c : text) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r' && u != 0) || u == 0xFFFE || u == 0xFFFF)
            c = QChar(QChar::ReplacementCharacter);
    }
    std::string bytes = text.toStdString();
    FormatText::makeUtf8(bytes); // drops zero bytes
    return bytes;
}

double oleDateOf(QStringView text)
{
    if (text.isEmpty())
        return 0.0;
    QDateTime dateTime = QDateTime::fromString(text.trimmed().toString(), Qt::ISODateWithMs);
    if (!dateTime.isValid())
        dateTime = QDateTime::fromString(text.trimmed().toString(), Qt::ISODate);
    return dateTime.isValid() ? DateConverter::fromDateTime(dateTime) : 0.0;
}

// An alias is a copy of its bookmark, texts and all, so a small file could name a large bookmark a
// million times. What the copies may take together grows with what has been read: a fixed allowance
// and a few bytes for each character of the file so far. An alias beyond that is copied without its
// description (the link itself is what it stands for), or left out when even the name and URL do not
// fit; the report says so.
constexpr qint64 AliasAllowance = 1024 * 1024;
constexpr qint64 AliasBytesPerCharacter = 4;

// The walk through the XML that every XBEL reading shares.
class Walk
{
public:
    Walk(QIODevice &device, XbelReader::Handler &handler) : m_xml(&device), m_handler(handler) { }

    XbelReader::Parse run();

private:
    enum class Element { Xbel, Folder, Bookmark, Info };

    void start();
    QString elementText();

    QXmlStreamReader m_xml;
    XbelReader::Handler &m_handler;
    // The open elements that matter.
    std::vector<Element> m_open;
    bool m_sawXbel = false;
};

XbelReader::Parse Walk::run()
{
    XbelReader::Parse parse;
    while (!m_xml.atEnd()) {
        const QXmlStreamReader::TokenType token = m_xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            start();
        } else if (token == QXmlStreamReader::EndElement) {
            if (!m_open.empty()) {
                if (m_open.back() == Element::Folder || m_open.back() == Element::Bookmark)
                    m_handler.leave();
                m_open.pop_back();
            }
        } else if (token == QXmlStreamReader::Comment && m_open.size() == 1) {
            m_handler.comment(m_xml.text().toString());
        }
        if (!m_handler.advance(m_xml.characterOffset())) {
            parse.end = XbelReader::Parse::End::Stopped;
            parse.sawXbel = m_sawXbel;
            return parse;
        }
    }
    parse.sawXbel = m_sawXbel;
    if (m_xml.hasError()) {
        parse.end = XbelReader::Parse::End::Broken;
        parse.error = m_xml.errorString();
        parse.line = m_xml.lineNumber();
    }
    return parse;
}

void Walk::start()
{
    const QStringView name = m_xml.name();
    if (m_open.empty()) {
        if (name == u"xbel" && !m_sawXbel) {
            m_sawXbel = true;
            m_open.push_back(Element::Xbel);
        } else {
            m_xml.skipCurrentElement();
        }
        return;
    }
    const Element parent = m_open.back();
    const bool inContainer = parent == Element::Xbel || parent == Element::Folder;
    const bool inEntry = parent == Element::Folder || parent == Element::Bookmark;
    if (inContainer && (name == u"folder" || name == u"bookmark")) {
        const QXmlStreamAttributes attributes = m_xml.attributes();
        XbelReader::Handler::Entry entry;
        entry.folder = name == u"folder";
        entry.id = attributes.value(QLatin1String("id")).toString();
        if (!entry.folder) {
            entry.href = attributes.value(QLatin1String("href")).toString();
            entry.visited = attributes.value(QLatin1String("visited")).toString();
        }
        m_handler.enter(entry);
        m_open.push_back(entry.folder ? Element::Folder : Element::Bookmark);
    } else if (inContainer && name == u"alias") {
        m_handler.alias(m_xml.attributes().value(QLatin1String("ref")).toString(), m_xml.characterOffset());
        m_xml.skipCurrentElement();
    } else if (inEntry && name == u"title") {
        m_handler.title(elementText());
    } else if (inEntry && name == u"desc") {
        m_handler.description(elementText());
    } else if (inEntry && name == u"info") {
        m_open.push_back(Element::Info);
    } else if (parent == Element::Info && name == u"metadata") {
        const QXmlStreamAttributes attributes = m_xml.attributes();
        XbelReader::Handler::Metadata metadata;
        metadata.owner = attributes.value(QLatin1String("owner")).toString();
        metadata.visits = attributes.value(QLatin1String("visits")).toString();
        metadata.rating = attributes.value(QLatin1String("rating")).toString();
        metadata.hasVisited = attributes.hasAttribute(QLatin1String("visited"));
        metadata.visited = attributes.value(QLatin1String("visited")).toString();
        m_handler.metadata(metadata);
        m_xml.skipCurrentElement();
    } else {
        m_xml.skipCurrentElement(); // separators, the collection's own title, what we do not know
    }
}

// The text of the element just started, that of the elements inside it included, up to its end (or
// to where the XML breaks): what readElementText(IncludeChildElements) gives, but counting the depth
// instead of recursing, so that markup nested in a title, however deep, cannot use up the stack.
QString Walk::elementText()
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
        default: // comments and processing instructions add nothing
            if (m_xml.hasError() || m_xml.atEnd())
                return text;
            break;
        }
    }
}

// A folder of the collection filled from the file.
class Parser : public XbelReader::Handler
{
public:
    Parser(QIODevice &device, LinkItem &target, ImportReport &report, const Progress &progress)
        : m_device(device), m_sink(target, report, progress), m_report(report)
    {
    }

    void run();

    void enter(const Entry &entry) override;
    void leave() override;
    void title(const QString &text) override { m_open.back().second->Name = itemText(text); }
    void description(const QString &text) override { m_open.back().second->Description = itemText(text); }
    void metadata(const Metadata &metadata) override;
    void alias(const QString &ref, qint64 characters) override;
    bool advance(qint64 characters) override { return m_sink.advance(characters); }

private:
    QIODevice &m_device;
    ItemSink m_sink;
    ImportReport &m_report;
    // The folders and bookmarks open, with their items.
    std::vector<std::pair<bool, LinkItem *>> m_open;
    QHash<QString, const LinkItem *> m_bookmarksById;
    int m_unresolvedAliases = 0;
    qint64 m_aliasBytes = 0; // the texts the aliases copied
    int m_aliasesWithoutDescription = 0;
    int m_aliasesLeftOut = 0;
};

void Parser::run()
{
    const XbelReader::Parse parse = XbelReader::parse(m_device, *this);
    if (parse.end == XbelReader::Parse::End::Stopped)
        return;
    if (parse.end == XbelReader::Parse::End::Broken) {
        if (!parse.sawXbel && m_report.folders == 0 && m_report.links == 0)
            m_report.fail(QCoreApplication::translate("XbelReader", "The file is not XBEL: %1").arg(parse.error));
        else
            m_report.damage(QCoreApplication::translate(
                                "XbelReader", "The XML is broken at line %1 (%2); the rest of the file was not read.")
                                .arg(parse.line)
                                .arg(parse.error));
    } else if (!parse.sawXbel) {
        m_report.fail(QCoreApplication::translate("XbelReader", "The file is not XBEL."));
    }
    if (m_unresolvedAliases > 0)
        m_report.damage(
            QCoreApplication::translate("XbelReader", "%1 aliases named no bookmark before them and were left out.")
                .arg(m_unresolvedAliases));
    if (m_aliasesWithoutDescription > 0)
        m_report.damage(
            QCoreApplication::translate("XbelReader",
                                        "%1 aliases were copied without the description of their bookmark: so many "
                                        "copies of it would take far more memory than the file.")
                .arg(m_aliasesWithoutDescription));
    if (m_aliasesLeftOut > 0)
        m_report.damage(
            QCoreApplication::translate("XbelReader",
                                        "%1 aliases were left out: so many copies of their bookmark would take far "
                                        "more memory than the file.")
                .arg(m_aliasesLeftOut));
}

void Parser::enter(const Entry &entry)
{
    if (entry.folder) {
        LinkItem *folder = m_sink.addFolder({});
        m_sink.enterFolder(folder);
        m_open.emplace_back(true, folder);
        return;
    }
    LinkItem *link = m_sink.addLink({}, itemText(entry.href.trimmed()));
    link->LastVisit = oleDateOf(entry.visited);
    if (!entry.id.isEmpty())
        m_bookmarksById.insert(entry.id, link);
    m_open.emplace_back(false, link);
}

void Parser::leave()
{
    if (m_open.back().first)
        m_sink.leaveFolder();
    m_open.pop_back();
}

void Parser::metadata(const Metadata &metadata)
{
    if (metadata.owner != QLatin1String(XbelReader::MetadataOwner))
        return;
    LinkItem &item = *m_open.back().second;
    bool ok = false;
    const qlonglong visits = metadata.visits.toLongLong(&ok);
    if (ok && visits >= std::numeric_limits<std::int32_t>::min() && visits <= std::numeric_limits<std::int32_t>::max())
        item.Visits = static_cast<std::int32_t>(visits);
    const int rating = metadata.rating.toInt(&ok);
    if (ok && rating >= 0 && rating <= 255)
        item.Rating = static_cast<std::uint8_t>(rating);
    if (metadata.hasVisited)
        item.LastVisit = oleDateOf(metadata.visited);
}

void Parser::alias(const QString &ref, qint64 characters)
{
    const auto it = m_bookmarksById.constFind(ref);
    if (it == m_bookmarksById.constEnd()) {
        ++m_unresolvedAliases;
        return;
    }
    const LinkItem *original = *it;
    const qint64 room = AliasAllowance + AliasBytesPerCharacter * characters - m_aliasBytes;
    const qint64 link = qint64(original->Name.size() + original->Url.size());
    const qint64 description = qint64(original->Description.size());
    if (link > room) {
        ++m_aliasesLeftOut;
        return;
    }
    LinkItem *copy = m_sink.addLink(original->Name, original->Url);
    m_aliasBytes += link;
    if (description > room - link) {
        ++m_aliasesWithoutDescription;
        return;
    }
    copy->Description = original->Description;
    m_aliasBytes += description;
}

} // namespace

void XbelReader::Handler::alias(const QString &, qint64) { }

void XbelReader::Handler::comment(const QString &) { }

bool XbelReader::Handler::advance(qint64)
{
    return true;
}

XbelReader::Parse XbelReader::parse(QIODevice &device, Handler &handler)
{
    return Walk(device, handler).run();
}

ImportReport XbelReader::read(QIODevice &device, LinkItem &target, const Progress &progress)
{
    ImportReport report;
    if (!device.isReadable()) {
        report.fail(QCoreApplication::translate("XbelReader", "The file cannot be read: %1").arg(device.errorString()));
        return report;
    }
    Parser parser(device, target, report, progress);
    parser.run();
    return report;
}

ImportReport XbelReader::readBytes(const QByteArray &bytes, LinkItem &target, const Progress &progress)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return read(buffer, target, progress);
}
