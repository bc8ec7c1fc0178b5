#include "LinkChecker.h"

#include "LinkProbe.h"

#include <QNetworkAccessManager>

#include <algorithm>

LinkChecker::LinkChecker(QObject *parent) : LinkChecker(Options(), parent) { }

LinkChecker::LinkChecker(const Options &options, QObject *parent)
    : QObject(parent), m_options(options), m_network(new QNetworkAccessManager(this))
{
    qRegisterMetaType<LinkCheckResult>();
    m_network->setAutoDeleteReplies(false);
    m_network->setCookieJar(nullptr);
    m_wake.setSingleShot(true);
    m_wake.setTimerType(Qt::PreciseTimer); // a coarse timer may wake a host before its time
    connect(&m_wake, &QTimer::timeout, this, &LinkChecker::pump);
}

LinkChecker::~LinkChecker()
{
    cancel();
}

QUrl LinkChecker::checkableUrl(const QString &url, QString *whyNot, bool *malformed)
{
    *malformed = false;
    const QString trimmed = url.trimmed();
    const int colon = trimmed.indexOf(QLatin1Char(':'));
    const QString scheme = colon > 0 ? trimmed.left(colon).toLower() : QString();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https")) {
        if (trimmed.isEmpty())
            *whyNot = tr("The link has no address");
        else if (scheme.isEmpty() || scheme.size() == 1) // a drive letter or a plain path
            *whyNot = tr("Not a web address: only http and https links are checked");
        else
            *whyNot = tr("A %1 link: only http and https links are checked").arg(scheme);
        return QUrl();
    }
    // A browser reads spaces and other loose characters tolerantly; so does the check.
    const QUrl parsed(trimmed, QUrl::TolerantMode);
    if (!parsed.isValid() || parsed.host().isEmpty()) {
        *malformed = true;
        *whyNot = parsed.isValid() ? tr("Malformed address: no host")
                                   : tr("Malformed address: %1").arg(parsed.errorString());
        return QUrl();
    }
    return parsed;
}

int LinkChecker::add(const QString &url)
{
    const int index = count();
    m_urls.push_back(url);
    QString whyNot;
    bool malformed = false;
    const QUrl fetch = checkableUrl(url, &whyNot, &malformed);
    m_fetch.push_back(fetch);
    if (fetch.isEmpty()) {
        m_unchecked.push_back(index);
        return index;
    }
    const QString key = LinkProbe::hostKey(fetch);
    Host &host = m_hosts[key];
    host.waiting.push_back(index);
    enqueue(key, host);
    return index;
}

void LinkChecker::enqueue(const QString &key, Host &host)
{
    if (!host.inRotation) {
        host.inRotation = true;
        m_rotation.push_back(key);
    }
}

void LinkChecker::release(const QString &key)
{
    auto host = m_hosts.find(key);
    if (host == m_hosts.end())
        return;
    --host->active;
    if (host->active == 0 && host->waiting.empty() && host->redirected.empty() && !host->inRotation)
        m_hosts.erase(host);
}

void LinkChecker::start()
{
    if (m_running)
        return;
    m_running = true;
    m_clock.start();
    // Links that need no request are answered first, from the event loop, so that whoever started the
    // check has connected to the signals.
    QMetaObject::invokeMethod(
        this,
        [this] {
            const std::vector<int> unchecked = std::exchange(m_unchecked, {});
            for (int index : unchecked) {
                if (!m_running)
                    return;
                QString whyNot;
                bool malformed = false;
                checkableUrl(m_urls[static_cast<size_t>(index)], &whyNot, &malformed);
                LinkCheckResult result;
                result.outcome = malformed ? LinkCheckResult::Broken : LinkCheckResult::NotChecked;
                result.reason = whyNot;
                result.checkedAt = QDateTime::currentDateTimeUtc();
                report(index, result);
            }
            pump();
        },
        Qt::QueuedConnection);
}

void LinkChecker::setPaused(bool paused)
{
    if (m_paused == paused)
        return;
    m_paused = paused;
    if (!m_paused && m_running)
        pump();
}

void LinkChecker::cancel()
{
    if (!m_running)
        return;
    m_running = false;
    m_wake.stop();
    const QList<LinkProbe *> probes = m_probes.keys();
    m_probes.clear();
    for (LinkProbe *probe : probes) {
        probe->abort();
        probe->deleteLater();
    }
    m_active = 0;
    m_rotation.clear();
    m_hosts.clear();
    m_unchecked.clear();
    emit finished();
}

void LinkChecker::pump()
{
    if (!m_running || m_paused)
        return;
    const qint64 now = m_clock.elapsed();
    qint64 earliestWait = -1;
    // One turn over the hosts waiting at most: each may start one request per turn. A redirected request goes
    // first: its probe is running already, so the overall limit does not hold it back.
    size_t turns = m_rotation.size();
    while (turns-- > 0 && !m_rotation.empty()) {
        const QString key = m_rotation.front();
        m_rotation.pop_front();
        Host &host = m_hosts[key];
        if (host.waiting.empty() && host.redirected.empty()) {
            // Its links were answered without a request (a site that limits them).
            host.inRotation = false;
            if (host.active == 0)
                m_hosts.remove(key);
            continue;
        }
        const bool redirected = !host.redirected.empty();
        if (host.active >= m_options.maxPerHost || (!redirected && m_active >= m_options.maxRequests)) {
            m_rotation.push_back(key); // its next request starts when one ends
            continue;
        }
        if (host.nextStartMs > now) {
            const qint64 wait = host.nextStartMs - now;
            earliestWait = earliestWait < 0 ? wait : std::min(earliestWait, wait);
            m_rotation.push_back(key);
            continue;
        }
        host.nextStartMs = now + m_options.hostSpacingMs;
        LinkProbe *probe = nullptr;
        int index = -1;
        if (redirected) {
            probe = host.redirected.front();
            host.redirected.pop_front();
        } else {
            index = host.waiting.front();
            host.waiting.pop_front();
        }
        if (host.waiting.empty() && host.redirected.empty())
            host.inRotation = false;
        else
            m_rotation.push_back(key);
        if (probe) {
            ++host.active;
            m_probes[probe].startedMs = m_clock.elapsed();
            probe->resume();
        } else {
            launch(index, host, key);
        }
        // Spaced from when it really started: a long turn over the hosts would shorten the pause. A probe
        // that ended at once may have taken its host away.
        if (const auto started = m_hosts.find(key); started != m_hosts.end())
            started->nextStartMs = m_clock.elapsed() + m_options.hostSpacingMs;
    }
    if (earliestWait >= 0)
        m_wake.start(static_cast<int>(earliestWait));
    finishIfDone();
}

void LinkChecker::launch(int index, Host &host, const QString &hostKey)
{
    ++host.active;
    ++m_active;
    auto *probe = new LinkProbe(m_network, m_fetch[static_cast<size_t>(index)], m_options.timeoutMs, this);
    probe->setGated(true);
    m_probes.insert(probe, {index, hostKey, m_clock.elapsed()});
    connect(probe, &LinkProbe::finished, this,
            [this, probe](const LinkCheckResult &result) { onProbeFinished(probe, result); });
    connect(probe, &LinkProbe::redirecting, this, [this, probe](const QUrl &next) { onRedirect(probe, next); });
    emit linkStarted(index);
    probe->start();
}

void LinkChecker::onRedirect(LinkProbe *probe, const QUrl &next)
{
    const auto running = m_probes.find(probe);
    if (running == m_probes.end())
        return;
    // The request to the old host has ended; the next one waits for room at the new host like any other.
    const QString from = std::exchange(running->hostKey, LinkProbe::hostKey(next));
    release(from);
    Host &host = m_hosts[running->hostKey];
    host.redirected.push_back(probe);
    enqueue(running->hostKey, host);
    QMetaObject::invokeMethod(this, &LinkChecker::pump, Qt::QueuedConnection);
}

void LinkChecker::onProbeFinished(LinkProbe *probe, const LinkCheckResult &result)
{
    const auto running = m_probes.find(probe);
    if (running == m_probes.end())
        return;
    const Running done = *running;
    m_probes.erase(running);
    probe->deleteLater();
    --m_active;
    if (result.isRateLimited())
        rateLimited(done.hostKey, done, result);
    release(done.hostKey);
    report(done.index, result);
    // Start the next ones from the event loop: a probe that ends at once must not recurse into here.
    QMetaObject::invokeMethod(this, &LinkChecker::pump, Qt::QueuedConnection);
}

void LinkChecker::rateLimited(const QString &key, const Running &request, const LinkCheckResult &result)
{
    const auto host = m_hosts.find(key);
    if (host == m_hosts.end())
        return;
    const int wait = result.retryAfterSeconds;
    const bool canWait = wait >= 0 && wait <= m_options.maxRetryAfterSeconds;
    // A request that was under way when the host first asked to wait is part of the same refusal, not a second.
    const bool sameBurst = host->waitedForLimit && request.startedMs <= host->limitedAtMs;
    if (canWait && (!host->waitedForLimit || sameBurst)) {
        if (!host->waitedForLimit) {
            host->waitedForLimit = true;
            host->limitedAtMs = m_clock.elapsed();
        }
        host->nextStartMs = std::max(host->nextStartMs, m_clock.elapsed() + qint64(wait) * 1000);
        return;
    }
    // Waiting longer, or again, would hold up the whole check.
    const std::deque<int> skipped = std::exchange(host->waiting, {});
    for (int index : skipped) {
        LinkCheckResult notChecked;
        notChecked.outcome = LinkCheckResult::NotChecked;
        notChecked.reason = wait < 0
            ? tr("Not checked: the site limits its requests (rate limited)")
            : tr("Not checked: the site asked to wait %n second(s) (rate limited)", nullptr, wait);
        notChecked.checkedAt = QDateTime::currentDateTimeUtc();
        report(index, notChecked);
    }
}

void LinkChecker::report(int index, const LinkCheckResult &result)
{
    ++m_done;
    emit linkChecked(index, result);
}

void LinkChecker::finishIfDone()
{
    if (m_running && m_active == 0 && m_rotation.empty() && m_unchecked.empty() && m_done == count()) {
        m_running = false;
        emit finished();
    }
}
