#pragma once

#include "store/NativeImportExport.h"

// Version 10000 of the native format: the first version plus Rating and LastVisit. The only version written.
class NativeImportExport10000 : public NativeImportExport
{
public:
    explicit NativeImportExport10000(QIODevice *stream);

protected:
    void writeExtraFields(Writer &writer, const LinkItem &item) override;
    bool readExtraFields(Reader &reader, LinkItem &item) override;
};
