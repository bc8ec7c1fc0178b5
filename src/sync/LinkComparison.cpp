#include "sync/LinkComparison.h"

#include <QUrl>

QString LinkComparison::comparableUrl(const QString &url)
{
    const QString trimmed = url.trimmed();
    QUrl parsed(trimmed, QUrl::StrictMode);
    if (!parsed.isValid() || parsed.scheme().isEmpty())
        return trimmed;
    // QUrl keeps the scheme and host in lower case already.
    if ((parsed.scheme() == u"http" && parsed.port() == 80) || (parsed.scheme() == u"https" && parsed.port() == 443))
        parsed.setPort(-1);
    if (parsed.path() == u"/")
        parsed.setPath(QString());
    return parsed.adjusted(QUrl::StripTrailingSlash).toString(QUrl::FullyEncoded);
}

bool LinkComparison::sameLink(const QString &titleA, const QString &urlA, const QString &titleB, const QString &urlB)
{
    return titleA == titleB && comparableUrl(urlA) == comparableUrl(urlB);
}
