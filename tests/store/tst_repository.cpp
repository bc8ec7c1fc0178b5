#include "common/RecordingReporter.h"
#include "common/Sanitizers.h"
#include "common/TreeBuilders.h"
#include "store/DataFilePrefetch.h"
#include "store/ErrorReporter.h"
#include "store/LinkItem.h"
#include "store/NativeFile.h"
#include "store/Repository.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace TreeBuilders;

namespace {
QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QStringList setAsideFiles()
{
    return QDir(Repository::DataFolder())
        .entryList({QStringLiteral("Quillmark.dat.unreadable-*")}, QDir::Files | QDir::Dirs);
}
} // namespace

class TestRepository : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void firstRunWritesTheEmptyRoot();
    void appDataWithOrWithoutSeparator();
    void loadsBothVersions_data();
    void loadsBothVersions();
    void unreadableFilesAreSetAside_data();
    void unreadableFilesAreSetAside();
    void damagedFileBehindALinkIsKept();
    void fileThatCannotBeOpenedIsKept();
    void failedSaveKeepsTheOldFile();
    void prefetchedLoadIsTheSame_data();
    void prefetchedLoadIsTheSame();
    void prefetchFollowsAMovedDataFile();
    void hugeDataFile_data();
    void hugeDataFile();
    void privateUnderAnyUmask_data();
    void privateUnderAnyUmask();

private:
    std::unique_ptr<QTemporaryDir> m_home;
};

void TestRepository::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_home->filePath(QStringLiteral("data"))));
}

void TestRepository::cleanup()
{
    m_home.reset();
}

void TestRepository::firstRunWritesTheEmptyRoot()
{
    RecordingReporter reporter;
    Repository repository(&reporter);
    QCOMPARE(repository.loadState(), Repository::LoadState::NoFile);
    QCOMPARE(repository.Root()->Name, std::string("Quillmark"));
    QCOMPARE(repository.Root()->IsFolder, 1);
    QCOMPARE(repository.Root()->Children.Count(), 0);
    QVERIFY(!QFileInfo::exists(Repository::DataFolder()));

    QVERIFY(repository.Save());
    QVERIFY(reporter.errors.isEmpty());
    const QByteArray expected = QByteArray::fromHex("10270000"
                                                    "09000000")
        + "Quillmark"
        + QByteArray::fromHex("00000000"
                              "00000000"
                              "01"
                              "00000000"
                              "00"
                              "0000000000000000"
                              "00000000");
    QCOMPARE(expected.size(), 43);
    QCOMPARE(readAll(Repository::DataFile()).toHex(), expected.toHex());

#ifdef Q_OS_UNIX
    // Private data: the folder is the owner's alone, and so is the file.
    QCOMPARE(QFileInfo(Repository::DataFolder()).permissions() & 0x0077, QFileDevice::Permissions());
    QCOMPARE(QFileInfo(Repository::DataFile()).permissions() & 0x0077, QFileDevice::Permissions());
#endif
    // Nothing is left behind by the atomic write.
    QCOMPARE(QDir(Repository::DataFolder()).entryList(QDir::Files), QStringList {QStringLiteral("Quillmark.dat")});
}

void TestRepository::appDataWithOrWithoutSeparator()
{
    const QString base = m_home->filePath(QStringLiteral("data"));
    qputenv("XDG_DATA_HOME", QFile::encodeName(base));
    const QString without = Repository::DataFolder();
    qputenv("XDG_DATA_HOME", QFile::encodeName(base + QLatin1Char('/')));
    QCOMPARE(Repository::DataFolder(), without);
    QCOMPARE(without, base + QStringLiteral("/Quillmark/"));
    QCOMPARE(Repository::DataFile(), without + QStringLiteral("Quillmark.dat"));
}

void TestRepository::loadsBothVersions_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("rating");

    const QByteArray child = fields10000("link", "http://x", false, 7);
    QByteArray rated = child;
    rated[rated.size() - 9] = 3;
    QTest::newRow("version 10000") << int32(10000) + fields10000("My Links") + int32(1) + rated + int32(0) << 3;
    QTest::newRow("first version") << firstVersionFields("My Links") + int32(1)
            + firstVersionFields("link", "http://x", false, 7)
            + int32(0) << 0;
}

void TestRepository::loadsBothVersions()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, rating);
    writeAll(Repository::DataFile(), bytes);

    RecordingReporter reporter;
    Repository repository(&reporter);
    QCOMPARE(repository.loadState(), Repository::LoadState::Loaded);
    QVERIFY(reporter.errors.isEmpty());
    QVERIFY(setAsideFiles().isEmpty());
    // The stored root name replaces "Quillmark".
    QCOMPARE(repository.Root()->Name, std::string("My Links"));
    QCOMPARE(repository.Root()->Children.Count(), 1);
    const LinkItem *link = repository.Root()->Children.Get(0);
    QCOMPARE(link->Url, std::string("http://x"));
    QCOMPARE(link->Visits, 7);
    QCOMPARE(int(link->Rating), rating);

    // The next save writes version 10000.
    QVERIFY(repository.Save());
    QCOMPARE(readAll(Repository::DataFile()).left(4), int32(10000));
}

void TestRepository::unreadableFilesAreSetAside_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("state");
    QTest::addColumn<QStringList>("errors");
    QTest::addColumn<int>("children");

    const QStringList refused {QStringLiteral("Error|Uncorrect data format.")};
    QTest::newRow("version 10001") << int32(10001) + fields10000("x") + int32(0)
                                   << int(Repository::LoadState::NewerVersion) << refused << 0;
    QTest::newRow("first version, root name over 10000 bytes")
        << firstVersionFields(QByteArray(10001, 'r')) + int32(0) << int(Repository::LoadState::NewerVersion) << refused
        << 0;
    // A damaged file loads as far as it goes: two of three children survive the cut.
    const QByteArray whole = int32(10000) + fields10000("root") + int32(3) + fields10000("a", "1", false) + int32(0)
        + fields10000("b", "2", false) + int32(0) + fields10000("c", "3", false) + int32(0);
    QTest::newRow("truncated") << whole.left(whole.size() - 10) << int(Repository::LoadState::Damaged) << QStringList()
                               << 3;
    QTest::newRow("cut inside the third name")
        << whole.left(whole.size() - 30) << int(Repository::LoadState::Damaged) << QStringList() << 2;
    QTest::newRow("empty file") << QByteArray() << int(Repository::LoadState::Damaged) << QStringList() << 0;
}

void TestRepository::unreadableFilesAreSetAside()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, state);
    QFETCH(QStringList, errors);
    QFETCH(int, children);
    writeAll(Repository::DataFile(), bytes);

    RecordingReporter reporter;
    Repository repository(&reporter);
    QCOMPARE(int(repository.loadState()), state);
    QCOMPARE(reporter.errors, errors);
    QCOMPARE(repository.Root()->Children.Count(), children);

    // The file as it was is kept beside the data file, and the user is told where.
    const QStringList aside = setAsideFiles();
    QCOMPARE(aside.size(), 1);
    QCOMPARE(repository.setAsidePath(), Repository::DataFolder() + aside.first());
    QCOMPARE(readAll(repository.setAsidePath()), bytes);
    QCOMPARE(reporter.notices.size(), 1);
    QVERIFY(reporter.notices.first().contains(QDir::toNativeSeparators(repository.setAsidePath())));

    QVERIFY(repository.Save());
    QCOMPARE(readAll(repository.setAsidePath()), bytes);
    QCOMPARE(readAll(Repository::DataFile()).left(4), int32(10000));
}

// The data file is a link to the real file: what is set aside is the damaged data, not a second link that would
// show the next save.
void TestRepository::damagedFileBehindALinkIsKept()
{
    const QByteArray damaged = int32(10000) + fields10000("root") + int32(3) + fields10000("a", "1", false);
    const QString real = m_home->filePath(QStringLiteral("elsewhere/real.dat"));
    writeAll(real, damaged);
    QVERIFY(QDir().mkpath(Repository::DataFolder()));
    QVERIFY(QFile::link(real, Repository::DataFile()));

    Repository repository;
    QCOMPARE(repository.loadState(), Repository::LoadState::Damaged);
    QVERIFY(repository.Save());
    QCOMPARE(readAll(repository.setAsidePath()), damaged);
    QCOMPARE(readAll(Repository::DataFile()).left(4), int32(10000));
}

void TestRepository::fileThatCannotBeOpenedIsKept()
{
    // A folder where the data file should be cannot be opened as a file, even by root.
    QVERIFY(QDir().mkpath(Repository::DataFile()));
    writeAll(Repository::DataFile() + QStringLiteral("/inside"), "precious");

    RecordingReporter reporter;
    Repository repository(&reporter);
    QCOMPARE(repository.loadState(), Repository::LoadState::Unreadable);
    QCOMPARE(reporter.errors.size(), 1);
    QCOMPARE(reporter.errors.first(), QStringLiteral("|Cannot open file %1").arg(Repository::DataFile()));
    QCOMPARE(repository.Root()->Name, std::string("Quillmark"));

    QVERIFY(repository.Save());
    QCOMPARE(readAll(repository.setAsidePath() + QStringLiteral("/inside")), QByteArray("precious"));
    QCOMPARE(readAll(Repository::DataFile()).size(), 43);
}

void TestRepository::failedSaveKeepsTheOldFile()
{
#ifndef Q_OS_UNIX
    QSKIP("needs a file size limit to make the disk run out");
#else
    Repository repository;
    addLink(*repository.Root(), "first", "http://first");
    QVERIFY(repository.Save());
    const QByteArray before = readAll(Repository::DataFile());

    // Let the process write no file larger than 64 KiB: the save runs out of room half-way.
    struct rlimit old;
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
    struct rlimit small = old;
    small.rlim_cur = 64 * 1024;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    RecordingReporter reporter;
    Repository failing(&reporter); // loads the small file
    for (int i = 0; i < 20000; ++i)
        addLink(*failing.Root(), "link " + std::to_string(i), std::string(200, 'u'));
    const bool saved = failing.Save();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    QVERIFY(!saved);
    QCOMPARE(reporter.errors, QStringList {QStringLiteral("|Cannot create file %1").arg(Repository::DataFile())});
    QVERIFY(!failing.errorString().isEmpty());
    QCOMPARE(readAll(Repository::DataFile()), before);
    QCOMPARE(failing.Root()->Children.Count(), 20001); // the tree stays in memory
    QCOMPARE(QDir(Repository::DataFolder()).entryList(QDir::Files), QStringList {QStringLiteral("Quillmark.dat")});

    // With room again, the same repository saves.
    QVERIFY(failing.Save());
    QVERIFY(readAll(Repository::DataFile()).size() > 64 * 1024);
#endif
}

void TestRepository::prefetchedLoadIsTheSame_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("blocked"); // a folder stands where the file should be

    const QByteArray whole = int32(10000) + fields10000("root") + int32(2) + fields10000("a", "1", false) + int32(0)
        + fields10000("b", "2", false) + int32(0);
    QTest::newRow("no file") << QByteArray() << false;
    QTest::newRow("whole file") << whole << false;
    QTest::newRow("damaged") << whole.left(whole.size() - 10) << false;
    QTest::newRow("newer version") << int32(10001) + fields10000("x") + int32(0) << false;
    QTest::newRow("cannot be opened") << QByteArray() << true;
}

void TestRepository::prefetchedLoadIsTheSame()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, blocked);
    // The same data file in two homes: one loaded as always, one read ahead on a worker thread.
    struct Outcome
    {
        int state;
        QStringList errors;
        int notices;
        QByteArray tree;
    };
    const auto load = [&](const QString &home, bool prefetched) {
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_home->filePath(home)));
        if (blocked)
            QDir().mkpath(Repository::DataFile());
        else if (!bytes.isEmpty())
            writeAll(Repository::DataFile(), bytes);
        std::unique_ptr<DataFilePrefetch> prefetch;
        if (prefetched)
            prefetch = std::make_unique<DataFilePrefetch>();
        RecordingReporter reporter;
        Repository repository(&reporter, prefetch.get());
        QBuffer tree;
        tree.open(QIODevice::WriteOnly);
        NativeFile::write(tree, *repository.Root(), nullptr);
        reporter.errors.replaceInStrings(m_home->filePath(home), QStringLiteral("<home>"));
        return Outcome {int(repository.loadState()), reporter.errors, int(reporter.notices.size()), tree.data()};
    };
    const Outcome direct = load(QStringLiteral("direct"), false);
    const Outcome prefetched = load(QStringLiteral("prefetched"), true);
    QCOMPARE(prefetched.state, direct.state);
    QCOMPARE(prefetched.errors, direct.errors);
    QCOMPARE(prefetched.notices, direct.notices);
    QCOMPARE(prefetched.tree.toHex(), direct.tree.toHex());
}

void TestRepository::prefetchFollowsAMovedDataFile()
{
    // Reading starts in one home; by the time the repository is made the data file is another one.
    const auto collection = [](int children) {
        QByteArray bytes = int32(10000) + fields10000("root") + int32(children);
        for (int i = 0; i < children; ++i)
            bytes += fields10000(QByteArray::number(i), "u", false) + int32(0);
        return bytes;
    };
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_home->filePath(QStringLiteral("first"))));
    writeAll(Repository::DataFile(), collection(1));
    DataFilePrefetch prefetch;
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_home->filePath(QStringLiteral("second"))));
    writeAll(Repository::DataFile(), collection(3));

    Repository repository(nullptr, &prefetch);
    QCOMPARE(repository.loadState(), Repository::LoadState::Loaded);
    QCOMPARE(repository.Root()->Children.Count(), 3);
    // A second load reads the file again.
    writeAll(Repository::DataFile(), collection(2));
    repository.Load();
    QCOMPARE(repository.Root()->Children.Count(), 2);
}

void TestRepository::hugeDataFile_data()
{
    QTest::addColumn<QByteArray>("front");
    QTest::addColumn<qint64>("headroom"); // address space the process may still take; 0 for no limit
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("children");

    const QByteArray collection = int32(10000) + fields10000("root") + int32(2) + fields10000("a", "1", false)
        + int32(0) + fields10000("b", "2", false) + int32(0);
    // What follows the top record is never read.
    QTest::newRow("collection, then 100 GB of zeros")
        << collection << qint64(0) << int(Repository::LoadState::Loaded) << 2;
    // A name of 2 GB is what a file of 100 GB can describe, but more than the process may take.
    QTest::newRow("name larger than the memory")
        << int32(10000) + int32(0x7fffffff) << (qint64(512) << 20) << int(Repository::LoadState::Unreadable) << 0;
}

// A data file larger than memory (sparse: it takes no disk) is read in pieces as start-up reads it; when
// what it describes does not fit, the program starts with the empty collection and moves the file aside.
void TestRepository::hugeDataFile()
{
    QFETCH(QByteArray, front);
    QFETCH(qint64, headroom);
    QFETCH(int, state);
    QFETCH(int, children);
#ifndef Q_OS_LINUX
    QSKIP("needs a limit on the address space");
#else
    if (headroom > 0 && AddressSanitized)
        QSKIP("The address sanitizer reserves more address space than any limit would leave");
    writeAll(Repository::DataFile(), front);
    const qint64 size = qint64(100) << 30;
    QVERIFY(QFile::resize(Repository::DataFile(), size));

    rlimit old {};
    QCOMPARE(getrlimit(RLIMIT_AS, &old), 0);
    if (headroom > 0) {
        QFile statm(QStringLiteral("/proc/self/statm"));
        QVERIFY(statm.open(QIODevice::ReadOnly));
        const qint64 used = statm.readAll().split(' ').value(0).toLongLong() * ::sysconf(_SC_PAGESIZE);
        rlimit limited = old;
        limited.rlim_cur = rlim_t(used + headroom);
        QCOMPARE(setrlimit(RLIMIT_AS, &limited), 0);
    }
    RecordingReporter reporter;
    std::unique_ptr<Repository> repository;
    {
        DataFilePrefetch prefetch;
        repository = std::make_unique<Repository>(&reporter, &prefetch);
    }
    setrlimit(RLIMIT_AS, &old);

    QCOMPARE(int(repository->loadState()), state);
    QCOMPARE(repository->Root()->Children.Count(), children);
    if (repository->loadState() == Repository::LoadState::Loaded) {
        QVERIFY(reporter.errors.isEmpty());
        QVERIFY(setAsideFiles().isEmpty());
        return;
    }
    QCOMPARE(reporter.errors, QStringList {QStringLiteral("|Cannot open file %1").arg(Repository::DataFile())});
    QCOMPARE(repository->errorString(), QStringLiteral("There is not enough memory to read the file."));
    QCOMPARE(repository->Root()->Name, std::string("Quillmark"));
    // Moved aside whole, not copied.
    QVERIFY(!QFileInfo::exists(Repository::DataFile()));
    QCOMPARE(QFileInfo(repository->setAsidePath()).size(), size);
#endif
}

void TestRepository::privateUnderAnyUmask_data()
{
    QTest::addColumn<bool>("folderExists");
    QTest::newRow("new folders") << false;
    QTest::newRow("folder open to others") << true;
}

// The data folder and file are the user's alone, whatever the file-creation mask; an existing data folder
// that others may enter is closed to them.
void TestRepository::privateUnderAnyUmask()
{
    QFETCH(bool, folderExists);
#ifndef Q_OS_UNIX
    QSKIP("needs a file-creation mask");
#else
    const QString dataHome = m_home->filePath(QStringLiteral("data"));
    if (folderExists) {
        QVERIFY(QDir().mkpath(Repository::DataFolder()));
        QVERIFY(QFile::setPermissions(Repository::DataFolder(), QFileDevice::Permissions(0x7755)));
    }
    const mode_t oldMask = ::umask(0);
    Repository repository;
    const bool saved = repository.Save();
    ::umask(oldMask);
    QVERIFY(saved);

    const auto mode = [](const QString &path) {
        struct stat status = {};
        return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? int(status.st_mode & 0777) : -1;
    };
    QCOMPARE(mode(Repository::DataFolder()), 0700);
    QCOMPARE(mode(Repository::DataFile()), 0600);
    if (!folderExists)
        QCOMPARE(mode(dataHome), 0700); // created for the data folder, so the user's alone as well
#endif
}

QTEST_GUILESS_MAIN(TestRepository)
#include "tst_repository.moc"
