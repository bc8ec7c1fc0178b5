#include "store/NativeStream.h"

#include "store/ItemBlock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDevice>
#include <QIODevice>
#include <QtEndian>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

namespace {
constexpr int BufferSize = 64 * 1024;
// Small enough for each piece to stay in the cache until it has been parsed.
constexpr qint64 ReadPiece = 128 * 1024;
// What one allocation holds at least (when the device has that much left): a few reads' worth.
constexpr qint64 PieceSize = 1024 * 1024;
// The bytes left of a device whose size is not known: more than any length the format can give, and far
// from overflowing when added to.
constexpr qint64 UnknownLeft = std::numeric_limits<qint64>::max() / 4;
} // namespace

NativeStreamReader::NativeStreamReader(QIODevice *device, ItemBlock &block)
    : m_device(device), m_block(block), m_sizeKnown(!device->isSequential())
{
    if (m_sizeKnown) {
        m_start = device->pos();
        m_left = std::max<qint64>(0, device->size() - m_start);
    } else {
        m_left = UnknownLeft;
    }
}

bool NativeStreamReader::fill(qint64 count)
{
    if (count > remaining())
        return false;
    while (m_filled - m_position < count) {
        // A device of unknown size gets a larger piece only once the last one is full, so that a length
        // is never trusted further than the data has come.
        if (m_pieceEnd - m_position < count && (m_sizeKnown || m_filled == m_pieceEnd))
            newPiece(count);
        const qint64 wanted = std::min(
            {std::max<qint64>(ReadPiece, count - (m_filled - m_position)), qint64(m_pieceEnd - m_filled), m_left});
        const qint64 got = m_device->read(m_filled, wanted);
        if (got <= 0) {
            // The device holds less than it said: what did not come is not there.
            m_left = 0;
            return false;
        }
        m_filled += got;
        m_left -= got;
    }
    return true;
}

void NativeStreamReader::newPiece(qint64 count)
{
    const qint64 have = m_filled - m_position;
    const qint64 size = m_sizeKnown ? std::min(std::max(count, PieceSize), have + m_left)
                                    : std::max(PieceSize, std::min(count, 2 * qint64(m_pieceEnd - m_pieceBegin)));
    char *piece = m_block.newPiece(static_cast<size_t>(size));
    if (have > 0)
        std::memcpy(piece, m_position, static_cast<size_t>(have));
    m_passed += m_position - m_pieceBegin;
    m_pieceBegin = m_position = piece;
    m_filled = piece + have;
    m_pieceEnd = piece + size;
}

void NativeStreamReader::release()
{
    if (m_start >= 0)
        m_device->seek(m_start + m_passed + (m_position - m_pieceBegin));
}

NativeStreamWriter::NativeStreamWriter(QIODevice *device) : m_device(device)
{
    m_buffer.reserve(BufferSize);
}

void NativeStreamWriter::append(const char *data, size_t count)
{
    if (m_failed)
        return;
    if (m_buffer.size() + count > BufferSize && !flush())
        return;
    if (count >= BufferSize) {
        writeToDevice(data, count);
        return;
    }
    m_buffer.append(data, count);
}

bool NativeStreamWriter::writeToDevice(const char *data, size_t count)
{
    const qint64 written = m_device->write(data, static_cast<qint64>(count));
    if (written == static_cast<qint64>(count))
        return true;
    m_failed = true;
    m_error = m_device->errorString();
    // A file that takes only part of a write, or refuses it for want of room, is on a full disk.
    const auto *file = qobject_cast<const QFileDevice *>(m_device);
    if (file && !file->fileName().isEmpty() && (written >= 0 || file->error() == QFileDevice::ResourceError)) {
        m_error = QCoreApplication::translate("NativeStream",
                                              "The disk is full: only %1 of %2 bytes could be written to %3.")
                      .arg(std::max<qint64>(written, 0))
                      .arg(count)
                      .arg(QDir::toNativeSeparators(file->fileName()));
    } else if (m_error.isEmpty() || m_error == QLatin1String("Unknown error")) {
        m_error = QCoreApplication::translate("NativeStream", "The device took only %1 of %2 bytes")
                      .arg(std::max<qint64>(written, 0))
                      .arg(count);
    }
    return false;
}

void NativeStreamWriter::writeInt32(std::int32_t value)
{
    char bytes[4];
    qToLittleEndian<qint32>(value, bytes);
    append(bytes, 4);
}

void NativeStreamWriter::writeByte(std::uint8_t value)
{
    const char byte = static_cast<char>(value);
    append(&byte, 1);
}

void NativeStreamWriter::writeDouble(double value)
{
    quint64 bits;
    std::memcpy(&bits, &value, sizeof bits);
    char bytes[8];
    qToLittleEndian<quint64>(bits, bytes);
    append(bytes, 8);
}

void NativeStreamWriter::writeString(std::string_view value)
{
    if (value.size() > static_cast<size_t>(INT32_MAX)) {
        m_failed = true;
        m_error
            = QCoreApplication::translate("NativeStream", "A text of %1 bytes is too long to store").arg(value.size());
        return;
    }
    writeInt32(static_cast<std::int32_t>(value.size()));
    append(value.data(), value.size());
}

bool NativeStreamWriter::flush()
{
    if (m_failed)
        return false;
    if (m_buffer.empty())
        return true;
    writeToDevice(m_buffer.data(), m_buffer.size());
    m_buffer.clear();
    return !m_failed;
}
