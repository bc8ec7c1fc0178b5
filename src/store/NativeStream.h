#pragma once

#include <QByteArray>
#include <QString>
#include <QtEndian>

#include <cstdint>
#include <cstring>
#include <string>

class QIODevice;

// Buffered little-endian reading for the native readers: one device read per 64 KiB, not per field.
// remaining() is what the device still holds, so lengths and counts can be checked before use.
class NativeStreamReader
{
public:
    explicit NativeStreamReader(QIODevice *device);

    // The fixed-size fields take the bytes straight from the buffer when they are there.
    bool readInt32(std::int32_t &value)
    {
        if (m_filled - m_position < 4)
            return readInt32Slow(value);
        value = qFromLittleEndian<qint32>(m_buffer.constData() + m_position);
        advance(4);
        return true;
    }
    bool readByte(std::uint8_t &value)
    {
        if (m_filled == m_position)
            return readByteSlow(value);
        value = static_cast<std::uint8_t>(m_buffer.constData()[m_position]);
        advance(1);
        return true;
    }
    bool readDouble(double &value)
    {
        if (m_filled - m_position < 8)
            return readDoubleSlow(value);
        const quint64 bits = qFromLittleEndian<quint64>(m_buffer.constData() + m_position);
        std::memcpy(&value, &bits, sizeof value);
        advance(8);
        return true;
    }
    // Reads n bytes and keeps those before the first zero byte. Grows the string only as bytes arrive.
    bool readString(std::int32_t length, std::string &value);

    // Bytes left in the device after the logical position; -1 when the device cannot tell.
    qint64 remaining() const;
    // Puts the device back at the logical position (the buffer may have read ahead).
    void release();

private:
    void advance(int count)
    {
        m_position += count;
        m_consumed += count;
    }
    bool readInt32Slow(std::int32_t &value);
    bool readByteSlow(std::uint8_t &value);
    bool readDoubleSlow(double &value);
    bool readExact(char *destination, qint64 count);
    bool fill();

    QIODevice *m_device;
    QByteArray m_buffer;
    qint64 m_start = 0;
    qint64 m_consumed = 0;
    qint64 m_size = -1;
    int m_position = 0;
    int m_filled = 0;
};

// Buffered little-endian writing; remembers the first failure instead of going on silently.
class NativeStreamWriter
{
public:
    explicit NativeStreamWriter(QIODevice *device);

    void writeInt32(std::int32_t value);
    void writeByte(std::uint8_t value);
    void writeDouble(double value);
    void writeString(const std::string &value);

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
