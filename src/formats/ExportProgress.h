#pragma once

#include "formats/FormatProgress.h"
#include "store/LinkItem.h"

// Counts the folders and links a writer has written and tells the progress callback now and then.
class ExportProgress
{
public:
    // Counts the entries below top first, when there is a callback to tell.
    ExportProgress(const WriteProgress &progress, const LinkItem &top);

    // One more item written; false when the callback cancelled the export.
    bool tick(const LinkItem &item)
    {
        ++(item.isFolder() ? m_folders : m_links);
        if (!m_progress || (m_folders + m_links) % Interval != 0)
            return true;
        return m_progress(m_folders, m_links, m_total);
    }

private:
    static constexpr int Interval = 512;
    const WriteProgress &m_progress;
    qint64 m_total = 0;
    int m_folders = 0;
    int m_links = 0;
};
