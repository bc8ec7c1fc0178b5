#include "ReadChecks.h"

#include "common/PipeDevice.h"
#include "store/NativeImportExport.h"

#include <QElapsedTimer>
#include <QTest>
#include <QtEndian>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#ifdef Q_OS_LINUX
#include <sys/resource.h>
#endif

// Every operator new of the process goes through here, so a read can be checked for the largest
// single allocation it made. This catches a length or count used to size a buffer even when the
// memory is never touched (and so never shows in the resident size), in every build; under the
// address sanitizer the requests still go through its malloc.
namespace {
std::atomic<std::size_t> largestAllocation {0};

void *allocate(std::size_t size) noexcept
{
    std::size_t seen = largestAllocation.load(std::memory_order_relaxed);
    while (size > seen && !largestAllocation.compare_exchange_weak(seen, size, std::memory_order_relaxed)) { }
    return std::malloc(size ? size : 1);
}
} // namespace

// The plain and nothrow forms, single and array, all on malloc and free so that every pair matches.
void *operator new(std::size_t size)
{
    if (void *memory = allocate(size))
        return memory;
    throw std::bad_alloc();
}
void *operator new[](std::size_t size)
{
    return operator new(size);
}
void *operator new(std::size_t size, const std::nothrow_t &) noexcept
{
    return allocate(size);
}
void *operator new[](std::size_t size, const std::nothrow_t &) noexcept
{
    return allocate(size);
}
void operator delete(void *memory) noexcept
{
    std::free(memory);
}
void operator delete[](void *memory) noexcept
{
    std::free(memory);
}
void operator delete(void *memory, std::size_t) noexcept
{
    std::free(memory);
}
void operator delete[](void *memory, std::size_t) noexcept
{
    std::free(memory);
}
void operator delete(void *memory, const std::nothrow_t &) noexcept
{
    std::free(memory);
}
void operator delete[](void *memory, const std::nothrow_t &) noexcept
{
    std::free(memory);
}

namespace ReadChecks {

namespace {
// Growth of the process's peak resident size in KiB; catches big allocations that bypass operator new
// (malloc in Qt) once they are touched. 0 where the system cannot tell.
qint64 peakResidentKb()
{
#ifdef Q_OS_LINUX
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
#else
    return 0;
#endif
}
} // namespace

Outcome readBytes(const QByteArray &bytes, bool refuseNewer, LinkItem &root, bool asStream)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    PipeDevice pipe(bytes);
    const qint64 peakBefore = peakResidentKb();
    largestAllocation = 0;
    QElapsedTimer timer;
    timer.start();
    Outcome outcome;
    outcome.result = NativeFile::read(asStream ? static_cast<QIODevice &>(pipe) : buffer, root, refuseNewer);
    outcome.milliseconds = timer.elapsed();
    outcome.largestAllocation = largestAllocation;
    outcome.peakGrowthKb = peakResidentKb() - peakBefore;
    return outcome;
}

std::vector<const LinkItem *> flatten(const LinkItem &root)
{
    std::vector<const LinkItem *> items;
    std::vector<const LinkItem *> pending;
    for (auto it = root.Children.end(); it != root.Children.begin();)
        pending.push_back((--it)->get());
    while (!pending.empty()) {
        const LinkItem *item = pending.back();
        pending.pop_back();
        items.push_back(item);
        for (auto it = item->Children.end(); it != item->Children.begin();)
            pending.push_back((--it)->get());
    }
    return items;
}

void checkSound(const QByteArray &bytes, const Outcome &outcome, const LinkItem &root)
{
    const std::size_t allowed = 4 * static_cast<std::size_t>(bytes.size()) + 1024 * 1024;
    QVERIFY2(outcome.largestAllocation <= allowed,
             qPrintable(QStringLiteral("one allocation of %1 bytes for %2 bytes of input")
                            .arg(outcome.largestAllocation)
                            .arg(bytes.size())));
    QVERIFY2(outcome.peakGrowthKb < 512 * 1024,
             qPrintable(QStringLiteral("the peak resident size grew by %1 KiB").arg(outcome.peakGrowthKb)));
    QVERIFY2(outcome.milliseconds < 10000, "the read took more than 10 seconds");
    QCOMPARE(outcome.result.ok(), outcome.result.error.isEmpty());

    int folders = 0;
    int links = 0;
    std::vector<const LinkItem *> pending {&root};
    while (!pending.empty()) {
        const LinkItem *item = pending.back();
        pending.pop_back();
        const LinkItem *previous = nullptr;
        for (const auto &child : item->Children) {
            QCOMPARE(child->Parent, item);
            QVERIFY(!previous || CompareNames(previous->Name, child->Name) <= 0);
            ++(child->isFolder() ? folders : links);
            previous = child.get();
            pending.push_back(child.get());
        }
    }
    QCOMPARE(folders, outcome.result.folders);
    QCOMPARE(links, outcome.result.links);

    QBuffer output;
    output.open(QIODevice::WriteOnly);
    QString error;
    QVERIFY2(NativeFile::write(output, root, &error), qPrintable(error));
}

Records::Records(bool version10000) : m_version10000(version10000)
{
    m_buffer.open(QIODevice::WriteOnly);
    if (version10000)
        m_writer.writeInt32(NativeFile::CurrentVersion);
}

Records &Records::folder(const std::string &name, std::int32_t count)
{
    m_writer.writeString(name);
    m_writer.writeString({});
    m_writer.writeString({});
    m_writer.writeByte(1);
    m_writer.writeInt32(0);
    if (m_version10000) {
        m_writer.writeByte(0);
        m_writer.writeDouble(0.0);
    }
    m_writer.writeInt32(count);
    return *this;
}

QByteArray Records::data()
{
    m_writer.flush();
    return m_buffer.data();
}

std::vector<RecordSpan> recordSpans(const QByteArray &bytes, bool version10000)
{
    qint64 position = version10000 ? 4 : 0;
    const auto int32 = [&bytes, &position] {
        const qint32 value = qFromLittleEndian<qint32>(bytes.constData() + position);
        position += 4;
        return value;
    };
    const auto record = [&](RecordSpan &span) {
        span.start = position;
        position += int32();
        span.nameEnd = position;
        position += int32();
        position += int32();
        position += 1 + 4 + (version10000 ? 1 + 8 : 0);
        const qint32 count = int32();
        span.headerEnd = position;
        return count;
    };
    std::vector<RecordSpan> spans;
    RecordSpan top;
    std::vector<qint32> left {record(top)};
    while (!left.empty()) {
        if (left.back() <= 0) {
            left.pop_back();
            continue;
        }
        --left.back();
        RecordSpan span;
        const qint32 count = record(span);
        spans.push_back(span);
        left.push_back(count);
    }
    return spans;
}

std::unique_ptr<LinkItem> sampleTree()
{
    auto root = LinkItem::MakeFolder("Quillmark");
    root->Visits = 12;
    root->Rating = 2;
    root->LastVisit = 45000.25;
    for (const char *name : {"News", "R\xe9sum\xe9s", "Tools"}) {
        auto folder = LinkItem::MakeFolder(name);
        folder->Description = "Folder\r\nwith two lines";
        for (int i = 0; i < 3; ++i) {
            auto link = LinkItem::MakeLink(std::string(name) + " link " + std::to_string(i),
                                           "https://example.org/" + std::to_string(i));
            link->Visits = i * 5;
            link->Rating = static_cast<std::uint8_t>(i + 1);
            link->LastVisit = 44000 + i;
            folder->Children.InsertSorted(std::move(link));
        }
        folder->Children.InsertSorted(LinkItem::MakeFolder("Empty"));
        root->Children.InsertSorted(std::move(folder));
    }
    root->Children.InsertSorted(LinkItem::MakeLink("Twin", "https://twin.example/"));
    root->Children.InsertSorted(LinkItem::MakeLink("Twin", "https://twin.example/"));
    return root;
}

QByteArray sampleBytes(bool version10000)
{
    auto root = sampleTree();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (version10000) {
        NativeFile::write(buffer, *root, nullptr);
    } else {
        NativeImportExport writer(&buffer);
        writer.WriteItem(*root);
    }
    return buffer.data();
}

QStringList childNames(const LinkItem &item)
{
    QStringList names;
    for (const auto &child : item.Children)
        names.append(QString::fromLatin1(child->Name));
    return names;
}

bool sameFields(const LinkItem &a, const LinkItem &b)
{
    return a.Name == b.Name && a.Url == b.Url && a.Description == b.Description && a.IsFolder == b.IsFolder
        && a.Visits == b.Visits && a.Rating == b.Rating && a.LastVisit == b.LastVisit;
}

} // namespace ReadChecks
