// libFuzzer target for the Chromium Bookmarks reader: any bytes are read without a crash or a hang
// into a sound tree whose counts match the report, or into nothing at all.
#include "FormatCheck.h"

#include "formats/ChromiumBookmarksReader.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    LinkItem root;
    const ImportReport report = ChromiumBookmarksReader::readBytes(bytes, root);
    const auto [folders, links] = FormatCheck::checkTree(root);
    FormatCheck::check(folders == report.folders && links == report.links, "the counts do not match the tree");
    FormatCheck::check(report.status != ImportReport::Unreadable || folders + links == 0,
                       "an unreadable file added items");
    return 0;
}
