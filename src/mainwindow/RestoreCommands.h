#pragma once

#include "store/Backups.h"

#include <QFuture>
#include <QObject>
#include <QString>

class CollectionDocument;
class CollectionView;
class QWidget;
class RestoreDialog;

// The daily backups of the data file as the main window makes them (at start-up, before an import and before a
// clean-up that removes many items) and "Restore from Backup", which puts a backup's collection in place of the
// shown one after keeping that as today's backup.
class RestoreCommands : public QObject
{
    Q_OBJECT
public:
    // A clean-up that removes more items than this keeps a backup first.
    static constexpr int LargeRemoval = 100;

    RestoreCommands(CollectionDocument *document, CollectionView *view, QWidget *parent);
    // Stops a start-up backup under way; it leaves no file behind.
    ~RestoreCommands() override;

    // The data file whose backups are made; the user's own unless set (tests).
    void setDataFile(const QString &path) { m_dataFile = path; }
    QString dataFile() const { return m_dataFile; }
    // The date backups are named after (tests simulate days); the system's date unless set.
    void setClock(Backups::Clock clock) { m_clock = std::move(clock); }
    // How many daily backups are kept.
    void setKept(int kept) { m_kept = kept; }

    Backups backups() const;

    // The start-up backup: a copy of the data file as it was read, when there is none of today yet. It is made
    // on the background pool (the file may be large); dailyBackupEnded tells when it is done.
    void keepDaily();
    bool isKeepingDaily() const { return m_keepingDaily; }
    // Keeps the collection as it is now as today's backup; an error box when that failed.
    bool keepBackup();

    // "Restore from Backup...": the list of backups, the question, then the restore.
    void restoreFromBackup();
    // Puts the collection of backup in place of the shown one after keeping that as today's backup. False,
    // with nothing changed and an error box, when the backup cannot be read whole or the collection cannot be kept.
    bool restore(const QString &backup);

signals:
    // The dialog is about to be shown (tests answer it).
    void dialogShown(RestoreDialog *dialog);
    // The start-up backup ended; error says why none was made (empty when there was nothing to do).
    void dailyBackupEnded(bool kept, const QString &error);

private:
    // What the start-up backup came to: whether it was made, and why not.
    struct Daily
    {
        bool kept = false;
        QString error;
    };

    void dailyEnded(const Daily &daily);
    // Cancels the start-up backup and waits for it to end (a few milliseconds: it looks at the cancel often).
    void stopDaily();

    CollectionDocument *m_document;
    CollectionView *m_view;
    QWidget *m_parent;
    QString m_dataFile;
    Backups::Clock m_clock;
    int m_kept = Backups::DefaultKeep;
    QFuture<Daily> m_daily;
    bool m_keepingDaily = false;
    int m_dailyRuns = 0;
};
