#pragma once

#include "settings/SyncSettings.h"

#include "settings/ColumnInfo.h"
#include "settings/WindowBounds.h"

#include <QString>
#include <QtGlobal>

#include <memory>

class QSettings;
class QVariant;

// The per-user settings: the main window's bounds and layout, the link list's columns, view style and
// sort order, and the tip-of-the-day switch. Stored through QSettings (organisation "Orbrook Software",
// application "Quillmark") under "1.0/Main Window/<Value>", except "1.0/ShowTip". Integers and booleans
// are numbers (booleans 0 or 1), "ColumnsInfo" is a 45-byte QByteArray.
//
// Getters never fail: a value that is missing or does not read as its kind gives the default. Nothing is
// cached here; every getter reads the settings afresh. Every setter writes its value to disk at once and
// returns false when that failed; errorString() then names the value. Between BeginUpdate and EndUpdate
// the setters only collect their values, and EndUpdate writes them all at once.
class Settings
{
public:
    Settings();
    ~Settings();

    Settings(const Settings &) = delete;
    Settings &operator=(const Settings &) = delete;

    ColumnLayout GetColumnsInfo();
    // Whether column widths were stored (a first start has none).
    bool HasColumnsInfo();
    bool SetColumnsInfo(const ColumnLayout &columns);
    bool GetDescriptionPane();
    bool SetDescriptionPane(bool shown);
    qint32 GetDescriptionPaneHeight();
    bool SetDescriptionPaneHeight(qint32 height);
    // 0 hidden, 1 shown with the Folders bar, 2 shown with the button released; anything else reads as 1.
    qint32 GetExplorerBar();
    bool SetExplorerBar(quint8 state);
    bool GetFolderPane();
    bool SetFolderPane(bool shown);
    qint32 GetFoldersBarWidth();
    bool SetFoldersBarWidth(qint32 width);
    // 0 large icons, 1 small icons, 2 list, 3 details; anything else reads as 3.
    qint32 GetListStyle();
    bool SetListStyle(quint8 style);
    WindowBounds GetWindowBounds();
    // Whether the window's bounds were stored (a first start has none).
    bool HasWindowBounds();
    // Writes "Left", "Top", "Width" and "Height" in that order and stops at the first that fails.
    bool SetWindowBounds(qint32 left, qint32 top, qint32 width, qint32 height);
    bool GetSort();
    bool SetSort(bool ascending);
    qint32 GetSortColumn();
    bool SetSortColumn(qint32 column);
    bool GetStatusBar();
    bool SetStatusBar(bool shown);
    bool GetShowTip();
    bool SetShowTip(bool show);
    bool GetToolbar();
    bool SetToolbar(bool shown);
    // How many daily backups of the data file are kept ("1.0/BackupsKept"); below 1 reads as the default.
    qint32 GetBackupsKept();
    bool SetBackupsKept(qint32 kept);
    // What else two addresses may differ in for Find Duplicates and for imports that skip links the
    // collection has ("1.0/Duplicates/<Value>"), and whether imports skip them; all off by default.
    bool GetIgnoreFragment();
    bool SetIgnoreFragment(bool ignore);
    bool GetIgnoreTracking();
    bool SetIgnoreTracking(bool ignore);
    bool GetIgnoreSchemeAndWww();
    bool SetIgnoreSchemeAndWww(bool ignore);
    bool GetSkipKnownLinks();
    bool SetSkipKnownLinks(bool skip);
    // How long Check Links waits for a site, in seconds ("1.0/LinkCheckTimeout"); outside 1 to 3600 reads as
    // the default.
    qint32 GetLinkCheckTimeout();

    // Where and when the collection syncs ("1.0/Sync/<Value>"); the password is kept in the desktop's secret
    // store, never here.
    SyncSettings GetSync();
    bool SetSync(const SyncSettings &sync);

    // The folder a file dialog showed when it was last accepted ("1.0/Dialog Folders/<dialog>"); empty
    // when it was never used.
    QString GetDialogFolder(const QString &dialog);
    bool SetDialogFolder(const QString &dialog, const QString &folder);

    // From here on the setters keep their values until EndUpdate.
    void BeginUpdate();
    // Writes the values set since BeginUpdate to disk, once. False when that failed; errorString() then
    // names the first of them.
    bool EndUpdate();

    // Flushes the settings and lets them go; a later call opens them again.
    void Close();

    // "Failed to set data for '<Value>'" after a setter returned false; empty after one that succeeded.
    QString errorString() const { return m_error; }

    // Points every store created from now on at folder (tests and portable set-ups).
    static void SetStorageFolder(const QString &folder);

    static constexpr int ColumnsInfoSize = 45;
    static constexpr qint32 DefaultBackupsKept = 15;
    static constexpr qint32 DefaultLinkCheckTimeout = 15;

private:
    QSettings &settings();
    bool ReadBoolDefault(const QString &key, bool defaultValue);
    qint32 ReadIntegerDefault(const QString &key, qint32 defaultValue);
    bool writeInteger(const QString &key, qint32 value);
    bool write(const QString &key, const QVariant &value);
    bool sync(const QString &key);

    std::unique_ptr<QSettings> m_settings;
    QString m_error;
    bool m_updating = false;
    QString m_firstUpdated; // the first key set since BeginUpdate
};
