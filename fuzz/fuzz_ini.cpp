// libFuzzer target for the shortcut files' INI lookup: any bytes must be looked up without a crash or
// a hang, give at most 2047 bytes without a zero byte, keep a UTF-8 value valid when it is cut, and
// agree with a plain line-by-line lookup written here from the rules alone.
#include "formats/IniReader.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringDecoder>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "quillmark-fuzz-ini: %s\n", what);
        std::abort();
    }
}

bool blank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == '\x1a';
}

QByteArray strip(QByteArray text)
{
    while (!text.isEmpty() && blank(text.front()))
        text.remove(0, 1);
    while (!text.isEmpty() && blank(text.back()))
        text.chop(1);
    return text;
}

QByteArray cString(const QByteArray &text)
{
    return QByteArray(text.constData()); // up to the first zero byte
}

// Latin-1 letters fold to lower case, as the system's ANSI comparison does for Western code pages.
QByteArray folded(QByteArray text)
{
    for (char &c : text) {
        const auto u = static_cast<unsigned char>(c);
        if ((u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7))
            c = static_cast<char>(u + 0x20);
    }
    return text;
}

bool sameName(const QByteArray &a, const QByteArray &b)
{
    return folded(strip(cString(a))) == folded(strip(cString(b)));
}

QByteArray decoded(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return bytes.mid(3);
    const bool littleEndian = bytes.startsWith("\xFF\xFE");
    if (!littleEndian && !bytes.startsWith("\xFE\xFF"))
        return bytes;
    QStringDecoder decoder(littleEndian ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
                           QStringDecoder::Flag::Stateless);
    const QString text = decoder(bytes.mid(2));
    return text.toUtf8();
}

QByteArray reference(const QByteArray &bytes, const QByteArray &section, const QByteArray &key,
                     const QByteArray &defaultValue)
{
    bool inSection = false;
    bool seen = false;
    for (const QByteArray &raw : decoded(bytes).split('\n')) {
        const QByteArray line = strip(raw);
        if (line.isEmpty())
            continue;
        if (line.startsWith('[')) {
            const qsizetype close = line.lastIndexOf(']');
            if (close < 0)
                continue;
            if (seen)
                return defaultValue;
            inSection = seen = sameName(line.mid(1, close - 1), section);
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (!inSection || !sameName(equals < 0 ? line : line.left(equals), key))
            continue;
        if (equals < 0)
            return defaultValue;
        QByteArray value = cString(strip(line.mid(equals + 1)));
        if (value.size() >= 2 && (value.startsWith('"') || value.startsWith('\'')) && value.back() == value.front())
            value = value.mid(1, value.size() - 2);
        if (value.size() > IniReader::MaxValueLength) {
            const bool utf8 = value.isValidUtf8();
            value.truncate(IniReader::MaxValueLength);
            while (utf8 && !value.isValidUtf8())
                value.chop(1);
        }
        return value;
    }
    return defaultValue;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const IniReader reader(bytes);
    const struct
    {
        const char *section;
        const char *key;
    } lookups[] = {{"InternetShortcut", "URL"}, {" default ", "baseurl"}, {"", ""}};
    for (const auto &[section, key] : lookups) {
        const QByteArray value = reader.value(section, key, "non url");
        check(value.size() <= IniReader::MaxValueLength, "the value is longer than 2047 bytes");
        check(!value.contains('\0'), "the value holds a zero byte");
        check(value == reference(bytes, section, key, "non url"), "the lookup differs from the line-by-line one");
    }
    return 0;
}
