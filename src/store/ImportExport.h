#pragma once

#include "store/Progress.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <string>

class QIODevice;
class LinkItem;
class ItemList;

// Reads or writes one LinkItem subtree in the native binary format on an open stream. The caller
// opens the stream and handles the 4-byte version number; a reader/writer serves one item.
//
// Reading never trusts the data: a string length larger than what remains, or data that ends inside a
// record, stops the read with what was read so far in place; a child count is never used to reserve
// anything, so nothing is allocated beyond what the bytes describe; nesting of any depth is read
// without recursion. hasError() tells whether the read stopped early.
// Writing goes through a buffer and reports a failed or short write.
class ImportExport
{
public:
    explicit ImportExport(QIODevice *stream);
    virtual ~ImportExport();

    ImportExport(const ImportExport &) = delete;
    ImportExport &operator=(const ImportExport &) = delete;

    // Writes item with its whole subtree; false when the stream did not take every byte.
    virtual bool WriteItem(const LinkItem &item) = 0;
    // Reads one record into target (overwriting the stored fields) and adds the stored children to
    // target.Children. False when the data ended or was damaged before the record was complete.
    virtual bool ReadItem(LinkItem &target) = 0;
    // Writes the child count and every entry of children.
    virtual bool WriteList(const ItemList &children) = 0;
    // Reads a child count and that many records into new items inserted into target.Children.
    virtual bool ReadList(LinkItem &target) = 0;

    QIODevice *Stream() const { return m_stream; }

    bool hasError() const { return !m_error.isEmpty(); }
    bool wasCancelled() const { return m_cancelled; }
    QString errorString() const { return m_error; }

    // Items added by the last read, not counting the top record.
    int foldersRead() const { return m_foldersRead; }
    int linksRead() const { return m_linksRead; }

    // Told the items read so far now and then; when it cancels the read, what was read stays in place
    // and errorString() says it was cancelled.
    void setProgress(Progress progress) { m_progress = std::move(progress); }

protected:
    void setError(const QString &message);

    QIODevice *m_stream;
    QString m_error;
    int m_foldersRead = 0;
    int m_linksRead = 0;
    bool m_cancelled = false;
    Progress m_progress;
};
