#pragma once

#include <QString>

#include <string>
#include <string_view>

class QIODevice;

// Buffered text output for the writers: hands the device a large piece at a time and remembers the
// first failure (a full disk, say), after which it writes nothing more.
class TextOutput
{
public:
    explicit TextOutput(QIODevice &device);

    TextOutput &operator<<(std::string_view text)
    {
        m_buffer.append(text);
        if (m_buffer.size() >= FlushSize)
            flushBuffer();
        return *this;
    }
    TextOutput &operator<<(char c)
    {
        m_buffer += c;
        return *this;
    }
    // The buffer itself, for appending escaped text in place; call maybeFlush() after.
    std::string &buffer() { return m_buffer; }
    void maybeFlush()
    {
        if (m_buffer.size() >= FlushSize)
            flushBuffer();
    }

    // Hands everything to the device; false when any write failed or came up short.
    bool flush();
    bool failed() const { return m_failed; }
    QString errorString() const { return m_error; }

private:
    static constexpr size_t FlushSize = 1 << 20;
    void flushBuffer();

    QIODevice &m_device;
    std::string m_buffer;
    bool m_failed = false;
    QString m_error;
};
