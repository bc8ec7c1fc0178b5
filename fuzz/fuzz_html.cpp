// libFuzzer target for the browser bookmark HTML reader: any bytes are read without a crash or a hang
// into a sound tree, which the writer stores and the reader reads back the same.
#include "FormatCheck.h"

#include "formats/BookmarkHtmlReader.h"
#include "formats/BookmarkHtmlWriter.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    FormatCheck::run(
        bytes, [](const QByteArray &in, LinkItem &root) { return BookmarkHtmlReader::readBytes(in, root); },
        [](const LinkItem &root) { return BookmarkHtmlWriter::toBytes(root); },
        /*browserUrls=*/true);
    return 0;
}
