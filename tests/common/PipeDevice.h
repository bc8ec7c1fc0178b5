#pragma once

#include <QByteArray>
#include <QIODevice>

#include <algorithm>
#include <cstring>

// Some bytes as a pipe gives them: a device of unknown size (sequential) that hands them out in small, uneven
// pieces, never more than a few kilobytes at a time.
class PipeDevice : public QIODevice
{
public:
    explicit PipeDevice(const QByteArray &bytes) : m_bytes(bytes) { open(QIODevice::ReadOnly | QIODevice::Unbuffered); }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 count = std::min<qint64>({maxSize, m_bytes.size() - m_next, 1 + m_next % 4093});
        std::memcpy(data, m_bytes.constData() + m_next, size_t(count));
        m_next += count;
        return count;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_bytes;
    qint64 m_next = 0;
};
