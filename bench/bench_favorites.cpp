// Benchmarks the Internet Explorer Favorites import: a Favorites tree of 10,000 shortcut files in 500
// folders is imported into an empty folder, measured against a baseline of the same run: reading the
// same files' bytes with QFile, one file after the other.
//
//   quillmark-bench-favorites [--quick]     10,000 files in 500 folders (--quick: 1,000 in 50)
// The exit status is 1 when a target was missed.
#include "Measure.h"

#include "formats/FavoritesReader.h"
#include "store/LinkItem.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int FilesPerFolder = 20;
constexpr int SubfoldersPerFolder = 19; // 25 top folders with 19 below each: 500 folders

[[noreturn]] void die(const QString &message)
{
    std::fprintf(stderr, "quillmark-bench-favorites: %s\n", qPrintable(message));
    std::exit(2);
}

// A shortcut as the browser writes it, with a URL of varying length.
QByteArray shortcut(int number)
{
    const QByteArray url = "https://www.site" + QByteArray::number(number % 977) + ".example.com/articles/"
        + QByteArray(number % 60, 'p') + "/page" + QByteArray::number(number) + ".html";
    return "[DEFAULT]\r\nBASEURL=" + url + "\r\n[InternetShortcut]\r\nURL=" + url
        + "\r\nIDList=\r\nHotKey=0\r\nIconFile=https://www.site.example.com/favicon.ico\r\nIconIndex=1\r\n"
          "[{000214A0-0000-0000-C000-000000000046}]\r\nProp3=19,11\r\n";
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        die(path + QStringLiteral(": ") + file.errorString());
}

// Builds the tree below root and returns the shortcut files' paths.
QStringList buildFavorites(const QString &root, int topFolders)
{
    QStringList files;
    int number = 0;
    const auto fill = [&](const QString &folder) {
        if (!QDir().mkpath(folder))
            die(QStringLiteral("cannot create ") + folder);
        for (int i = 0; i < FilesPerFolder; ++i, ++number) {
            const QString path = folder + QStringLiteral("/Site %1 - Some page title.url").arg(number);
            writeFile(path, shortcut(number));
            files << path;
        }
    };
    for (int top = 0; top < topFolders; ++top) {
        const QString folder = root + QStringLiteral("/Topic %1").arg(top);
        fill(folder);
        for (int sub = 0; sub < SubfoldersPerFolder; ++sub)
            fill(folder + QStringLiteral("/Subtopic %1").arg(sub));
    }
    return files;
}

// Of sorted values.
double median(const std::vector<double> &values)
{
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

qint64 readEvery(const QStringList &files)
{
    qint64 total = 0;
    for (const QString &path : files) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            die(path + QStringLiteral(": ") + file.errorString());
        total += file.readAll().size();
    }
    return total;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const bool quick = app.arguments().contains(QStringLiteral("--quick"));
    const int topFolders = quick ? 2 : 25;
    const int repetitions = quick ? 5 : 15;

    QTemporaryDir dir;
    if (!dir.isValid())
        die(QStringLiteral("no temporary folder"));
    const QString root = dir.filePath(QStringLiteral("Favorites"));
    const QStringList files = buildFavorites(root, topFolders);
    const int folders = topFolders * (1 + SubfoldersPerFolder);

    // Once outside the timing: the files are in the cache for both, and the import is checked whole.
    const qint64 bytes = readEvery(files);
    {
        LinkItem target;
        const ImportReport report = FavoritesReader::importDirectory(root, target);
        if (report.folders != folders || report.links != files.size())
            die(QStringLiteral("the import read %1 folders and %2 links").arg(report.folders).arg(report.links));
    }

    // Rounds of one read and one import each. The ratio is the median of the rounds' ratios: the two halves
    // of a round see the machine alike, while the fastest read and the fastest import of a run may come
    // from rounds far apart on a busy machine.
    qint64 sink = 0;
    std::vector<double> readTimes, importTimes, ratios;
    std::unique_ptr<LinkItem> target;
    for (int round = 0; round < repetitions; ++round) {
        readTimes.push_back(Measure::medianMs(1, [&] { sink += readEvery(files); }));
        importTimes.push_back(Measure::medianMs(
            1, [&] { sink += FavoritesReader::importDirectory(root, *target).links; },
            [&] { target = std::make_unique<LinkItem>(); }));
        ratios.push_back(importTimes.back() / readTimes.back());
    }
    target.reset();
    std::sort(readTimes.begin(), readTimes.end());
    std::sort(importTimes.begin(), importTimes.end());

    Measure::figure("files", files.size());
    Measure::figure("folders", folders);
    Measure::figure("bytes", double(bytes));
    Measure::figure("read_bytes_ms", median(readTimes));
    Measure::figure("import_ms", median(importTimes));
    Measure::figure("read_bytes_fastest_ms", readTimes.front());
    Measure::figure("import_fastest_ms", importTimes.front());
    const bool met = Measure::ratio("import_vs_read_bytes", Measure::median(ratios), 2.0);
    return (met && sink > 0) ? 0 : 1;
}
