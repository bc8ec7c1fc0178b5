#pragma once

#include <QString>

#include <memory>

class DataFilePrefetch;
class ErrorReporter;
class LinkItem;
class SlicedSave;

// Owns the collection's root folder; loads the user's data file when created and writes it on Save.
class Repository
{
public:
    enum class LoadState {
        NoFile, // first run: the empty root folder
        Loaded, // the whole file was read
        Damaged, // read as far as it goes; a copy of the file was set aside
        NewerVersion, // "Uncorrect data format.": the empty root folder; the file was set aside
        Unreadable, // the file could not be opened or does not fit in memory: the empty root folder; the
                    // file was set aside
    };

    // Runs Load, with what prefetch has read if one is given. reporter (not owned) receives the
    // messages; none means they are dropped.
    explicit Repository(ErrorReporter *reporter = nullptr, DataFilePrefetch *prefetch = nullptr);
    ~Repository(); // destroys the tree; does not save

    Repository(const Repository &) = delete;
    Repository &operator=(const Repository &) = delete;

    // Replaces Root with a fresh root folder "Quillmark" and fills it from the data file if there is one.
    void Load();
    // Whether a failed Save tells the reporter.
    enum class Reporting { Report, Quiet };
    // Writes Root to the data file in version 10000, atomically. On failure the tree stays as it is,
    // "Cannot create file %s" goes to the reporter (unless Quiet) and errorString() holds the system's reason.
    bool Save(Reporting reporting = Reporting::Report);
    // Save with the event loop running: the same steps and messages, but Root is written a slice at a time
    // (SlicedSave). None when the save could not start: errorString() holds why, told as Save tells it.
    // Otherwise the save's finished() tells the outcome, with errorString() and the message already set.
    // Whoever changes the tree while the save is writing abandons it first; this repository must outlive it.
    std::unique_ptr<SlicedSave> SaveInSlices(Reporting reporting = Reporting::Report);

    LinkItem *Root() const { return m_root.get(); }

    LoadState loadState() const { return m_loadState; }
    // Where an unreadable data file was kept; empty when none was set aside.
    QString setAsidePath() const { return m_setAsidePath; }
    QString errorString() const { return m_error; }

    static QString AppDataPath(); // with a trailing separator; InstallPath when the system has none
    static QString InstallPath(); // with a trailing separator
    static QString DataFolder(); // AppDataPath + "Quillmark/"
    static QString DataFile(); // DataFolder + "Quillmark.dat"

    static constexpr char RootName[] = "Quillmark";
    // A free name beside path to keep an unreadable data file under: "<path>.unreadable-<time>".
    static QString setAsideName(const QString &path);

private:
    void load(DataFilePrefetch *prefetch);
    // Keeps an unreadable data file under a new name in the same folder: a copy when it can be read,
    // the file itself renamed otherwise. False when it could not be kept.
    bool setAside(bool copy);
    void report(const QString &title, const QString &message, const QString &detail = QString());
    // The steps before the file is written: the folder, and an unreadable file moved aside. False (told) when
    // the save cannot go on.
    bool prepareSave(Reporting reporting);
    void saveFailed(Reporting reporting);

    std::unique_ptr<LinkItem> m_root;
    ErrorReporter *m_reporter;
    LoadState m_loadState = LoadState::NoFile;
    QString m_setAsidePath;
    QString m_error;
    bool m_setAsideBeforeSave = false;
};
