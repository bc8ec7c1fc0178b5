#include "formats/TextOutput.h"

#include <QCoreApplication>
#include <QIODevice>

TextOutput::TextOutput(QIODevice &device) : m_device(device)
{
    m_buffer.reserve(FlushSize + FlushSize / 4);
}

void TextOutput::flushBuffer()
{
    if (!m_failed && !m_buffer.empty()) {
        const auto size = static_cast<qint64>(m_buffer.size());
        if (m_device.write(m_buffer.data(), size) != size) {
            m_failed = true;
            m_error = m_device.errorString();
            if (m_error.isEmpty())
                m_error = QCoreApplication::translate("TextOutput", "The data could not be written whole.");
        }
    }
    m_buffer.clear();
}

bool TextOutput::flush()
{
    flushBuffer();
    return !m_failed;
}
