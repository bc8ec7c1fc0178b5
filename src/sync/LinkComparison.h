#pragma once

#include <QString>

// Whether two links added on both sides are the same link, to keep them once: the same title and
// the same URL, where URLs are compared by the key Find Duplicates uses (the case of the scheme and
// host, default ports, an empty path, the form of escapes, the "." and ".." folders, backslashes for
// slashes and surrounding spaces never count), and text that is no URL as it is written. Titles are
// compared as the collection shows them, without surrounding blanks.
namespace LinkComparison {

// The name a title takes in the collection, whose names never hold a backslash (it separates the
// folders of a path): each one becomes "_".
QString nameHere(const QString &title);
// What two titles share exactly when they are the same title.
QString comparableTitle(const QString &title);
QString comparableUrl(const QString &url);
bool sameTitle(const QString &titleA, const QString &titleB);
// What sameLink compares, as one text: equal keys are the same link, so links can be looked up by it.
QString linkKey(const QString &title, const QString &url);
bool sameLink(const QString &titleA, const QString &urlA, const QString &titleB, const QString &urlB);

} // namespace LinkComparison
