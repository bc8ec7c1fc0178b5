#pragma once

#include <QString>
#include <QStringList>

// What an import added and what it could not read.
struct ImportReport
{
    enum Status {
        Complete, // the whole source was read
        Damaged, // read as far as it goes; problems says what was skipped or repaired
        Unreadable, // nothing could be read: the source cannot be opened or is not of the format
        Cancelled, // the progress callback asked to stop; what was read stays
    };

    Status status = Complete;
    int folders = 0; // items added to the target, at any depth
    int links = 0;
    int skipped = 0; // links left out because the collection had their address already
    QStringList problems; // one sentence each, in the order they were met

    bool ok() const { return status == Complete; }
    bool hasError() const { return status != Complete; }
    QString errorString() const { return problems.join(QLatin1Char(' ')); }

    // Records damage: the status becomes Damaged unless the import already failed or was cancelled.
    // The same sentence is kept once; at most a handful are kept.
    void damage(const QString &problem);
    // Nothing could be read.
    void fail(const QString &problem);
    void cancel();
};
