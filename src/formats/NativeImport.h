#pragma once

#include "formats/ImportReport.h"
#include "store/Progress.h"

class LinkItem;
class QIODevice;

// An import of one of our own files: what it stores is added to target's children; the target's own fields are
// left alone (the file's top record included).
namespace NativeImport {
ImportReport read(QIODevice &device, LinkItem &target, const Progress &progress);
} // namespace NativeImport
