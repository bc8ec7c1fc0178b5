#pragma once

#include "store/UrlKey.h"

#include <string>
#include <vector>

class CollectionDocument;
class LinkItem;

// Links below a folder that lead to the same page, and the rule by which one of them stays.
namespace Duplicates {

struct Group
{
    std::string url; // the key the links share
    std::vector<LinkItem *> links; // two or more, in tree order
};

// The groups of links below folder (at any depth) whose URLs have the same key, in the tree order of their
// first links. Links whose URL is not a URL belong to no group. Each URL is read once; only the links of a
// group are read again, to tell equal keys from keys that merely hash alike. DuplicateSearch finds the same
// groups a slice at a time.
std::vector<Group> find(const LinkItem *folder, const UrlKey &key);

// Of links in tree order, the one that stays: the most visits, then the latest last visit, then the one in
// the shallowest folder, then the first in tree order.
LinkItem *keeper(const std::vector<LinkItem *> &links);

// Gives keeper what the other links of its group hold: their visits added to its own, the latest last visit,
// and, when its own description is empty, the first description that is not. A change through document.
void absorb(CollectionDocument &document, LinkItem *keeper, const std::vector<LinkItem *> &links);

// Keeps the keeper of each group, which absorbs the others, and returns the others, which are to be deleted.
std::vector<LinkItem *> cleanUp(CollectionDocument &document, const std::vector<std::vector<LinkItem *>> &groups);

// Deletes the links below imported whose URL key a link below collection has, and returns how many went.
// Folders stay, even when they end up empty.
int dropKnown(LinkItem &imported, const LinkItem &collection, const UrlKey &key);

// How many links a clean-up of groups deletes.
int removedCount(const std::vector<Group> &groups);

} // namespace Duplicates
