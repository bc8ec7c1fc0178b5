#pragma once

#include "platform/Background.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QThread>

#include <functional>

// One kind of work the program runs on the background pool, as its owner starts and ends it.
class BackgroundTask
{
public:
    virtual ~BackgroundTask() = default;
    // Starts the work (making its owner as need be); told() comes with the result.
    virtual void start(std::function<void()> told) = 0;
    virtual bool running() const = 0;
    // Ends the owner while the work may still run.
    virtual void endOwner() = 0;

    // Runs the work to its end, then again ending the owner a quarter of the way: the result is told on the
    // event loop's thread, and the owner of work still under way ends promptly, leaving nothing running on the
    // pool and nothing told. Check QTest::currentTestFailed() after it.
    void checkOwnerEndsPromptly()
    {
        QThread *toldOn = nullptr;
        QElapsedTimer clock;
        clock.start();
        start([&toldOn] { toldOn = QThread::currentThread(); });
        QTRY_VERIFY_WITH_TIMEOUT(toldOn, 120000);
        const qint64 whole = clock.elapsed();
        QCOMPARE(toldOn, qApp->thread());
        Background::waitForAll();

        toldOn = nullptr;
        start([&toldOn] { toldOn = QThread::currentThread(); });
        QTest::qWait(static_cast<int>(whole / 4));
        QVERIFY(running());
        clock.restart();
        endOwner();
        QVERIFY(Background::waitForAll(60000));
        const qint64 ended = clock.elapsed();
        qInfo("%lld ms to run, %lld ms to end", whole, ended);
        QTest::qWait(50);
        QVERIFY(!toldOn);
        QVERIFY2(ended < whole / 3, qPrintable(QStringLiteral("%1 ms to end, %2 ms to run").arg(ended).arg(whole)));
    }
};
