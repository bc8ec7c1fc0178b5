#include "formats/BookmarkHtmlWriter.h"

#include "formats/BookmarkHtmlReader.h"
#include "formats/BrowserUrl.h"
#include "formats/ExportProgress.h"
#include "formats/FormatText.h"
#include "formats/HtmlEntities.h"
#include "formats/TextOutput.h"
#include "formats/TreeWalk.h"
#include "store/DateConverter.h"
#include "store/LinkItem.h"

#include <QBuffer>

#include <charconv>
#include <cstring>
#include <iterator>
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
    // Each entry goes straight into the output buffer, which is handed on once per entry.
    void entry(const LinkItem &item, int depth)
    {
        std::string &out = m_out.buffer();
        const std::string_view indentation = indent(depth + 1);
        out += indentation;
        if (item.isFolder()) {
            out += "<DT><H3";
            numbers(out, item);
            if (depth == 0 && !m_toolbarWritten && BrowserUrl::isToolbarName(item.Name)) {
                out += " PERSONAL_TOOLBAR_FOLDER=\"true\"";
                m_toolbarWritten = true;
            }
            out += '>';
            HtmlEntities::appendEscaped(out, item.Name);
            out += "</H3>\n";
        } else {
            out += "<DT><A HREF=\"";
            if (item.Url.empty() || BrowserUrl::hasScheme(item.Url))
                HtmlEntities::appendEscaped(out, item.Url);
            else
                HtmlEntities::appendEscaped(out, BrowserUrl::forBrowsers(item.Url));
            out += '"';
            numbers(out, item);
            out += '>';
            HtmlEntities::appendEscaped(out, item.Name);
            out += "</A>\n";
        }
        if (!item.Description.empty()) {
            out += indentation;
            out += "<DD>";
            HtmlEntities::appendEscaped(out, item.Description, true);
            out += '\n';
        }
        if (item.isFolder()) {
            out += indentation;
            out += "<DL><p>\n";
        }
        m_out.maybeFlush();
    }
    void leave(int depth) { m_out << indent(depth + 1) << "</DL><p>\n"; }
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
    static std::string_view indent(int depth)
    {
        static const std::string Spaces(4 * MaxIndent, ' ');
        return std::string_view(Spaces).substr(0, size_t(4 * (depth < MaxIndent ? depth : MaxIndent)));
    }
    void escaped(std::string_view bytes, bool keepLineFeeds)
    {
        HtmlEntities::appendEscaped(m_out.buffer(), bytes, keepLineFeeds);
        m_out.maybeFlush();
    }
    // The attributes are put together on the stack and go into the output in one piece.
    class Attributes
    {
    public:
        void add(std::string_view name, long long value)
        {
            put(" ");
            put(name);
            put("=\"");
            m_end = std::to_chars(m_end, std::end(m_text), value).ptr;
            put("\"");
        }
        std::string_view text() const { return {m_text, size_t(m_end - m_text)}; }

    private:
        void put(std::string_view piece)
        {
            std::memcpy(m_end, piece.data(), piece.size());
            m_end += piece.size();
        }
        // Room for three attributes of a 16-byte name and a 20-digit number each.
        char m_text[128];
        char *m_end = m_text;
    };
    void numbers(std::string &out, const LinkItem &item)
    {
        Attributes attributes;
        if (item.LastVisit != 0) {
            const qint64 seconds = m_dates.toEpochSeconds(item.LastVisit);
            if (seconds != 0 && seconds <= BookmarkHtmlReader::MaxLastVisitSeconds)
                attributes.add("LAST_VISIT", seconds);
        }
        if (item.Visits != 0)
            attributes.add(BookmarkHtmlReader::VisitsAttribute, item.Visits);
        if (item.Rating != 0)
            attributes.add(BookmarkHtmlReader::RatingAttribute, item.Rating);
        out += attributes.text();
    }

    TextOutput m_out;
    DateConverter m_dates;
    bool m_toolbarWritten = false; // a browser takes one toolbar
};

} // namespace

ExportReport BookmarkHtmlWriter::write(QIODevice &device, const LinkItem &folder, const Progress &progress)
{
    ExportReport report;
    ExportProgress ticks(progress);
    Writer writer(device);
    writer.header(folder);
    const bool whole = walkSubtree(
        folder,
        [&](const LinkItem &item, int depth) {
            writer.entry(item, depth);
            ++(item.isFolder() ? report.folders : report.links);
            return !writer.failed() && ticks.tick(item);
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
