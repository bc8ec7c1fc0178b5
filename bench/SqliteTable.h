#pragma once

#include <memory>
#include <string>

class LinkItem;

// The baseline the native format is measured against: one SQLite table with one row per item, as
// SQLite-based bookmark managers keep their collections.
namespace SqliteTable {

// Writes root and its subtree into a new database file at path (ids in depth-first order, so a parent's
// id is always smaller than its children's). False with *error on failure.
bool write(const std::string &path, const LinkItem &root, std::string *error);

// Selects every row and builds the same in-memory tree: children go into their folder in name order.
// Null with *error on failure.
std::unique_ptr<LinkItem> load(const std::string &path, std::string *error);

} // namespace SqliteTable
