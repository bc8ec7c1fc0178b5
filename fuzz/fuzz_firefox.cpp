// libFuzzer target for the Firefox places.sqlite reader: any bytes, stored as a profile's database, are
// read without a crash or a hang into a sound tree whose counts match the report, or into nothing.
#include "FormatCheck.h"

#include "formats/FirefoxPlacesReader.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("places.sqlite"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            FormatCheck::fail("cannot write the database");
        file.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size));
    }
    LinkItem root;
    const ImportReport report = FirefoxPlacesReader::read(path, root);
    const auto [folders, links] = FormatCheck::checkTree(root);
    FormatCheck::check(folders == report.folders && links == report.links, "the counts do not match the tree");
    FormatCheck::check(report.status != ImportReport::Unreadable || folders + links == 0,
                       "an unreadable database added items");
    return 0;
}
