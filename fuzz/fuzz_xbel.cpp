// libFuzzer target for the XBEL reader: any bytes are read without a crash or a hang into a sound
// tree, which the writer stores and the reader reads back the same.
#include "FormatCheck.h"

#include "formats/XbelReader.h"
#include "formats/XbelWriter.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    FormatCheck::run(
        bytes, [](const QByteArray &in, LinkItem &root) { return XbelReader::readBytes(in, root); },
        [](const LinkItem &root) { return XbelWriter::toBytes(root); },
        /*browserUrls=*/true);
    return 0;
}
