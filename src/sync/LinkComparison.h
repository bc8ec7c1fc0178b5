#pragma once

#include <QString>

// Whether two links added on both sides are the same link, to keep them once: the same title and
// the same URL, where URLs differing only in the case of the scheme and host, a default port, a
// trailing slash or surrounding spaces count as the same. A small comparison of its own until the
// collection has one URL normalisation for all its commands.
namespace LinkComparison {

QString comparableUrl(const QString &url);
bool sameLink(const QString &titleA, const QString &urlA, const QString &titleB, const QString &urlB);

} // namespace LinkComparison
