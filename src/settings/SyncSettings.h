#pragma once

#include <QString>

// Where the collection syncs and when: the server's folder, the file there and the folder of the
// collection that is synced (a path of names separated by backslashes; empty for the whole collection).
struct SyncSettings
{
    static constexpr int MostMinutes = 24 * 60;

    QString serverUrl;
    QString user;
    QString fileName = QStringLiteral("bookmarks.xbel");
    QString folderPath;
    int everyMinutes = 0; // 0: only when asked (and at start and exit, when that is on)
    bool atStartAndExit = false;

    bool configured() const { return !serverUrl.trimmed().isEmpty() && !fileName.trimmed().isEmpty(); }
    // The key of the password in the secret store: one for each server and user.
    QString secretKey() const { return user + QLatin1Char('@') + serverUrl.trimmed(); }
};
