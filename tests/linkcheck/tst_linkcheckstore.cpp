#include "common/SpecialFiles.h"
#include "linkcheck/LinkCheckStore.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestLinkCheckStore : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip()
    {
        QTemporaryDir dir;
        const QString path = LinkCheckStore::pathFor(dir.filePath(QStringLiteral("Quillmark.dat")));
        QCOMPARE(QFileInfo(path).fileName(), QStringLiteral("Quillmark.dat.links"));
        LinkCheckStore store;
        QVERIFY(store.load(path)); // none yet
        QCOMPARE(store.count(), 0);
        LinkCheckResult moved;
        moved.outcome = LinkCheckResult::Moved;
        moved.status = 200;
        moved.finalUrl = QStringLiteral("https://new.invalid/a b");
        moved.reason = QStringLiteral("Moved \"permanently\"\n\ttwice");
        moved.chain = {QStringLiteral("x"), QStringLiteral("y")};
        moved.checkedAt = QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7, 890), Qt::UTC);
        LinkCheckResult broken;
        broken.outcome = LinkCheckResult::Broken;
        broken.status = 404;
        broken.checkedAt = QDateTime::currentDateTime();
        store.set(QStringLiteral("http://old.invalid/ä"), moved);
        store.set(QStringLiteral("http://gone.invalid/"), broken);
        store.set(QStringLiteral("http://edited.invalid/"), broken);
        store.remove(QStringLiteral("http://edited.invalid/"));
        QVERIFY2(store.save(path), qPrintable(store.errorString()));

        LinkCheckStore again;
        QVERIFY(again.load(path));
        QCOMPARE(again.count(), 2);
        QVERIFY(!again.find(QStringLiteral("http://edited.invalid/")));
        const LinkCheckResult *read = again.find(QStringLiteral("http://old.invalid/ä"));
        QVERIFY(read);
        QCOMPARE(read->outcome, LinkCheckResult::Moved);
        QCOMPARE(read->status, 200);
        QCOMPARE(read->finalUrl, moved.finalUrl);
        QCOMPARE(read->reason, moved.reason);
        QCOMPARE(read->checkedAt, QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7), Qt::UTC));
        QCOMPARE(again.find(QStringLiteral("http://gone.invalid/"))->outcome, LinkCheckResult::Broken);
        QCOMPARE(again.toBytes(), store.toBytes());
    }

    // Damaged side files give what can be read of them and never more.
    void brokenFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<int>("entries");

        QTest::newRow("empty") << "empty.links" << false << 0;
        QTest::newRow("bad entries") << "unknown-outcome-empty-url-bad-date.links" << true << 2;
        QTest::newRow("cut") << "cut-in-second-entry.links" << false << 0;
        QTest::newRow("other format") << "other-format.links" << false << 0;
        QTest::newRow("links not a list") << "links-not-a-list.links" << true << 0;
        QTest::newRow("wrong types") << "entries-of-wrong-types.links" << true << 1;
        QTest::newRow("nested deep") << "nested-deep.links" << false << 0;
        QTest::newRow("binary") << "binary.links" << false << 0;
    }

    void brokenFiles()
    {
        QFETCH(QString, file);
        QFETCH(bool, readable);
        QFETCH(int, entries);
        LinkCheckStore store;
        store.set(QStringLiteral("http://before.invalid/"), LinkCheckResult());
        QCOMPARE(store.load(QStringLiteral(QUILLMARK_TEST_DATA "/broken-links/") + file), readable);
        QCOMPARE(store.count(), entries);
        QCOMPARE(store.errorString().isEmpty(), readable);
        for (const LinkCheckResult &result : store.all()) {
            QVERIFY(result.status >= 0 && result.status <= 999);
            QVERIFY(result.checkedAt.isValid());
        }
        // What was read is written back as it was read.
        LinkCheckStore again;
        QVERIFY(again.loadBytes(store.toBytes()));
        QCOMPARE(again.toBytes(), store.toBytes());
    }

    // A rate-limited site that an older check called broken reads as what it is.
    void rateLimitedKeptAsBroken()
    {
        LinkCheckStore store;
        QVERIFY(store.loadBytes("{\"format\": \"quillmark-link-check\", \"version\": 1, \"links\": ["
                                "{\"url\": \"http://busy.invalid/\", \"outcome\": \"broken\", \"status\": 429, "
                                "\"checked\": \"2026-03-04T05:06:07Z\"}, "
                                "{\"url\": \"http://gone.invalid/\", \"outcome\": \"broken\", \"status\": 404, "
                                "\"checked\": \"2026-03-04T05:06:07Z\"}]}"));
        QVERIFY(store.find(QStringLiteral("http://busy.invalid/"))->isRateLimited());
        QCOMPARE(store.find(QStringLiteral("http://gone.invalid/"))->outcome, LinkCheckResult::Broken);
    }

    void notRegularFiles_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("FIFO") << "fifo";
        QTest::newRow("link to a FIFO") << "link";
        QTest::newRow("device") << "device";
        QTest::newRow("folder") << "folder";
    }

    // Only a regular file is read: a FIFO in the side file's place would keep the start waiting for a writer.
    void notRegularFiles()
    {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QString path = LinkCheckStore::pathFor(dir.filePath(QStringLiteral("Quillmark.dat")));
        const QString fifo = dir.filePath(QStringLiteral("fifo"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        if (kind == QLatin1String("fifo"))
            QVERIFY(QFile::rename(fifo, path));
        else if (kind == QLatin1String("link"))
            QVERIFY(QFile::link(fifo, path));
        else if (kind == QLatin1String("device"))
            QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
        else
            QVERIFY(QDir().mkpath(path));
        // An open that waits for a writer gets one after a while: the test fails on its time, not hangs.
        SpecialFiles::FifoRelease release(kind == QLatin1String("link") ? fifo : path, std::chrono::seconds(3));
        QElapsedTimer clock;
        clock.start();
        LinkCheckStore store;
        QVERIFY(!store.load(path));
        QVERIFY(clock.elapsed() < 2000);
        QVERIFY(!store.errorString().isEmpty());
        QCOMPARE(store.count(), 0);
    }
};

QTEST_GUILESS_MAIN(TestLinkCheckStore)
#include "tst_linkcheckstore.moc"
