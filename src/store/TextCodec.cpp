#include "store/TextCodec.h"

#include <QStringDecoder>

namespace TextCodec {

namespace {
// Windows-1252 0x80..0x9F; the five unassigned bytes map to the C1 controls of the same value.
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool isAscii(std::string_view bytes)
{
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}
} // namespace

QString toDisplay(std::string_view bytes)
{
    const auto size = static_cast<qsizetype>(bytes.size());
    if (isAscii(bytes))
        return QString::fromLatin1(bytes.data(), size);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(QByteArrayView(bytes.data(), size));
    if (!utf8.hasError())
        return text;
    text.resize(size);
    QChar *out = text.data();
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        *out++ = (byte >= 0x80 && byte < 0xA0) ? QChar(Cp1252High[byte - 0x80]) : QChar(byte);
    }
    return text;
}

std::string fromDisplay(const QString &text)
{
    return text.toUtf8().toStdString();
}

} // namespace TextCodec
