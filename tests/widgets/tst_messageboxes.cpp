// Every box of the program is built by MessageBoxes: its buttons, default and answer follow from its kind.
#include "common/RecordedBoxes.h"
#include "widgets/MessageBoxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using Kind = MessageBoxes::Kind;
Q_DECLARE_METATYPE(MessageBoxes::Kind)

class TestMessageBoxes : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setApplicationDisplayName(QStringLiteral("Quillmark")); }
    void box_data();
    void box();
    void presenterAnswersInstead();
};

void TestMessageBoxes::box_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("press"); // a button, or NoButton to close the box with Escape
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("defaultButton"); // NoButton: not checked (a box with one button needs none)
    QTest::addColumn<QString>("shownTitle");
    QTest::addColumn<bool>("answer");

    const int yesNo = QMessageBox::Yes | QMessageBox::No;
    QTest::newRow("question, Yes") << Kind::Question << "Confirm" << int(QMessageBox::Yes) << int(QMessageBox::Question)
                                   << yesNo << int(QMessageBox::No) << "Confirm" << true;
    QTest::newRow("question, No") << Kind::Question << "Confirm" << int(QMessageBox::No) << int(QMessageBox::Question)
                                  << yesNo << int(QMessageBox::No) << "Confirm" << false;
    QTest::newRow("question, closed") << Kind::Question << "" << int(QMessageBox::NoButton)
                                      << int(QMessageBox::Question) << yesNo << int(QMessageBox::No) << "Quillmark"
                                      << false;
    QTest::newRow("information") << Kind::Information << "" << int(QMessageBox::Ok) << int(QMessageBox::Information)
                                 << int(QMessageBox::Ok) << int(QMessageBox::NoButton) << "Quillmark" << false;
    QTest::newRow("warning") << Kind::Warning << "WARNING" << int(QMessageBox::Ok) << int(QMessageBox::Warning)
                             << int(QMessageBox::Ok) << int(QMessageBox::NoButton) << "WARNING" << false;
    QTest::newRow("error") << Kind::Error << "ERROR" << int(QMessageBox::Ok) << int(QMessageBox::Critical)
                           << int(QMessageBox::Ok) << int(QMessageBox::NoButton) << "ERROR" << false;
}

void TestMessageBoxes::box()
{
    QFETCH(Kind, kind);
    QFETCH(QString, title);
    QFETCH(int, press);
    const QString text = QStringLiteral("<b>Recipes</b> &amp; <img src=\"missing.png\">");
    const QString detail = QStringLiteral("<h1>why</h1>");

    QMessageBox::Icon shownIcon = QMessageBox::NoIcon;
    int shownButtons = 0;
    int shownDefault = 0;
    QString seenTitle;
    QStringList plainTexts;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        poll.stop();
        shownIcon = box->icon();
        shownButtons = int(box->standardButtons());
        shownDefault = box->defaultButton() ? int(box->standardButton(box->defaultButton())) : 0;
        seenTitle = box->windowTitle();
        for (const QLabel *label : box->findChildren<QLabel *>()) {
            if (label->textFormat() == Qt::PlainText)
                plainTexts << label->text();
        }
        if (press == QMessageBox::NoButton)
            QTest::keyClick(box, Qt::Key_Escape);
        else
            box->button(QMessageBox::StandardButton(press))->click();
    });
    poll.start(10);
    const bool given = MessageBoxes::show(nullptr, {kind, title, text, detail});

    QVERIFY(!poll.isActive()); // the box was shown
    QFETCH(int, icon);
    QFETCH(int, buttons);
    QFETCH(int, defaultButton);
    QFETCH(QString, shownTitle);
    QFETCH(bool, answer);
    QCOMPARE(int(shownIcon), icon);
    QCOMPARE(shownButtons, buttons);
    if (defaultButton != QMessageBox::NoButton)
        QCOMPARE(shownDefault, defaultButton);
    QCOMPARE(seenTitle, shownTitle);
    // Markup in the text and the detail is shown as it is, never rendered.
    QVERIFY2(plainTexts.contains(text) && plainTexts.contains(detail), qPrintable(plainTexts.join(u'|')));
    QCOMPARE(given, answer);
}

void TestMessageBoxes::presenterAnswersInstead()
{
    QList<MessageBoxes::Message> seen;
    const MessageBoxes::Presenter before = MessageBoxes::setPresenter([&seen](const MessageBoxes::Message &message) {
        seen << message;
        return message.kind == Kind::Question;
    });
    QVERIFY(!before); // the boxes are the default
    QVERIFY(MessageBoxes::question(nullptr, QString(), QStringLiteral("Go on?")));
    MessageBoxes::standardError(nullptr, QStringLiteral("Cannot open file x"), QStringLiteral("No such file"));
    QVERIFY(MessageBoxes::setPresenter({}));

    QCOMPARE(seen.size(), 2);
    QCOMPARE(seen[0].title, QStringLiteral("Quillmark"));
    QCOMPARE(seen[1].kind, Kind::Error);
    QCOMPARE(seen[1].title, QStringLiteral("Quillmark"));
    QCOMPARE(seen[1].text, QStringLiteral("Cannot open file x."));
    QCOMPARE(seen[1].detail, QStringLiteral("No such file"));

    // A recorder built later and gone earlier gives the boxes back to the one before it.
    RecordedBoxes outer;
    {
        RecordedBoxes inner;
        MessageBoxes::warning(nullptr, QString(), QStringLiteral("inner"));
        QCOMPARE(inner.warnings, QStringList {QStringLiteral("inner")});
    }
    MessageBoxes::information(nullptr, QString(), QStringLiteral("outer"));
    QCOMPARE(outer.informations, QStringList {QStringLiteral("outer")});
    QVERIFY(outer.warnings.isEmpty());
}

QTEST_MAIN(TestMessageBoxes)
#include "tst_messageboxes.moc"
