// Checking links: 2,000 links spread over 50 loopback addresses (127.0.0.2 to 127.0.0.51), each with a
// server of its own that answers after 5 ms, as a real site would. The servers run in a child process, so
// that this process's CPU time is the check's alone. The baseline is the same 2,000 requests made one after
// another by a plain QNetworkAccessManager loop.
//   quillmark-bench-links            prints the figures and the ratio (target 0.15)
#include "Measure.h"

#include "common/LocalHttpServer.h"
#include "linkcheck/LinkChecker.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QSocketNotifier>

#include <cstdio>
#include <memory>
#include <vector>

#include <sys/resource.h>

namespace {
constexpr int Hosts = 50;
constexpr int Links = 2000;
constexpr int AnswerDelayMs = 5;

double cpuMs()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval &t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

QHostAddress hostAddress(int host)
{
    return QHostAddress(QStringLiteral("127.0.0.%1").arg(host + 2));
}

// The child: one server on each address, all on the same port, until standard input closes.
int serve()
{
    std::vector<std::unique_ptr<LocalHttpServer>> servers;
    for (int host = 0; host < Hosts; ++host) {
        servers.push_back(std::make_unique<LocalHttpServer>(hostAddress(host), AnswerDelayMs));
        if (!servers.back()->isListening()) {
            std::fprintf(stderr, "cannot listen on %s\n", qPrintable(hostAddress(host).toString()));
            return 1;
        }
        servers.back()->route("/page", LocalHttpServer::Route {200});
    }
    std::printf("ready\n");
    for (const auto &server : servers)
        std::printf("%d\n", server->port());
    std::fflush(stdout);
    // Ends when the parent is done (or gone): its end of our standard input closes.
    QEventLoop loop;
    QSocketNotifier notifier(0, QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &loop, &QEventLoop::quit);
    loop.exec();
    return 0;
}

QStringList urls(const QList<int> &ports)
{
    QStringList list;
    for (int i = 0; i < Links; ++i) {
        const int host = i % Hosts;
        list << QStringLiteral("http://%1:%2/page").arg(hostAddress(host).toString()).arg(ports[host]);
    }
    return list;
}

// The plain loop: each request waits for the one before.
int sequential(const QStringList &list)
{
    QNetworkAccessManager network;
    int ok = 0;
    for (const QString &url : list) {
        QNetworkReply *reply = network.head(QNetworkRequest(QUrl(url)));
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
        ok += reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() == 200;
        reply->deleteLater();
    }
    return ok;
}

int checked(const QStringList &list)
{
    LinkChecker checker;
    for (const QString &url : list)
        checker.add(url);
    int ok = 0;
    QObject::connect(&checker, &LinkChecker::linkChecked,
                     [&ok](int, const LinkCheckResult &result) { ok += result.outcome == LinkCheckResult::Ok; });
    QEventLoop loop;
    QObject::connect(&checker, &LinkChecker::finished, &loop, &QEventLoop::quit);
    checker.start();
    loop.exec();
    return ok;
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (app.arguments().contains(QStringLiteral("--serve")))
        return serve();

    QProcess servers;
    servers.start(app.applicationFilePath(), {QStringLiteral("--serve")});
    if (!servers.waitForStarted() || !servers.waitForReadyRead(10000)) {
        std::fprintf(stderr, "the servers did not start\n");
        return 1;
    }
    QList<int> ports;
    while (ports.size() < Hosts && (servers.canReadLine() || servers.waitForReadyRead(10000))) {
        const QByteArray line = servers.readLine().trimmed();
        if (line != "ready")
            ports << line.toInt();
    }
    if (ports.size() < Hosts) {
        std::fprintf(stderr, "the servers did not all start: %s\n", servers.readAllStandardError().constData());
        return 1;
    }
    const QStringList list = urls(ports);

    QElapsedTimer clock;
    clock.start();
    const int sequentialOk = sequential(list);
    const double sequentialMs = clock.elapsed();

    const double cpuBefore = cpuMs();
    clock.restart();
    const int checkedOk = checked(list);
    const double checkMs = clock.elapsed();
    const double checkCpuMs = cpuMs() - cpuBefore;

    servers.closeWriteChannel();
    servers.waitForFinished(5000);

    Measure::figure("links", Links);
    Measure::figure("hosts", Hosts);
    Measure::figure("sequential_ok", sequentialOk);
    Measure::figure("checked_ok", checkedOk);
    Measure::figure("sequential_ms", sequentialMs);
    Measure::figure("check_ms", checkMs);
    Measure::figure("check_cpu_ms_per_link", checkCpuMs / Links);
    const bool met = Measure::ratio("check_vs_sequential", checkMs / sequentialMs, 0.15);
    return met && checkedOk == Links ? 0 : 1;
}
