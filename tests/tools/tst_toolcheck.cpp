#include "common/LocalHttpServer.h"
#include "store/LinkItem.h"
#include "store/NativeFile.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <map>

namespace {
const QString ToolPath = QStringLiteral(QUILLMARK_BIN_DIR "/quillmark-tool");

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class TestToolCheck : public QObject
{
    Q_OBJECT

private:
    struct Run
    {
        int exitCode = -1;
        QByteArray out;
        QByteArray err;
    };

    // Runs the tool with the event loop going, so that the test's own server answers it.
    static Run run(const QStringList &arguments)
    {
        QProcess process;
        QSignalSpy finished(&process, &QProcess::finished);
        process.start(ToolPath, arguments);
        Run result;
        if (!finished.wait(60000)) {
            process.kill();
            process.waitForFinished();
            return result;
        }
        result.exitCode = process.exitCode();
        result.out = process.readAllStandardOutput();
        result.err = process.readAllStandardError();
        return result;
    }

    LocalHttpServer m_server;
    LocalHttpServer m_busy; // a site that limits its requests
    QTemporaryDir m_dir;
    QString m_dataFile;

private slots:
    void initTestCase()
    {
        QVERIFY(m_server.isListening());
        m_server.route("/ok", LocalHttpServer::Route {200});
        m_server.route("/old", LocalHttpServer::Route {301, "/ok"});
        m_server.route("/gone", LocalHttpServer::Route {410});
        m_busy.route("/limited", LocalHttpServer::Route {429});
        auto root = LinkItem::MakeFolder("Quillmark");
        auto web = LinkItem::MakeFolder("Web");
        auto deeper = LinkItem::MakeFolder("Deeper");
        deeper->Children.InsertSorted(LinkItem::MakeLink("Gone", m_server.url("/gone").toStdString()));
        web->Children.InsertSorted(LinkItem::MakeLink("Fine", m_server.url("/ok").toStdString()));
        web->Children.InsertSorted(LinkItem::MakeLink("Old", m_server.url("/old").toStdString()));
        web->Children.InsertSorted(LinkItem::MakeLink("Mail", "mailto:someone@example.invalid"));
        web->Children.InsertSorted(LinkItem::MakeLink("Busy", m_busy.url("/limited").toStdString()));
        web->Children.InsertSorted(std::move(deeper));
        root->Children.InsertSorted(std::move(web));
        root->Children.InsertSorted(LinkItem::MakeLink("Outside", "http://outside.invalid/"));
        m_dataFile = m_dir.filePath(QStringLiteral("Quillmark.dat"));
        QString error;
        QVERIFY2(NativeFile::saveAtomically(m_dataFile, *root, &error), qPrintable(error));
    }

    void checksTheFolder()
    {
        const QByteArray before = readAll(m_dataFile);
        const Run result = run({QStringLiteral("check"), QStringLiteral("--folder"), QStringLiteral("Web"),
                                QStringLiteral("--timeout"), QStringLiteral("5"), m_dataFile});
        QCOMPARE(result.exitCode, 0);
        std::map<QString, QJsonObject> byName;
        for (const QByteArray &line : result.out.split('\n')) {
            if (line.isEmpty())
                continue;
            const QJsonObject object = QJsonDocument::fromJson(line).object();
            QVERIFY2(!object.isEmpty(), line.constData());
            byName[object.value(QStringLiteral("name")).toString()] = object;
        }
        QCOMPARE(byName.size(), size_t(5)); // Outside lies outside the folder
        const QJsonObject old = byName[QStringLiteral("Old")];
        QCOMPARE(old.value(QStringLiteral("path")).toString(), QStringLiteral("Quillmark\\Web"));
        QCOMPARE(old.value(QStringLiteral("url")).toString(), m_server.url("/old"));
        QCOMPARE(old.value(QStringLiteral("outcome")).toString(), QStringLiteral("moved"));
        QCOMPARE(old.value(QStringLiteral("status")).toInt(), 200);
        QCOMPARE(old.value(QStringLiteral("finalUrl")).toString(), m_server.url("/ok"));
        const QJsonObject gone = byName[QStringLiteral("Gone")];
        QCOMPARE(gone.value(QStringLiteral("path")).toString(), QStringLiteral("Quillmark\\Web\\Deeper"));
        QCOMPARE(gone.value(QStringLiteral("outcome")).toString(), QStringLiteral("broken"));
        QCOMPARE(gone.value(QStringLiteral("status")).toInt(), 410);
        QCOMPARE(byName[QStringLiteral("Fine")].value(QStringLiteral("outcome")).toString(), QStringLiteral("ok"));
        const QJsonObject mail = byName[QStringLiteral("Mail")];
        QCOMPARE(mail.value(QStringLiteral("outcome")).toString(), QStringLiteral("not-checked"));
        QVERIFY(!mail.value(QStringLiteral("reason")).toString().isEmpty());
        // A rate-limited site is unreachable for now, as the window says too.
        const QJsonObject busy = byName[QStringLiteral("Busy")];
        QCOMPARE(busy.value(QStringLiteral("outcome")).toString(), QStringLiteral("unreachable"));
        QCOMPARE(busy.value(QStringLiteral("verdict")).toString(), QStringLiteral("unreachable (rate limited)"));
        QCOMPARE(busy.value(QStringLiteral("status")).toInt(), 429);
        QCOMPARE(gone.value(QStringLiteral("verdict")).toString(), QStringLiteral("broken"));
        QVERIFY2(result.err.contains("5 links checked: 1 ok, 1 moved, 0 redirected, 1 broken, 1 unreachable (1 rate "
                                     "limited), 1 not checked"),
                 result.err.constData());
        QCOMPARE(readAll(m_dataFile), before);
    }

    void badArguments_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");

        QTest::newRow("no file") << QStringList {} << 2 << "check takes one file";
        QTest::newRow("zero timeout") << QStringList {"--timeout", "0", "DATA"} << 2 << "--timeout takes";
        QTest::newRow("word for jobs") << QStringList {"--jobs", "many", "DATA"} << 2 << "--jobs takes";
        QTest::newRow("jobs without value") << QStringList {"DATA", "--jobs"} << 2 << "--jobs needs a value";
        QTest::newRow("missing folder") << QStringList {"--folder", "Nope", "DATA"} << 2 << "has no folder \"Nope\"";
        QTest::newRow("missing file") << QStringList {"/nonexistent/x.dat"} << 2 << "Cannot open file";
    }

    void badArguments()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        arguments.replaceInStrings(QStringLiteral("DATA"), m_dataFile);
        const Run result = run(QStringList {QStringLiteral("check")} + arguments);
        QCOMPARE(result.exitCode, exitCode);
        QVERIFY2(result.err.contains(message.toUtf8()), result.err.constData());
        QVERIFY(result.out.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestToolCheck)
#include "tst_toolcheck.moc"
