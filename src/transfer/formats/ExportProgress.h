#pragma once

#include "transfer/formats/FormatProgress.h"

class LinkItem;

// Counts the items a writer has written and tells the progress callback now and then.
class ExportProgress
{
public:
    // Counts the entries below top first, when there is a callback to tell.
    ExportProgress(const WriteProgress &progress, const LinkItem &top);

    // One more item written; false when the callback cancelled the export.
    bool tick()
    {
        ++m_done;
        if (!m_progress || m_done % Interval != 0)
            return true;
        return m_progress(m_done, m_total);
    }

private:
    static constexpr int Interval = 512;
    const WriteProgress &m_progress;
    qint64 m_total = 0;
    qint64 m_done = 0;
};
