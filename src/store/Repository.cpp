#include "store/Repository.h"

#include "platform/FileSync.h"
#include "platform/Paths.h"
#include "store/DataFilePrefetch.h"
#include "store/ErrorReporter.h"
#include "store/LinkItem.h"
#include "store/NativeFile.h"
#include "store/SlicedSave.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

Repository::Repository(ErrorReporter *reporter, DataFilePrefetch *prefetch) : m_reporter(reporter)
{
    load(prefetch);
}

Repository::~Repository() = default;

QString Repository::AppDataPath()
{
    const QString path = platform::appDataPath();
    return path.isEmpty() ? InstallPath() : path;
}

QString Repository::InstallPath()
{
    return platform::installPath();
}

QString Repository::DataFolder()
{
    return AppDataPath() + QStringLiteral("Quillmark/");
}

QString Repository::DataFile()
{
    return DataFolder() + QStringLiteral("Quillmark.dat");
}

void Repository::report(const QString &title, const QString &message, const QString &detail)
{
    if (m_reporter)
        m_reporter->reportError(title, message, detail);
}

void Repository::Load()
{
    load(nullptr);
}

void Repository::load(DataFilePrefetch *prefetch)
{
    m_root.reset();
    m_root = LinkItem::MakeFolder(RootName);
    m_loadState = LoadState::NoFile;
    m_setAsidePath.clear();
    m_error.clear();
    m_setAsideBeforeSave = false;

    const QString path = DataFile();
    // The collection stays the empty root folder; the file is moved aside, never copied: it may be huge.
    const auto unreadable = [this, &path](const QString &error) {
        m_loadState = LoadState::Unreadable;
        m_error = error;
        report(QString(), QCoreApplication::translate("Repository", "Cannot open file %1").arg(path), m_error);
        setAside(false);
    };
    DataFileContents contents = prefetch ? prefetch->take(path) : DataFileContents::readNow(path);
    if (!contents.exists)
        return;
    if (!contents.opened) {
        unreadable(contents.openError);
        return;
    }

    std::unique_ptr<LinkItem> &fresh = contents.root;
    const NativeFile::ReadResult &result = contents.read;
    switch (result.status) {
    case NativeFile::ReadResult::Complete:
    case NativeFile::ReadResult::Cancelled:
        m_loadState = LoadState::Loaded;
        m_root = std::move(fresh);
        return;
    case NativeFile::ReadResult::NewerVersion:
        // The collection stays the empty root folder.
        m_loadState = LoadState::NewerVersion;
        m_error = result.error;
        report(QCoreApplication::translate("Repository", "Error"),
               QCoreApplication::translate("Repository", "Uncorrect data format."));
        setAside(true);
        return;
    case NativeFile::ReadResult::OutOfMemory:
        unreadable(result.error);
        return;
    case NativeFile::ReadResult::Damaged:
        m_loadState = LoadState::Damaged;
        m_error = result.error;
        m_root = std::move(fresh);
        setAside(true);
        return;
    }
}

QString Repository::setAsideName(const QString &path)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString target = path + QStringLiteral(".unreadable-") + stamp;
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = path + QStringLiteral(".unreadable-%1-%2").arg(stamp).arg(n);
    return target;
}

bool Repository::setAside(bool copy)
{
    const QString path = DataFile();
    const QString target = setAsideName(path);

    const bool kept = copy ? platform::keepCopy(path, target) : QFile::rename(path, target);
    if (!kept) {
        // Saving must not write over it until it is out of the way.
        m_setAsideBeforeSave = true;
        if (m_reporter)
            m_reporter->reportNotice(
                QCoreApplication::translate("Repository",
                                            "The data file %1 could not be read and could not be copied aside. "
                                            "Quillmark will move it aside before it saves the collection.")
                    .arg(QDir::toNativeSeparators(path)));
        return false;
    }
    if (copy)
        QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    m_setAsidePath = target;
    if (m_reporter) {
        const QString what = m_loadState == LoadState::Damaged
            ? QCoreApplication::translate("Repository",
                                          "The data file %1 is damaged; Quillmark read as much of it as it could.")
            : QCoreApplication::translate("Repository", "The data file %1 could not be read.");
        m_reporter->reportNotice(what.arg(QDir::toNativeSeparators(path))
                                 + QCoreApplication::translate("Repository", " The file as it was has been kept as %1.")
                                       .arg(QDir::toNativeSeparators(target)));
    }
    return true;
}

bool Repository::prepareSave(Reporting reporting)
{
    m_error.clear();
    const QString path = DataFile();
    platform::makePrivateFolder(DataFolder()); // a failure shows in the create below

    if (m_setAsideBeforeSave && QFileInfo::exists(path)) {
        if (!setAside(false)) {
            m_error = QCoreApplication::translate("Repository", "The unreadable data file could not be moved aside.");
            saveFailed(reporting);
            return false;
        }
    }
    m_setAsideBeforeSave = false;
    return true;
}

void Repository::saveFailed(Reporting reporting)
{
    if (reporting == Reporting::Report)
        report(QString(), QCoreApplication::translate("Repository", "Cannot create file %1").arg(DataFile()), m_error);
}

bool Repository::Save(Reporting reporting)
{
    if (!prepareSave(reporting))
        return false;
    if (!NativeFile::saveAtomically(DataFile(), *m_root, &m_error)) {
        saveFailed(reporting);
        return false;
    }
    return true;
}

std::unique_ptr<SlicedSave> Repository::SaveInSlices(Reporting reporting)
{
    if (!prepareSave(reporting))
        return nullptr;
    auto save = std::make_unique<SlicedSave>(DataFile(), *m_root);
    if (!save->start()) {
        m_error = save->errorString();
        saveFailed(reporting);
        return nullptr;
    }
    // Connected first, so that whoever follows the save sees the outcome recorded and told.
    QObject::connect(save.get(), &SlicedSave::finished, save.get(), [this, reporting, raw = save.get()](bool ok) {
        if (ok)
            return;
        m_error = raw->errorString();
        saveFailed(reporting);
    });
    return save;
}
