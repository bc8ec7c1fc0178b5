#pragma once

#include "platform/CancelCheck.h"

#include <QDate>
#include <QString>

#include <functional>
#include <vector>

class LinkItem;

// The daily copies of a data file, kept in "backups" beside it as "Quillmark-YYYY-MM-DD.dat" (one a day, only
// the user may read them). Making one never touches the data file; only restore() writes it, when asked to.
class Backups
{
public:
    static constexpr int DefaultKeep = 15;
    using Clock = std::function<QDate()>;

    struct Entry
    {
        QString path;
        QDate date;
        qint64 size = 0;
        int folders = 0;
        int links = 0;
        bool readable = false; // read whole; a damaged or newer file cannot be restored
        QString error; // why it is not readable
    };

    // today gives the date the backups are named after; the system's date when empty.
    explicit Backups(const QString &dataFile, Clock today = {});

    QString folder() const;
    QString pathFor(QDate date) const;
    QDate today() const { return m_today(); }

    // How many daily backups are kept; older ones go when a backup is made. 0 keeps them all.
    int keep() const { return m_keep; }
    void setKeep(int keep) { m_keep = qMax(0, keep); }

    bool hasToday() const;
    // Copies the data file to today's backup when there is none yet (the start-up backup).
    // True when there was nothing to do: no backup needed or no data file yet.
    bool makeDaily(QString *error, const CancelCheck &cancel = {});
    // Writes the collection below root as today's backup, in place of an earlier one of the same day.
    bool save(const LinkItem &root, QString *error);
    // Copies the collection in the data file, byte for byte, to today's backup, in place of an earlier one of
    // the same day. Only the bytes of the collection are copied: whatever a file holds after it (a sparse
    // tail, say) is not data. Nothing is written, and false returned with a message, when the data file is
    // not a regular file holding a collection that can be read whole, or when cancel says so meanwhile.
    bool copyDataFile(QString *error, const CancelCheck &cancel = {});

    // The backups, newest first, each read to count what it holds.
    std::vector<Entry> list() const;
    // Removes all but the newest keep() backups (none when keep() is 0). Today's backup always stays, and so do
    // backups dated after tomorrow (made while the clock was wrong): they do not count towards those kept.
    void rotate() const;

    // Keeps the data file as today's backup (a data file that is not a readable collection is set aside instead,
    // as loading it would), then replaces it with the collection in backup, byte for byte.
    // Refused (Unreadable), with nothing changed, when backup cannot be read whole or holds more than its
    // collection.
    enum class Restore { Done, Unreadable, Failed };
    Restore restore(const QString &backup, QString *error);

    // The date in a backup's file name; invalid for a file of another name.
    static QDate dateOf(const QString &path);

    // Reads backup whole into target (a folder); false with *error when it is damaged or newer.
    static bool readWhole(const QString &backup, LinkItem &target, QString *error);

private:
    enum class Copy { Done, NoCollection, Failed };
    Copy copyCollection(QString *error, const CancelCheck &cancel);

    QString m_dataFile;
    Clock m_today;
    int m_keep = DefaultKeep;
};
