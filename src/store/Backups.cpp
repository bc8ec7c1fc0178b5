#include "store/Backups.h"

#include "platform/FileSync.h"
#include "store/LinkItem.h"
#include "store/NativeFile.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include <algorithm>

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
            *error = file.errorString();
        return false;
    }
    file.setPermissions(Private);
    if (!write(file) || !platform::syncFile(file)) {
        if (error && error->isEmpty())
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    platform::syncDirectory(QFileInfo(path).absolutePath());
    return true;
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

bool Backups::makeDaily(QString *error)
{
    if (hasToday() || !QFileInfo::exists(m_dataFile))
        return true;
    return copyDataFile(error);
}

bool Backups::copyDataFile(QString *error)
{
    QFile source(m_dataFile);
    if (!source.open(QIODevice::ReadOnly)) {
        if (error)
            *error = source.errorString();
        return false;
    }
    if (!platform::makePrivateFolder(folder(), error))
        return false;
    const bool copied = writeAtomically(pathFor(today()), error, [&](QSaveFile &file) {
        char buffer[64 * 1024];
        qint64 n;
        while ((n = source.read(buffer, sizeof buffer)) > 0) {
            if (file.write(buffer, n) != n)
                return false;
        }
        if (n < 0 && error)
            *error = source.errorString();
        return n == 0;
    });
    if (copied)
        rotate();
    return copied;
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
        if (!file.open(QIODevice::ReadOnly)) {
            entry.error = file.errorString();
        } else {
            const NativeFile::ReadResult result = NativeFile::read(file, top, /*refuseNewer=*/true);
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
    const auto files = backupFiles(folder());
    for (std::size_t i = static_cast<std::size_t>(m_keep); i < files.size(); ++i)
        QFile::remove(files[i].second);
}

Backups::Restore Backups::restore(const QString &backup, QString *error)
{
    // Read it before today's backup is made: that may be the very file.
    QFile file(backup);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QCoreApplication::translate("Backups", "Cannot open file %1: %2")
                         .arg(QDir::toNativeSeparators(backup), file.errorString());
        return Restore::Failed;
    }
    const QByteArray bytes = file.readAll();
    file.close();
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    LinkItem top;
    const NativeFile::ReadResult result = NativeFile::read(buffer, top, /*refuseNewer=*/true);
    if (!result.ok()) {
        if (error)
            *error = QCoreApplication::translate("Backups", "%1 cannot be restored: %2")
                         .arg(QDir::toNativeSeparators(backup), result.error);
        return Restore::Unreadable;
    }
    if (QFileInfo::exists(m_dataFile) && !copyDataFile(error))
        return Restore::Failed;
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
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const NativeFile::ReadResult result = NativeFile::read(file, target, /*refuseNewer=*/true);
    if (!result.ok() && error)
        *error
            = result.error.isEmpty() ? QCoreApplication::translate("Backups", "The backup is damaged.") : result.error;
    return result.ok();
}
