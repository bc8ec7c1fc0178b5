#pragma once

#include <cstdint>
#include <memory>

class LinkItem;

// Generated collections for the benchmarks: names of 10 to 40 bytes, URLs of 30 to 120 bytes,
// descriptions of 0 to 200 bytes, visits, ratings and last visits, all from a fixed seed.
namespace Collection {

// A root holding folders of about 1,000 entries each, `items` entries in all (folders included).
std::unique_ptr<LinkItem> make(int items, std::uint64_t seed);

// A root holding `children` links directly.
std::unique_ptr<LinkItem> makeFlat(int children, std::uint64_t seed);

// Entries below root, not counting root itself.
int countItems(const LinkItem &root);

} // namespace Collection
