#pragma once

#include "linkcheck/LinkCheckResult.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QTimer>
#include <QUrl>

#include <deque>
#include <vector>

class LinkProbe;
class QNetworkAccessManager;

// Checks many links, politely: a few requests at once overall, fewer to any one host, and a host's
// requests spread out in time. Links are numbered in the order they were added; each one's result
// comes back under its number, in the order the checks end.
class LinkChecker : public QObject
{
    Q_OBJECT
public:
    struct Options
    {
        int timeoutMs = 15000;
        int maxRequests = 16;
        int maxPerHost = 2; // redirected requests count against the host they go to
        int hostSpacingMs = 25; // between two requests starting to the same host
        int maxRetryAfterSeconds = 60; // a rate-limited host's other links wait this long at most
    };

    explicit LinkChecker(QObject *parent = nullptr);
    explicit LinkChecker(const Options &options, QObject *parent = nullptr);
    ~LinkChecker() override;

    // Adds a link by its address as stored; returns its number. Only before start.
    int add(const QString &url);
    int count() const { return static_cast<int>(m_urls.size()); }
    QString url(int index) const { return m_urls.at(static_cast<size_t>(index)); }

    void start();
    void setPaused(bool paused);
    bool isPaused() const { return m_paused; }
    // Stops every request at once; the results so far stay. finished follows.
    void cancel();
    bool isRunning() const { return m_running; }
    int doneCount() const { return m_done; }

    // The address a link's check fetches, or why it is not fetched (then the URL is empty).
    static QUrl checkableUrl(const QString &url, QString *whyNot, bool *malformed);

signals:
    void linkStarted(int index);
    void linkChecked(int index, const LinkCheckResult &result);
    void finished();

private:
    struct Host
    {
        std::deque<int> waiting;
        std::deque<LinkProbe *> redirected; // probes waiting to go on to this host
        int active = 0;
        qint64 nextStartMs = 0;
        bool inRotation = false;
        bool waitedForLimit = false; // the host limited its requests once and was waited for
        qint64 limitedAtMs = 0; // when it did
    };
    struct Running
    {
        int index = 0;
        QString hostKey; // the host its request goes to now
        qint64 startedMs = 0; // when that request started
    };

    void pump();
    // Puts the host in the rotation when something of it waits.
    void enqueue(const QString &key, Host &host);
    // A running probe's request to its host ended: the host may go.
    void release(const QString &key);
    void launch(int index, Host &host, const QString &hostKey);
    void onRedirect(LinkProbe *probe, const QUrl &next);
    void onProbeFinished(LinkProbe *probe, const LinkCheckResult &result);
    // A host that answered 429: its other links wait as long as it asked, or are not checked.
    void rateLimited(const QString &key, const Running &request, const LinkCheckResult &result);
    void report(int index, const LinkCheckResult &result);
    void finishIfDone();

    Options m_options;
    QNetworkAccessManager *m_network;
    std::vector<QString> m_urls;
    std::vector<QUrl> m_fetch;
    QHash<QString, Host> m_hosts;
    std::deque<QString> m_rotation; // hosts with links waiting, in turn
    std::vector<int> m_unchecked; // links answered without a request
    QHash<LinkProbe *, Running> m_probes;
    QTimer m_wake;
    QElapsedTimer m_clock;
    int m_active = 0;
    int m_done = 0;
    bool m_running = false;
    bool m_paused = false;
};
