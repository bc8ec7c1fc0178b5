#include "formats/XbelWriter.h"

#include "formats/BrowserUrl.h"
#include "formats/ExportProgress.h"
#include "formats/TreeWalk.h"
#include "formats/XbelReader.h"
#include "store/DateConverter.h"
#include "store/LinkItem.h"
#include "store/TextCodec.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDateTime>
#include <QXmlStreamWriter>

#include <algorithm>

namespace {

// Deeper collections are written without indentation, which would grow with the square of the depth.
constexpr int MaxFormattedDepth = 32;

// Item bytes as text XML can hold.
QString xmlText(std::string_view bytes)
{
    QString text = TextCodec::toDisplay(bytes);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        bool valid = c >= 0x20 || c == u'\t' || c == u'\n' || c == u'\r';
        if (c == 0xFFFE || c == 0xFFFF)
            valid = false;
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

class Writer
{
public:
    Writer(QIODevice &device, bool indent) : m_xml(&device)
    {
        m_xml.setAutoFormatting(indent);
        m_xml.setAutoFormattingIndent(2);
    }

    void header(const LinkItem &folder)
    {
        m_xml.writeStartDocument();
        m_xml.writeDTD(
            QStringLiteral("<!DOCTYPE xbel PUBLIC \"+//IDN python.org//DTD XML Bookmark Exchange "
                           "Language 1.0//EN//XML\" \"http://www.python.org/topics/xml/dtds/xbel-1.0.dtd\">"));
        m_xml.writeStartElement(QStringLiteral("xbel"));
        m_xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1.0"));
        textElement(QStringLiteral("title"), folder.Name);
    }

    void entry(const LinkItem &item)
    {
        if (item.isFolder()) {
            m_xml.writeStartElement(QStringLiteral("folder"));
        } else {
            m_xml.writeStartElement(QStringLiteral("bookmark"));
            m_xml.writeAttribute(
                QStringLiteral("href"),
                xmlText(BrowserUrl::hasScheme(item.Url) ? std::string(item.Url) : BrowserUrl::forBrowsers(item.Url)));
            if (const qint64 seconds = m_dates.toEpochSeconds(item.LastVisit))
                m_xml.writeAttribute(QStringLiteral("visited"), utcText(seconds));
        }
        textElement(QStringLiteral("title"), item.Name);
        const qint64 folderVisit = item.isFolder() ? m_dates.toEpochSeconds(item.LastVisit) : 0;
        if (item.Visits != 0 || item.Rating != 0 || folderVisit != 0) {
            m_xml.writeStartElement(QStringLiteral("info"));
            m_xml.writeEmptyElement(QStringLiteral("metadata"));
            m_xml.writeAttribute(QStringLiteral("owner"), QLatin1String(XbelReader::MetadataOwner));
            if (item.Visits != 0)
                m_xml.writeAttribute(QStringLiteral("visits"), QString::number(item.Visits));
            if (item.Rating != 0)
                m_xml.writeAttribute(QStringLiteral("rating"), QString::number(item.Rating));
            if (folderVisit != 0)
                m_xml.writeAttribute(QStringLiteral("visited"), utcText(folderVisit));
            m_xml.writeEndElement();
        }
        if (!item.Description.empty())
            textElement(QStringLiteral("desc"), item.Description);
        if (!item.isFolder())
            m_xml.writeEndElement();
    }

    void leave() { m_xml.writeEndElement(); }

    bool finish()
    {
        m_xml.writeEndDocument();
        return !m_xml.hasError();
    }
    bool failed() const { return m_xml.hasError(); }

private:
    static QString utcText(qint64 seconds)
    {
        return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC).toString(Qt::ISODate);
    }

    // Carriage returns as references: a reader turns a literal one into a line feed.
    void textElement(const QString &name, std::string_view bytes)
    {
        m_xml.writeStartElement(name);
        const QString text = xmlText(bytes);
        qsizetype from = 0;
        for (qsizetype at = text.indexOf(u'\r'); at >= 0; at = text.indexOf(u'\r', from)) {
            m_xml.writeCharacters(text.mid(from, at - from));
            m_xml.writeEntityReference(QStringLiteral("#13"));
            from = at + 1;
        }
        m_xml.writeCharacters(text.mid(from));
        m_xml.writeEndElement();
    }

    QXmlStreamWriter m_xml;
    DateConverter m_dates;
};

int maxDepth(const LinkItem &folder)
{
    int deepest = 0;
    walkSubtree(
        folder,
        [&deepest](const LinkItem &, int depth) {
            deepest = std::max(deepest, depth + 1);
            return true;
        },
        [](const LinkItem &, int) { return true; });
    return deepest;
}

} // namespace

ExportReport XbelWriter::write(QIODevice &device, const LinkItem &folder, const Progress &progress)
{
    ExportReport report;
    ExportProgress ticks(progress);
    Writer writer(device, maxDepth(folder) <= MaxFormattedDepth);
    writer.header(folder);
    const bool whole = walkSubtree(
        folder,
        [&](const LinkItem &item, int) {
            writer.entry(item);
            ++(item.isFolder() ? report.folders : report.links);
            return !writer.failed() && ticks.tick(item);
        },
        [&](const LinkItem &, int) {
            writer.leave();
            return !writer.failed();
        });
    if (writer.failed()) {
        report.fail(device.errorString().isEmpty()
                        ? QCoreApplication::translate("XbelWriter", "The data could not be written whole.")
                        : device.errorString());
    } else if (!whole) {
        report.cancel();
    } else if (!writer.finish()) {
        report.fail(device.errorString());
    }
    return report;
}

QByteArray XbelWriter::toBytes(const LinkItem &folder)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    write(buffer, folder);
    return buffer.data();
}
