#pragma once

#include "store/NativeStream.h"

#include <QString>

#include <utility>
#include <vector>

class LinkItem;
class QIODevice;

// Writes a whole native file in version 10000, the version number and the top record with its subtree, a
// few records at a time, giving the bytes NativeFile::write gives. Between two calls it keeps only its place
// in the tree (the folders on the way down and the next child of each): whoever lets the tree change between
// two calls stops writing first.
class NativeTreeWriter
{
public:
    NativeTreeWriter(QIODevice *device, const LinkItem &top);

    // Writes up to count more records; true once the last one is written or a write has failed.
    bool writeSome(int count);
    // Hands what is buffered to the device; false (with errorString()) when any write failed.
    bool finish();
    QString errorString() const { return m_writer.errorString(); }

private:
    void writeRecord(const LinkItem &item);

    NativeStreamWriter m_writer;
    const LinkItem &m_top;
    std::vector<std::pair<const LinkItem *, int>> m_stack;
    bool m_started = false;
};
