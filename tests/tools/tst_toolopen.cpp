#include "platform/SingleInstance.h"
#include "store/LinkItem.h"
#include "store/NativeFile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>

// What every command does with a data file that is missing, damaged, of a newer format, of another
// program, or held by a running Quillmark: its exit status, every line it writes to standard error, and
// that the file is left as it was.
namespace {
const QString ToolPath = QStringLiteral(QUILLMARK_BIN_DIR "/quillmark-tool");
const QString Profile = QStringLiteral(QUILLMARK_TEST_DATA "/browsers/chromium");

// A folder "A" holding the link "B" with the address "u", which the check does not fetch.
const QByteArray Whole = QByteArray::fromHex("10270000 0100000041 00000000 00000000 01 00000000 00 0000000000000000 "
                                             "01000000 0100000042 0100000075 00000000 00 03000000 04 "
                                             "0000000000000440 00000000");

enum class State { Missing, Damaged, Newer, Foreign, Locked };

QByteArray bytesFor(State state)
{
    switch (state) {
    case State::Missing:
        return {};
    case State::Damaged:
        return Whole.left(Whole.size() - 6);
    case State::Newer:
        return QByteArray::fromHex("11270000") + Whole.mid(4);
    case State::Foreign:
        return "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<TITLE>Bookmarks</TITLE>\n";
    case State::Locked:
        break;
    }
    return Whole;
}

// How the program's reader puts what is wrong with bytes, and how many links it reads of them.
std::pair<QString, int> readOf(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    auto top = LinkItem::MakeFolder("Quillmark");
    const NativeFile::ReadResult result = NativeFile::read(buffer, *top, /*refuseNewer=*/true);
    return {result.error, result.links};
}

// A command and what it says in each state; in the texts %1 is the data file, %2 the reader's error and
// %3 the links read. A missing text means the command is not run in that state.
struct Command
{
    const char *name;
    QStringList arguments; // DATA, IN, OUT, BACKUP are replaced by paths
    std::optional<std::pair<int, QString>> missing;
    int damagedExit;
    QString damaged;
    QString newer; // also for a file of another program: its first bytes read as a version above 10000
    int lockedExit;
    QString locked;
};

const QString Warning = QStringLiteral("quillmark-tool: warning: %1 is damaged; only part of it was read: %2\n");
const QString Newer = QStringLiteral("quillmark-tool: %1: %2\n");
const QString CannotOpen = QStringLiteral("quillmark-tool: Cannot open file %1: No such file or directory\n");
const QString LeftAlone = QStringLiteral("quillmark-tool: %1 was left alone; nothing was imported.\n");
const QString NotWhole = QStringLiteral("quillmark-tool: %1 cannot be read whole: %2\n");
const QString NotSynced = QStringLiteral("quillmark-tool: %1: %2; it was left alone and nothing was synced.\n");
const QString Checked = QStringLiteral("%3 links checked: 0 ok, 0 moved, 0 redirected, 0 broken, 0 unreachable "
                                       "(0 rate limited), %3 not checked\n");
QString running(const char *change, const char *advice)
{
    return QStringLiteral("quillmark-tool: Quillmark is running and holds %1; it would write over %2 when it ends. "
                          "%3\n")
        .arg(QStringLiteral("%1"), QLatin1String(change), QLatin1String(advice));
}

QList<Command> commands()
{
    const QString sync = QStringLiteral("sync");
    return {
        {"dump", {u"dump"_qs}, std::pair {0, QString()}, 3, Warning, Newer, 0, QString()},
        {"dump FILE", {u"dump"_qs, u"DATA"_qs}, std::pair {2, CannotOpen}, 3, Warning, Newer, 0, QString()},
        {"convert", {u"convert"_qs, u"DATA"_qs, u"OUT"_qs}, std::pair {2, CannotOpen}, 3, Warning, Newer, 0, QString()},
        {"export",
         {u"export"_qs, u"--format"_qs, u"xbel"_qs, u"DATA"_qs, u"OUT"_qs},
         std::pair {2, CannotOpen},
         3,
         Warning,
         Newer,
         0,
         QString()},
        {"import",
         {u"import"_qs, u"--format"_qs, u"qmf"_qs, u"IN"_qs, u"DATA"_qs},
         std::pair {0, QString()},
         3,
         Warning + LeftAlone,
         Newer + LeftAlone,
         4,
         running("the import", "Exit Quillmark, then import again.")},
        {"import --from",
         {u"import"_qs, u"--from"_qs, u"chromium"_qs, u"--profile"_qs, Profile, u"DATA"_qs},
         std::pair {0, QString()},
         3,
         Warning + LeftAlone,
         Newer + LeftAlone,
         4,
         running("the import", "Exit Quillmark, then import again.")},
        {"duplicates", {u"duplicates"_qs, u"DATA"_qs}, std::pair {2, CannotOpen}, 3, NotWhole, NotWhole, 0, QString()},
        {"dedupe",
         {u"dedupe"_qs, u"DATA"_qs},
         std::pair {2, CannotOpen + QStringLiteral("quillmark-tool: %1 was left alone.\n")},
         3,
         NotWhole + QStringLiteral("quillmark-tool: %1 was left alone.\n"),
         NotWhole + QStringLiteral("quillmark-tool: %1 was left alone.\n"),
         4,
         running("the change", "Exit Quillmark, then run dedupe again.")},
        {"check", {u"check"_qs, u"DATA"_qs}, std::pair {2, CannotOpen}, 3, Warning + Checked, Newer, 0, Checked},
        // Without a file, sync goes on to the server.
        {"sync",
         {sync, u"--url"_qs, u"http://127.0.0.1:1/"_qs, u"--file"_qs, u"b.xbel"_qs, u"DATA"_qs},
         std::nullopt,
         3,
         NotSynced,
         NotSynced,
         4,
         running("the sync", "Exit Quillmark, or sync from its window.")},
    };
}
} // namespace

class TestToolOpen : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void policy_data();
    void policy();

private:
    QTemporaryDir m_runtime;
};

// The running program's lock lies in the runtime folder: a folder of the test's own keeps the Quillmark it
// stands in for apart from other programs and tests of this user, and the tool inherits it.
void TestToolOpen::initTestCase()
{
    QVERIFY(m_runtime.isValid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
}

void TestToolOpen::policy_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("errors");
    const std::pair<State, const char *> states[] = {{State::Missing, "missing"},
                                                     {State::Damaged, "damaged"},
                                                     {State::Newer, "newer"},
                                                     {State::Foreign, "foreign"},
                                                     {State::Locked, "locked"}};
    for (const Command &command : commands()) {
        for (const auto &[state, stateName] : states) {
            int exitCode = command.damagedExit;
            QString errors = command.damaged;
            if (state == State::Missing) {
                if (!command.missing)
                    continue;
                std::tie(exitCode, errors) = *command.missing;
            } else if (state == State::Newer || state == State::Foreign) {
                errors = command.newer;
            } else if (state == State::Locked) {
                exitCode = command.lockedExit;
                errors = command.locked;
            }
            QTest::addRow("%s, %s", command.name, stateName) << command.arguments << int(state) << exitCode << errors;
        }
    }
}

void TestToolOpen::policy()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, state);
    QFETCH(int, exitCode);
    QFETCH(QString, errors);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString dataFile = dir.filePath(u"data-home/Quillmark/Quillmark.dat"_qs);
    const QByteArray bytes = bytesFor(State(state));
    if (State(state) != State::Missing) {
        QVERIFY(QDir().mkpath(QFileInfo(dataFile).absolutePath()));
        QFile file(dataFile);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }
    QFile in(dir.filePath(u"in.qmf"_qs));
    QVERIFY(in.open(QIODevice::WriteOnly) && in.write(Whole) == Whole.size());
    in.close();
    for (QString &argument : arguments) {
        if (argument == u"DATA"_qs)
            argument = dataFile;
        else if (argument == u"IN"_qs || argument == u"OUT"_qs)
            argument = dir.filePath(argument == u"IN"_qs ? u"in.qmf"_qs : u"out"_qs);
    }

    std::unique_ptr<SingleInstance> quillmark;
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"XDG_DATA_HOME"_qs, dir.filePath(u"data-home"_qs));
    process.setProcessEnvironment(environment);
    if (State(state) == State::Locked) {
        quillmark = std::make_unique<SingleInstance>();
        QCOMPARE(quillmark->start(), SingleInstance::Role::Primary);
    }
    process.start(ToolPath, arguments);
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);

    const auto [error, links] = readOf(bytes);
    const QString expected = QString(errors)
                                 .replace(u"%1"_qs, QDir::toNativeSeparators(dataFile))
                                 .replace(u"%2"_qs, error)
                                 .replace(u"%3"_qs, QString::number(links));
    QCOMPARE(QString::fromLocal8Bit(process.readAllStandardError()), expected);
    QCOMPARE(process.exitCode(), exitCode);
    if (State(state) != State::Missing) {
        QFile file(dataFile);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), bytes);
    } else if (exitCode != 0) {
        QVERIFY(!QFileInfo::exists(dataFile));
    }
}

QTEST_GUILESS_MAIN(TestToolOpen)
#include "tst_toolopen.moc"
