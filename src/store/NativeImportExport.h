#pragma once

#include "store/ImportExport.h"

#include <cstdint>

class ItemBlock;
class NativeStreamReader;
class NativeStreamWriter;

// The first version of the native format: no header, no Rating and no LastVisit.
class NativeImportExport : public ImportExport
{
public:
    explicit NativeImportExport(QIODevice *stream);
    ~NativeImportExport() override;

    bool WriteItem(const LinkItem &item) override;
    bool ReadItem(LinkItem &target) override;
    bool WriteList(const ItemList &children) override;
    bool ReadList(LinkItem &target) override;

protected:
    using Reader = NativeStreamReader;
    using Writer = NativeStreamWriter;

    // The fields between Visits and the child count, which is where the versions differ.
    virtual void writeExtraFields(Writer &writer, const LinkItem &item);
    virtual bool readExtraFields(Reader &reader, LinkItem &item);

private:
    bool writeSubtree(Writer &writer, const LinkItem &top);
    void writeFields(Writer &writer, const LinkItem &item);
    bool read(LinkItem &target, bool withRecord);
    bool readFields(Reader &reader, ItemBlock &block, LinkItem &item);
    bool readChildren(Reader &reader, ItemBlock &block, LinkItem &owner);
    bool readCount(Reader &reader, std::int32_t &count);
    bool finishWrite(Writer &writer);
};
