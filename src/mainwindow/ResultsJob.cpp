#include "mainwindow/ResultsJob.h"

#include "mainwindow/RowSort.h"
#include "store/SearchIndex.h"
#include "store/SearchRun.h"

#include <QDeadlineTimer>

#include <algorithm>

namespace {
// Results up to this many are listed in the slice that finds them.
constexpr int DeliverAtOnceCount = 20'000;
} // namespace

ResultsJob::ResultsJob(SearchIndex &index, QObject *parent) : QObject(parent), m_index(index)
{
    // A zero timer comes round once the events waiting have been handled: typing goes first.
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, [this] { slice(m_sliceMs); });
}

ResultsJob::~ResultsJob() = default;

void ResultsJob::setSliceMs(int sliceMs, int firstSliceMs)
{
    m_sliceMs = sliceMs;
    m_firstSliceMs = firstSliceMs;
}

void ResultsJob::startSearch(const QString &query, int sortColumn, bool ascending)
{
    m_allLinks = false;
    m_query = query;
    m_sortColumn = sortColumn;
    m_ascending = ascending;
    begin();
}

void ResultsJob::startAllLinks(int sortColumn, bool ascending)
{
    m_allLinks = true;
    m_query.clear();
    m_sortColumn = sortColumn;
    m_ascending = ascending;
    begin();
}

void ResultsJob::begin()
{
    cancel();
    m_stage = Stage::Finding;
    m_firstSent = false;
    slice(m_firstSliceMs);
}

void ResultsJob::cancel()
{
    ++m_job;
    m_results = {};
    m_timer.stop();
    m_stage = Stage::Idle;
    m_run.reset();
    m_sort.reset();
}

void ResultsJob::restart()
{
    if (!isRunning())
        return;
    // What was found may be gone: find it again. Results already handed over are the list's to follow.
    m_run.reset();
    m_sort.reset();
    m_stage = Stage::Finding;
    m_timer.start();
}

bool ResultsJob::find(const QDeadlineTimer &deadline)
{
    if (!m_run)
        m_run = std::make_unique<SearchRun>(m_allLinks ? SearchRun::allLinks(m_index) : SearchRun(m_index, m_query));
    if (!m_run->runSome(deadline))
        return false;
    m_sort = std::make_unique<RowSort>(m_run->takeMatches(), m_sortColumn, m_ascending);
    m_run.reset();
    return true;
}

void ResultsJob::slice(int sliceMs)
{
    const QDeadlineTimer deadline(sliceMs, Qt::PreciseTimer);
    bool done = false;
    if (m_stage == Stage::Finding && find(deadline))
        m_stage = Stage::Sorting;
    if (m_stage == Stage::Sorting) {
        // Many results go to the list in a turn of their own, not after a slice's worth of sorting.
        const bool sortedBefore = m_sort->finished();
        done = m_sort->runSome(deadline) && (sortedBefore || m_sort->count() <= DeliverAtOnceCount);
    }
    if (!done) {
        const std::vector<LinkItem *> &found = m_run ? m_run->matches() : m_sort->rows();
        const int count = static_cast<int>(found.size());
        // A receiver may start another job or cancel this one: then nothing more of this one goes out.
        const quint64 job = m_job;
        if (!m_firstSent && count > 0) {
            m_firstSent = true;
            const auto first = found.begin() + std::min(count, FirstResultsCount);
            emit firstResults(std::vector<LinkItem *>(found.begin(), first));
        }
        if (job == m_job)
            emit progress(count, m_run ? -1 : m_sort->percentDone());
        if (job == m_job)
            m_timer.start();
        return;
    }
    std::vector<LinkItem *> items = m_sort->items();
    cancel();
    m_results = std::move(items);
    emit finished(m_sortColumn, m_ascending);
}
