#include "platform/TerminationSignals.h"

#include <QSignalSpy>
#include <QTest>

#include <csignal>

namespace {

struct sigaction currentAction(int signal)
{
    struct sigaction action = {};
    ::sigaction(signal, nullptr, &action);
    return action;
}

bool sameAction(const struct sigaction &a, const struct sigaction &b)
{
    return a.sa_handler == b.sa_handler && (a.sa_flags & SA_SIGINFO) == (b.sa_flags & SA_SIGINFO);
}

// Sets a signal's handling and puts the old one back when the test ends.
class ActionGuard
{
public:
    ActionGuard(int signal, void (*handler)(int)) : m_signal(signal)
    {
        struct sigaction action = {};
        action.sa_handler = handler;
        sigemptyset(&action.sa_mask);
        ::sigaction(signal, &action, &m_previous);
    }
    ~ActionGuard() { ::sigaction(m_signal, &m_previous, nullptr); }
    ActionGuard(const ActionGuard &) = delete;
    ActionGuard &operator=(const ActionGuard &) = delete;

private:
    int m_signal;
    struct sigaction m_previous = {};
};

} // namespace

class TestTerminationSignals : public QObject
{
    Q_OBJECT
private slots:
    void signalBecomesQtSignal_data();
    void signalBecomesQtSignal();
    void severalSignalsArriveInOrder();
    void previousHandlingComesBack();
    void ignoredSignalStaysIgnored();
    void onlyOneHolder();
};

void TestTerminationSignals::signalBecomesQtSignal_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGHUP") << SIGHUP;
}

void TestTerminationSignals::signalBecomesQtSignal()
{
    QFETCH(int, signal);
    // Whatever the test runner was started with, the default handling would end this process.
    const ActionGuard defaultHandling(signal, SIG_DFL);
    TerminationSignals signals_;
    QVERIFY(signals_.install());
    QSignalSpy spy(&signals_, &TerminationSignals::terminationRequested);

    QCOMPARE(::raise(signal), 0);
    QCOMPARE(spy.size(), 0); // delivered by the event loop, not inside the handler
    QVERIFY(spy.wait(5000));
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.first().first().toInt(), signal);
}

void TestTerminationSignals::severalSignalsArriveInOrder()
{
    const ActionGuard term(SIGTERM, SIG_DFL);
    const ActionGuard hup(SIGHUP, SIG_DFL);
    TerminationSignals signals_;
    QVERIFY(signals_.install());
    QSignalSpy spy(&signals_, &TerminationSignals::terminationRequested);

    ::raise(SIGHUP);
    ::raise(SIGTERM);
    ::raise(SIGHUP);
    QTRY_COMPARE(spy.size(), 3);
    QCOMPARE(spy.at(0).first().toInt(), SIGHUP);
    QCOMPARE(spy.at(1).first().toInt(), SIGTERM);
    QCOMPARE(spy.at(2).first().toInt(), SIGHUP);
}

void TestTerminationSignals::previousHandlingComesBack()
{
    const struct sigaction before = currentAction(SIGTERM);
    {
        TerminationSignals signals_;
        QVERIFY(signals_.install());
        QVERIFY(!sameAction(currentAction(SIGTERM), before));
    }
    QVERIFY(sameAction(currentAction(SIGTERM), before));
}

// A program started with nohup keeps running through a hang-up.
void TestTerminationSignals::ignoredSignalStaysIgnored()
{
    const ActionGuard ignored(SIGHUP, SIG_IGN);
    TerminationSignals signals_;
    QVERIFY(signals_.install());
    QSignalSpy spy(&signals_, &TerminationSignals::terminationRequested);

    QVERIFY(currentAction(SIGHUP).sa_handler == SIG_IGN);
    ::raise(SIGHUP);
    ::raise(SIGTERM);
    QVERIFY(spy.wait(5000));
    QTest::qWait(50);
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.first().first().toInt(), SIGTERM);
}

// The handlers are the process's; a second object must not take them from the first.
void TestTerminationSignals::onlyOneHolder()
{
    TerminationSignals first;
    TerminationSignals second;
    QVERIFY(first.install());
    QVERIFY(!second.install());
    QVERIFY(!second.isInstalled());

    QSignalSpy spy(&first, &TerminationSignals::terminationRequested);
    ::raise(SIGTERM);
    QVERIFY(spy.wait(5000));
}

QTEST_GUILESS_MAIN(TestTerminationSignals)
#include "tst_terminationsignals.moc"
