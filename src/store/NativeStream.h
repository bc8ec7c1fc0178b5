#pragma once

#include <QByteArray>
#include <QString>
#include <QtEndian>

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

class ItemBlock;
class QIODevice;

// Little-endian reading of native records. The device is read in pieces as the reading goes, so that each
// piece is still in the cache when it is parsed and nothing is held that was not read: the pieces live in
// an ItemBlock, where the texts of the items read may point into them. A piece is never larger than the
// device can still give (for a device of unknown size, it grows as the data keeps coming), so a length
// read from the data cannot make the reader allocate more than the data holds. Every read checks what
// is left first, so that lengths and counts can be checked before they are used.
class NativeStreamReader
{
public:
    // Reads from the device's position on; block keeps the pieces read.
    NativeStreamReader(QIODevice *device, ItemBlock &block);

    bool readInt32(std::int32_t &value)
    {
        if (m_filled - m_position < 4 && !fill(4))
            return false;
        value = qFromLittleEndian<qint32>(m_position);
        m_position += 4;
        return true;
    }
    bool readByte(std::uint8_t &value)
    {
        if (m_filled == m_position && !fill(1))
            return false;
        value = static_cast<std::uint8_t>(*m_position++);
        return true;
    }
    bool readDouble(double &value)
    {
        if (m_filled - m_position < 8 && !fill(8))
            return false;
        const quint64 bits = qFromLittleEndian<quint64>(m_position);
        std::memcpy(&value, &bits, sizeof value);
        m_position += 8;
        return true;
    }
    // Takes length bytes and gives those before the first zero byte, as a view into the piece they are in.
    bool readString(std::int32_t length, std::string_view &value)
    {
        if (length < 0 || (m_filled - m_position < length && !fill(length)))
            return false;
        const auto size = static_cast<size_t>(length);
        const void *zero = std::memchr(m_position, 0, size);
        value = std::string_view(m_position,
                                 zero ? static_cast<size_t>(static_cast<const char *>(zero) - m_position) : size);
        m_position += size;
        return true;
    }

    // Bytes left after the logical position; for a device of unknown size, a very large number until its
    // end has been met.
    qint64 remaining() const noexcept { return (m_filled - m_position) + m_left; }
    // Puts a device of known size just after what was read (any other device has been read a little past it).
    void release();

private:
    // Reads on until at least count bytes past the position are in, or the device ends.
    bool fill(qint64 count);
    // Moves on to a new piece with room for count bytes from the position, taking along what was read
    // past the position.
    void newPiece(qint64 count);

    QIODevice *m_device;
    ItemBlock &m_block;
    bool m_sizeKnown;
    qint64 m_start = -1; // the device's position at the start, when its size is known
    qint64 m_passed = 0; // bytes read before the current piece's start
    const char *m_pieceBegin = nullptr;
    const char *m_position = nullptr;
    char *m_filled = nullptr; // end of what the device has given into the piece
    const char *m_pieceEnd = nullptr; // end of the piece
    qint64 m_left = 0; // bytes the device should still give
};

// Buffered little-endian writing; remembers the first failure instead of going on silently.
class NativeStreamWriter
{
public:
    explicit NativeStreamWriter(QIODevice *device);

    void writeInt32(std::int32_t value);
    void writeByte(std::uint8_t value);
    void writeDouble(double value);
    void writeString(std::string_view value);

    // Hands the buffer to the device; false if any write so far failed or came up short.
    bool flush();
    bool failed() const { return m_failed; }
    QString errorString() const { return m_error; }

private:
    void append(const char *data, size_t count);
    bool writeToDevice(const char *data, size_t count);

    QIODevice *m_device;
    std::string m_buffer;
    bool m_failed = false;
    QString m_error;
};
