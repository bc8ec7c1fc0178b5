#include "formats/ExportProgress.h"

#include "formats/TreeWalk.h"

ExportProgress::ExportProgress(const WriteProgress &progress, const LinkItem &top) : m_progress(progress)
{
    if (m_progress)
        m_total = countSubtree(top);
}
