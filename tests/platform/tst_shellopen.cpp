#include "platform/ShellOpen.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace platform;

namespace {

// A file name a shell would make a meal of; it must reach the opener exactly as it is.
const QString OddName = QStringLiteral("a b \"q\" ;$(touch pwned) `id` 'x' & | > <.txt");

bool writeFile(const QString &path, const QByteArray &contents, QFile::Permissions permissions)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size()
        && file.setPermissions(permissions);
}

const QFile::Permissions Readable = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
const QFile::Permissions Runnable = Readable | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;

// Names whose handler runs them, executable bit or not.
const char *const RunnableSuffixes[]
    = {"jar", "sh",  "py",  "exe", "bat", "AppImage", "pl",  "rb",  "bash",    "zsh", "csh",
       "ksh", "run", "bin", "com", "cmd", "msi",      "ps1", "vbs", "desktop", "SH",  "Jar"};

// Larger than the part of a file that is read to recognise a desktop entry.
const QByteArray LongComment = "#" + QByteArray(100 * 1024, 'x') + "\n";

} // namespace

class TestShellOpen : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();
    void targets_data();
    void targets();
    void accessDenied_data();
    void accessDenied();
    void slowSchemeQueryIsCutShort();
    void noOpener();
    void launcherFailure();
    void defaultLauncherPassesOneArgument();
    void needsLaunchConfirmation_data();
    void needsLaunchConfirmation();

private:
    QString expand(QString target) const { return target.replace(QLatin1String("%dir%"), m_files.path()); }
    void addTarget(const char *tag, const QString &target, int expected);

    QTemporaryDir m_files;
    QTemporaryDir m_bin; // the only folder on the PATH: a stand-in xdg-open and xdg-mime
    QByteArray m_savedPath;
    ShellLauncher m_savedLauncher;
    QList<QStringList> m_launches; // program followed by its arguments, one entry per launch
    bool m_launchSucceeds = true;
};

void TestShellOpen::initTestCase()
{
    QVERIFY(m_files.isValid());
    QVERIFY(m_bin.isValid());
    QVERIFY(writeFile(m_files.filePath(QStringLiteral("plain.txt")), "text", Readable));
    QVERIFY(writeFile(m_files.filePath(QStringLiteral("with space.txt")), "text", Readable));
    QVERIFY(writeFile(m_files.filePath(OddName), "text", Readable));
    QVERIFY(writeFile(m_files.filePath(QStringLiteral("run.sh")), "#!/bin/sh\n", Runnable));
    QVERIFY(writeFile(m_files.filePath(QStringLiteral("app.desktop")), "[Desktop Entry]\nExec=true\n", Readable));
    QVERIFY(writeFile(m_files.filePath(QStringLiteral("APP2.DESKTOP")), "[Desktop Entry]\nExec=true\n", Readable));
    QVERIFY(QFile::link(m_files.filePath(QStringLiteral("app.desktop")), m_files.filePath(QStringLiteral("launch"))));
    QVERIFY(QDir(m_files.path()).mkdir(QStringLiteral("folder")));

    // What a handler would run: by name, by a chain of links, by contents.
    for (const char *suffix : RunnableSuffixes)
        QVERIFY(writeFile(m_files.filePath(QStringLiteral("file.") + QLatin1String(suffix)), "text", Readable));
    QVERIFY(writeFile(m_files.filePath(QStringLiteral("program")),
                      "\x7f"
                      "ELF",
                      Runnable));
    QVERIFY(QFile::link(m_files.filePath(QStringLiteral("launch")), m_files.filePath(QStringLiteral("hop"))));
    QVERIFY(QFile::link(m_files.filePath(QStringLiteral("hop")), m_files.filePath(QStringLiteral("chain"))));
    QVERIFY(QFile::link(m_files.filePath(QStringLiteral("plain.txt")), m_files.filePath(QStringLiteral("text.sh"))));
    QVERIFY(QFile::link(m_files.filePath(QStringLiteral("text.sh")), m_files.filePath(QStringLiteral("harmless"))));
    const std::pair<const char *, QByteArray> contents[] = {
        {"entry", "[Desktop Entry]\nExec=true\n"},
        {"entry-after-comments", "\n  # made by hand\n\n[Desktop Entry]\nExec=true\n"},
        {"entry-windows", "\xEF\xBB\xBF# Config\r\n\r\n  [Desktop Entry]  \r\nExec=true\r\n"},
        {"entry-after-long-comment", LongComment + "[Desktop Entry]\nExec=true\n"},
        {"header-later", "Name=x\n[Desktop Entry]\nExec=true\n"},
        {"other-group", "# notes\n[Settings]\nExec=true\n"},
        {"long-line", QByteArray(100 * 1024, '\0')},
        {"empty", ""},
    };
    for (const auto &[name, text] : contents)
        QVERIFY(writeFile(m_files.filePath(QLatin1String(name)), text, Readable));
    QVERIFY(::mkfifo(QFile::encodeName(m_files.filePath(QStringLiteral("pipe"))).constData(), 0600) == 0);
    QVERIFY(QFile::link(m_files.filePath(QStringLiteral("pipe")), m_files.filePath(QStringLiteral("to-pipe"))));

    // Reports the single output the real one would give for a handled scheme; "slow" never answers in time.
    QVERIFY(writeFile(m_bin.filePath(QStringLiteral("xdg-mime")),
                      "#!/bin/sh\n"
                      "[ \"$1 $2\" = \"query default\" ] || exit 1\n"
                      "case \"$3\" in\n"
                      "x-scheme-handler/mailto) echo mail-client.desktop ;;\n"
                      "x-scheme-handler/slow) exec /bin/sleep 10 ;;\n"
                      "esac\n",
                      Runnable));
    // Writes the number of arguments and the first one where the test can read them.
    const QByteArray record = QFile::encodeName(m_files.filePath(QStringLiteral("opened")));
    QVERIFY(writeFile(m_bin.filePath(QStringLiteral("xdg-open")),
                      "#!/bin/sh\nprintf '%s\\n%s\\n' \"$#\" \"$1\" > '" + record + "'\n", Runnable));

    m_savedPath = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(m_bin.path()));
    m_savedLauncher = setShellLauncher([this](const QString &program, const QStringList &arguments) {
        m_launches.append(QStringList {program} + arguments);
        return m_launchSucceeds;
    });
}

void TestShellOpen::init()
{
    m_launches.clear();
    m_launchSucceeds = true;
}

void TestShellOpen::cleanupTestCase()
{
    setShellLauncher(m_savedLauncher);
    qputenv("PATH", m_savedPath);
}

void TestShellOpen::addTarget(const char *tag, const QString &target, int expected)
{
    QTest::newRow(tag) << target << expected;
}

void TestShellOpen::targets_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("expected");

    addTarget("existing file", QStringLiteral("%dir%/plain.txt"), ShellResult::Success);
    addTarget("shell characters in the name", QStringLiteral("%dir%/") + OddName, ShellResult::Success);
    addTarget("existing folder", QStringLiteral("%dir%/folder"), ShellResult::Success);
    addTarget("missing file in an existing folder", QStringLiteral("%dir%/missing.txt"), ShellResult::FileNotFound);
    addTarget("missing folder", QStringLiteral("%dir%/nowhere/missing.txt"), ShellResult::PathNotFound);
    addTarget("file below a file", QStringLiteral("%dir%/plain.txt/inner"), ShellResult::PathNotFound);
    addTarget("relative path", QStringLiteral("plain.txt"), ShellResult::FileNotFound);
    addTarget("home-relative path", QStringLiteral("~/plain.txt"), ShellResult::FileNotFound);
    addTarget("resource-like path", QStringLiteral(":/plain.txt"), ShellResult::FileNotFound);
    addTarget("empty", QString(), ShellResult::FileNotFound);
    addTarget("option", QStringLiteral("--help"), ShellResult::FileNotFound);

    addTarget("file URL", QStringLiteral("file://%dir%/plain.txt"), ShellResult::Success);
    addTarget("file URL, escaped", QStringLiteral("file://%dir%/with%20space.txt"), ShellResult::Success);
    addTarget("file URL, localhost", QStringLiteral("file://localhost%dir%/plain.txt"), ShellResult::Success);
    addTarget("file URL, missing file", QStringLiteral("file://%dir%/missing.txt"), ShellResult::FileNotFound);
    addTarget("file URL, missing folder", QStringLiteral("file://%dir%/nowhere/x.txt"), ShellResult::PathNotFound);
    addTarget("file URL, other host", QStringLiteral("file://server/share/x.txt"), ShellResult::PathNotFound);
    addTarget("file URL, relative", QStringLiteral("file:plain.txt"), ShellResult::FileNotFound);

    addTarget("http", QStringLiteral("http://example.com/a?b=c&d=$(id)"), ShellResult::Success);
    addTarget("https", QStringLiteral("HTTPS://example.com/"), ShellResult::Success);
    addTarget("scheme with a handler", QStringLiteral("mailto:someone@example.com"), ShellResult::Success);
    addTarget("scheme in capitals", QStringLiteral("MailTo:someone@example.com"), ShellResult::Success);
    addTarget("scheme without a handler", QStringLiteral("quillmark-nothing:abc"), ShellResult::NoAssociation);
    addTarget("web address without scheme", QStringLiteral("www.example.com"), ShellResult::FileNotFound);
}

void TestShellOpen::targets()
{
    QFETCH(QString, target);
    QFETCH(int, expected);
    target = expand(target);

    QCOMPARE(shellOpen(target), expected);
    if (expected > 32) {
        QCOMPARE(m_launches.size(), 1);
        QCOMPARE(m_launches.first(), (QStringList {m_bin.filePath(QStringLiteral("xdg-open")), target}));
    } else {
        QCOMPARE(m_launches.size(), 0);
    }
}

void TestShellOpen::accessDenied_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("closed");

    QTest::newRow("unreadable file") << QStringLiteral("%dir%/secret.txt") << QStringLiteral("%dir%/secret.txt");
    QTest::newRow("file in a closed folder") << QStringLiteral("%dir%/closed/x.txt") << QStringLiteral("%dir%/closed");
}

void TestShellOpen::accessDenied()
{
    if (::geteuid() == 0)
        QSKIP("root reads every file whatever its permission bits say");
    QFETCH(QString, target);
    QFETCH(QString, closed);
    target = expand(target);
    closed = expand(closed);
    if (target == closed) {
        QVERIFY(writeFile(target, "text", Readable));
    } else {
        QVERIFY(QDir().mkpath(closed));
        QVERIFY(writeFile(target, "text", Readable));
    }
    QVERIFY(QFile::setPermissions(closed, QFile::WriteOwner));

    const int result = shellOpen(target);
    QFile::setPermissions(closed, Runnable);
    QCOMPARE(result, ShellResult::AccessDenied);
    QCOMPARE(m_launches.size(), 0);
}

// A desktop that cannot say whether a scheme has a handler must not hold the program up; the opener gets the link.
void TestShellOpen::slowSchemeQueryIsCutShort()
{
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(shellOpen(QStringLiteral("slow:thing")), ShellResult::Success);
    QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(m_launches.size(), 1);
}

void TestShellOpen::noOpener()
{
    QTemporaryDir empty;
    qputenv("PATH", QFile::encodeName(empty.path()));
    const int file = shellOpen(m_files.filePath(QStringLiteral("plain.txt")));
    const int web = shellOpen(QStringLiteral("http://example.com/"));
    qputenv("PATH", QFile::encodeName(m_bin.path()));

    QCOMPARE(file, ShellResult::NoAssociation);
    QCOMPARE(web, ShellResult::NoAssociation);
    QCOMPARE(m_launches.size(), 0);
}

void TestShellOpen::launcherFailure()
{
    m_launchSucceeds = false;
    QCOMPARE(shellOpen(m_files.filePath(QStringLiteral("plain.txt"))), ShellResult::NoAssociation);
    QCOMPARE(m_launches.size(), 1);
}

// The real launcher starts the stand-in xdg-open, which records what it received.
void TestShellOpen::defaultLauncherPassesOneArgument()
{
    const QString target = m_files.filePath(OddName);
    const QString record = m_files.filePath(QStringLiteral("opened"));
    QFile::remove(record);
    const ShellLauncher test = setShellLauncher({});
    const int result = shellOpen(target);
    setShellLauncher(test);
    QCOMPARE(result, ShellResult::Success);

    const auto recorded = [&record] {
        QFile file(record);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    };
    QTRY_COMPARE_WITH_TIMEOUT(recorded(), QStringLiteral("1\n") + target + QLatin1Char('\n'), 10000);
    QVERIFY(!QFile::exists(m_files.filePath(QStringLiteral("pwned"))));
}

void TestShellOpen::needsLaunchConfirmation_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("expected");

    QTest::newRow("executable file") << QStringLiteral("%dir%/run.sh") << true;
    QTest::newRow("executable file as URL") << QStringLiteral("file://%dir%/run.sh") << true;
    QTest::newRow("desktop entry") << QStringLiteral("%dir%/app.desktop") << true;
    QTest::newRow("desktop entry in capitals") << QStringLiteral("%dir%/APP2.DESKTOP") << true;
    QTest::newRow("link to a desktop entry") << QStringLiteral("%dir%/launch") << true;
    QTest::newRow("chain of links to a desktop entry") << QStringLiteral("%dir%/chain") << true;
    QTest::newRow("chain of links through a script name") << QStringLiteral("%dir%/harmless") << true;
    QTest::newRow("link named as a script") << QStringLiteral("%dir%/text.sh") << true;
    QTest::newRow("executable bit only") << QStringLiteral("%dir%/program") << true;
    for (const char *suffix : RunnableSuffixes)
        QTest::addRow("suffix %s", suffix) << QStringLiteral("%dir%/file.") + QLatin1String(suffix) << true;
    QTest::newRow("desktop entry without suffix") << QStringLiteral("%dir%/entry") << true;
    QTest::newRow("desktop entry after comments") << QStringLiteral("%dir%/entry-after-comments") << true;
    QTest::newRow("desktop entry, BOM and CRLF") << QStringLiteral("file://%dir%/entry-windows") << true;
    QTest::newRow("comments longer than what is read") << QStringLiteral("%dir%/entry-after-long-comment") << true;
    QTest::newRow("header not first") << QStringLiteral("%dir%/header-later") << false;
    QTest::newRow("other group") << QStringLiteral("%dir%/other-group") << false;
    QTest::newRow("first line longer than what is read") << QStringLiteral("%dir%/long-line") << false;
    QTest::newRow("empty file") << QStringLiteral("%dir%/empty") << false;
    QTest::newRow("FIFO") << QStringLiteral("%dir%/pipe") << false;
    QTest::newRow("link to a FIFO") << QStringLiteral("%dir%/to-pipe") << false;
    QTest::newRow("plain text") << QStringLiteral("%dir%/plain.txt") << false;
    QTest::newRow("folder") << QStringLiteral("%dir%/folder") << false;
    QTest::newRow("missing desktop entry") << QStringLiteral("%dir%/gone.desktop") << false;
    QTest::newRow("relative desktop entry") << QStringLiteral("app.desktop") << false;
    QTest::newRow("web address") << QStringLiteral("http://example.com/app.desktop") << false;
    QTest::newRow("web address of a script") << QStringLiteral("https://example.com/install.sh") << false;
}

// A FIFO without a writer would block whoever reads it: the answer must come at once.
void TestShellOpen::needsLaunchConfirmation()
{
    QFETCH(QString, target);
    QFETCH(bool, expected);
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(platform::needsLaunchConfirmation(expand(target)), expected);
    QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
}

QTEST_GUILESS_MAIN(TestShellOpen)
#include "tst_shellopen.moc"
