#pragma once

#include <QByteArray>
#include <QString>

#include <string_view>

class QIODevice;
class LinkItem;

// Writes a LinkItem subtree as JSON, streamed to a device through a buffer. Each item is an object
// with name, url, description, isFolder, visits, rating, lastVisit and children, in that order; every
// item starts on a line of its own. Nesting of any depth is written without recursion.
class JsonDump
{
public:
    explicit JsonDump(QIODevice *device);

    JsonDump(const JsonDump &) = delete;
    JsonDump &operator=(const JsonDump &) = delete;

    // False when the device did not take every byte; errorString() then says why.
    bool write(const LinkItem &top);
    QString errorString() const { return m_error; }

private:
    void openItem(const LinkItem &item);
    void appendString(std::string_view bytes);
    void appendNumber(double value);
    bool flush();

    QIODevice *m_device;
    QByteArray m_buffer;
    QString m_error;
    bool m_failed = false;
};
