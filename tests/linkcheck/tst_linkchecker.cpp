#include "common/LocalHttpServer.h"
#include "linkcheck/LinkChecker.h"

#include <QElapsedTimer>
#include <QLocale>
#include <QSignalSpy>
#include <QTest>

#include <map>

using Route = LocalHttpServer::Route;
using Mode = LocalHttpServer::Mode;

class TestLinkChecker : public QObject
{
    Q_OBJECT

private:
    // Checks the links and returns each one's result, by number.
    static std::map<int, LinkCheckResult> check(LinkChecker &checker, int waitMs = 20000)
    {
        std::map<int, LinkCheckResult> results;
        connect(&checker, &LinkChecker::linkChecked,
                [&results](int index, const LinkCheckResult &result) { results[index] = result; });
        QSignalSpy finished(&checker, &LinkChecker::finished);
        checker.start();
        if (!finished.wait(waitMs))
            qWarning("the check did not finish");
        return results;
    }

    LocalHttpServer m_server;

private slots:
    void initTestCase()
    {
        QVERIFY(m_server.isListening());
        m_server.route("/ok", Route {200});
        m_server.route("/head405", Route {200, {}, Mode::Answer, 405});
        m_server.route("/head404", Route {200, {}, Mode::Answer, 404});
        m_server.route("/gone", Route {410});
        m_server.route("/m1", Route {301, "/ok"});
        m_server.route("/t1", Route {302, m_server.url("/ok").toLatin1()});
        m_server.route("/p1", Route {308, "/p2"});
        m_server.route("/p2", Route {308, "p3"});
        m_server.route("/p3", Route {308, "/ok"});
        m_server.route("/mixed", Route {301, "/t1"});
        m_server.route("/l1", Route {301, "/l2"});
        m_server.route("/l2", Route {302, "/l1"});
        m_server.route("/error", Route {500});
        m_server.route("/silent", Route {200, {}, Mode::Silent});
        m_server.route("/cut", Route {200, {}, Mode::CloseInHeaders});
        m_server.route("/endless", Route {200, {}, Mode::EndlessBody, 405});
        m_server.route("/garbage", Route {200, {}, Mode::Garbage});
        Route limited {429};
        limited.headers = "Retry-After: 2\r\n";
        m_server.route("/limited", limited);
        m_server.route("/nowhere", Route {301});
        Route headSilent {200};
        headSilent.headSilent = true;
        m_server.route("/head-silent", headSilent);
    }

    void outcome_data()
    {
        QTest::addColumn<QString>("url"); // a path alone is on the test's server
        QTest::addColumn<int>("outcome");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("finalPath");
        QTest::addColumn<int>("requests"); // -1: the network library may try again by itself

        QTest::newRow("200") << "/ok" << int(LinkCheckResult::Ok) << 200 << "" << 1;
        QTest::newRow("HEAD 405, GET 200") << "/head405" << int(LinkCheckResult::Ok) << 200 << "" << 2;
        QTest::newRow("HEAD 404, GET 200") << "/head404" << int(LinkCheckResult::Ok) << 200 << "" << 2;
        QTest::newRow("404") << "/missing" << int(LinkCheckResult::Broken) << 404 << "" << 2;
        QTest::newRow("410") << "/gone" << int(LinkCheckResult::Broken) << 410 << "" << 2;
        QTest::newRow("301 to 200") << "/m1" << int(LinkCheckResult::Moved) << 200 << "/ok" << 2;
        QTest::newRow("302 to 200") << "/t1" << int(LinkCheckResult::Redirected) << 200 << "/ok" << 2;
        QTest::newRow("308 chain of 3") << "/p1" << int(LinkCheckResult::Moved) << 200 << "/ok" << 4;
        QTest::newRow("301 then 302") << "/mixed" << int(LinkCheckResult::Redirected) << 200 << "/ok" << 3;
        QTest::newRow("redirect loop") << "/l1" << int(LinkCheckResult::Broken) << 302 << "/l1" << 2;
        QTest::newRow("500") << "/error" << int(LinkCheckResult::Unreachable) << 500 << "" << 2;
        QTest::newRow("never answers") << "/silent" << int(LinkCheckResult::Unreachable) << 0 << "" << 2;
        // LinkChecker 10.2.1 on the same answers: "Valid: 429 Too Many Requests" with the warning "Rate limited
        // (Retry-After: 2)"; here it is unreachable for now, never broken, and not asked again at once.
        QTest::newRow("429") << "/limited" << int(LinkCheckResult::Unreachable) << 429 << "" << 1;
        // LinkChecker says "Valid: 301 Moved Permanently"; but a redirect that names no address leads nowhere.
        QTest::newRow("301 without Location") << "/nowhere" << int(LinkCheckResult::Broken) << 301 << "" << 1;
        // LinkChecker asks with GET alone and gets 200; here the HEAD times out and the GET is asked then.
        QTest::newRow("HEAD never answered, GET is") << "/head-silent" << int(LinkCheckResult::Ok) << 200 << "" << 2;
        QTest::newRow("closed in the headers") << "/cut" << int(LinkCheckResult::Unreachable) << 0 << "" << -1;
        QTest::newRow("endless body") << "/endless" << int(LinkCheckResult::Ok) << 200 << "" << 2;
        QTest::newRow("garbage") << "/garbage" << int(LinkCheckResult::Unreachable) << 0 << "" << -1;
        QTest::newRow("space in the path") << "/o k" << int(LinkCheckResult::Broken) << 404 << "" << 2;
        QTest::newRow("host not found") << "http://nowhere.invalid/" << int(LinkCheckResult::Broken) << 0 << "" << 0;
        QTest::newRow("IDN host not found") << "http://bücher.invalid/" << int(LinkCheckResult::Broken) << 0 << "" << 0;
        QTest::newRow("no host") << "http:///path" << int(LinkCheckResult::Broken) << 0 << "" << 0;
        QTest::newRow("bad port") << "http://host.invalid:99999/" << int(LinkCheckResult::Broken) << 0 << "" << 0;
        QTest::newRow("mailto") << "mailto:a@b.invalid" << int(LinkCheckResult::NotChecked) << 0 << "" << 0;
        QTest::newRow("file") << "file:///etc/hosts" << int(LinkCheckResult::NotChecked) << 0 << "" << 0;
        QTest::newRow("javascript") << "javascript:void(0)" << int(LinkCheckResult::NotChecked) << 0 << "" << 0;
        QTest::newRow("ftp") << "ftp://ftp.invalid/x" << int(LinkCheckResult::NotChecked) << 0 << "" << 0;
        QTest::newRow("plain path") << "C:\\Docs\\a.txt" << int(LinkCheckResult::NotChecked) << 0 << "" << 0;
        QTest::newRow("empty") << "" << int(LinkCheckResult::NotChecked) << 0 << "" << 0;
    }

    void outcome()
    {
        QFETCH(QString, url);
        QFETCH(int, outcome);
        QFETCH(int, status);
        QFETCH(QString, finalPath);
        QFETCH(int, requests);
        const qsizetype before = m_server.requests().size();
        LinkChecker::Options options;
        options.timeoutMs = 400;
        LinkChecker checker(options);
        checker.add(url.startsWith(QLatin1Char('/')) ? m_server.url(url.toUtf8()) : url);
        const auto results = check(checker);
        QCOMPARE(results.size(), size_t(1));
        const LinkCheckResult &result = results.at(0);
        QCOMPARE(LinkCheckResult::outcomeKey(result.outcome),
                 LinkCheckResult::outcomeKey(LinkCheckResult::Outcome(outcome)));
        QCOMPARE(result.status, status);
        QCOMPARE(result.finalUrl, finalPath.isEmpty() ? QString() : m_server.url(finalPath.toUtf8()));
        QVERIFY2(!result.reason.isEmpty(), "every outcome says why");
        if (QByteArray(QTest::currentDataTag()) == "redirect loop")
            QCOMPARE(result.reason, QStringLiteral("Redirect loop"));
        QCOMPARE(result.verdict(),
                 QByteArray(QTest::currentDataTag()) == "429" ? QStringLiteral("unreachable (rate limited)")
                                                              : LinkCheckResult::outcomeKey(result.outcome));
        if (requests >= 0)
            QCOMPARE(m_server.requests().size() - before, requests);
        // The endless body is never read: the server gets no further than its first writes.
        QVERIFY(m_server.endlessBytesSent() < 16 * 1024 * 1024);
    }

    void redirectChainIsKept()
    {
        LinkChecker checker;
        checker.add(m_server.url("/p1"));
        const auto results = check(checker);
        QCOMPARE(results.at(0).chain,
                 QStringList({m_server.url("/p1"), m_server.url("/p2"), m_server.url("/p3"), m_server.url("/ok")}));
    }

    void limits_data()
    {
        QTest::addColumn<int>("maxRequests");
        QTest::addColumn<int>("maxPerHost");
        QTest::addColumn<int>("spacingMs");

        QTest::newRow("overall limit below the hosts'") << 3 << 2 << 0;
        QTest::newRow("per host") << 16 << 2 << 0;
        QTest::newRow("one at a time, spread out") << 16 << 1 << 30;
    }

    // Every host sees no more requests at once than allowed, and the whole never more than allowed.
    void limits()
    {
        QFETCH(int, maxRequests);
        QFETCH(int, maxPerHost);
        QFETCH(int, spacingMs);
        std::vector<std::unique_ptr<LocalHttpServer>> hosts;
        LinkChecker::Options options;
        options.maxRequests = maxRequests;
        options.maxPerHost = maxPerHost;
        options.hostSpacingMs = spacingMs;
        LinkChecker checker(options);
        for (int h = 0; h < 3; ++h) {
            hosts.push_back(std::make_unique<LocalHttpServer>(QHostAddress::LocalHost, 20));
            hosts.back()->route("/a", Route {200});
        }
        for (int i = 0; i < 10; ++i) {
            for (const auto &host : hosts)
                checker.add(host->url("/a"));
        }
        int overall = 0;
        int mostOverall = 0;
        QElapsedTimer clock;
        clock.start();
        std::map<QString, QList<qint64>> starts;
        connect(&checker, &LinkChecker::linkStarted, [&](int index) {
            mostOverall = std::max(mostOverall, ++overall);
            starts[checker.url(index)].append(clock.elapsed());
        });
        connect(&checker, &LinkChecker::linkChecked, [&] { --overall; });
        const auto results = check(checker);
        QCOMPARE(results.size(), size_t(30));
        for (const auto &[index, result] : results)
            QCOMPARE(result.outcome, LinkCheckResult::Ok);
        QVERIFY(mostOverall <= maxRequests);
        for (const auto &host : hosts) {
            QVERIFY2(host->maxInFlight() <= maxPerHost, QByteArray::number(host->maxInFlight()));
            QVERIFY(host->maxInFlight() >= 1);
            const QList<qint64> &started = starts[host->url("/a")];
            QCOMPARE(started.size(), 10);
            for (qsizetype i = 1; i < started.size(); ++i)
                QVERIFY2(started[i] - started[i - 1] >= spacingMs - 1, "a host's requests are spread out");
        }
    }

    void rateLimitedHost_data()
    {
        QTest::addColumn<QByteArray>("retryAfter"); // the header's value; empty for none
        QTest::addColumn<bool>("waits");
        QTest::newRow("1 second") << QByteArray("1") << true;
        QTest::newRow("a date 3 seconds ahead") << QByteArray("date") << true;
        QTest::newRow("an hour") << QByteArray("3600") << false;
        QTest::newRow("none") << QByteArray() << false;
        QTest::newRow("not a number") << QByteArray("soon") << false;
    }

    // A host that answers 429 is rate limited, not broken. Its other links wait as long as it asked, up to a
    // minute, and are checked then; when it asks for longer or says nothing they are not checked at all.
    void rateLimitedHost()
    {
        QFETCH(QByteArray, retryAfter);
        QFETCH(bool, waits);
        LocalHttpServer host;
        Route limited {429};
        if (retryAfter == "date")
            retryAfter
                = QLocale::c()
                      .toString(QDateTime::currentDateTimeUtc().addSecs(3), u"ddd, dd MMM yyyy HH:mm:ss 'GMT'"_qs)
                      .toLatin1();
        if (!retryAfter.isEmpty())
            limited.headers = "Retry-After: " + retryAfter + "\r\n";
        host.route("/limited", limited);
        host.route("/a", Route {200});
        LinkChecker::Options options;
        options.maxPerHost = 1; // the limited link goes first
        LinkChecker checker(options);
        checker.add(host.url("/limited"));
        for (int i = 0; i < 3; ++i)
            checker.add(host.url("/a"));
        QElapsedTimer clock;
        clock.start();
        qint64 limitedAt = -1;
        connect(&checker, &LinkChecker::linkChecked, [&](int index) {
            if (index == 0)
                limitedAt = clock.elapsed();
        });
        std::map<int, qint64> startedAt;
        connect(&checker, &LinkChecker::linkStarted, [&](int index) { startedAt[index] = clock.elapsed(); });
        const auto results = check(checker);
        QCOMPARE(results.size(), size_t(4));
        QVERIFY(results.at(0).isRateLimited());
        QCOMPARE(results.at(0).verdict(), QStringLiteral("unreachable (rate limited)"));
        for (int i = 1; i < 4; ++i) {
            const LinkCheckResult &other = results.at(i);
            QCOMPARE(LinkCheckResult::outcomeKey(other.outcome),
                     LinkCheckResult::outcomeKey(waits ? LinkCheckResult::Ok : LinkCheckResult::NotChecked));
            if (waits)
                QVERIFY2(startedAt.at(i) - limitedAt >= 900, QByteArray::number(startedAt.at(i) - limitedAt));
            else
                QVERIFY2(other.reason.contains(u"rate limited"_qs), qPrintable(other.reason));
        }
        QCOMPARE(host.requests().size(), waits ? 4 : 1);
    }

    // Two requests under way when a host first asks to wait are one refusal: its other links still wait and are
    // checked, instead of being given up as if it had refused again after the wait.
    void rateLimitedBurst()
    {
        LocalHttpServer limiting(QHostAddress::LocalHost, 300);
        Route limited {429};
        limited.headers = "Retry-After: 1\r\n";
        limiting.route("/limited", limited);
        limiting.route("/a", Route {200});
        LocalHttpServer other; // its quick answers keep the checker starting requests
        other.route("/ok", Route {200});
        LinkChecker checker;
        checker.add(limiting.url("/limited"));
        checker.add(limiting.url("/limited"));
        for (int i = 0; i < 3; ++i)
            checker.add(limiting.url("/a"));
        for (int i = 0; i < 20; ++i)
            checker.add(other.url("/ok"));
        const auto results = check(checker);
        QCOMPARE(results.size(), size_t(25));
        QCOMPARE(limiting.maxInFlight(), 2);
        QVERIFY(results.at(0).isRateLimited() && results.at(1).isRateLimited());
        for (int i = 2; i < 5; ++i)
            QCOMPARE(LinkCheckResult::outcomeKey(results.at(i).outcome), QStringLiteral("ok"));
    }

    // A redirect to another host waits for room there: that host never sees more than two requests at once,
    // however many links of other hosts lead to it.
    void redirectsCountAgainstTheirTarget()
    {
        LocalHttpServer target(QHostAddress::LocalHost, 150);
        target.route("/x", Route {200});
        std::vector<std::unique_ptr<LocalHttpServer>> sources;
        LinkChecker::Options options;
        options.hostSpacingMs = 0;
        LinkChecker checker(options);
        for (int i = 0; i < 4; ++i)
            checker.add(target.url("/x"));
        for (int s = 0; s < 3; ++s) {
            sources.push_back(std::make_unique<LocalHttpServer>());
            sources.back()->route("/r", Route {302, target.url("/x").toLatin1()});
            for (int i = 0; i < 4; ++i)
                checker.add(sources.back()->url("/r"));
        }
        const auto results = check(checker);
        QCOMPARE(results.size(), size_t(16));
        for (const auto &[index, result] : results)
            QCOMPARE(LinkCheckResult::outcomeKey(result.outcome),
                     LinkCheckResult::outcomeKey(index < 4 ? LinkCheckResult::Ok : LinkCheckResult::Redirected));
        QCOMPARE(target.requests().size(), 16);
        QVERIFY2(target.maxInFlight() <= 2, QByteArray::number(target.maxInFlight()));
    }

    // Thousands of links to one host: never more than two at once, and every one gets its outcome.
    void manyLinksToOneHost()
    {
        LocalHttpServer host;
        host.route("/a", Route {200});
        LinkChecker::Options options;
        options.hostSpacingMs = 0;
        LinkChecker checker(options);
        for (int i = 0; i < 2000; ++i)
            checker.add(host.url("/a"));
        const auto results = check(checker, 120000);
        QCOMPARE(results.size(), size_t(2000));
        QCOMPARE(host.requests().size(), 2000);
        QVERIFY(host.maxInFlight() <= 2);
    }

    void cancelKeepsResults()
    {
        LinkChecker::Options options;
        options.maxRequests = 1;
        LinkChecker checker(options);
        checker.add(m_server.url("/ok"));
        checker.add(m_server.url("/silent"));
        checker.add(m_server.url("/ok"));
        int checked = 0;
        connect(&checker, &LinkChecker::linkChecked, [&] {
            if (++checked == 1)
                QTimer::singleShot(100, &checker, &LinkChecker::cancel);
        });
        QSignalSpy finished(&checker, &LinkChecker::finished);
        checker.start();
        QVERIFY(finished.wait(5000));
        QCOMPARE(checked, 1);
        QVERIFY(!checker.isRunning());
        QTest::qWait(50);
        QCOMPARE(checked, 1);
        QCOMPARE(finished.size(), 1);
    }

    void pauseHoldsNewRequests()
    {
        LinkChecker::Options options;
        options.maxRequests = 1;
        LinkChecker checker(options);
        for (int i = 0; i < 4; ++i)
            checker.add(m_server.url("/ok"));
        int checked = 0;
        connect(&checker, &LinkChecker::linkChecked, [&] {
            if (++checked == 1)
                checker.setPaused(true);
        });
        QSignalSpy finished(&checker, &LinkChecker::finished);
        checker.start();
        QTRY_COMPARE(checked, 1);
        QTest::qWait(200);
        QCOMPARE(checked, 1);
        checker.setPaused(false);
        QVERIFY(finished.wait(5000));
        QCOMPARE(checked, 4);
    }
};

QTEST_GUILESS_MAIN(TestLinkChecker)
#include "tst_linkchecker.moc"
