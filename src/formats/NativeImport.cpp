#include "formats/NativeImport.h"

#include "formats/FormatCommands.h"
#include "store/LinkItem.h"
#include "store/NativeFile.h"

namespace NativeImport {

// Reads into a scratch folder whose top record takes the stored folder's fields, then moves the
// stored children into target.
ImportReport read(QIODevice &device, LinkItem &target, const Progress &progress)
{
    LinkItem scratch;
    const NativeFile::ReadResult result = NativeFile::read(device, scratch, /*refuseNewer=*/false, progress);
    ImportReport report;
    report.folders = result.folders;
    report.links = result.links;
    switch (result.status) {
    case NativeFile::ReadResult::Complete:
        break;
    case NativeFile::ReadResult::Cancelled:
        report.cancel();
        break;
    case NativeFile::ReadResult::Damaged:
    case NativeFile::ReadResult::NewerVersion:
        report.damage(result.error);
        break;
    case NativeFile::ReadResult::OutOfMemory:
        report.folders = report.links = 0;
        report.fail(result.error);
        break;
    }
    FormatCommands::moveChildren(scratch, target);
    return report;
}

} // namespace NativeImport
