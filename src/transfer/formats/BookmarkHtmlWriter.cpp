#include "transfer/formats/BookmarkHtmlWriter.h"

#include "store/LinkItem.h"
#include "transfer/formats/BookmarkHtmlReader.h"
#include "transfer/formats/DateConverter.h"
#include "transfer/formats/ExportProgress.h"
#include "transfer/formats/FormatText.h"
#include "transfer/formats/HtmlEntities.h"
#include "transfer/formats/TextOutput.h"
#include "transfer/formats/TreeWalk.h"

#include <QBuffer>

#include <string>

namespace {

constexpr std::string_view Header
    = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
      "<!-- This is an automatically generated file.\n"
      "     It will be read and overwritten.\n"
      "     DO NOT EDIT! -->\n"
      "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
      "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'self'; script-src 'none'; "
      "img-src data: *; object-src 'none'\">\n"
      "<TITLE>Bookmarks</TITLE>\n";

// Deep nesting is indented no further than this, so that the file grows with the items, not with
// the square of the depth.
constexpr int MaxIndent = 16;

class Writer
{
public:
    explicit Writer(QIODevice &device) : m_out(device) { }

    void header(const LinkItem &folder)
    {
        m_out << Header << "<H1>";
        escaped(folder.Name, false);
        m_out << "</H1>\n\n<DL><p>\n";
    }
    void entry(const LinkItem &item, int depth)
    {
        indent(depth + 1);
        if (item.isFolder()) {
            m_out << "<DT><H3";
            numbers(item);
            m_out << '>';
            escaped(item.Name, false);
            m_out << "</H3>\n";
        } else {
            m_out << "<DT><A HREF=\"";
            escaped(item.Url, false);
            m_out << '"';
            numbers(item);
            m_out << '>';
            escaped(item.Name, false);
            m_out << "</A>\n";
        }
        if (!item.Description.empty()) {
            indent(depth + 1);
            m_out << "<DD>";
            escaped(item.Description, true);
            m_out << '\n';
        }
        if (item.isFolder()) {
            indent(depth + 1);
            m_out << "<DL><p>\n";
        }
    }
    void leave(int depth)
    {
        indent(depth + 1);
        m_out << "</DL><p>\n";
    }
    bool finish(ExportReport &report)
    {
        m_out << "</DL>\n";
        if (!m_out.flush()) {
            report.fail(m_out.errorString());
            return false;
        }
        return true;
    }
    bool failed() const { return m_out.failed(); }
    QString errorString() const { return m_out.errorString(); }

private:
    void indent(int depth)
    {
        for (int i = 0; i < depth && i < MaxIndent; ++i)
            m_out << "    ";
    }
    void escaped(const std::string &bytes, bool keepLineFeeds)
    {
        if (FormatText::isValidUtf8(bytes) && bytes.find('\0') == std::string::npos)
            HtmlEntities::appendEscaped(m_out.buffer(), bytes, keepLineFeeds);
        else
            HtmlEntities::appendEscaped(m_out.buffer(), FormatText::toUtf8(bytes), keepLineFeeds);
        m_out.maybeFlush();
    }
    void number(std::string_view name, long long value)
    {
        m_out << ' ' << name << "=\"" << std::to_string(value) << '"';
    }
    void numbers(const LinkItem &item)
    {
        if (const qint64 seconds = m_dates.toEpochSeconds(item.LastVisit))
            number("LAST_VISIT", seconds);
        if (item.Visits != 0)
            number(BookmarkHtmlReader::VisitsAttribute, item.Visits);
        if (item.Rating != 0)
            number(BookmarkHtmlReader::RatingAttribute, item.Rating);
    }

    TextOutput m_out;
    DateConverter m_dates;
};

} // namespace

ExportReport BookmarkHtmlWriter::write(QIODevice &device, const LinkItem &folder, const WriteProgress &progress)
{
    ExportReport report;
    ExportProgress ticks(progress, folder);
    Writer writer(device);
    writer.header(folder);
    const bool whole = walkSubtree(
        folder,
        [&](const LinkItem &item, int depth) {
            writer.entry(item, depth);
            ++(item.isFolder() ? report.folders : report.links);
            return !writer.failed() && ticks.tick();
        },
        [&](const LinkItem &, int depth) {
            writer.leave(depth);
            return !writer.failed();
        });
    if (writer.failed()) {
        report.fail(writer.errorString());
        return report;
    }
    if (!whole) {
        report.cancel();
        return report;
    }
    writer.finish(report);
    return report;
}

QByteArray BookmarkHtmlWriter::toBytes(const LinkItem &folder)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    write(buffer, folder);
    return buffer.data();
}
