#include "store/Backups.h"

#include "platform/FileSync.h"
#include "platform/RegularFile.h"
#include "platform/WriteError.h"
#include "store/LinkItem.h"
#include "store/NativeFile.h"
#include "store/Repository.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include <algorithm>
#include <new>

namespace {
const QString FolderName = QStringLiteral("backups");
const QString DateFormat = QStringLiteral("yyyy-MM-dd");
const QString Prefix = QStringLiteral("Quillmark-");
const QString Suffix = QStringLiteral(".dat");
constexpr auto Private = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

// The date in a backup's file name; invalid for any other file.
QDate dateInName(const QString &fileName)
{
    static const QRegularExpression pattern(QStringLiteral("^Quillmark-(\\d{4}-\\d{2}-\\d{2})\\.dat$"));
    const QRegularExpressionMatch match = pattern.match(fileName);
    return match.hasMatch() ? QDate::fromString(match.captured(1), DateFormat) : QDate();
}

// The backups in folder, newest first.
std::vector<std::pair<QDate, QString>> backupFiles(const QString &folder)
{
    std::vector<std::pair<QDate, QString>> files;
    const QStringList names = QDir(folder).entryList({Prefix + QLatin1Char('*') + Suffix}, QDir::Files);
    for (const QString &name : names) {
        const QDate date = dateInName(name);
        if (date.isValid())
            files.emplace_back(date, QDir(folder).filePath(name));
    }
    std::sort(files.begin(), files.end(), [](const auto &a, const auto &b) { return a.first > b.first; });
    return files;
}

// Writes through a temporary file that is synced and renamed over path, readable by the user alone.
template<typename Write> bool writeAtomically(const QString &path, QString *error, Write write)
{
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = platform::writeError(file, path);
        return false;
    }
    file.setPermissions(Private);
    if (!write(file) || !platform::syncFile(file)) {
        if (error && error->isEmpty())
            *error = platform::writeError(file, path);
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = platform::writeError(file, path);
        return false;
    }
    platform::syncDirectory(QFileInfo(path).absolutePath());
    return true;
}

// Opens path for reading when it is a regular file.
bool openFile(QFile &file, QString *error)
{
    if (platform::openRegularFile(file))
        return true;
    if (error) {
        const QString path = QDir::toNativeSeparators(file.fileName());
        *error = QFileInfo(file.fileName()).isFile()
            ? QCoreApplication::translate("Backups", "Cannot open file %1: %2").arg(path, file.errorString())
            : QCoreApplication::translate("Backups", "%1 is not a regular file.").arg(path);
    }
    return false;
}

// Reads the collection at the start of an open file into target, leaving the file just after it; *end is
// where it ends. With whole, bytes after the collection make the file unreadable: no backup has any.
NativeFile::ReadResult readCollection(QFile &file, LinkItem &target, bool whole, qint64 *end,
                                      const CancelCheck &cancel = {})
{
    Progress progress;
    if (cancel)
        progress = [&cancel](int, int) { return !cancel(); };
    NativeFile::ReadResult result = NativeFile::read(file, target, /*refuseNewer=*/true, std::move(progress));
    *end = file.pos();
    if (result.ok() && whole && *end != file.size()) {
        result.status = NativeFile::ReadResult::Damaged;
        result.error = QCoreApplication::translate("Backups", "The file goes on for %1 bytes after its collection.")
                           .arg(file.size() - *end);
    }
    if (!result.ok() && result.error.isEmpty())
        result.error = QCoreApplication::translate("Backups", "The file is damaged.");
    return result;
}

// The first count bytes of an open file; false (with *error) when they cannot all be read or held.
bool readStart(QFile &file, qint64 count, QByteArray *bytes, QString *error)
{
    try {
        if (file.seek(0)) {
            *bytes = file.read(count);
            if (bytes->size() == count)
                return true;
        }
    } catch (const std::bad_alloc &) {
        // told below
    }
    bytes->clear();
    if (error)
        *error = QCoreApplication::translate("Backups", "Cannot read file %1 again.")
                     .arg(QDir::toNativeSeparators(file.fileName()));
    return false;
}
} // namespace

Backups::Backups(const QString &dataFile, Clock today)
    : m_dataFile(dataFile), m_today(today ? std::move(today) : Clock([] { return QDate::currentDate(); }))
{
}

QString Backups::folder() const
{
    return QFileInfo(m_dataFile).absoluteDir().filePath(FolderName);
}

QString Backups::pathFor(QDate date) const
{
    return QDir(folder()).filePath(Prefix + date.toString(DateFormat) + Suffix);
}

bool Backups::hasToday() const
{
    return QFileInfo::exists(pathFor(today()));
}

bool Backups::makeDaily(QString *error, const CancelCheck &cancel)
{
    if (hasToday() || !QFileInfo::exists(m_dataFile))
        return true;
    return copyDataFile(error, cancel);
}

bool Backups::copyDataFile(QString *error, const CancelCheck &cancel)
{
    return copyCollection(error, cancel) == Copy::Done;
}

Backups::Copy Backups::copyCollection(QString *error, const CancelCheck &cancel)
{
    QFile source(m_dataFile);
    if (!openFile(source, error))
        return Copy::NoCollection;
    // Where the collection ends: what a file holds after it (a sparse tail of many gigabytes, say) is not data,
    // and the next save leaves it out too.
    qint64 end = 0;
    {
        auto scratch = LinkItem::MakeFolder(std::string());
        const NativeFile::ReadResult read = readCollection(source, *scratch, /*whole=*/false, &end, cancel);
        if (!read.ok()) {
            if (error)
                *error = read.status == NativeFile::ReadResult::Cancelled
                    ? QCoreApplication::translate("Backups", "The backup was cancelled.")
                    : QCoreApplication::translate(
                          "Backups", "%1 does not hold a collection that can be read whole (%2); no backup was made.")
                          .arg(QDir::toNativeSeparators(m_dataFile), read.error);
            return read.status == NativeFile::ReadResult::Cancelled ? Copy::Failed : Copy::NoCollection;
        }
    }
    if (!source.seek(0)) {
        if (error)
            *error = QCoreApplication::translate("Backups", "Cannot read file %1 again.")
                         .arg(QDir::toNativeSeparators(m_dataFile));
        return Copy::Failed;
    }
    if (!platform::makePrivateFolder(folder(), error))
        return Copy::Failed;
    const bool copied = writeAtomically(pathFor(today()), error, [&](QSaveFile &file) {
        char buffer[64 * 1024];
        for (qint64 left = end; left > 0;) {
            if (cancel && cancel()) {
                if (error)
                    *error = QCoreApplication::translate("Backups", "The backup was cancelled.");
                return false;
            }
            const qint64 n = source.read(buffer, std::min<qint64>(left, sizeof buffer));
            if (n <= 0) {
                if (error)
                    *error = QCoreApplication::translate("Backups", "Cannot read file %1 again.")
                                 .arg(QDir::toNativeSeparators(m_dataFile));
                return false;
            }
            if (file.write(buffer, n) != n)
                return false;
            left -= n;
        }
        return true;
    });
    if (!copied)
        return Copy::Failed;
    rotate();
    return Copy::Done;
}

bool Backups::save(const LinkItem &root, QString *error)
{
    if (!platform::makePrivateFolder(folder(), error))
        return false;
    const bool saved = writeAtomically(pathFor(today()), error,
                                       [&](QSaveFile &file) { return NativeFile::write(file, root, error); });
    if (saved)
        rotate();
    return saved;
}

std::vector<Backups::Entry> Backups::list() const
{
    std::vector<Entry> entries;
    for (const auto &[date, path] : backupFiles(folder())) {
        Entry entry;
        entry.path = path;
        entry.date = date;
        entry.size = QFileInfo(path).size();
        LinkItem top;
        QFile file(path);
        if (openFile(file, &entry.error)) {
            qint64 end = 0;
            const NativeFile::ReadResult result = readCollection(file, top, /*whole=*/true, &end);
            entry.readable = result.ok();
            entry.folders = result.folders;
            entry.links = result.links;
            entry.error = result.error;
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

void Backups::rotate() const
{
    if (m_keep == 0)
        return;
    // A date after tomorrow is the mark of a clock that was wrong, not of the newest backup: such files would
    // push out every real one. Tomorrow counts still, for a machine a little ahead of another.
    const QDate day = today();
    const QDate latest = day.addDays(1);
    int kept = 0;
    for (const auto &[date, path] : backupFiles(folder())) {
        if (date > latest)
            continue;
        if (kept < m_keep || date == day)
            ++kept;
        else
            QFile::remove(path);
    }
}

Backups::Restore Backups::restore(const QString &backup, QString *error)
{
    // Read it before today's backup is made: that may be the very file.
    QFile file(backup);
    QString openError;
    if (!openFile(file, &openError)) {
        if (error)
            *error = openError;
        return Restore::Failed;
    }
    QByteArray bytes;
    {
        LinkItem top;
        qint64 end = 0;
        const NativeFile::ReadResult result = readCollection(file, top, /*whole=*/true, &end);
        if (!result.ok()) {
            if (error)
                *error = QCoreApplication::translate("Backups", "%1 cannot be restored: %2")
                             .arg(QDir::toNativeSeparators(backup), result.error);
            return Restore::Unreadable;
        }
        if (!readStart(file, end, &bytes, error))
            return Restore::Failed;
    }
    file.close();
    if (QFileInfo::exists(m_dataFile)) {
        QString copyError;
        switch (copyCollection(&copyError, nullptr)) {
        case Copy::Done:
            break;
        case Copy::NoCollection:
            // What cannot be kept as a backup is kept as it is, under a name of its own.
            if (!platform::keepCopy(m_dataFile, Repository::setAsideName(m_dataFile))) {
                if (error)
                    *error = copyError;
                return Restore::Failed;
            }
            break;
        case Copy::Failed:
            if (error)
                *error = copyError;
            return Restore::Failed;
        }
    }
    if (!writeAtomically(m_dataFile, error, [&](QSaveFile &out) { return out.write(bytes) == bytes.size(); }))
        return Restore::Failed;
    return Restore::Done;
}

QDate Backups::dateOf(const QString &path)
{
    return dateInName(QFileInfo(path).fileName());
}

bool Backups::readWhole(const QString &backup, LinkItem &target, QString *error)
{
    QFile file(backup);
    if (!openFile(file, error))
        return false;
    qint64 end = 0;
    const NativeFile::ReadResult result = readCollection(file, target, /*whole=*/true, &end);
    if (!result.ok() && error)
        *error = result.error;
    return result.ok();
}
