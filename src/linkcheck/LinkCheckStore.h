#pragma once

#include "linkcheck/LinkCheckResult.h"

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>

// The last outcome of every checked link, by address, kept in a file of its own beside the data file
// so that the data file stays as it is. An address that was edited has no outcome until it is checked.
class LinkCheckStore
{
public:
    // The side file of a data file: "Quillmark.dat" keeps its outcomes in "Quillmark.dat.links".
    static QString pathFor(const QString &dataFile);
    // Files larger than this are not read: no collection's outcomes come near it.
    static constexpr qint64 MaxFileSize = 256 * 1024 * 1024;

    // Replaces the outcomes with those of the file; an absent file leaves none. Entries that cannot be
    // read are skipped. False (errorString says why) when the file exists but cannot be read at all, or
    // is not a regular file (a FIFO would keep the read waiting for ever).
    bool load(const QString &path);
    // Reads the outcomes from bytes in the file's format, skipping what does not fit it.
    bool loadBytes(const QByteArray &bytes);
    // Writes the file atomically. False (errorString says why) when it cannot be written.
    bool save(const QString &path) const;
    QByteArray toBytes() const;

    const LinkCheckResult *find(const QString &url) const;
    void set(const QString &url, const LinkCheckResult &result);
    void remove(const QString &url);
    // Forgets the outcomes of every address but these (those the collection still has); how many went.
    int keepOnly(const QSet<QString> &urls);
    void clear() { m_results.clear(); }
    int count() const { return static_cast<int>(m_results.size()); }
    const QHash<QString, LinkCheckResult> &all() const { return m_results; }
    QString errorString() const { return m_error; }

private:
    QHash<QString, LinkCheckResult> m_results;
    mutable QString m_error;
};
