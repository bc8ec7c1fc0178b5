#pragma once

#include "linkcheck/LinkCheckResult.h"

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QTimer>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

// Checks one http or https link: HEAD first, GET when HEAD fails in a way that often means only HEAD is
// refused; redirects are followed here, one hop at a time, to keep the chain and see loops. A GET stops
// as soon as its headers are in: the body is never read.
class LinkProbe : public QObject
{
    Q_OBJECT
public:
    static constexpr int MaxRedirects = 10;

    LinkProbe(QNetworkAccessManager *network, const QUrl &url, int timeoutMs, QObject *parent = nullptr);
    ~LinkProbe() override;

    void start();
    // Stops at once; finished is not emitted.
    void abort();

    // With a gate, a redirect to another host waits (redirecting is emitted) until resume() is called, so that
    // whoever runs the probes can count the request against that host.
    void setGated(bool gated) { m_gated = gated; }
    void resume();

    // "host:port" as the requests to a host are counted.
    static QString hostKey(const QUrl &url);

    static QByteArray userAgent();

signals:
    void finished(const LinkCheckResult &result);
    // A redirect leads to another host; the probe waits for resume().
    void redirecting(const QUrl &next);

private:
    enum class Method { Head, Get };

    void send(const QUrl &url);
    void onHeaders();
    void onFinished();
    void onTimeout();
    // Takes the reply out of the way without its signals reaching this probe.
    void dropReply();
    void finish(LinkCheckResult::Outcome outcome, const QString &reason);
    // The outcome of an error status, once no retry is left.
    void finishWithStatus(int status, const QString &phrase);
    void finishWithError(int error, const QString &text);
    // Whether to try again with GET after a HEAD that ended like this.
    bool retryWithGet(int status, int error) const;

    QNetworkAccessManager *m_network;
    QPointer<QNetworkReply> m_reply;
    QTimer m_timer;
    QUrl m_start;
    QUrl m_current;
    QUrl m_next; // where a gated redirect goes on
    Method m_method = Method::Head;
    int m_timeoutMs;
    bool m_timedOut = false;
    bool m_headersSeen = false;
    bool m_allPermanent = true;
    bool m_gated = false;
    LinkCheckResult m_result;
    QSet<QUrl> m_visited;
};
