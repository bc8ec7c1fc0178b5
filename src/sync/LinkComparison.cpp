#include "sync/LinkComparison.h"

#include "store/UrlKey.h"

QString LinkComparison::comparableUrl(const QString &url)
{
    const QString trimmed = url.trimmed();
    const std::string key = UrlKey().of(trimmed.toStdString());
    // What is no URL at all is compared as it is written, kept apart from every key.
    return key.empty() ? QLatin1Char('\x01') + trimmed : QString::fromStdString(key);
}

bool LinkComparison::sameLink(const QString &titleA, const QString &urlA, const QString &titleB, const QString &urlB)
{
    return titleA == titleB && comparableUrl(urlA) == comparableUrl(urlB);
}
