#include "store/NativeTreeWriter.h"

#include "store/LinkItem.h"
#include "store/NativeFile.h"

NativeTreeWriter::NativeTreeWriter(QIODevice *device, const LinkItem &top) : m_writer(device), m_top(top) { }

void NativeTreeWriter::writeRecord(const LinkItem &item)
{
    // The fields of version 10000 in their order, then the child count.
    m_writer.writeString(item.Name);
    m_writer.writeString(item.Url);
    m_writer.writeString(item.Description);
    m_writer.writeByte(item.IsFolder);
    m_writer.writeInt32(item.Visits);
    m_writer.writeByte(item.Rating);
    m_writer.writeDouble(item.LastVisit);
    m_writer.writeInt32(item.Children.Count());
}

bool NativeTreeWriter::writeSome(int count)
{
    if (!m_started) {
        m_started = true;
        m_writer.writeInt32(NativeFile::CurrentVersion);
        writeRecord(m_top);
        m_stack.emplace_back(&m_top, 0);
        --count;
    }
    // Depth first, each folder's whole subtree before its next sibling.
    while (!m_stack.empty() && !m_writer.failed()) {
        auto &[item, next] = m_stack.back();
        if (next >= item->Children.Count()) {
            m_stack.pop_back();
            continue;
        }
        if (count-- <= 0)
            return false;
        const LinkItem *child = item->Children.Get(next++);
        writeRecord(*child);
        m_stack.emplace_back(child, 0);
    }
    return true;
}

bool NativeTreeWriter::finish()
{
    return m_writer.flush();
}
