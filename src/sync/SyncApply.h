#pragma once

#include "sync/CollectionTree.h"
#include "sync/SyncMerge.h"

class CollectionDocument;
class LinkItem;

// Brings the merge of a sync into the collection through the document, one change at a time: moves,
// renames and edited fields of the items the sync changed, new items in their folders, and deleted items
// taken out. Whatever the sync did not change stays as it is (and where it is in the panes), and so does
// whatever changed in the collection while the sync talked to the server, as long as no item of the
// snapshot was deleted meanwhile. Wrap it in one command to make it one step to undo.
namespace SyncApply {

void apply(CollectionDocument &document, LinkItem &folder, const SyncMerge::Result &merge,
           const CollectionTree::Read &local);

} // namespace SyncApply
