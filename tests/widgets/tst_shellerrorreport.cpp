#include "common/RecordedBoxes.h"
#include "widgets/ShellErrorReport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <climits>

class TestShellErrorReport : public QObject
{
    Q_OBJECT
private slots:
    void message_data();
    void message();
    void noMessage_data();
    void noMessage();
    void reportGoesToPresenter();
    void reportShowsWarningBox();
};

void TestShellErrorReport::message_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("expected");

    const QString url = QStringLiteral("http://example.com/a/b.html");
    const QString local = QStringLiteral("/home/a/b.txt");
    const QString windows = QStringLiteral("C:\\Program Files\\App\\app.exe");

    QTest::newRow("0") << 0 << url << "Out of memory or resources.";
    QTest::newRow("2 url") << 2 << url << "//example.com/a/b.html file was not found.";
    QTest::newRow("2 url with port") << 2 << "https://example.com:8080/x.html"
                                     << "8080/x.html file was not found.";
    QTest::newRow("2 url with backslash") << 2 << "http://host/a\\b.html"
                                          << "b.html file was not found.";
    QTest::newRow("2 local") << 2 << local << "b.txt file was not found.";
    QTest::newRow("2 local with colon") << 2 << "/tmp/a:b/c.txt"
                                        << "c.txt file was not found.";
    QTest::newRow("2 windows") << 2 << windows << "app.exe file was not found.";
    QTest::newRow("2 drive only") << 2 << "C:file.txt"
                                  << "file.txt file was not found.";
    QTest::newRow("2 bare name") << 2 << "name.txt"
                                 << "name.txt file was not found.";
    QTest::newRow("2 empty") << 2 << QString() << " file was not found.";
    QTest::newRow("3 url") << 3 << url << "http: path was not found.";
    QTest::newRow("3 url with port") << 3 << "https://example.com:8080/x.html"
                                     << "https://example.com: path was not found.";
    QTest::newRow("3 local") << 3 << local << "/home/a/ path was not found.";
    QTest::newRow("3 windows") << 3 << windows << "C:\\Program Files\\App\\ path was not found.";
    QTest::newRow("3 bare name") << 3 << "name.txt"
                                 << " path was not found.";
    QTest::newRow("5") << 5 << local << "The operating system denied access to the specified file.";
    QTest::newRow("8") << 8 << local << "There was not enough memory to complete the operation.";
    QTest::newRow("11 windows") << 11 << windows << "app.exe file is invalid (non-Win32 .EXE or error in .EXE image).";
    QTest::newRow("11 url") << 11 << url
                            << "//example.com/a/b.html file is invalid (non-Win32 .EXE or error in .EXE image).";
    QTest::newRow("26") << 26 << local << "A sharing violation occurred.";
    QTest::newRow("27") << 27 << local << "The filename association is incomplete or invalid.";
    QTest::newRow("28") << 28 << local << "The DDE transaction could not be completed because the request timed out.";
    QTest::newRow("29") << 29 << local << "The DDE transaction failed.";
    QTest::newRow("30") << 30 << local
                        << "The DDE transaction could not be completed because other DDE transactions were being "
                           "processed.";
    QTest::newRow("31") << 31 << url << "There is no application associated with the given filename extension.";
    QTest::newRow("32") << 32 << local << "The specified dynamic-link library was not found.";
}

void TestShellErrorReport::message()
{
    QFETCH(int, code);
    QFETCH(QString, target);
    QFETCH(QString, expected);
    QCOMPARE(ShellErrorMessage(code, target), expected);
}

void TestShellErrorReport::noMessage_data()
{
    QTest::addColumn<int>("code");
    for (int code : {1, 4, 6, 7, 9, 10, 12, 18, 25, 33, 42, -1, -2, INT_MIN, INT_MAX})
        QTest::addRow("%d", code) << code;
}

void TestShellErrorReport::noMessage()
{
    QFETCH(int, code);
    QVERIFY(ShellErrorMessage(code, QStringLiteral("http://example.com/a/b.html")).isEmpty());

    RecordedBoxes boxes;
    ReportShellError(code, QStringLiteral("http://example.com/a/b.html"));
    QVERIFY(boxes.noneShown());
}

void TestShellErrorReport::reportGoesToPresenter()
{
    RecordedBoxes boxes;
    ReportShellError(3, QStringLiteral("http://example.com/a/b.html"));
    QCOMPARE(boxes.warnings, QStringList {QStringLiteral("http: path was not found.")});
    QVERIFY(boxes.errors.isEmpty() && boxes.informations.isEmpty() && boxes.questions.isEmpty());
}

void TestShellErrorReport::reportShowsWarningBox()
{
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttons = -1;
    bool ownerless = false;
    Qt::TextFormat format = Qt::AutoText;
    // The box is modal: inspect it from its own event loop, then press its button.
    QTimer poll;
    poll.setInterval(20);
    connect(&poll, &QTimer::timeout, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        poll.stop();
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = int(box->buttons().size());
        ownerless = box->parentWidget() == nullptr;
        format = box->textFormat();
        box->button(QMessageBox::Ok)->click();
    });
    poll.start();
    ReportShellError(2, QStringLiteral("C:\\docs\\a<b>b.txt"));
    QCOMPARE(title, QStringLiteral("WARNING"));
    QCOMPARE(text, QStringLiteral("a<b>b.txt file was not found."));
    QCOMPARE(format, Qt::PlainText); // a target's markup is shown, not rendered
    QCOMPARE(icon, QMessageBox::Warning);
    QCOMPARE(buttons, 1);
    QVERIFY(ownerless);
}

QTEST_MAIN(TestShellErrorReport)
#include "tst_shellerrorreport.moc"
