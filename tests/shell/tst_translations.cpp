// The German catalogue and what it does to the program: German menus without two entries of one menu
// on the same key, every entry of the catalogue finished and keeping its placeholders, dates in the
// locale's form.
#include "common/MenuWindow.h"
#include "mainwindow/LinkListModel.h"
#include "settings/Settings.h"
#include "shell/Translations.h"
#include "store/DateConverter.h"

#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>
#include <QXmlStreamReader>

#include <memory>

namespace {

struct Entry
{
    QString context;
    QString source;
    QString translation;
    bool unfinished = false;
};

QList<Entry> readCatalogue(const QString &path)
{
    QList<Entry> entries;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return entries;
    QXmlStreamReader xml(&file);
    QString context;
    Entry entry;
    while (xml.readNextStartElement() || !xml.atEnd()) {
        if (xml.isEndElement() && xml.name() == QLatin1String("message")) {
            entries << entry;
            continue;
        }
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("message")) {
            entry = Entry {context, QString(), QString(), false};
        } else if (xml.name() == QLatin1String("source")) {
            entry.source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            entry.unfinished = xml.attributes().value(QLatin1String("type")) == QLatin1String("unfinished");
            entry.translation = xml.readElementText();
        }
    }
    return entries;
}

QStringList placeholders(const QString &text)
{
    static const QRegularExpression marker(QStringLiteral("%\\d"));
    QStringList found;
    for (auto it = marker.globalMatch(text); it.hasNext();)
        found << it.next().captured();
    found.sort();
    return found;
}

// The key of an entry: the character after a single "&", lower case; none without one.
QChar accelerator(const QString &text)
{
    for (qsizetype k = 0; k + 1 < text.size(); ++k) {
        if (text[k] == QLatin1Char('&')) {
            if (text[k + 1] != QLatin1Char('&'))
                return text[k + 1].toLower();
            ++k;
        }
    }
    return QChar();
}

void collectMenus(QMenu *menu, const QString &path, QList<std::pair<QString, QMenu *>> &menus)
{
    menus.append({path, menu});
    for (QAction *action : menu->actions()) {
        if (action->menu())
            collectMenus(action->menu(), path + QLatin1Char('/') + action->text(), menus);
    }
}

} // namespace

class TestTranslations : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void catalogueIsComplete();
    void languageFollowsTheLocale_data();
    void languageFollowsTheLocale();
    void menusAreGerman();
    void menuKeysAreDistinct();
    void listDatesFollowTheLocale();

private:
    QTemporaryDir m_dir;
    QStringList m_installed;
};

void TestTranslations::initTestCase()
{
    QVERIFY(m_dir.isValid());
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("data"))));
    Settings::SetStorageFolder(m_dir.filePath(QStringLiteral("config")));
    // main() set a German locale before the application existed, as a German desktop does.
    QCOMPARE(QLocale::system().language(), QLocale::German);
    m_installed = Translations::install(*qApp);
}

void TestTranslations::catalogueIsComplete()
{
    const QList<Entry> entries = readCatalogue(QStringLiteral(QUILLMARK_SOURCE_DIR "/translations/quillmark_de.ts"));
    QVERIFY(entries.size() > 100);
    for (const Entry &entry : entries) {
        const QString where = entry.context + QStringLiteral(": ") + entry.source;
        QVERIFY2(!entry.unfinished && !entry.translation.trimmed().isEmpty(), qPrintable(where));
        QVERIFY2(placeholders(entry.source) == placeholders(entry.translation), qPrintable(where));
        QVERIFY2(accelerator(entry.source).isNull() == accelerator(entry.translation).isNull(), qPrintable(where));
        QVERIFY2(entry.source.count(QLatin1Char('|')) == entry.translation.count(QLatin1Char('|')), qPrintable(where));
    }
}

void TestTranslations::languageFollowsTheLocale_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("expected");
    QTest::newRow("German") << "de_DE"
                            << "quillmark_de";
    QTest::newRow("Austrian German") << "de_AT"
                                     << "quillmark_de";
    QTest::newRow("Swiss German") << "de_CH"
                                  << "quillmark_de";
    QTest::newRow("English") << "en_GB"
                             << "";
    QTest::newRow("French, no catalogue") << "fr_FR"
                                          << "";
    QTest::newRow("the desktop's (LANGUAGE=de)") << ""
                                                 << "quillmark_de";
}

void TestTranslations::languageFollowsTheLocale()
{
    QFETCH(QString, locale);
    QFETCH(QString, expected);
    QCOMPARE(Translations::catalogueFor(locale.isEmpty() ? QLocale::system() : QLocale(locale)), expected);
}

void TestTranslations::menusAreGerman()
{
    QVERIFY2(m_installed.contains(QStringLiteral("quillmark_de")), qPrintable(m_installed.join(u',')));
    MenuWindow form;
    QStringList captions;
    for (QAction *action : form.menuBar()->actions())
        captions << action->text();
    QCOMPARE(captions, (QStringList {"&Datei", "&Bearbeiten", "&Ansicht", "&Hilfe"}));
    QCOMPARE(form.list.model()->headerData(LastVisitColumn, Qt::Horizontal).toString(),
             QStringLiteral("Letzter Besuch"));
    QCOMPARE(LinkListLastVisitText(0.0), QStringLiteral("Nie"));
}

void TestTranslations::menuKeysAreDistinct()
{
    MenuWindow form;
    QList<std::pair<QString, QMenu *>> menus;
    for (QAction *action : form.menuBar()->actions()) {
        if (action->menu())
            collectMenus(action->menu(), action->text(), menus);
    }
    QVERIFY(menus.size() >= 6);
    for (const auto &[path, menu] : menus) {
        QHash<QChar, QString> keys;
        for (QAction *action : menu->actions()) {
            if (action->isSeparator() || !action->isVisible())
                continue;
            const QChar key = accelerator(action->text());
            QVERIFY2(!key.isNull(), qPrintable(path + QStringLiteral(": no key for ") + action->text()));
            QVERIFY2(
                !keys.contains(key),
                qPrintable(path + QStringLiteral(": ") + keys.value(key) + QStringLiteral(" and ") + action->text()));
            keys.insert(key, action->text());
        }
    }
}

void TestTranslations::listDatesFollowTheLocale()
{
    const QDateTime when(QDate(2026, 12, 7), QTime(8, 59, 30));
    const QString text = LinkListLastVisitText(DateConverter::fromDateTime(when));
    QCOMPARE(text.left(text.indexOf(QLatin1Char(' '))), QStringLiteral("07.12.26"));
    QVERIFY2(text.contains(QLatin1String("08:59:30")), qPrintable(text));
}

int main(int argc, char **argv)
{
    // The locale is read when the application starts.
    qputenv("LC_ALL", "de_DE.UTF-8");
    qputenv("LANGUAGE", "de");
    QApplication app(argc, argv);
    TestTranslations test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_translations.moc"
