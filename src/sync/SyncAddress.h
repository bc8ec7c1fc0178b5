#pragma once

#include <QString>
#include <QUrl>

// What the sync's settings allow of the server's address and the file's name.
namespace SyncAddress {

// Why the file name cannot name a file in the server's folder or a folder below it ("sub/bookmarks.xbel");
// empty when it can.
QString fileNameProblem(const QString &name);

// Whether a password sent to the folder goes in clear over the network: over http:// to any host but
// this computer.
bool passwordInClear(const QUrl &folder);

} // namespace SyncAddress
