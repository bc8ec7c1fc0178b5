#pragma once

#include "store/LinkItem.h"
#include "store/Progress.h"

// Counts the folders and links a writer has written and tells the progress callback now and then.
class ExportProgress
{
public:
    explicit ExportProgress(const Progress &progress) : m_progress(progress) { }

    // One more item written; false when the callback cancelled the export.
    bool tick(const LinkItem &item)
    {
        ++(item.isFolder() ? m_folders : m_links);
        if (!m_progress || (m_folders + m_links) % Interval != 0)
            return true;
        return m_progress(m_folders, m_links);
    }

private:
    static constexpr int Interval = 512;
    const Progress &m_progress;
    int m_folders = 0;
    int m_links = 0;
};
