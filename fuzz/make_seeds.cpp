// Writes the fuzzer's seed corpus (small valid native files of both versions) and the corpus of broken
// files that tst_brokenfiles replays. Usage: quillmark-fuzz-seeds SOURCE_DIR
#include "store/LinkItem.h"
#include "store/NativeFile.h"
#include "store/NativeImportExport.h"
#include "store/NativeStream.h"

#include <QBuffer>
#include <QDir>
#include <QFile>

#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

namespace {

constexpr std::int32_t IntMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t IntMin = std::numeric_limits<std::int32_t>::min();

// Hand-made records, for what the writer never produces (unsorted children, odd lengths and counts).
class Bytes
{
public:
    explicit Bytes(bool version10000) : m_version10000(version10000)
    {
        m_buffer.open(QIODevice::WriteOnly);
        if (version10000)
            m_writer.writeInt32(NativeFile::CurrentVersion);
    }

    Bytes &record(const std::string &name, std::int32_t count, std::uint8_t isFolder = 1, const std::string &url = {})
    {
        m_writer.writeString(name);
        m_writer.writeString(url);
        m_writer.writeString({});
        m_writer.writeByte(isFolder);
        m_writer.writeInt32(7);
        if (m_version10000) {
            m_writer.writeByte(3);
            m_writer.writeDouble(36526.5);
        }
        m_writer.writeInt32(count);
        return *this;
    }
    Bytes &int32(std::int32_t value)
    {
        m_writer.writeInt32(value);
        return *this;
    }
    Bytes &text(const std::string &bytes)
    {
        m_writer.writeString(bytes);
        return *this;
    }

    QByteArray data()
    {
        m_writer.flush();
        return m_buffer.data();
    }

private:
    QBuffer m_buffer;
    NativeStreamWriter m_writer {&m_buffer};
    bool m_version10000;
};

QByteArray version10000(const LinkItem &root)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    NativeFile::write(buffer, root, nullptr);
    return buffer.data();
}

QByteArray firstVersion(const LinkItem &root)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    NativeImportExport writer(&buffer);
    writer.WriteItem(root);
    return buffer.data();
}

// A folder "A" holding the link "B" (url "u", 3 visits, rating 4, last visit 1900-01-01 12:00).
std::unique_ptr<LinkItem> exampleTree()
{
    auto root = LinkItem::MakeFolder("A");
    auto link = LinkItem::MakeLink("B", "u");
    link->Visits = 3;
    link->Rating = 4;
    link->LastVisit = 2.5;
    root->Children.InsertSorted(std::move(link));
    return root;
}

// Folders and links on three levels, with descriptions, line breaks, 8-bit names and twins.
std::unique_ptr<LinkItem> sampleTree()
{
    auto root = LinkItem::MakeFolder("Quillmark");
    root->Visits = 12;
    root->LastVisit = 45000.25;
    for (const char *name : {"News", "Tools", "R\xe9sum\xe9s"}) {
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

std::unique_ptr<LinkItem> deepTree(int depth)
{
    auto root = LinkItem::MakeFolder("Deep");
    LinkItem *folder = root.get();
    for (int i = 0; i < depth; ++i) {
        auto child = LinkItem::MakeFolder("d" + std::to_string(i));
        LinkItem *next = child.get();
        folder->Children.InsertSorted(std::move(child));
        folder = next;
    }
    folder->Children.InsertSorted(LinkItem::MakeLink("bottom", "https://bottom.example/"));
    return root;
}

bool save(const QString &folder, const char *name, const QByteArray &bytes)
{
    QFile file(QDir(folder).filePath(QString::fromLatin1(name)));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
        return false;
    }
    return true;
}

bool writeSeeds(const QString &folder)
{
    auto example = exampleTree();
    auto sample = sampleTree();
    auto deep = deepTree(60);
    auto empty = LinkItem::MakeFolder("Quillmark");
    auto zeroInName = LinkItem::MakeFolder(std::string("ab\0cd", 5));

    // The first version: records without Rating and LastVisit; a top name of exactly 10000 bytes looks
    // like the version number.
    auto longName = LinkItem::MakeFolder(std::string(10000, 'n'));

    bool ok = save(folder, "example-10000.qmf", version10000(*example)) // the 67-byte example
        && save(folder, "example-first.qmf", firstVersion(*example)) // the 45-byte example
        && save(folder, "empty-10000.qmf", version10000(*empty)) // the 43-byte first-run file
        && save(folder, "empty-first.qmf", firstVersion(*empty))
        && save(folder, "sample-10000.qmf", version10000(*sample))
        && save(folder, "sample-first.qmf", firstVersion(*sample))
        && save(folder, "deep-10000.qmf", version10000(*deep)) && save(folder, "deep-first.qmf", firstVersion(*deep))
        && save(folder, "zero-in-name-10000.qmf", version10000(*zeroInName))
        && save(folder, "name-10000-bytes-first.qmf", firstVersion(*longName));
    ok = ok
        && save(folder, "unsorted-10000.qmf",
                Bytes(true).record("top", 3).record("c", 0, 0).record("a", 0, 0).record("b", 0, 0).data())
        && save(folder, "unsorted-first.qmf",
                Bytes(false).record("top", 3).record("z", 1).record("y", 0, 0).record("x", 0, 0).data())
        && save(folder, "newer-version.qmf", Bytes(false).int32(10001).record("top", 0).data())
        && save(folder, "negative-count-10000.qmf", Bytes(true).record("top", -3).data())
        && save(folder, "odd-bytes-10000.qmf", Bytes(true).record("top", 1).record("f", 0, 0xff).data());
    return ok;
}

bool writeBroken(const QString &folder)
{
    auto sample = sampleTree();
    const QByteArray full = version10000(*sample);
    const std::string junk(30, 'j');
    // Lengths and counts that cannot be right, each with a few bytes after it.
    bool ok = save(folder, "name-length-max.qmf", Bytes(true).int32(IntMax).text("abc").data())
        && save(folder, "url-length-max.qmf", Bytes(true).text("top").int32(IntMax).text("abc").data())
        && save(folder, "description-length-max-first.qmf",
                Bytes(false).text("top").text("").int32(IntMax).text("abc").data())
        && save(folder, "child-name-length-max.qmf",
                Bytes(true).record("top", 1).record("one", 1).int32(IntMax).text(junk).data())
        && save(folder, "name-length-max-first.qmf", Bytes(false).int32(IntMax).text("abc").data())
        && save(folder, "name-length-negative.qmf", Bytes(true).int32(-1).text("abc").data())
        && save(folder, "name-length-min-first.qmf", Bytes(false).int32(IntMin).text("abc").data())
        && save(folder, "child-url-length-negative.qmf",
                Bytes(true).record("top", 1).text("child").int32(-20).text(junk).data())
        && save(folder, "negative-count-then-junk.qmf", Bytes(true).record("top", -1).text(junk).data())
        && save(folder, "count-min.qmf", Bytes(true).record("top", IntMin).data())
        && save(folder, "count-max.qmf", Bytes(true).record("top", IntMax).text("few").data())
        && save(folder, "count-max-first.qmf", Bytes(false).record("top", IntMax).text("few").data())
        && save(folder, "nested-count-max.qmf",
                Bytes(true).record("top", 2).record("a", 0, 0).record("b", IntMax).text("few").data())
        && save(folder, "count-more-than-records.qmf",
                Bytes(true).record("top", 5).record("a", 0, 0).record("b", 0, 0).data());
    // Files cut short.
    ok = ok && save(folder, "two-bytes.qmf", full.left(2)) && save(folder, "header-only.qmf", full.left(4))
        && save(folder, "truncated-in-root-name.qmf", full.left(10))
        && save(folder, "truncated-before-child-count.qmf", full.left(39))
        && save(folder, "truncated-last-byte.qmf", full.left(full.size() - 1))
        && save(folder, "three-links-cut-in-third.qmf",
                Bytes(true).record("top", 3).record("a", 0, 0).record("b", 0, 0).int32(1).data());
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s SOURCE_DIR\n", argv[0]);
        return 2;
    }
    const QDir source(QString::fromLocal8Bit(argv[1]));
    const QString seeds = source.filePath(QStringLiteral("fuzz/corpus/native"));
    const QString broken = source.filePath(QStringLiteral("tests/data/broken"));
    if (!QDir().mkpath(seeds) || !QDir().mkpath(broken))
        return 1;
    return writeSeeds(seeds) && writeBroken(broken) ? 0 : 1;
}
