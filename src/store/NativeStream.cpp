#include "store/NativeStream.h"

#include <QIODevice>
#include <QtEndian>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {
constexpr int BufferSize = 64 * 1024;
}

NativeStreamReader::NativeStreamReader(QIODevice *device) : m_device(device), m_buffer(BufferSize, Qt::Uninitialized)
{
    if (!m_device->isSequential()) {
        m_start = m_device->pos();
        m_size = m_device->size();
    }
}

qint64 NativeStreamReader::remaining() const
{
    if (m_size < 0)
        return -1;
    return std::max<qint64>(0, m_size - m_start - m_consumed);
}

bool NativeStreamReader::fill()
{
    m_position = 0;
    const qint64 got = m_device->read(m_buffer.data(), BufferSize);
    m_filled = got > 0 ? static_cast<int>(got) : 0;
    return m_filled > 0;
}

bool NativeStreamReader::readExact(char *destination, qint64 count)
{
    while (count > 0) {
        if (m_position == m_filled && !fill())
            return false;
        const int chunk = static_cast<int>(std::min<qint64>(count, m_filled - m_position));
        std::memcpy(destination, m_buffer.constData() + m_position, static_cast<size_t>(chunk));
        m_position += chunk;
        m_consumed += chunk;
        destination += chunk;
        count -= chunk;
    }
    return true;
}

bool NativeStreamReader::readInt32Slow(std::int32_t &value)
{
    char bytes[4];
    if (!readExact(bytes, 4))
        return false;
    value = qFromLittleEndian<qint32>(bytes);
    return true;
}

bool NativeStreamReader::readByteSlow(std::uint8_t &value)
{
    char byte;
    if (!readExact(&byte, 1))
        return false;
    value = static_cast<std::uint8_t>(byte);
    return true;
}

bool NativeStreamReader::readDoubleSlow(double &value)
{
    char bytes[8];
    if (!readExact(bytes, 8))
        return false;
    const quint64 bits = qFromLittleEndian<quint64>(bytes);
    std::memcpy(&value, &bits, sizeof value);
    return true;
}

bool NativeStreamReader::readString(std::int32_t length, std::string &value)
{
    value.clear();
    if (length <= 0)
        return length == 0;
    const qint64 left = remaining();
    if (left >= 0 && length > left)
        return false;
    if (m_filled - m_position >= length) {
        // The usual case: the whole string is in the buffer.
        const char *start = m_buffer.constData() + m_position;
        const void *zero = std::memchr(start, 0, static_cast<size_t>(length));
        value.assign(start, zero ? static_cast<size_t>(static_cast<const char *>(zero) - start) : static_cast<size_t>(length));
        advance(length);
        return true;
    }
    // Append piece by piece so that a lying length on a device of unknown size cannot make us
    // allocate more than actually arrives.
    qint64 count = length;
    while (count > 0) {
        if (m_position == m_filled && !fill())
            return false;
        const int chunk = static_cast<int>(std::min<qint64>(count, m_filled - m_position));
        value.append(m_buffer.constData() + m_position, static_cast<size_t>(chunk));
        m_position += chunk;
        m_consumed += chunk;
        count -= chunk;
    }
    const size_t zero = value.find('\0');
    if (zero != std::string::npos)
        value.resize(zero);
    return true;
}

void NativeStreamReader::release()
{
    if (m_size >= 0)
        m_device->seek(m_start + m_consumed);
    m_position = m_filled = 0;
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
    if (m_error.isEmpty() || m_error == QLatin1String("Unknown error"))
        m_error = QStringLiteral("The device took only %1 of %2 bytes").arg(std::max<qint64>(written, 0)).arg(count);
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

void NativeStreamWriter::writeString(const std::string &value)
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
