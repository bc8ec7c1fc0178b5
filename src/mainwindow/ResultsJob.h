#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>
#include <vector>

class LinkItem;
class QDeadlineTimer;
class RowSort;
class SearchIndex;
class SearchRun;

// Lists search results or all bookmarks a slice at a time between events: reads the collection into the
// index, finds the items, then puts them in the list's order, so that a million results never hold the
// window. The first slice runs at once, and a small collection is done in it. The first results found are
// handed over as soon as there are some; the whole list, in order, when it is done.
//
// Starting again or cancel() drops the work under way, and nothing of it is handed over afterwards. The
// job reads the items while it works: after any change of the collection but a visit, restart() (the same
// listing starts over), before the next turn of the event loop.
class ResultsJob : public QObject
{
    Q_OBJECT
public:
    // The first results handed over at most.
    static constexpr int FirstResultsCount = 1000;

    explicit ResultsJob(SearchIndex &index, QObject *parent = nullptr);
    ~ResultsJob() override;

    // The items that hold every word of query, in the order of the sort key and direction.
    void startSearch(const QString &query, int sortColumn, bool ascending);
    // Every link, in that order.
    void startAllLinks(int sortColumn, bool ascending);
    void cancel();
    void restart();
    bool isRunning() const { return m_stage != Stage::Idle; }
    // Whether everything is found and is being put in order.
    bool isSorting() const { return m_stage == Stage::Sorting; }
    QString query() const { return m_query; }
    // The results once finished, until the next start.
    std::vector<LinkItem *> takeResults() { return std::move(m_results); }

    // How long a slice may take; the first one may take longer, FirstSliceMs.
    void setSliceMs(int sliceMs, int firstSliceMs);

signals:
    // Some of the results, in tree order, while the rest are still sought: sent at most once per job.
    void firstResults(const std::vector<LinkItem *> &items);
    // How many results were found so far; once all are found, how far their sort has come (0 to 100),
    // and -1 before.
    void progress(int found, int sortPercent);
    // All of the results are found, in the order asked for: takeResults() hands them over.
    void finished(int sortColumn, bool ascending);

private:
    enum class Stage { Idle, Finding, Sorting };

    void begin();
    void slice(int sliceMs);
    // Finds on; once everything is found, it is handed to the sort.
    bool find(const QDeadlineTimer &deadline);

    SearchIndex &m_index;
    QTimer m_timer;
    Stage m_stage = Stage::Idle;
    bool m_allLinks = false;
    QString m_query;
    int m_sortColumn = 0;
    bool m_ascending = true;
    bool m_firstSent = false;
    quint64 m_job = 0; // counts the jobs started and cancelled
    std::unique_ptr<SearchRun> m_run;
    std::unique_ptr<RowSort> m_sort;
    std::vector<LinkItem *> m_results;
    int m_sliceMs = 20;
    int m_firstSliceMs = 30;
};
