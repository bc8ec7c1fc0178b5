#include "formats/FavoritesWriter.h"

#include "formats/ExportProgress.h"
#include "formats/UniqueFileNames.h"
#include "store/LinkItem.h"
#include "store/TextCodec.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>

#include <vector>

namespace {

constexpr qsizetype MaxNameUnits = 120; // UTF-16 units; the UTF-8 form stays within 255 bytes with the rest
constexpr qsizetype MaxNameBytes = 200;
const QString ShortcutExtension = QStringLiteral(".url");

bool isRefused(QChar c)
{
    const char16_t u = c.unicode();
    return u < 0x20 || u == 0x7F || u == u'/' || u == u'\\' || u == u':' || u == u'*' || u == u'?' || u == u'"'
        || u == u'<' || u == u'>' || u == u'|';
}

bool isReservedDeviceName(const QString &name)
{
    QString base = name.section(QLatin1Char('.'), 0, 0).trimmed().toUpper();
    static const QSet<QString> Reserved = [] {
        QSet<QString> names {QStringLiteral("CON"), QStringLiteral("PRN"), QStringLiteral("AUX"),
                             QStringLiteral("NUL")};
        for (int i = 1; i <= 9; ++i) {
            names.insert(QStringLiteral("COM%1").arg(i));
            names.insert(QStringLiteral("LPT%1").arg(i));
        }
        return names;
    }();
    return Reserved.contains(base);
}

// Cuts text to at most units UTF-16 units and bytes UTF-8 bytes, never inside a surrogate pair.
QString cut(QString text, qsizetype units, qsizetype bytes)
{
    while (text.size() > units || text.toUtf8().size() > bytes) {
        qsizetype size = qMin(text.size() - 1, units);
        if (size > 0 && text.at(size - 1).isHighSurrogate())
            --size;
        text.truncate(size);
    }
    return text;
}

struct Directory
{
    const LinkItem *folder;
    QString path;
    UniqueFileNames names;
    int next = 0;
};

class Writer
{
public:
    Writer(ExportReport &report, ExportProgress &ticks) : m_report(report), m_ticks(ticks) { }

    bool run(const QString &directory, const LinkItem &folder);

private:
    bool writeShortcut(const QString &path, std::string_view url);

    ExportReport &m_report;
    ExportProgress &m_ticks;
};

bool Writer::writeShortcut(const QString &path, std::string_view url)
{
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    const QByteArray contents = FavoritesWriter::shortcut(url);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size() || !file.commit()) {
        m_report.fail(QCoreApplication::translate("FavoritesWriter", "Cannot create file %1: %2")
                          .arg(QDir::toNativeSeparators(path), file.errorString()));
        return false;
    }
    return true;
}

bool Writer::run(const QString &directory, const LinkItem &folder)
{
    if (!QDir().mkpath(directory)) {
        m_report.fail(QCoreApplication::translate("FavoritesWriter", "Cannot create folder %1")
                          .arg(QDir::toNativeSeparators(directory)));
        return false;
    }
    std::vector<Directory> stack;
    stack.push_back({&folder, QDir(directory).absolutePath(), {}});
    for (const QString &existing :
         QDir(directory).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
        stack.back().names.insert(existing);

    while (!stack.empty()) {
        Directory &current = stack.back();
        if (current.next == current.folder->Children.Count()) {
            stack.pop_back();
            continue;
        }
        const LinkItem *item = current.folder->Children.Get(current.next++);
        const QString base = FavoritesWriter::safeFileName(TextCodec::toDisplay(item->Name));
        if (item->isFolder()) {
            const QString path = current.path + QLatin1Char('/') + current.names.take(base, QString());
            if (!QDir().mkdir(path)) {
                m_report.fail(QCoreApplication::translate("FavoritesWriter", "Cannot create folder %1")
                                  .arg(QDir::toNativeSeparators(path)));
                return false;
            }
            ++m_report.folders;
            stack.push_back({item, path, {}}); // current is no longer valid after this
        } else {
            const QString path = current.path + QLatin1Char('/') + current.names.take(base, ShortcutExtension);
            if (!writeShortcut(path, item->Url))
                return false;
            ++m_report.links;
        }
        if (!m_ticks.tick(*item)) {
            m_report.cancel();
            return false;
        }
    }
    return true;
}

} // namespace

QString FavoritesWriter::safeFileName(const QString &name)
{
    QString safe = name;
    for (QChar &c : safe) {
        if (isRefused(c))
            c = QLatin1Char('_');
    }
    for (qsizetype i = 0; i < safe.size() && safe.at(i) == QLatin1Char('.'); ++i)
        safe[i] = QLatin1Char('_');
    safe = cut(safe, MaxNameUnits, MaxNameBytes);
    while (!safe.isEmpty() && (safe.back() == QLatin1Char('.') || safe.back().isSpace()))
        safe.chop(1);
    if (safe.isEmpty())
        return QStringLiteral("_");
    if (isReservedDeviceName(safe))
        safe += QLatin1Char('_');
    return safe;
}

QByteArray FavoritesWriter::shortcut(std::string_view url)
{
    QByteArray value(url.data(), static_cast<qsizetype>(url.size()));
    value.replace('\r', "%0D");
    value.replace('\n', "%0A");
    value.replace('\0', "%00");
    return QByteArrayLiteral("[InternetShortcut]\r\nURL=") + value + QByteArrayLiteral("\r\n");
}

ExportReport FavoritesWriter::write(const QString &directory, const LinkItem &folder, const Progress &progress)
{
    ExportReport report;
    ExportProgress ticks(progress);
    Writer writer(report, ticks);
    writer.run(directory, folder);
    return report;
}
