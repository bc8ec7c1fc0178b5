// Benchmarks the native link file: load and save of generated collections, each measured against a
// baseline of the same run (reading or writing the same bytes with QFile, reading the same items from
// an SQLite table), the load of a folder stored in reverse name order, and the load's peak memory.
//
//   quillmark-bench-store [--quick]       10k, 100k and 1M items (--quick: 10k and 100k)
//   quillmark-bench-store --measure-load FILE
//                                          (internal) loads FILE and prints the growth of the peak
//                                          resident size, so that the parent measures a fresh process
// The exit status is 1 when a target was missed.
#include "Collection.h"
#include "Measure.h"
#include "SqliteTable.h"

#include "store/LinkItem.h"
#include "store/NativeFile.h"
#include "store/NativeStream.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr std::uint64_t Seed = 20240607;
constexpr int ReversedChildren = 100000;
// A small file loads and reads in a millisecond or less, within a busy machine's noise: each timed figure
// of the load and of its plain read repeats the work until it has covered this many items, as many times
// on both sides, and gives the time of one.
constexpr int ItemsPerFigure = 100000;
// From this size on, load-vs-read has a target. A smaller file is read from the processor's cache, at a
// speed that no load of its items comes near: the plain read is then a figure, not a baseline.
constexpr int LoadTargetItems = 100000;

[[noreturn]] void die(const QString &message)
{
    std::fprintf(stderr, "quillmark-bench-store: %s\n", qPrintable(message));
    std::exit(2);
}

std::unique_ptr<LinkItem> loadFile(const QString &path, int expectedItems)
{
    auto root = std::make_unique<LinkItem>();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        die(file.errorString());
    const NativeFile::ReadResult result = NativeFile::read(file, *root, true);
    if (!result.ok() || (expectedItems >= 0 && result.folders + result.links != expectedItems))
        die(QStringLiteral("%1 did not read back whole: %2").arg(path, result.error));
    return root;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        die(file.errorString());
    return file.readAll();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        die(file.errorString());
    file.close();
}

// The child process of --measure-load: the peak resident size it grew by while loading, in KiB.
int measureLoad(const char *path)
{
    const long before = Measure::peakResidentKb();
    auto root = loadFile(QString::fromLocal8Bit(path), -1);
    const long after = Measure::peakResidentKb();
    std::printf("%ld\n", after - before);
    return 0;
}

long peakLoadKb(const QString &path)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--measure-load"), path});
    if (!child.waitForFinished(-1) || child.exitCode() != 0)
        die(QStringLiteral("the measuring process failed: %1")
                .arg(QString::fromLocal8Bit(child.readAllStandardError())));
    bool ok = false;
    const long kb = child.readAllStandardOutput().trimmed().toLong(&ok);
    if (!ok)
        die(QStringLiteral("the measuring process printed no number"));
    return kb;
}

struct Run
{
    QTemporaryDir &dir;
    int repetitions;
    bool allMet = true;

    void target(const std::string &name, double value, double bound) { allMet &= Measure::ratio(name, value, bound); }
};

void benchCollection(Run &run, int items)
{
    const std::string tag = std::to_string(items);
    const auto collection = Collection::make(items, Seed + static_cast<std::uint64_t>(items));
    const QString path = run.dir.filePath(QStringLiteral("collection-%1.qmf").arg(items));
    const QString plain = run.dir.filePath(QStringLiteral("plain-%1.bin").arg(items));
    QString error;

    const double saveMs = Measure::medianMs(run.repetitions, [&] {
        if (!NativeFile::saveAtomically(path, *collection, &error, NativeFile::Sync::NoSync))
            die(error);
    });
    const QByteArray bytes = readAll(path);
    const double writeMs = Measure::medianMs(
        run.repetitions, [&] { writeAll(plain, bytes); }, [&] { QFile::remove(plain); });
    const int batch = std::max(1, ItemsPerFigure / items);
    const double readBatchMs = Measure::medianMs(run.repetitions, [&] {
        for (int i = 0; i < batch; ++i) {
            if (readAll(path).size() != bytes.size())
                die(QStringLiteral("short read"));
        }
    });
    const double readMs = readBatchMs / batch;
    // Each tree goes before the next load, outside the timing.
    std::unique_ptr<LinkItem> loaded;
    std::vector<double> loadTimes;
    for (int r = 0; r < run.repetitions; ++r) {
        double sum = 0;
        for (int i = 0; i < batch; ++i)
            sum += Measure::medianMs(
                1, [&] { loaded = loadFile(path, items); }, [&] { loaded.reset(); });
        loadTimes.push_back(sum / batch);
    }
    loaded.reset();
    const double loadMs = Measure::median(loadTimes);

    const std::string database = run.dir.filePath(QStringLiteral("collection-%1.sqlite").arg(items)).toStdString();
    std::string sqlError;
    if (!SqliteTable::write(database, *collection, &sqlError))
        die(QString::fromStdString(sqlError));
    const double sqliteMs = Measure::medianMs(
        run.repetitions,
        [&] {
            loaded = SqliteTable::load(database, &sqlError);
            if (!loaded)
                die(QString::fromStdString(sqlError));
        },
        [&] { loaded.reset(); });
    if (Collection::countItems(*loaded) != items)
        die(QStringLiteral("the SQLite table did not read back whole"));
    loaded.reset();

    const long peakKb = peakLoadKb(path);

    Measure::figure("items-" + tag, items);
    Measure::figure("file-bytes-" + tag, double(bytes.size()));
    Measure::figure("load-ms-" + tag, loadMs);
    Measure::figure("read-ms-" + tag, readMs);
    Measure::figure("save-ms-" + tag, saveMs);
    Measure::figure("write-ms-" + tag, writeMs);
    Measure::figure("sqlite-load-ms-" + tag, sqliteMs);
    Measure::figure("load-peak-kb-" + tag, double(peakKb));
    Measure::figure("save-vs-write-" + tag, saveMs / writeMs);
    if (items >= LoadTargetItems)
        run.target("load-vs-read-" + tag, loadMs / readMs, 4);
    else
        Measure::figure("load-vs-read-" + tag, loadMs / readMs);
    run.target("load-peak-vs-file-" + tag, double(peakKb) * 1024 / double(bytes.size()), 3);
    run.target("load-vs-sqlite-" + tag, loadMs / sqliteMs, 1);
}

// One folder's children written as records by hand, in the order given (the writer always stores
// them in list order, which is name order).
QByteArray folderFile(const LinkItem &folder, bool reversed)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    NativeStreamWriter writer(&buffer);
    const auto record = [&writer](const LinkItem &item, int count) {
        writer.writeString(item.Name);
        writer.writeString(item.Url);
        writer.writeString(item.Description);
        writer.writeByte(item.IsFolder);
        writer.writeInt32(item.Visits);
        writer.writeByte(item.Rating);
        writer.writeDouble(item.LastVisit);
        writer.writeInt32(count);
    };
    writer.writeInt32(NativeFile::CurrentVersion);
    const int count = folder.Children.Count();
    record(folder, count);
    for (int i = 0; i < count; ++i)
        record(*folder.Children.Get(reversed ? count - 1 - i : i), 0);
    if (!writer.flush())
        die(writer.errorString());
    return buffer.data();
}

void benchReversedChildren(Run &run)
{
    const auto folder = Collection::makeFlat(ReversedChildren, Seed);
    const QByteArray sorted = folderFile(*folder, false);
    QBuffer check;
    check.open(QIODevice::WriteOnly);
    if (!NativeFile::write(check, *folder, nullptr) || check.data() != sorted)
        die(QStringLiteral("the hand-written records differ from the writer's"));

    const QString sortedPath = run.dir.filePath(QStringLiteral("sorted.qmf"));
    const QString reversedPath = run.dir.filePath(QStringLiteral("reversed.qmf"));
    writeAll(sortedPath, sorted);
    writeAll(reversedPath, folderFile(*folder, true));

    std::unique_ptr<LinkItem> loaded;
    const auto timeLoad = [&](const QString &path) {
        return Measure::medianMs(
            run.repetitions, [&] { loaded = loadFile(path, ReversedChildren); }, [&] { loaded.reset(); });
    };
    const double sortedMs = timeLoad(sortedPath);
    const double reversedMs = timeLoad(reversedPath);
    for (int i = 1; i < loaded->Children.Count(); ++i) {
        if (CompareNames(loaded->Children.Get(i - 1)->Name, loaded->Children.Get(i)->Name) > 0)
            die(QStringLiteral("the reversed folder was not put in name order"));
    }
    loaded.reset();

    const std::string tag = std::to_string(ReversedChildren);
    Measure::figure("load-ms-sorted-children-" + tag, sortedMs);
    Measure::figure("load-ms-reversed-children-" + tag, reversedMs);
    run.target("reversed-vs-sorted-children-" + tag, reversedMs / sortedMs, 1.5);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--measure-load") == 0) {
        QCoreApplication app(argc, argv);
        return measureLoad(argv[2]);
    }
    QCoreApplication app(argc, argv);
    const bool quick = app.arguments().contains(QStringLiteral("--quick"));

    QTemporaryDir dir;
    if (!dir.isValid())
        die(QStringLiteral("no temporary folder"));

    Run run {dir, 7};
    for (const int items : {10000, 100000})
        benchCollection(run, items);
    benchReversedChildren(run);
    if (!quick) {
        run.repetitions = 3;
        benchCollection(run, 1000000);
    }
    return run.allMet ? 0 : 1;
}
