#pragma once

// Helpers for replaying damaged native files: a read that records its largest allocation and its peak
// memory growth, the checks that hold after any read, and a sample file with its record offsets.
#include "store/LinkItem.h"
#include "store/NativeFile.h"
#include "store/NativeStream.h"

#include <QBuffer>
#include <QByteArray>
#include <QStringList>

#include <cstddef>
#include <memory>
#include <vector>

namespace ReadChecks {

struct Outcome
{
    NativeFile::ReadResult result;
    std::size_t largestAllocation = 0; // the largest single operator new during the read
    qint64 peakGrowthKb = 0; // growth of the peak resident size, 0 where the system cannot tell
    qint64 milliseconds = 0;
};

// Reads bytes as from a file; with asStream, as from a pipe: a device of unknown size that hands them out in
// small, uneven pieces.
Outcome readBytes(const QByteArray &bytes, bool refuseNewer, LinkItem &root, bool asStream = false);

// What must hold after any read, whatever the bytes: the read ended in reasonable time, took no
// allocation beyond what the input could describe, built a sound tree that matches the counts it
// reported, and the writer stores that tree. Fails the running test otherwise.
void checkSound(const QByteArray &bytes, const Outcome &outcome, const LinkItem &root);

// Every item below root in depth-first order: the order of the records in a file whose children are
// in name order, as the writer leaves them.
std::vector<const LinkItem *> flatten(const LinkItem &root);

// The record offsets of a well-formed file: where each record below the top one starts and where its
// name and its fixed fields end, in file order.
struct RecordSpan
{
    qint64 start = 0;
    qint64 nameEnd = 0;
    qint64 headerEnd = 0; // after the child count
};
std::vector<RecordSpan> recordSpans(const QByteArray &bytes, bool version10000);

// Three folders of four entries each (a subfolder and three links), then two twin links, on a root
// with fields of its own; written in name order, as the writer does.
std::unique_ptr<LinkItem> sampleTree();
QByteArray sampleBytes(bool version10000);

QStringList childNames(const LinkItem &item);
bool sameFields(const LinkItem &a, const LinkItem &b);

// Hand-made folder records, for what the writer never produces.
class Records
{
public:
    explicit Records(bool version10000);
    Records &folder(const std::string &name, std::int32_t count);
    QByteArray data();

private:
    QBuffer m_buffer;
    NativeStreamWriter m_writer {&m_buffer};
    bool m_version10000;
};

} // namespace ReadChecks
