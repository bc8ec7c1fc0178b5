#include "store/NativeImportExport10000.h"

#include "store/LinkItem.h"
#include "store/NativeStream.h"

namespace {
// The first version's record plus Rating (1 byte) and LastVisit (8 bytes).
constexpr int RecordSize = 4 + 4 + 4 + 1 + 4 + 1 + 8 + 4;
}

TNativeImportExport10000::TNativeImportExport10000(QIODevice *stream) : TNativeImportExport(stream) {}

int TNativeImportExport10000::minimumRecordSize() const
{
    return RecordSize;
}

void TNativeImportExport10000::writeExtraFields(Writer &writer, const LinkItem &item)
{
    writer.writeByte(item.Rating);
    writer.writeDouble(item.LastVisit);
}

bool TNativeImportExport10000::readExtraFields(Reader &reader, LinkItem &item)
{
    std::uint8_t rating = 0;
    double lastVisit = 0.0;
    if (!reader.readByte(rating) || !reader.readDouble(lastVisit))
        return false;
    item.Rating = rating;
    item.LastVisit = lastVisit;
    return true;
}
