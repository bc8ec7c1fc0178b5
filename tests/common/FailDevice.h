#pragma once

#include <QBuffer>

// A device that takes a fixed number of bytes and then refuses the rest, the way a full disk does.
class FailDevice : public QBuffer
{
public:
    explicit FailDevice(qint64 capacity) : m_capacity(capacity) { }

protected:
    qint64 writeData(const char *data, qint64 length) override
    {
        const qint64 room = m_capacity - size();
        if (room <= 0) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        const qint64 taken = std::min(room, length);
        return QBuffer::writeData(data, taken);
    }

private:
    qint64 m_capacity;
};
