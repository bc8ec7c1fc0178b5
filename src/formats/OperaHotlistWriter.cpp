#include "formats/OperaHotlistWriter.h"

#include "formats/ExportProgress.h"
#include "formats/FormatText.h"
#include "formats/OperaHotlistReader.h"
#include "formats/TextOutput.h"
#include "formats/TreeWalk.h"
#include "store/DateConverter.h"
#include "store/LinkItem.h"

#include <QBuffer>

#include <string>

namespace {

constexpr std::string_view Header = "Opera Hotlist version 2.0\n"
                                    "Options: encoding = utf8, version=3\n\n";

class Writer
{
public:
    explicit Writer(QIODevice &device) : m_out(device) { m_out << Header; }

    void entry(const LinkItem &item)
    {
        m_out << (item.isFolder() ? "#FOLDER\n" : "#URL\n");
        number("ID", ++m_id);
        text("NAME", item.Name);
        if (!item.isFolder())
            text("URL", item.Url);
        if (const qint64 seconds = m_dates.toEpochSeconds(item.LastVisit))
            number("VISITED", seconds);
        if (!item.Description.empty())
            text("DESCRIPTION", item.Description);
        if (item.Visits != 0)
            number(OperaHotlistReader::VisitsKey, item.Visits);
        if (item.Rating != 0)
            number(OperaHotlistReader::RatingKey, item.Rating);
        m_out << '\n';
    }
    void leave() { m_out << "-\n\n"; }

    bool flush() { return m_out.flush(); }
    bool failed() const { return m_out.failed(); }
    QString errorString() const { return m_out.errorString(); }

private:
    void number(std::string_view key, long long value) { m_out << '\t' << key << '=' << std::to_string(value) << '\n'; }
    // Every line break (CR LF, LF or CR) becomes 02 02; the value stays on one line.
    void text(std::string_view key, std::string_view bytes)
    {
        m_out << '\t' << key << '=';
        const std::string utf8 = FormatText::toUtf8(bytes);
        std::string &out = m_out.buffer();
        for (size_t i = 0; i < utf8.size(); ++i) {
            const char c = utf8[i];
            if (c == '\r' || c == '\n') {
                out += "\x02\x02";
                if (c == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n')
                    ++i;
            } else {
                out += c;
            }
        }
        m_out << '\n';
    }

    TextOutput m_out;
    DateConverter m_dates;
    long long m_id = 0;
};

} // namespace

ExportReport OperaHotlistWriter::write(QIODevice &device, const LinkItem &folder, const Progress &progress)
{
    ExportReport report;
    ExportProgress ticks(progress);
    Writer writer(device);
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
    if (!writer.flush() || writer.failed())
        report.fail(writer.errorString());
    else if (!whole)
        report.cancel();
    return report;
}

QByteArray OperaHotlistWriter::toBytes(const LinkItem &folder)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    write(buffer, folder);
    return buffer.data();
}
