#pragma once

#include "linkcheck/LinkCheckResult.h"
#include "platform/CancelCheck.h"

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

class QJsonArray;

#include <utility>

// The last outcome of every checked link, by address, kept in a file of its own beside the data file
// so that the data file stays as it is. An address that was edited has no outcome until it is checked.
// Every change is announced: findingsChanged names the addresses whose outcome changed, findingsReset says
// that all of them may have (a load, a clear).
class LinkCheckStore : public QObject
{
    Q_OBJECT
public:
    using Results = QHash<QString, LinkCheckResult>;

    explicit LinkCheckStore(QObject *parent = nullptr) : QObject(parent) { }

    // The side file of a data file: "Quillmark.dat" keeps its outcomes in "Quillmark.dat.links".
    static QString pathFor(const QString &dataFile);
    // Files larger than this are not read: no collection's outcomes come near it.
    static constexpr qint64 MaxFileSize = 256 * 1024 * 1024;

    // Replaces the outcomes with those of the file; an absent file leaves none. Entries that cannot be
    // read are skipped. False (errorString says why) when the file exists but cannot be read at all, or
    // is not a regular file (a FIFO would keep the read waiting for ever), or stop held: none are kept then.
    // stop is asked every few hundredths of a second.
    bool load(const QString &path, const CancelCheck &stop = {});
    // Reads the outcomes from bytes in the file's format, skipping what does not fit it.
    bool loadBytes(const QByteArray &bytes, const CancelCheck &stop = {});
    // Writes the file atomically. False (errorString says why) when it cannot be written.
    bool save(const QString &path) const;
    QByteArray toBytes() const;

    // Replaces the outcomes with these (read elsewhere, e.g. on another thread); hands the old ones back.
    Results replace(Results results);
    // Gives the outcomes away and leaves none, without a word: for a store that nobody follows.
    Results take() { return std::exchange(m_results, {}); }

    const LinkCheckResult *find(const QString &url) const;
    void set(const QString &url, const LinkCheckResult &result);
    void remove(const QString &url);
    // Forgets the outcomes of every address but these (those the collection still has); how many went.
    int keepOnly(const QSet<QString> &urls);
    void clear();
    int count() const { return static_cast<int>(m_results.size()); }
    const Results &all() const { return m_results; }
    QString errorString() const { return m_error; }

    // Between these, the changes are told once, at the end, in one findingsChanged. They nest.
    void beginChanges() { ++m_batchDepth; }
    void endChanges();

signals:
    // The outcomes of these addresses were set, changed or forgotten.
    void findingsChanged(const QStringList &urls);
    // Any outcome may have changed.
    void findingsReset();

private:
    bool readBytes(const QByteArray &bytes, const CancelCheck &stop);
    // Takes the outcomes of these entries; false when stop held meanwhile.
    bool readEntries(const QJsonArray &links, const CancelCheck &stop);
    void changed(const QString &url);
    // Emits the changes gathered so far.
    void tell();

    Results m_results;
    mutable QString m_error;
    int m_batchDepth = 0;
    QStringList m_pending;
};
