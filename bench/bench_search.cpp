// Times searches across a generated collection, each against a plain substring scan of the same names, URLs
// and descriptions in the same run (std::string::find and memmem over every item's three texts, whichever
// is faster), and the index's rebuild against one pass that copies the same texts. The collection is written
// to a data file and read back, so that its items lie in memory as the program's do; the index's size is
// given against that file's, and the build and a first search done a slice at a time give their longest
// slice.
//
//   quillmark-bench-search [--quick]       1,000,000 items (--quick: 100,000)
// The exit status is 1 when a target was missed.
#include "Collection.h"
#include "Measure.h"

#include "store/LinkItem.h"
#include "store/NativeFile.h"
#include "store/SearchIndex.h"
#include "store/SearchRun.h"
#include "store/TextFold.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <time.h>

#if defined(__GLIBC__)
#include <string.h>
#endif

namespace {

constexpr std::uint64_t Seed = 20240611;
constexpr double SearchTarget = 3.0;
// The index with the rows of as many results as items, against the data file.
constexpr double IndexSizeTarget = 0.5;
// A slice of the window's timer.
constexpr qint64 SliceDeadlineMs = 10;

[[noreturn]] void die(const QString &message)
{
    std::fprintf(stderr, "quillmark-bench-search: %s\n", qPrintable(message));
    std::exit(2);
}

// Writes the collection to a data file and reads it back; returns the file's size.
qint64 roundTrip(std::unique_ptr<LinkItem> &root, const QString &path)
{
    QString error;
    if (!NativeFile::saveAtomically(path, *root, &error, NativeFile::Sync::NoSync))
        die(error);
    root = std::make_unique<LinkItem>();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        die(file.errorString());
    const NativeFile::ReadResult result = NativeFile::read(file, *root, true);
    if (!result.ok())
        die(result.error);
    return QFileInfo(path).size();
}

std::vector<const LinkItem *> treeOrder(const LinkItem &root)
{
    std::vector<const LinkItem *> items;
    std::vector<const LinkItem *> pending {&root};
    while (!pending.empty()) {
        const LinkItem *item = pending.back();
        pending.pop_back();
        if (item != &root)
            items.push_back(item);
        for (auto it = item->Children.end(); it != item->Children.begin();)
            pending.push_back((--it)->get());
    }
    return items;
}

// Some texts with accents, as a collection holds them: UTF-8 typed today and Windows-1252 from older files.
void addAccents(const std::vector<const LinkItem *> &items)
{
    for (size_t i = 0; i < items.size(); ++i) {
        auto *item = const_cast<LinkItem *>(items[i]);
        if (i % 97 == 0)
            item->Name += " Caf\xc3\xa9 \xc3\xa9t\xc3\xa9";
        if (i % 389 == 0)
            item->Description += " Caf\xe9 cr\xe8me br\xfbl\xe9";
    }
}

bool holds(std::string_view text, const std::string &word, bool useMemmem)
{
#if defined(__GLIBC__)
    if (useMemmem)
        return memmem(text.data(), text.size(), word.data(), word.size()) != nullptr;
#endif
    (void)useMemmem;
    return text.find(word) != std::string_view::npos;
}

// The baseline: one plain, case-sensitive substring scan for one word over every item's three texts.
size_t plainScan(const std::vector<const LinkItem *> &items, const std::string &word, bool useMemmem)
{
    size_t found = 0;
    for (const LinkItem *item : items) {
        if (holds(item->Name, word, useMemmem) || holds(item->Url, word, useMemmem)
            || holds(item->Description, word, useMemmem))
            ++found;
    }
    return found;
}

double timeMs(const std::function<void()> &work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// A run of letters of an item's text, from `from` on where one is long enough, so that the queries find
// something (the generated texts are random letters).
std::string pieceOf(std::string_view text, size_t from, size_t length)
{
    for (size_t start = std::min(from, text.size()); start + length <= text.size(); ++start) {
        const std::string piece(text.substr(start, length));
        if (piece.find(' ') == std::string::npos)
            return piece;
    }
    return std::string(text.substr(0, std::min(length, text.size())));
}

struct Query
{
    const char *name;
    QString text;
};

bool benchQuery(SearchIndex &index, const std::vector<const LinkItem *> &items, const Query &query, int repetitions)
{
    // The baseline looks for the query's longest word as typed, in lower case, which is what the stored
    // texts of the generated collection mostly are.
    const std::vector<std::string> words = TextFold::queryWords(query.text);
    const std::string word = words.empty() ? std::string() : words.front();
    std::vector<double> findTimes, memmemTimes, searchTimes;
    size_t results = 0, scanned = 0;
    for (int i = 0; i < repetitions; ++i) {
        findTimes.push_back(timeMs([&] { scanned = plainScan(items, word, false); }));
        memmemTimes.push_back(timeMs([&] { scanned = plainScan(items, word, true); }));
        // A new query each time, as a search field sends it: no refinement from the previous search.
        index.search(QString());
        searchTimes.push_back(timeMs([&] { results = index.search(query.text).size(); }));
    }
    const double baseline = std::min(median(findTimes), median(memmemTimes));
    const double search = median(searchTimes);
    const std::string prefix = std::string("query_") + query.name;
    std::printf("%s \"%s\" results %zu plain_scan_hits %zu\n", prefix.c_str(), qPrintable(query.text), results,
                scanned);
    Measure::figure(prefix + "_ms", search);
    Measure::figure(prefix + "_plain_find_ms", median(findTimes));
    Measure::figure(prefix + "_plain_memmem_ms", median(memmemTimes));
    return Measure::ratio(prefix + "_vs_plain_scan", search / baseline, SearchTarget);
}

// Typing a word letter by letter: each keystroke narrows the previous results. The median of a few runs of
// the whole sequence, per keystroke.
void benchTyping(SearchIndex &index, const std::string &word, int repetitions)
{
    std::vector<std::vector<double>> times(word.size());
    std::vector<size_t> results(word.size());
    for (int r = 0; r < repetitions; ++r) {
        index.search(QString());
        for (size_t length = 1; length <= word.size(); ++length) {
            const QString typed = QString::fromStdString(word.substr(0, length));
            times[length - 1].push_back(timeMs([&] { results[length - 1] = index.search(typed).size(); }));
        }
    }
    double slowest = 0;
    for (size_t length = 1; length <= word.size(); ++length) {
        const double ms = median(times[length - 1]);
        slowest = std::max(slowest, ms);
        std::printf("typing \"%s\" results %zu ms %.3f\n", word.substr(0, length).c_str(), results[length - 1], ms);
    }
    Measure::figure("typing_slowest_keystroke_ms", slowest);
}

struct Slices
{
    int count = 0;
    double totalMs = 0;
    double longestMs = 0;
    double longestCpuMs = 0; // time on the processor: what the machine's other work does not lengthen
};

double threadCpuMs()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Calls `step` until it returns true, timing each call.
Slices timeSlices(const std::function<bool()> &step)
{
    Slices slices;
    for (bool done = false; !done;) {
        const double cpuStart = threadCpuMs();
        const auto start = std::chrono::steady_clock::now();
        done = step();
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        ++slices.count;
        slices.totalMs += ms;
        slices.longestMs = std::max(slices.longestMs, ms);
        slices.longestCpuMs = std::max(slices.longestCpuMs, threadCpuMs() - cpuStart);
    }
    return slices;
}

void printSlices(const std::string &name, const Slices &slices)
{
    Measure::figure(name + "_slices", slices.count);
    Measure::figure(name + "_total_ms", slices.totalMs);
    Measure::figure(name + "_longest_slice_ms", slices.longestMs);
    Measure::figure(name + "_longest_slice_cpu_ms", slices.longestCpuMs);
}

// The build and a first search a slice at a time, as the window's timer drives them: with a deadline that has
// passed (one piece of work per call) and with a deadline of a few milliseconds.
void benchSlices(SearchIndex &index, const QString &query)
{
    for (const qint64 deadlineMs : {qint64(0), SliceDeadlineMs}) {
        const std::string suffix = deadlineMs ? "_deadline_" + std::to_string(deadlineMs) + "ms" : "_one_piece";
        index.invalidate();
        printSlices("sliced_build" + suffix, timeSlices([&] { return index.buildSome(QDeadlineTimer(deadlineMs)); }));
        index.invalidate();
        SearchRun first(index, query);
        printSlices("sliced_first_search" + suffix,
                    timeSlices([&] { return first.runSome(QDeadlineTimer(deadlineMs)); }));
        SearchRun again(index, query.left(1));
        printSlices("sliced_search" + suffix, timeSlices([&] { return again.runSome(QDeadlineTimer(deadlineMs)); }));
        SearchRun all = SearchRun::allLinks(index);
        printSlices("sliced_all_links" + suffix, timeSlices([&] { return all.runSome(QDeadlineTimer(deadlineMs)); }));
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const bool quick = app.arguments().contains(QStringLiteral("--quick"));
    const int size = quick ? 100'000 : 1'000'000;
    const int repetitions = quick ? 9 : 5;

    auto root = Collection::make(size, Seed);
    addAccents(treeOrder(*root));
    QTemporaryDir folder;
    if (!folder.isValid())
        die(folder.errorString());
    const qint64 fileBytes = roundTrip(root, folder.filePath(QStringLiteral("collection.dat")));
    const std::vector<const LinkItem *> items = treeOrder(*root);
    size_t textBytes = 0;
    for (const LinkItem *item : items)
        textBytes += item->Name.size() + item->Url.size() + item->Description.size();
    Measure::figure("items", static_cast<double>(items.size()));
    Measure::figure("text_mb", static_cast<double>(textBytes) / (1024.0 * 1024.0));
    Measure::figure("data_file_bytes", static_cast<double>(fileBytes));

    SearchIndex index(root.get());
    const long peakBefore = Measure::peakResidentKb();
    const double buildMs = Measure::medianMs(3, [&] { index.rebuild(); });
    Measure::figure("rebuild_ms", buildMs);
    Measure::figure("rebuild_peak_growth_mb", static_cast<double>(Measure::peakResidentKb() - peakBefore) / 1024.0);
    const double indexBytes = static_cast<double>(index.memoryBytes());
    const double resultRows = static_cast<double>(items.size() * sizeof(LinkItem *));
    Measure::figure("index_bytes", indexBytes);
    Measure::figure("index_vs_file", indexBytes / static_cast<double>(fileBytes));
    bool ok = Measure::ratio("index_and_all_results_vs_file",
                             (indexBytes + resultRows) / static_cast<double>(fileBytes), IndexSizeTarget);
    // The rebuild's baseline: copying the same texts into one buffer.
    const double copyMs = Measure::medianMs(3, [&] {
        std::string all;
        all.reserve(textBytes + 3 * items.size());
        for (const LinkItem *item : items) {
            all += item->Name;
            all += item->Url;
            all += item->Description;
        }
        if (all.empty())
            std::puts("");
    });
    Measure::figure("copy_texts_ms", copyMs);
    Measure::figure("rebuild_vs_copy", buildMs / copyMs);

    // Words taken from the collection itself, so that they occur (the generated texts are random letters).
    const LinkItem *sample = items[items.size() / 3];
    const LinkItem *other = items[items.size() / 2 + 7];
    const std::string word = pieceOf(sample->Name, 2, 5);
    const std::string second = pieceOf(sample->Description.empty() ? sample->Url : sample->Description, 3, 4);
    const std::string url = pieceOf(other->Url, 12, 6);
    const QString upper = QString::fromStdString(word).toUpper();
    const Query queries[] = {
        {"one_word", QString::fromStdString(word)},
        {"one_word_capitals", upper},
        {"short_word", QString::fromStdString(word.substr(0, 2))},
        {"url_part", QString::fromStdString(url)},
        {"two_words", QString::fromStdString(second + " " + word)},
        {"three_words", QString::fromStdString(second + " " + url.substr(0, 3) + " " + word.substr(1, 3))},
        {"common_and_rare_word", QString::fromStdString("https " + word.substr(0, 4))},
        {"accented", QStringLiteral("\u00c9T\u00c9 caf\u00e9")},
        {"no_match", QStringLiteral("quillmarkzz")},
    };
    for (const Query &query : queries)
        ok = benchQuery(index, items, query, repetitions) && ok;
    benchTyping(index, word + " " + second, repetitions);
    benchSlices(index, QString::fromStdString(word));
    index.search(QStringLiteral("e"));
    Measure::figure("index_bytes_after_a_wide_search", static_cast<double>(index.memoryBytes()));
    Measure::figure("peak_resident_mb", static_cast<double>(Measure::peakResidentKb()) / 1024.0);
    return ok ? 0 : 1;
}
