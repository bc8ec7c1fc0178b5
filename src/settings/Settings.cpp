#include "settings/Settings.h"

#include "platform/FileSync.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QVariant>
#include <QtEndian>

#include <optional>
#include <utility>

namespace {

const QString BaseKey = QStringLiteral("1.0/");
const QString LayoutKey = QStringLiteral("1.0/Main Window/");

QString layoutKey(const char *name)
{
    return LayoutKey + QLatin1String(name);
}

constexpr int RecordSize = 9;

// The width of the primary screen, or none without a screen to measure.
std::optional<qint32> screenWidth()
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return std::nullopt;
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return std::nullopt;
    return screen->geometry().width();
}

qint32 readInt32(const char *bytes)
{
    return qFromLittleEndian<qint32>(bytes);
}

void appendInt32(QByteArray &bytes, qint32 value)
{
    char buffer[4];
    qToLittleEndian(value, buffer);
    bytes.append(buffer, sizeof buffer);
}

// A stored number as a signed 32-bit value: a number of at most 32 bits, or text that is exactly such a
// number (the INI format gives numbers back as text). Anything else does not read.
std::optional<qint32> toInt32(const QVariant &value)
{
    switch (value.metaType().id()) {
    case QMetaType::Int:
        return value.toInt();
    case QMetaType::UInt:
        return qint32(value.toUInt());
    case QMetaType::QString: {
        bool ok = false;
        const qint32 result = value.toString().toInt(&ok, 10);
        if (ok)
            return result;
        return std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

} // namespace

Settings::Settings()
{
    settings();
}

Settings::~Settings() = default;

QSettings &Settings::settings()
{
    if (!m_settings) {
        m_settings = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                                 QStringLiteral("Orbrook Software"), QStringLiteral("Quillmark"));
    }
    return *m_settings;
}

void Settings::Close()
{
    if (m_settings) {
        m_settings->sync();
        platform::makeFilePrivate(m_settings->fileName());
    }
    m_settings.reset();
}

void Settings::SetStorageFolder(const QString &folder)
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
}

bool Settings::ReadBoolDefault(const QString &key, bool defaultValue)
{
    const std::optional<qint32> value = toInt32(settings().value(key));
    return value ? *value != 0 : defaultValue;
}

qint32 Settings::ReadIntegerDefault(const QString &key, qint32 defaultValue)
{
    return toInt32(settings().value(key)).value_or(defaultValue);
}

bool Settings::write(const QString &key, const QVariant &value)
{
    settings().setValue(key, value);
    if (!m_updating)
        return sync(key);
    if (m_firstUpdated.isEmpty())
        m_firstUpdated = key;
    return true;
}

bool Settings::sync(const QString &key)
{
    QSettings &store = settings();
    store.sync();
    platform::makeFilePrivate(store.fileName()); // a new file got the rights the file-creation mask left
    if (store.status() == QSettings::NoError) {
        m_error.clear();
        return true;
    }
    m_error
        = QCoreApplication::translate("Settings", "Failed to set data for '%1'").arg(key.section(QLatin1Char('/'), -1));
    // QSettings keeps reporting an error once it had one: the next operation starts with a fresh object.
    m_settings.reset();
    return false;
}

void Settings::BeginUpdate()
{
    m_updating = true;
    m_firstUpdated.clear();
}

bool Settings::EndUpdate()
{
    m_updating = false;
    if (m_firstUpdated.isEmpty())
        return true;
    return sync(std::exchange(m_firstUpdated, QString()));
}

bool Settings::writeInteger(const QString &key, qint32 value)
{
    return write(key, QVariant(value));
}

ColumnLayout Settings::GetColumnsInfo()
{
    const QVariant stored = settings().value(layoutKey("ColumnsInfo"));
    if (stored.metaType().id() != QMetaType::QByteArray)
        return DefaultColumns();
    const QByteArray bytes = stored.toByteArray();
    if (bytes.size() != ColumnsInfoSize)
        return DefaultColumns();

    const std::optional<qint32> maxWidth = screenWidth();
    ColumnLayout columns;
    for (std::size_t k = 0; k < columns.size(); ++k) {
        const char *record = bytes.constData() + k * RecordSize;
        qint32 width = readInt32(record);
        if (maxWidth && width > *maxWidth)
            width = *maxWidth;
        columns[k].Width = width;
        columns[k].Caption = ColumnCaption(readInt32(record + 4));
        columns[k].Visible = record[8] != 0 ? 1 : 0;
    }
    // Only the first three columns are checked for repeats.
    if (columns[0].Caption == columns[1].Caption || columns[0].Caption == columns[2].Caption
        || columns[1].Caption == columns[2].Caption) {
        return DefaultColumns();
    }
    return columns;
}

bool Settings::HasColumnsInfo()
{
    return settings().value(layoutKey("ColumnsInfo")).toByteArray().size() == ColumnsInfoSize;
}

bool Settings::SetColumnsInfo(const ColumnLayout &columns)
{
    QByteArray bytes;
    bytes.reserve(ColumnsInfoSize);
    for (const ColumnInfo &column : columns) {
        appendInt32(bytes, column.Width);
        appendInt32(bytes, ColumnIdOf(column.Caption));
        bytes.append(column.Visible != 0 ? '\1' : '\0');
    }
    return write(layoutKey("ColumnsInfo"), bytes);
}

bool Settings::GetDescriptionPane()
{
    return ReadBoolDefault(layoutKey("DescriptionPane"), true);
}
bool Settings::SetDescriptionPane(bool shown)
{
    return writeInteger(layoutKey("DescriptionPane"), shown ? 1 : 0);
}

qint32 Settings::GetDescriptionPaneHeight()
{
    return ReadIntegerDefault(layoutKey("DescriptionPaneHeight"), 180);
}
bool Settings::SetDescriptionPaneHeight(qint32 height)
{
    return writeInteger(layoutKey("DescriptionPaneHeight"), height);
}

qint32 Settings::GetExplorerBar()
{
    const qint32 state = ReadIntegerDefault(layoutKey("ExplorerBar"), 1);
    return state < 0 || state > 2 ? 1 : state;
}
bool Settings::SetExplorerBar(quint8 state)
{
    return writeInteger(layoutKey("ExplorerBar"), state);
}

bool Settings::GetFolderPane()
{
    return ReadBoolDefault(layoutKey("FolderPane"), true);
}
bool Settings::SetFolderPane(bool shown)
{
    return writeInteger(layoutKey("FolderPane"), shown ? 1 : 0);
}

qint32 Settings::GetFoldersBarWidth()
{
    return ReadIntegerDefault(layoutKey("FoldersBarWidth"), 180);
}
bool Settings::SetFoldersBarWidth(qint32 width)
{
    return writeInteger(layoutKey("FoldersBarWidth"), width);
}

qint32 Settings::GetListStyle()
{
    const qint32 style = ReadIntegerDefault(layoutKey("ListStyle"), 3);
    return style < 0 || style > 3 ? 3 : style;
}
bool Settings::SetListStyle(quint8 style)
{
    return writeInteger(layoutKey("ListStyle"), style);
}

WindowBounds Settings::GetWindowBounds()
{
    WindowBounds bounds;
    bounds.Left = ReadIntegerDefault(layoutKey("Left"), 0);
    bounds.Top = ReadIntegerDefault(layoutKey("Top"), 0);
    bounds.Right = bounds.Left + ReadIntegerDefault(layoutKey("Width"), 640);
    bounds.Bottom = bounds.Top + ReadIntegerDefault(layoutKey("Height"), 480);
    return bounds;
}

namespace {
QString syncKey(const char *value)
{
    return QStringLiteral("1.0/Sync/") + QLatin1String(value);
}
} // namespace

SyncSettings Settings::GetSync()
{
    SyncSettings sync;
    const auto text = [this](const char *value, const QString &defaultValue) {
        const QVariant stored = settings().value(syncKey(value));
        return stored.metaType().id() == QMetaType::QString ? stored.toString() : defaultValue;
    };
    sync.serverUrl = text("ServerUrl", {});
    sync.user = text("User", {});
    sync.fileName = text("FileName", sync.fileName);
    sync.folderPath = text("Folder", {});
    const qint32 minutes = ReadIntegerDefault(syncKey("EveryMinutes"), 0);
    sync.everyMinutes = minutes >= 0 && minutes <= SyncSettings::MostMinutes ? minutes : 0;
    sync.atStartAndExit = ReadBoolDefault(syncKey("AtStartAndExit"), false);
    return sync;
}

bool Settings::SetSync(const SyncSettings &sync)
{
    return write(syncKey("ServerUrl"), sync.serverUrl) && write(syncKey("User"), sync.user)
        && write(syncKey("FileName"), sync.fileName) && write(syncKey("Folder"), sync.folderPath)
        && writeInteger(syncKey("EveryMinutes"), sync.everyMinutes)
        && writeInteger(syncKey("AtStartAndExit"), sync.atStartAndExit ? 1 : 0);
}

QString Settings::GetDialogFolder(const QString &dialog)
{
    const QVariant stored = settings().value(BaseKey + QStringLiteral("Dialog Folders/") + dialog);
    return stored.metaType().id() == QMetaType::QString ? stored.toString() : QString();
}

bool Settings::SetDialogFolder(const QString &dialog, const QString &folder)
{
    return write(BaseKey + QStringLiteral("Dialog Folders/") + dialog, folder);
}

bool Settings::HasWindowBounds()
{
    return settings().contains(layoutKey("Width")) && settings().contains(layoutKey("Height"));
}

bool Settings::SetWindowBounds(qint32 left, qint32 top, qint32 width, qint32 height)
{
    return writeInteger(layoutKey("Left"), left) && writeInteger(layoutKey("Top"), top)
        && writeInteger(layoutKey("Width"), width) && writeInteger(layoutKey("Height"), height);
}

bool Settings::GetSort()
{
    return ReadBoolDefault(layoutKey("Sort"), true);
}
bool Settings::SetSort(bool ascending)
{
    return writeInteger(layoutKey("Sort"), ascending ? 1 : 0);
}

qint32 Settings::GetSortColumn()
{
    return ReadIntegerDefault(layoutKey("SortColumn"), 0);
}
bool Settings::SetSortColumn(qint32 column)
{
    return writeInteger(layoutKey("SortColumn"), column);
}

bool Settings::GetStatusBar()
{
    return ReadBoolDefault(layoutKey("StatusBar"), true);
}
bool Settings::SetStatusBar(bool shown)
{
    return writeInteger(layoutKey("StatusBar"), shown ? 1 : 0);
}

bool Settings::GetShowTip()
{
    return ReadBoolDefault(BaseKey + QLatin1String("ShowTip"), true);
}
bool Settings::SetShowTip(bool show)
{
    return writeInteger(BaseKey + QLatin1String("ShowTip"), show ? 1 : 0);
}

qint32 Settings::GetBackupsKept()
{
    const qint32 kept = ReadIntegerDefault(BaseKey + QLatin1String("BackupsKept"), DefaultBackupsKept);
    return kept > 0 ? kept : DefaultBackupsKept;
}
qint32 Settings::GetLinkCheckTimeout()
{
    const qint32 seconds = ReadIntegerDefault(BaseKey + QLatin1String("LinkCheckTimeout"), DefaultLinkCheckTimeout);
    return seconds >= 1 && seconds <= 3600 ? seconds : DefaultLinkCheckTimeout;
}

bool Settings::SetBackupsKept(qint32 kept)
{
    return writeInteger(BaseKey + QLatin1String("BackupsKept"), kept);
}

namespace {
QString duplicatesKey(const char *value)
{
    return QStringLiteral("1.0/Duplicates/") + QLatin1String(value);
}
} // namespace

bool Settings::GetIgnoreFragment()
{
    return ReadBoolDefault(duplicatesKey("IgnoreFragment"), false);
}
bool Settings::SetIgnoreFragment(bool ignore)
{
    return writeInteger(duplicatesKey("IgnoreFragment"), ignore ? 1 : 0);
}

bool Settings::GetIgnoreTracking()
{
    return ReadBoolDefault(duplicatesKey("IgnoreTracking"), false);
}
bool Settings::SetIgnoreTracking(bool ignore)
{
    return writeInteger(duplicatesKey("IgnoreTracking"), ignore ? 1 : 0);
}

bool Settings::GetIgnoreSchemeAndWww()
{
    return ReadBoolDefault(duplicatesKey("IgnoreSchemeAndWww"), false);
}
bool Settings::SetIgnoreSchemeAndWww(bool ignore)
{
    return writeInteger(duplicatesKey("IgnoreSchemeAndWww"), ignore ? 1 : 0);
}

bool Settings::GetSkipKnownLinks()
{
    return ReadBoolDefault(duplicatesKey("SkipKnownLinks"), false);
}
bool Settings::SetSkipKnownLinks(bool skip)
{
    return writeInteger(duplicatesKey("SkipKnownLinks"), skip ? 1 : 0);
}

bool Settings::GetToolbar()
{
    return ReadBoolDefault(layoutKey("Toolbar"), true);
}
bool Settings::SetToolbar(bool shown)
{
    return writeInteger(layoutKey("Toolbar"), shown ? 1 : 0);
}
