#include "store/NativeStream.h"

#include <QDir>
#include <QFileDevice>
#include <QIODevice>
#include <QtEndian>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {
constexpr int BufferSize = 64 * 1024;
// Small enough for each piece to stay in the cache until it has been parsed.
constexpr qint64 ReadPiece = 128 * 1024;
}

NativeStreamReader::NativeStreamReader(QIODevice *device, QByteArray &bytes) : m_device(device)
{
    if (device->isSequential()) {
        bytes = device->readAll();
    } else {
        m_start = device->pos();
        bytes = QByteArray(std::max<qint64>(0, device->size() - m_start), Qt::Uninitialized);
    }
    char *base = bytes.data();
    m_begin = m_position = base;
    m_end = base + bytes.size();
    m_filled = device->isSequential() ? base + bytes.size() : base;
}

bool NativeStreamReader::fill(qint64 count)
{
    if (count > m_end - m_position)
        return false;
    while (m_filled - m_position < count) {
        const qint64 wanted = std::min<qint64>(std::max<qint64>(ReadPiece, count - (m_filled - m_position)), m_end - m_filled);
        const qint64 got = m_device->read(m_filled, wanted);
        if (got <= 0) {
            // The device holds less than it said: what did not come is not there.
            m_end = m_filled;
            return false;
        }
        m_filled += got;
    }
    return true;
}

void NativeStreamReader::release()
{
    if (m_start >= 0)
        m_device->seek(m_start + (m_position - m_begin));
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
        m_error = QStringLiteral("The disk is full: only %1 of %2 bytes could be written to %3.")
                      .arg(std::max<qint64>(written, 0))
                      .arg(count)
                      .arg(QDir::toNativeSeparators(file->fileName()));
    } else if (m_error.isEmpty() || m_error == QLatin1String("Unknown error")) {
        m_error = QStringLiteral("The device took only %1 of %2 bytes").arg(std::max<qint64>(written, 0)).arg(count);
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
        m_error = QStringLiteral("A text of %1 bytes is too long to store").arg(value.size());
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
