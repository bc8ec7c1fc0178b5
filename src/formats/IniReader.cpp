#include "formats/IniReader.h"

#include "platform/RegularFile.h"

#include <QFile>
#include <QStringDecoder>

namespace {

bool isBlank(char c)
{
    // 0x1A is the old end-of-file mark, which editors of the time left at the end of a file.
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == '\x1a';
}

QByteArrayView trimmed(QByteArrayView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

// Names and values are C strings to the lookup: a zero byte ends them.
QByteArrayView untilZero(QByteArrayView text)
{
    const qsizetype zero = text.indexOf('\0');
    return zero < 0 ? text : text.first(zero);
}

bool sameName(QByteArrayView a, QByteArrayView b)
{
    return trimmed(untilZero(a)).compare(trimmed(untilZero(b)), Qt::CaseInsensitive) == 0;
}

QByteArray finishValue(QByteArrayView value)
{
    value = untilZero(value);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.sliced(1, value.size() - 2);
    if (value.size() > IniReader::MaxValueLength) {
        qsizetype cut = IniReader::MaxValueLength;
        // Keep a UTF-8 value valid: do not end it inside a character.
        if (value.isValidUtf8()) {
            while (cut > 0 && (static_cast<unsigned char>(value[cut]) & 0xC0) == 0x80)
                --cut;
        }
        value = value.first(cut);
    }
    return value.toByteArray();
}

QByteArray decodeText(QByteArray text)
{
    if (text.startsWith("\xEF\xBB\xBF"))
        return text.mid(3);
    const bool littleEndian = text.startsWith("\xFF\xFE");
    if (littleEndian || text.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(littleEndian ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
                               QStringDecoder::Flag::Stateless);
        const QString decoded = decoder.decode(QByteArrayView(text).sliced(2));
        return decoded.toUtf8();
    }
    return text;
}

} // namespace

IniReader::IniReader(QByteArray text) : m_text(decodeText(std::move(text))) { }

QByteArray IniReader::value(QByteArrayView section, QByteArrayView key, const QByteArray &defaultValue) const
{
    const QByteArrayView text(m_text);
    bool inSection = false;
    bool sectionFound = false;
    qsizetype lineStart = 0;
    while (lineStart < text.size()) {
        qsizetype lineEnd = text.indexOf('\n', lineStart);
        if (lineEnd < 0)
            lineEnd = text.size();
        const QByteArrayView line = trimmed(text.sliced(lineStart, lineEnd - lineStart));
        lineStart = lineEnd + 1;
        if (line.isEmpty())
            continue;

        if (line.front() == '[') {
            const qsizetype close = line.lastIndexOf(']');
            if (close < 0)
                continue;
            if (sectionFound)
                return defaultValue; // the first section of that name had no such key
            inSection = sameName(line.sliced(1, close - 1), section);
            sectionFound = inSection;
            continue;
        }
        if (!inSection)
            continue;

        const qsizetype equals = line.indexOf('=');
        if (!sameName(equals < 0 ? line : line.first(equals), key))
            continue;
        if (equals < 0)
            return defaultValue;
        return finishValue(trimmed(line.sliced(equals + 1)));
    }
    return defaultValue;
}

QByteArray IniReader::profileString(const QString &path, QByteArrayView section, QByteArrayView key,
                                    const QByteArray &defaultValue)
{
    QFile file(path);
    if (!platform::openRegularFile(file, QIODevice::Unbuffered))
        return defaultValue;
    const qint64 size = file.size();
    if (size > MaxFileSize)
        return defaultValue;
    // One byte more than the file should hold tells a file that grew since it was measured.
    QByteArray text(size + 1, Qt::Uninitialized);
    const qint64 read = file.read(text.data(), text.size());
    if (read < 0 || read > size)
        return defaultValue;
    text.truncate(read);
    return IniReader(std::move(text)).value(section, key, defaultValue);
}
