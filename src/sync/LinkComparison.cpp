#include "sync/LinkComparison.h"

#include "store/UrlKey.h"

QString LinkComparison::nameHere(const QString &title)
{
    QString name = title;
    return name.replace(QLatin1Char('\\'), QLatin1Char('_'));
}

QString LinkComparison::comparableTitle(const QString &title)
{
    return nameHere(title).trimmed();
}

QString LinkComparison::comparableUrl(const QString &url)
{
    const QString trimmed = url.trimmed();
    const std::string key = UrlKey().of(trimmed.toStdString());
    // What is no URL at all is compared as it is written, kept apart from every key.
    return key.empty() ? QLatin1Char('\x01') + trimmed : QString::fromStdString(key);
}

bool LinkComparison::sameTitle(const QString &titleA, const QString &titleB)
{
    return comparableTitle(titleA) == comparableTitle(titleB);
}

QString LinkComparison::linkKey(const QString &title, const QString &url)
{
    // The title's length first, so that no title and URL run into another pair's.
    const QString name = comparableTitle(title);
    return QString::number(name.size()) + u':' + name + comparableUrl(url);
}

bool LinkComparison::sameLink(const QString &titleA, const QString &urlA, const QString &titleB, const QString &urlB)
{
    return linkKey(titleA, urlA) == linkKey(titleB, urlB);
}
