#include "shell/VersionInfo.h"

#include <QByteArrayView>
#include <QFile>
#include <QtEndian>

#include <array>
#include <optional>

namespace {

// Layout of the version block: wLength, wValueLength, wType, the key "VS_VERSION_INFO" in UTF-16 with its
// terminator, padding to a 32-bit boundary, then the fixed file information.
constexpr char16_t Key[] = u"VS_VERSION_INFO";
constexpr qsizetype KeyOffset = 6;
constexpr qsizetype KeyBytes = sizeof(Key); // terminator included
constexpr qsizetype FixedInfoOffset = 40;
constexpr qsizetype FixedInfoSize = 52;
constexpr qsizetype BlockSize = FixedInfoOffset + FixedInfoSize;
constexpr quint32 Signature = 0xFEEF04BD;
constexpr quint32 StructVersion = 0x00010000;

static_assert(KeyOffset + KeyBytes <= FixedInfoOffset);

#ifndef QUILLMARK_VERSION_MAJOR
#error "QUILLMARK_VERSION_MAJOR and its siblings come from the project's version"
#endif

constexpr quint32 VersionMS = (quint32(QUILLMARK_VERSION_MAJOR) << 16) | quint32(QUILLMARK_VERSION_MINOR);
constexpr quint32 VersionLS = (quint32(QUILLMARK_VERSION_PATCH) << 16) | quint32(QUILLMARK_VERSION_TWEAK);

constexpr std::array<unsigned char, BlockSize> makeBlock()
{
    std::array<unsigned char, BlockSize> block {};
    qsizetype at = 0;
    const auto put16 = [&block, &at](quint16 value) {
        block[at++] = static_cast<unsigned char>(value & 0xff);
        block[at++] = static_cast<unsigned char>(value >> 8);
    };
    const auto put32 = [&put16](quint32 value) {
        put16(static_cast<quint16>(value & 0xffff));
        put16(static_cast<quint16>(value >> 16));
    };
    put16(BlockSize);
    put16(FixedInfoSize);
    put16(0); // binary data
    for (char16_t c : Key)
        put16(c);
    at = FixedInfoOffset;
    put32(Signature);
    put32(StructVersion);
    put32(VersionMS); // file version
    put32(VersionLS);
    put32(VersionMS); // product version
    put32(VersionLS);
    put32(0x3f); // flags mask
    put32(0); // flags
    put32(0x00040004); // operating system: 32-bit Windows NT
    put32(1); // file type: application
    put32(0); // subtype
    put32(0); // date
    put32(0);
    return block;
}

// The program's own version block. It is never read through this name, only found in the program file, so the
// compiler is told to keep it.
#if defined(__GNUC__)
#define QUILLMARK_KEEP __attribute__((used))
#else
#define QUILLMARK_KEEP
#endif
alignas(4) constexpr std::array<unsigned char, BlockSize> ProgramVersionBlock QUILLMARK_KEEP = makeBlock();

quint16 read16(QByteArrayView bytes, qsizetype at)
{
    return qFromLittleEndian<quint16>(bytes.data() + at);
}

quint32 read32(QByteArrayView bytes, qsizetype at)
{
    return qFromLittleEndian<quint32>(bytes.data() + at);
}

struct FileVersion
{
    quint32 ms;
    quint32 ls;
};

// The file version of the first well-formed version block in bytes. A copy of the key elsewhere (in a string
// table, say) is passed over because the fixed information does not follow it.
std::optional<FileVersion> findFileVersion(QByteArrayView bytes)
{
    QByteArray key;
    for (char16_t c : Key) {
        key.append(static_cast<char>(c & 0xff));
        key.append(static_cast<char>(c >> 8));
    }
    for (qsizetype at = bytes.indexOf(key); at >= 0; at = bytes.indexOf(key, at + 1)) {
        const qsizetype start = at - KeyOffset;
        if (start < 0 || bytes.size() - start < BlockSize)
            continue;
        if (read16(bytes, start) < BlockSize || read16(bytes, start + 2) != FixedInfoSize
            || read16(bytes, start + 4) != 0)
            continue;
        const qsizetype info = start + FixedInfoOffset;
        if (read32(bytes, info) != Signature || read32(bytes, info + 4) != StructVersion)
            continue;
        return FileVersion {read32(bytes, info + 8), read32(bytes, info + 12)};
    }
    return std::nullopt;
}

} // namespace

bool VersionInfo::setFileName(const QString &name)
{
    m_fileName = name;
    m_error.clear();
    m_major1 = m_major2 = m_minor1 = m_minor2 = 0;

    std::optional<FileVersion> version;
    QFile file(name);
    if (!name.isEmpty() && file.open(QIODevice::ReadOnly)) {
        if (uchar *mapped = file.map(0, file.size())) {
            version = findFileVersion(QByteArrayView(mapped, file.size()));
            file.unmap(mapped);
        } else {
            version = findFileVersion(file.readAll());
        }
    }
    if (!version) {
        m_error = QStringLiteral("Can't get file version information for ") + name;
        return false;
    }
    m_major1 = static_cast<int>(version->ms >> 16);
    m_major2 = static_cast<int>(version->ms & 0xffff);
    m_minor1 = static_cast<int>(version->ls >> 16);
    m_minor2 = static_cast<int>(version->ls & 0xffff);
    return true;
}
