#include "formats/OperaHotlistReader.h"

#include "formats/FormatText.h"
#include "formats/ItemSink.h"
#include "store/DateConverter.h"
#include "store/LinkItem.h"

#include <QCoreApplication>
#include <QIODevice>

#include <limits>
#include <string_view>

namespace {

using FormatText::equalsIgnoringCase;

constexpr std::string_view Signature = "Opera Hotlist version";

// A value as item text: each stored line break (02 02, or a lone 02) becomes "\n", and so does a
// carriage return, which the format has no place for.
std::string valueText(std::string_view value)
{
    std::string text;
    text.reserve(value.size());
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\r') {
            text += '\n';
            continue;
        }
        if (value[i] != '\x02') {
            text += value[i];
            continue;
        }
        text += '\n';
        if (i + 1 < value.size() && value[i + 1] == '\x02')
            ++i;
    }
    FormatText::makeUtf8(text);
    return text;
}

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && equalsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

class Parser
{
public:
    Parser(std::string_view text, LinkItem &target, ImportReport &report, const Progress &progress)
        : m_text(text), m_sink(target, report, progress), m_report(report)
    {
    }

    void run();

private:
    void line(std::string_view line);
    void field(std::string_view key, std::string_view value);

    std::string_view m_text;
    ItemSink m_sink;
    ImportReport &m_report;
    DateConverter m_dates;
    LinkItem *m_item = nullptr; // the item of the block being read; none in blocks we pass over
    int m_strayEnds = 0;
};

void Parser::run()
{
    if (m_text.substr(0, 3) == "\xEF\xBB\xBF")
        m_text.remove_prefix(3);
    size_t position = 0;
    bool sawSignature = false;
    bool first = true;
    while (position < m_text.size()) {
        size_t end = m_text.find('\n', position);
        if (end == std::string_view::npos)
            end = m_text.size();
        std::string_view current = m_text.substr(position, end - position);
        position = end + 1;
        if (!current.empty() && current.back() == '\r')
            current.remove_suffix(1);
        if (first && !FormatText::trimmed(current).empty()) {
            first = false;
            if (startsWithIgnoringCase(FormatText::trimmed(current), Signature)) {
                sawSignature = true;
                continue;
            }
        }
        line(current);
        if (!m_sink.advance(qint64(position)))
            return;
    }
    if (m_strayEnds > 0)
        m_report.damage(QCoreApplication::translate("OperaHotlistReader", "%1 folder ends had no folder to close.")
                            .arg(m_strayEnds));
    if (!sawSignature) {
        if (m_report.folders == 0 && m_report.links == 0)
            m_report.fail(QCoreApplication::translate("OperaHotlistReader", "The file is not an Opera hotlist."));
        else
            m_report.damage(
                QCoreApplication::translate("OperaHotlistReader", "The file does not start with the hotlist header."));
    }
}

void Parser::line(std::string_view text)
{
    size_t start = 0;
    while (start < text.size() && (text[start] == ' ' || text[start] == '\t'))
        ++start;
    text.remove_prefix(start);
    if (text.empty())
        return;
    if (text.front() == '#') {
        const std::string_view type = FormatText::trimmed(text.substr(1));
        m_item = nullptr;
        if (equalsIgnoringCase(type, "FOLDER")) {
            m_item = m_sink.addFolder({});
            m_sink.enterFolder(m_item);
        } else if (equalsIgnoringCase(type, "URL")) {
            m_item = m_sink.addLink({}, {});
        }
        return;
    }
    if (FormatText::trimmed(text) == "-") {
        m_item = nullptr;
        if (!m_sink.leaveFolder())
            ++m_strayEnds;
        return;
    }
    const size_t equals = text.find('=');
    if (equals == std::string_view::npos || !m_item)
        return;
    field(FormatText::trimmed(text.substr(0, equals)), text.substr(equals + 1));
}

void Parser::field(std::string_view key, std::string_view value)
{
    long long number = 0;
    // Names and addresses lose the blanks around them, as the other formats' readers trim them: a
    // hotlist often has blanks left at the end of a line.
    if (equalsIgnoringCase(key, "NAME")) {
        m_item->Name = valueText(FormatText::trimmed(value));
    } else if (equalsIgnoringCase(key, "URL")) {
        if (!m_item->isFolder())
            m_item->Url = valueText(FormatText::trimmed(value));
    } else if (equalsIgnoringCase(key, "DESCRIPTION")) {
        m_item->Description = valueText(value);
    } else if (equalsIgnoringCase(key, "VISITED")) {
        if (FormatText::parseInteger(value, number))
            m_item->LastVisit = m_dates.toOleDate(number);
    } else if (equalsIgnoringCase(key, OperaHotlistReader::VisitsKey)) {
        if (FormatText::parseInteger(value, number) && number >= std::numeric_limits<std::int32_t>::min()
            && number <= std::numeric_limits<std::int32_t>::max())
            m_item->Visits = static_cast<std::int32_t>(number);
    } else if (equalsIgnoringCase(key, OperaHotlistReader::RatingKey)) {
        if (FormatText::parseInteger(value, number) && number >= 0 && number <= 255)
            m_item->Rating = static_cast<std::uint8_t>(number);
    }
}

} // namespace

ImportReport OperaHotlistReader::readBytes(const QByteArray &bytes, LinkItem &target, const Progress &progress)
{
    ImportReport report;
    Parser parser(std::string_view(bytes.constData(), size_t(bytes.size())), target, report, progress);
    parser.run();
    return report;
}

ImportReport OperaHotlistReader::read(QIODevice &device, LinkItem &target, const Progress &progress)
{
    if (!device.isReadable()) {
        ImportReport report;
        report.fail(
            QCoreApplication::translate("OperaHotlistReader", "The file cannot be read: %1").arg(device.errorString()));
        return report;
    }
    return readBytes(device.readAll(), target, progress);
}
