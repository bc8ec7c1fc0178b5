#include "store/NativeImportExport10000.h"

#include "store/LinkItem.h"
#include "store/NativeStream.h"

NativeImportExport10000::NativeImportExport10000(QIODevice *stream) : NativeImportExport(stream) { }

void NativeImportExport10000::writeExtraFields(Writer &writer, const LinkItem &item)
{
    writer.writeByte(item.Rating);
    writer.writeDouble(item.LastVisit);
}

bool NativeImportExport10000::readExtraFields(Reader &reader, LinkItem &item)
{
    std::uint8_t rating = 0;
    double lastVisit = 0.0;
    if (!reader.readByte(rating) || !reader.readDouble(lastVisit))
        return false;
    item.Rating = rating;
    item.LastVisit = lastVisit;
    return true;
}
