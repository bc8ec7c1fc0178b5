#pragma once

#include <QString>

// Whether two links added on both sides are the same link, to keep them once: the same title and
// the same URL, where URLs are compared by the key Find Duplicates uses (the case of the scheme and
// host, default ports, an empty path, the form of escapes and surrounding spaces never count), and
// text that is no URL as it is written.
namespace LinkComparison {

QString comparableUrl(const QString &url);
bool sameLink(const QString &titleA, const QString &urlA, const QString &titleB, const QString &urlB);

} // namespace LinkComparison
