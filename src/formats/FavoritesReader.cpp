#include "formats/FavoritesReader.h"

#include "formats/FormatText.h"
#include "formats/ItemSink.h"
#include "platform/RegularFile.h"
#include "store/LinkItem.h"
#include "store/TextCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStringDecoder>

#include <string_view>
#include <vector>

namespace {

constexpr size_t MaxValue = 2047;
constexpr std::string_view NotAShortcut = "non url";

std::string_view stripBlanks(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

// The item name of a shortcut file: the file name less its last extension.
std::string linkName(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return TextCodec::fromDisplay(dot < 0 ? fileName : fileName.left(dot));
}

struct Directory
{
    QFileInfoList entries;
    qsizetype next = 0;
};

QFileInfoList entriesOf(const QString &path)
{
    // Unsorted: in the order the file system gives them. Hidden and system entries are left out.
    return QDir(path).entryInfoList(QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot, QDir::Unsorted);
}

bool isHidden(const QFileInfo &info)
{
    return info.fileName().startsWith(QLatin1Char('.')) || info.isHidden();
}

} // namespace

std::optional<std::string> FavoritesReader::shortcutUrl(const QByteArray &contents)
{
    QByteArray text = contents;
    if (text.startsWith("\xFF\xFE"))
        text = QString(QStringDecoder(QStringDecoder::Utf16LE).decode(QByteArrayView(contents).sliced(2))).toUtf8();
    else if (text.startsWith("\xEF\xBB\xBF"))
        text.remove(0, 3);
    const std::string_view all(text.constData(), size_t(text.size()));
    bool inSection = false;
    for (size_t position = 0; position < all.size();) {
        size_t end = all.find('\n', position);
        if (end == std::string_view::npos)
            end = all.size();
        const std::string_view line = stripBlanks(all.substr(position, end - position));
        position = end + 1;
        if (!line.empty() && line.front() == '[') {
            const size_t close = line.find(']');
            const std::string_view name
                = stripBlanks(line.substr(1, close == std::string_view::npos ? line.size() - 1 : close - 1));
            inSection = FormatText::equalsIgnoringCase(name, "InternetShortcut");
            continue;
        }
        if (!inSection || line.empty() || line.front() == ';')
            continue;
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos
            || !FormatText::equalsIgnoringCase(stripBlanks(line.substr(0, equals)), "URL"))
            continue;
        std::string_view value = stripBlanks(line.substr(equals + 1));
        value = value.substr(0, value.find('\0'));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        if (value.size() > MaxValue) {
            size_t size = MaxValue;
            while (size > 0 && (static_cast<unsigned char>(value[size]) & 0xC0) == 0x80)
                --size; // not inside a UTF-8 sequence
            value = value.substr(0, size);
        }
        if (value == NotAShortcut)
            return std::nullopt;
        std::string url(value);
        FormatText::makeUtf8(url);
        return url;
    }
    return std::nullopt;
}

ImportReport FavoritesReader::importDirectory(const QString &path, LinkItem &target, const Progress &progress)
{
    ImportReport report;
    const QFileInfo top(path);
    if (!top.isDir()) {
        report.fail(QStringLiteral("Cannot open folder %1").arg(QDir::toNativeSeparators(path)));
        return report;
    }
    ItemSink sink(target, report, progress);
    QSet<QString> walked {top.canonicalFilePath()};
    std::vector<Directory> stack;
    stack.push_back({entriesOf(top.absoluteFilePath())});
    qint64 done = 0;
    while (!stack.empty()) {
        Directory &current = stack.back();
        if (current.next == current.entries.size()) {
            stack.pop_back();
            if (!stack.empty())
                sink.leaveFolder();
            continue;
        }
        const QFileInfo entry = current.entries.at(current.next++);
        if (isHidden(entry))
            continue;
        if (entry.isDir()) {
            // A folder reached again through a link (a cycle, or a second link) is left out.
            const QString canonical = entry.canonicalFilePath();
            if (walked.contains(canonical))
                continue;
            walked.insert(canonical);
            LinkItem *folder = sink.addFolder(TextCodec::fromDisplay(entry.fileName()));
            sink.enterFolder(folder);
            stack.push_back({entriesOf(entry.absoluteFilePath())}); // current is no longer valid
        } else {
            // Only regular files: reading a FIFO or a device (a link to /dev/stdin, say) could wait forever.
            QFile file(entry.absoluteFilePath());
            if (!platform::openRegularFile(file) || file.size() > MaxShortcutSize)
                continue; // not readable: not a shortcut
            if (const std::optional<std::string> url = shortcutUrl(file.read(MaxShortcutSize)))
                sink.addLink(linkName(entry.fileName()), *url);
        }
        if (!sink.advance(++done))
            return report;
    }
    return report;
}
