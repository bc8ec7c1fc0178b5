#include "common/MenuWindow.h"
#include "settings/Settings.h"
#include "shell/BuiltInHelp.h"
#include "shell/HelpBook.h"
#include "shell/HelpWindow.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTreeWidget>

namespace {

QString resourcePath(const QUrl &page)
{
    return QLatin1Char(':') + page.path();
}

QString pageText(const QUrl &page)
{
    QFile file(resourcePath(page));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

class TestHelpBook : public QObject
{
    Q_OBJECT
private slots:
    void everyMenuNumberHasATopic();
    void contentsHoldEveryPageAndLinksResolve();
    void helpWindowShowsTopics();
    void requestsTheBookCannotAnswer();

private:
    HelpBook m_book;
};

// Every help context number of the main menu leads to a topic that tells the user something.
void TestHelpBook::everyMenuNumberHasATopic()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath(QStringLiteral("data"))));
    Settings::SetStorageFolder(dir.filePath(QStringLiteral("config")));
    MenuWindow window;
    QSet<int> numbers;
    for (QAction *action : window.findChildren<QAction *>()) {
        if (const int context = action->property("helpContext").toInt(); context > 0)
            numbers.insert(context);
    }
    // File to Help: 38 numbers, and the about box (404) and the tip of the day (402) among them.
    QVERIFY2(numbers.size() >= 38, qPrintable(QString::number(numbers.size())));
    QVERIFY(numbers.contains(402) && numbers.contains(404));
    for (const int context : std::as_const(numbers)) {
        const QUrl topic = m_book.topicPage(context);
        QVERIFY2(!topic.isEmpty(), qPrintable(QStringLiteral("no topic for %1").arg(context)));
        const QString html = pageText(topic);
        QVERIFY2(!html.isEmpty(), qPrintable(topic.toString()));
        QTextDocument document;
        document.setHtml(html);
        QVERIFY2(!document.metaInformation(QTextDocument::DocumentTitle).isEmpty(), qPrintable(topic.toString()));
        // A topic tells the user something: more than a heading and a line.
        QVERIFY2(document.toPlainText().size() > 200, qPrintable(topic.toString()));
    }
}

void TestHelpBook::contentsHoldEveryPageAndLinksResolve()
{
    QSet<QString> listed;
    for (const HelpBook::Entry &entry : m_book.Contents()) {
        QVERIFY2(QFile::exists(resourcePath(entry.page)), qPrintable(entry.page.toString()));
        QVERIFY(!entry.title.isEmpty());
        listed.insert(entry.page.fileName());
    }
    QCOMPARE(m_book.Contents().first().page, m_book.ContentsPage());

    static const QRegularExpression reference(QStringLiteral("(?:href|src)=\"([^\"#]+)"));
    const QStringList pages = QDir(QStringLiteral(":/help")).entryList({QStringLiteral("*.html")});
    QVERIFY(pages.size() > 38);
    for (const QString &page : pages) {
        QVERIFY2(listed.contains(page), qPrintable(page + " is missing from the contents"));
        const QString html = pageText(HelpBook::PageUrl(page));
        for (auto match = reference.globalMatch(html); match.hasNext();) {
            const QString target = match.next().captured(1);
            if (target.contains(QLatin1Char(':')))
                continue; // a web or mail address
            QVERIFY2(QFile::exists(QStringLiteral(":/help/") + target), qPrintable(page + " -> " + target));
        }
    }
}

void TestHelpBook::helpWindowShowsTopics()
{
    BuiltInHelp help;
    QVERIFY(!help.window());
    help.showTopic(1022);
    HelpWindow *window = help.window();
    QVERIFY(window && window->isVisible());
    QCOMPARE(window->browser()->source(), m_book.topicPage(1022));
    QCOMPARE(window->contentsTree()->currentItem()->data(0, Qt::UserRole).toUrl(), m_book.topicPage(1022));

    help.showContents();
    QCOMPARE(window->browser()->source(), m_book.ContentsPage());
    QVERIFY(window->backAction()->isEnabled());
    window->backAction()->trigger();
    QCOMPARE(window->browser()->source(), m_book.topicPage(1022));
    QVERIFY(window->forwardAction()->isEnabled());
    window->forwardAction()->trigger();
    QCOMPARE(window->browser()->source(), m_book.ContentsPage());

    // Every request goes to the one window.
    help.showTopic(402);
    QCOMPARE(window->browser()->source(), m_book.topicPage(402));
    QCOMPARE(help.window(), window);

    // A link in a topic leads to the topic it names.
    window->contentsTree()->setCurrentItem(nullptr);
    emit window->browser()->anchorClicked(QUrl(QStringLiteral("help-menu.html")));
    QCOMPARE(window->browser()->source(), m_book.topicPage(400));
    QCOMPARE(window->contentsTree()->currentItem()->data(0, Qt::UserRole).toUrl(), m_book.topicPage(400));
}

void TestHelpBook::requestsTheBookCannotAnswer()
{
    BuiltInHelp help;
    help.showTopic(99999);
    QVERIFY(help.window()->browser()->toPlainText().contains(QStringLiteral("99999")));
}

QTEST_MAIN(TestHelpBook)
#include "tst_helpbook.moc"
