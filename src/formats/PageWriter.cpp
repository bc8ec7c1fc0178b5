#include "formats/PageWriter.h"

#include "formats/ExportProgress.h"
#include "formats/FormatText.h"
#include "formats/HtmlEntities.h"
#include "formats/TextOutput.h"
#include "formats/TreeWalk.h"
#include "store/DateConverter.h"
#include "store/LinkItem.h"

#include <QBuffer>
#include <QLocale>

#include <string>

namespace {

constexpr std::string_view Style = R"(
body { font-family: "Segoe UI", "DejaVu Sans", Arial, sans-serif; font-size: 11pt; color: #1a1a1a;
       margin: 2em auto; max-width: 60em; padding: 0 1em; line-height: 1.4; }
header { border-bottom: 2px solid #3c6e9f; margin-bottom: 1.5em; }
h1 { font-size: 1.8em; margin: 0 0 0.2em; color: #22496e; }
header p { margin: 0 0 0.8em; color: #555; }
section { margin: 0.4em 0 0.4em 0; }
section section { margin-left: 1.2em; padding-left: 0.8em; border-left: 2px solid #c9d7e5; }
h2 { font-size: 1.15em; margin: 1em 0 0.3em; color: #22496e; }
ul { list-style: none; margin: 0; padding: 0; }
li { margin: 0 0 0.6em; page-break-inside: avoid; break-inside: avoid; }
.name { font-weight: 600; color: #0b4f8a; text-decoration: none; }
.url { display: block; font-size: 0.85em; color: #3a7a3a; word-break: break-all; }
.description { margin: 0.2em 0 0; white-space: pre-wrap; }
.details { font-size: 0.85em; color: #666; }
.rating { color: #c58a00; letter-spacing: 0.1em; }
.empty { color: #888; font-style: italic; }
@media print {
  body { margin: 0; max-width: none; font-size: 10pt; }
  a { color: inherit; }
  section section { border-left-color: #999; }
}
)";

constexpr int MaxHeadingLevel = 6;

class Writer
{
public:
    Writer(QIODevice &device, const QDateTime &generated) : m_out(device), m_generated(generated) { }

    void header(const LinkItem &folder)
    {
        const ItemList::Kinds kinds = countAll(folder);
        m_out << "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n"
                 "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
                 "style-src 'unsafe-inline'\">\n"
                 "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>";
        text(folder.Name);
        m_out << "</title>\n<style>" << Style << "</style>\n</head>\n<body>\n<header>\n<h1>";
        text(folder.Name);
        m_out << "</h1>\n<p>";
        plain(QStringLiteral("%1 folders, %2 links. Printed %3.")
                  .arg(kinds.folders)
                  .arg(kinds.links)
                  .arg(QLocale::system().toString(m_generated, QLocale::LongFormat)));
        m_out << "</p>\n</header>\n<main>\n";
        if (folder.Children.Count() == 0)
            m_out << "<p class=\"empty\">This folder is empty.</p>\n";
        else
            m_out << "<ul>\n";
    }

    void entry(const LinkItem &item, int depth)
    {
        if (item.isFolder()) {
            m_out << "</ul>\n<section>\n<h" << char('0' + heading(depth)) << '>';
            text(item.Name);
            m_out << "</h" << char('0' + heading(depth)) << ">\n";
            if (!item.Description.empty()) {
                m_out << "<p class=\"description\">";
                text(item.Description);
                m_out << "</p>\n";
            }
            details(item);
            if (item.Children.Count() == 0)
                m_out << "<p class=\"empty\">This folder is empty.</p>\n";
            m_out << "<ul>\n";
            return;
        }
        m_out << "<li>";
        if (PageWriter::isSafeLinkTarget(item.Url)) {
            m_out << "<a class=\"name\" href=\"";
            text(item.Url);
            m_out << "\">";
            text(item.Name.empty() ? item.Url : item.Name);
            m_out << "</a>";
        } else {
            m_out << "<span class=\"name\">";
            text(item.Name.empty() ? item.Url : item.Name);
            m_out << "</span>";
        }
        if (!item.Url.empty()) {
            m_out << "<span class=\"url\">";
            text(item.Url);
            m_out << "</span>";
        }
        if (!item.Description.empty()) {
            m_out << "<p class=\"description\">";
            text(item.Description);
            m_out << "</p>";
        }
        details(item);
        m_out << "</li>\n";
    }

    // After a folder's entries, its section ends and the list of its parent goes on.
    void leave() { m_out << "</ul>\n</section>\n<ul>\n"; }

    bool finish(bool hadEntries)
    {
        if (hadEntries)
            m_out << "</ul>\n";
        m_out << "</main>\n</body>\n</html>\n";
        return m_out.flush();
    }
    bool failed() const { return m_out.failed(); }
    QString errorString() const { return m_out.errorString(); }

private:
    static int heading(int depth) { return depth + 2 < MaxHeadingLevel ? depth + 2 : MaxHeadingLevel; }

    static ItemList::Kinds countAll(const LinkItem &folder)
    {
        ItemList::Kinds kinds;
        walkSubtree(
            folder,
            [&kinds](const LinkItem &item, int) {
                ++(item.isFolder() ? kinds.folders : kinds.links);
                return true;
            },
            [](const LinkItem &, int) { return true; });
        return kinds;
    }

    void details(const LinkItem &item)
    {
        m_out << "<div class=\"details\">";
        const QDateTime lastVisit = DateConverter::toDateTime(item.LastVisit);
        plain(QStringLiteral("Visits: %1 \u00b7 Last visit: %2")
                  .arg(item.Visits)
                  .arg(lastVisit.isValid() ? QLocale::system().toString(lastVisit, QLocale::ShortFormat)
                                           : QStringLiteral("Never")));
        if (item.Rating > 0) {
            const int stars = item.Rating > 5 ? 5 : item.Rating;
            m_out << " \u00b7 <span class=\"rating\" title=\"Rating " << std::to_string(item.Rating) << " of 5\">";
            for (int i = 0; i < 5; ++i)
                m_out << (i < stars ? "\u2605" : "\u2606");
            m_out << "</span>";
        }
        m_out << "</div>";
    }

    void text(std::string_view bytes)
    {
        HtmlEntities::appendEscaped(m_out.buffer(), bytes, true);
        m_out.maybeFlush();
    }
    void plain(const QString &value) { text(value.toStdString()); }

    TextOutput m_out;
    QDateTime m_generated;
};

} // namespace

bool PageWriter::isSafeLinkTarget(std::string_view url)
{
    const QByteArray lower = QByteArray(url.data(), static_cast<qsizetype>(url.size())).trimmed().toLower();
    for (const char *scheme : {"http:", "https:", "ftp:", "mailto:", "file:", "news:"}) {
        if (lower.startsWith(scheme))
            return true;
    }
    return false;
}

ExportReport PageWriter::write(QIODevice &device, const LinkItem &folder, const QDateTime &generated,
                               const Progress &progress)
{
    ExportReport report;
    ExportProgress ticks(progress);
    Writer writer(device, generated);
    writer.header(folder);
    const bool whole = walkSubtree(
        folder,
        [&](const LinkItem &item, int depth) {
            writer.entry(item, depth);
            ++(item.isFolder() ? report.folders : report.links);
            return !writer.failed() && ticks.tick(item);
        },
        [&](const LinkItem &, int) {
            writer.leave();
            return !writer.failed();
        });
    if (writer.failed())
        report.fail(writer.errorString());
    else if (!whole)
        report.cancel();
    else if (!writer.finish(folder.Children.Count() > 0))
        report.fail(writer.errorString());
    return report;
}

QByteArray PageWriter::toBytes(const LinkItem &folder, const QDateTime &generated)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    write(buffer, folder, generated);
    return buffer.data();
}
