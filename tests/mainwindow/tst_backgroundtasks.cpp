#include "common/BackgroundTask.h"
#include "transfer/ProfileReads.h"

#include <QThread>

#include <memory>

namespace {

// The counts of a browser profile whose reading takes long, for the import dialog.
class ProfileCounts : public BackgroundTask
{
public:
    void start(std::function<void()> told) override
    {
        const BrowserProfile profile {BrowserProfile::Family::Firefox, QStringLiteral("Firefox"),
                                      QStringLiteral("slow"), QString()};
        m_counter = std::make_unique<ProfileCounter>(QList<BrowserProfile> {profile},
                                                     [](const BrowserProfile &, LinkItem &, const Progress &progress) {
                                                         ImportReport report;
                                                         for (int i = 0; i < 200; ++i) {
                                                             QThread::msleep(5);
                                                             if (!progress(0, i)) {
                                                                 report.cancel();
                                                                 return report;
                                                             }
                                                         }
                                                         return report;
                                                     });
        m_told = false;
        QObject::connect(m_counter.get(), &ProfileCounter::counted, m_counter.get(), [this, told = std::move(told)] {
            m_told = true;
            told();
        });
        m_counter->start();
    }
    bool running() const override { return m_counter && !m_told; }
    void endOwner() override { m_counter.reset(); }

private:
    std::unique_ptr<ProfileCounter> m_counter;
    bool m_told = false;
};

} // namespace

// Work off the event loop, task by task: its result comes on the event loop's thread, and the owner of work
// still under way ends promptly, leaving nothing running on the pool. The window's own work at its start is
// tested with the window's life.
class TestBackgroundTasks : public QObject
{
    Q_OBJECT
private slots:
    void ownerEndsPromptly_data();
    void ownerEndsPromptly();
};

void TestBackgroundTasks::ownerEndsPromptly_data()
{
    QTest::addColumn<QString>("task");
    QTest::newRow("profile counts") << "counts";
}

void TestBackgroundTasks::ownerEndsPromptly()
{
    QFETCH(QString, task);
    std::unique_ptr<BackgroundTask> run = std::make_unique<ProfileCounts>();
    run->checkOwnerEndsPromptly();
}

QTEST_MAIN(TestBackgroundTasks)
#include "tst_backgroundtasks.moc"
