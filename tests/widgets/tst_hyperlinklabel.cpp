#include "common/StandInOpener.h"
#include "widgets/HyperlinkLabel.h"
#include "widgets/MessageBoxes.h"
#include "widgets/ShellErrorReport.h"

#include <QApplication>
#include <QEnterEvent>
#include <QLabel>
#include <QPointer>
#include <QTest>

#include <memory>

// The label's signals and every warning land in one log, so their order can be checked. The label opens nothing
// itself: a press only asks its owner to open the link, and the stand-in desktop sees nothing.
class TestHyperlinkLabel : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void leftPressAsksThenClicks_data();
    void leftPressAsksThenClicks();
    void otherButtonsDoNothing_data();
    void otherButtonsDoNothing();
    void labelDestroyedWhileOpening();
    void hoverSwitchesLookAndCursor();
    void repeatedEnterKeepsCursorBalanced();
    void hoverEndsWithoutLeave_data();
    void hoverEndsWithoutLeave();
    void captionShownAsPlainText_data();
    void captionShownAsPlainText();

private:
    static void enter(QWidget *widget);
    static void leave(QWidget *widget);
    void record(HyperlinkLabel *label);

    std::unique_ptr<StandInOpener> m_opener;
    QStringList m_log;
};

void TestHyperlinkLabel::initTestCase()
{
    m_opener = std::make_unique<StandInOpener>();
    MessageBoxes::setPresenter([this](const MessageBoxes::Message &message) {
        m_log << QStringLiteral("warn:") + message.text;
        return false;
    });
}

void TestHyperlinkLabel::cleanupTestCase()
{
    MessageBoxes::setPresenter({});
    m_opener.reset();
}

void TestHyperlinkLabel::init()
{
    m_log.clear();
    m_opener->opened.clear();
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
}

void TestHyperlinkLabel::enter(QWidget *widget)
{
    const QPointF inside(2, 2);
    QEnterEvent event(inside, inside, widget->mapToGlobal(inside));
    QApplication::sendEvent(widget, &event);
}

void TestHyperlinkLabel::leave(QWidget *widget)
{
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(widget, &event);
}

void TestHyperlinkLabel::record(HyperlinkLabel *label)
{
    connect(label, &HyperlinkLabel::linkClicked, this, [this](const QString &link) { m_log << "link:" + link; });
    connect(label, &HyperlinkLabel::pressed, this, [this] { m_log << QStringLiteral("click"); });
}

void TestHyperlinkLabel::leftPressAsksThenClicks_data()
{
    QTest::addColumn<QString>("link");

    QTest::newRow("web page") << "https://example.com/a?b=c&d";
    QTest::newRow("missing file") << "/nowhere/missing.html";
    QTest::newRow("empty link") << QString();
}

// Every left press asks for the link, whatever it holds, and then clicks; nothing is launched or reported here.
void TestHyperlinkLabel::leftPressAsksThenClicks()
{
    QFETCH(QString, link);

    HyperlinkLabel label(QStringLiteral("Open"));
    label.setLink(link);
    record(&label);
    label.show();
    QVERIFY(QTest::qWaitForWindowExposed(&label));

    QTest::mousePress(&label, Qt::LeftButton);
    QTest::mouseRelease(&label, Qt::LeftButton);
    const QStringList expected {QStringLiteral("link:") + link, QStringLiteral("click")};
    QCOMPARE(m_log, expected);
    QCOMPARE(m_opener->opened, QStringList());
}

void TestHyperlinkLabel::otherButtonsDoNothing_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::newRow("right") << Qt::RightButton;
    QTest::newRow("middle") << Qt::MiddleButton;
}

void TestHyperlinkLabel::otherButtonsDoNothing()
{
    QFETCH(Qt::MouseButton, button);

    HyperlinkLabel label(QStringLiteral("Open"));
    label.setLink(QStringLiteral("https://example.com/"));
    record(&label);
    label.show();
    QVERIFY(QTest::qWaitForWindowExposed(&label));

    QTest::mousePress(&label, button);
    QTest::mouseRelease(&label, button);
    QCOMPARE(m_log, QStringList());
}

// Opening the link may run a question or a warning box, whose event loop may close and destroy the label's window.
void TestHyperlinkLabel::labelDestroyedWhileOpening()
{
    auto *label = new HyperlinkLabel(QStringLiteral("Open"));
    label->setLink(QStringLiteral("https://example.com/"));
    QString asked;
    connect(label, &HyperlinkLabel::linkClicked, this, [label, &asked](const QString &link) {
        delete label;
        asked = link;
    });
    connect(label, &HyperlinkLabel::pressed, this, [this] { m_log << QStringLiteral("click"); });
    label->show();
    QVERIFY(QTest::qWaitForWindowExposed(label));
    enter(label);

    QPointer<HyperlinkLabel> guard(label);
    QTest::mousePress(label, Qt::LeftButton);

    QVERIFY(guard.isNull());
    QCOMPARE(asked, QStringLiteral("https://example.com/"));
    QCOMPARE(m_log, QStringList());
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
}

void TestHyperlinkLabel::hoverSwitchesLookAndCursor()
{
    // Not shown: a window that comes up under the pointer would get a real enter event.
    QWidget window;
    auto *label = new HyperlinkLabel(QStringLiteral("Home page"), &window);
    const QColor red(0xff, 0x00, 0x00), blue(0x00, 0x00, 0xff);

    QCOMPARE(label->palette().color(QPalette::Active, QPalette::WindowText), blue);
    QVERIFY(label->font().underline());

    enter(label);
    QVERIFY(label->isHovered());
    QCOMPARE(label->palette().color(QPalette::Active, QPalette::WindowText), red);
    QCOMPARE(label->palette().color(QPalette::Inactive, QPalette::WindowText), red);
    QVERIFY(label->font().underline());
    QVERIFY(QGuiApplication::overrideCursor());
    QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::PointingHandCursor);

    leave(label);
    QVERIFY(!label->isHovered());
    QCOMPARE(label->palette().color(QPalette::Active, QPalette::WindowText), blue);
    QVERIFY(label->font().underline());
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);

    // A hover font of the caller's choosing is used from the next enter on; the restored look stays.
    QFont big = label->activeFont();
    big.setPointSize(big.pointSize() + 6);
    label->setActiveFont(big);
    label->setActiveColor(Qt::darkGreen);
    enter(label);
    QCOMPARE(label->font().pointSize(), big.pointSize());
    QCOMPARE(label->palette().color(QPalette::Active, QPalette::WindowText), QColor(Qt::darkGreen));
    leave(label);
    QCOMPARE(label->font().pointSize(), label->inactiveFont().pointSize());
    QCOMPARE(label->palette().color(QPalette::Active, QPalette::WindowText), blue);
}

void TestHyperlinkLabel::repeatedEnterKeepsCursorBalanced()
{
    HyperlinkLabel first(QStringLiteral("one")), second(QStringLiteral("two"));
    enter(&first);
    enter(&first);
    enter(&second);
    leave(&first);
    QVERIFY(QGuiApplication::overrideCursor());
    leave(&second);
    leave(&second);
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
}

void TestHyperlinkLabel::hoverEndsWithoutLeave_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("hidden") << "hide";
    QTest::newRow("disabled") << "disable";
    QTest::newRow("destroyed") << "destroy";
}

void TestHyperlinkLabel::hoverEndsWithoutLeave()
{
    QFETCH(QString, how);

    auto label = std::make_unique<HyperlinkLabel>(QStringLiteral("Open"));
    label->show();
    QVERIFY(QTest::qWaitForWindowExposed(label.get()));
    enter(label.get());
    QVERIFY(QGuiApplication::overrideCursor());

    if (how == QLatin1String("hide"))
        label->hide();
    else if (how == QLatin1String("disable"))
        label->setEnabled(false);
    else
        label.reset();

    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    if (label) {
        QVERIFY(!label->isHovered());
        QCOMPARE(label->palette().color(QPalette::Active, QPalette::WindowText), QColor(0x00, 0x00, 0xff));
    }
}

void TestHyperlinkLabel::captionShownAsPlainText_data()
{
    QTest::addColumn<QString>("caption");
    QTest::newRow("ampersand") << "Fish & Chips";
    QTest::newRow("mnemonic-like") << "&Open";
    QTest::newRow("markup") << "<b>bold</b> &amp; more";
}

// The label is as wide as its caption drawn character for character: an ampersand taken for a mnemonic, or
// markup rendered as rich text, would change the width.
void TestHyperlinkLabel::captionShownAsPlainText()
{
    QFETCH(QString, caption);

    HyperlinkLabel label(caption);
    QCOMPARE(label.text(), caption);
    const QFontMetrics metrics(label.font());
    const int expected = metrics.boundingRect(QRect(), Qt::AlignLeft, caption).width();
    QCOMPARE(label.sizeHint().width(), expected);
    QVERIFY(expected > metrics.boundingRect(QRect(), Qt::TextShowMnemonic, caption).width());
}

QTEST_MAIN(TestHyperlinkLabel)
#include "tst_hyperlinklabel.moc"
