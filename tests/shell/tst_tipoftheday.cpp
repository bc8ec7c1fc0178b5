#include "RecordingHelp.h"
#include "common/MenuWindow.h"
#include "settings/Settings.h"
#include "shell/HelpCommands.h"
#include "shell/Product.h"
#include "shell/TipOfTheDayDialog.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

class TestTipOfTheDay : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void tipsAreShuffledNotLost();
    void orderChangesBetweenOpenings();
    void nextAndBackWrapAround_data();
    void nextAndBackWrapAround();
    void buttonRow();
    void f1OpensTheTipsTopic();
    void closingStoresShowTip_data();
    void closingStoresShowTip();

private:
    // Runs action on the next tip dialog that shows, from inside its modal loop.
    void whenTipShows(std::function<void(TipOfTheDayDialog *)> action);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QObject> m_watchers; // the timers of one test function
    RecordingHelp m_help;
};

void TestTipOfTheDay::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir->filePath(QStringLiteral("data"))));
    Settings::SetStorageFolder(m_dir->filePath(QStringLiteral("config")));
    m_help.requests.clear();
    m_watchers = std::make_unique<QObject>();
}

void TestTipOfTheDay::cleanup()
{
    m_watchers.reset();
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<TipOfTheDayDialog *>(widget))
            widget->close();
    }
    m_dir.reset();
}

void TestTipOfTheDay::whenTipShows(std::function<void(TipOfTheDayDialog *)> action)
{
    auto *timer = new QTimer(m_watchers.get());
    connect(timer, &QTimer::timeout, this, [timer, action] {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            auto *tip = qobject_cast<TipOfTheDayDialog *>(widget);
            if (tip && tip->isVisible()) {
                timer->stop();
                timer->deleteLater();
                action(tip);
                return;
            }
        }
    });
    timer->start(10);
}

void TestTipOfTheDay::tipsAreShuffledNotLost()
{
    TipOfTheDayDialog dialog(&m_help, nullptr);
    QStringList texts;
    for (int i = 0; i < TipOfTheDayDialog::TipCount; ++i)
        texts << TipOfTheDayDialog::tipText(TipOfTheDayDialog::FirstTipResource + i);
    QCOMPARE(QSet<QString>(texts.begin(), texts.end()).size(), TipOfTheDayDialog::TipCount);
    QStringList shown = dialog.Tips();
    std::sort(shown.begin(), shown.end());
    std::sort(texts.begin(), texts.end());
    QCOMPARE(shown, texts);
    QCOMPARE(dialog.TipIndex(), 0);
    QCOMPARE(dialog.tipLabel()->text(), dialog.Tips().first());

    // The tip about new versions gives our own site and address in full.
    const QString newVersions = TipOfTheDayDialog::tipText(50001);
    QVERIFY(newVersions.contains(QLatin1String(Product::ProductSiteBase)));
    QVERIFY(newVersions.contains(QLatin1String(Product::SupportEMail)));
}

void TestTipOfTheDay::orderChangesBetweenOpenings()
{
    // Fifty openings that all start at the same tip would mean the order is not shuffled anew each time.
    QSet<QString> firstTips;
    for (int i = 0; i < 50; ++i)
        firstTips.insert(TipOfTheDayDialog(&m_help, nullptr).tipLabel()->text());
    QVERIFY(firstTips.size() > 1);
}

void TestTipOfTheDay::nextAndBackWrapAround_data()
{
    QTest::addColumn<QString>("presses"); // N for "&Next", B for "&Back"
    QTest::addColumn<int>("shown");

    QTest::newRow("next once") << "N" << 1;
    QTest::newRow("next eight times comes back to the first tip") << "NNNNNNNN" << 0;
    QTest::newRow("back at once shows the last tip") << "B" << 7;
    QTest::newRow("back then next") << "BN" << 0;
    QTest::newRow("back nine times") << "BBBBBBBBB" << 7;
    QTest::newRow("next nine times") << "NNNNNNNNN" << 1;
}

void TestTipOfTheDay::nextAndBackWrapAround()
{
    QFETCH(QString, presses);
    QFETCH(int, shown);

    TipOfTheDayDialog dialog(&m_help, nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    for (QChar press : presses)
        QTest::mouseClick(press == QLatin1Char('N') ? dialog.nextButton() : dialog.backButton(), Qt::LeftButton);
    QCOMPARE(dialog.TipIndex(), shown);
    QCOMPARE(dialog.tipLabel()->text(), dialog.Tips().at(shown));
}

// "&Next" and "&Back" step through the tips from a button box whose "Close" rejects; Enter means "&Next".
void TestTipOfTheDay::buttonRow()
{
    TipOfTheDayDialog dialog(&m_help, nullptr);
    auto *box = qobject_cast<QDialogButtonBox *>(dialog.closeButton()->parentWidget());
    QVERIFY(box);
    QCOMPARE(box->buttonRole(dialog.nextButton()), QDialogButtonBox::ActionRole);
    QCOMPARE(box->buttonRole(dialog.backButton()), QDialogButtonBox::ActionRole);
    QCOMPARE(box->buttonRole(dialog.closeButton()), QDialogButtonBox::RejectRole);
    QVERIFY(dialog.nextButton()->isDefault());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTest::mouseClick(dialog.closeButton(), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

void TestTipOfTheDay::f1OpensTheTipsTopic()
{
    TipOfTheDayDialog dialog(&m_help, nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QTest::keyClick(&dialog, Qt::Key_F1);
    QCOMPARE(m_help.requests, QList<int> {402});
    QVERIFY(dialog.isVisible());
}

void TestTipOfTheDay::closingStoresShowTip_data()
{
    QTest::addColumn<bool>("stored");
    QTest::addColumn<bool>("toggle");
    QTest::addColumn<QString>("way");

    QTest::newRow("untick, Esc") << true << true << "esc";
    QTest::newRow("untick, close box") << true << true << "close box";
    QTest::newRow("tick, Close") << false << true << "button";
    QTest::newRow("unchanged, Close") << true << false << "button";
    QTest::newRow("unchanged off, Esc") << false << false << "esc";
}

void TestTipOfTheDay::closingStoresShowTip()
{
    QFETCH(bool, stored);
    QFETCH(bool, toggle);
    QFETCH(QString, way);

    QVERIFY(Settings().SetShowTip(stored));
    MenuWindow window;
    HelpCommands commands(&window, &window.actions, &m_help);
    bool shownTicked = !stored;
    whenTipShows([&](TipOfTheDayDialog *tip) {
        shownTicked = tip->showTipBox()->isChecked();
        if (toggle)
            QTest::mouseClick(tip->showTipBox(), Qt::LeftButton);
        if (way == QLatin1String("esc"))
            QTest::keyClick(tip, Qt::Key_Escape);
        else if (way == QLatin1String("button"))
            QTest::mouseClick(tip->closeButton(), Qt::LeftButton);
        else
            tip->close();
    });
    window.actions.tipOfTheDay->trigger(); // returns when the dialog has closed
    QCOMPARE(shownTicked, stored);
    QCOMPARE(Settings().GetShowTip(), stored != toggle);
}

QTEST_MAIN(TestTipOfTheDay)
#include "tst_tipoftheday.moc"
