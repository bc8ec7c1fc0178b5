#pragma once

#include <string_view>

// A fast substring search over large buffers: it compares the needle's first and last bytes at 16 or 32
// positions at once and checks the rest only where both agree.
namespace SubstringScan {

// The first place of `needle` in [first, last), or nullptr; an empty needle is found at `first`.
const char *find(const char *first, const char *last, std::string_view needle) noexcept;

// The first place in [first, last) whose bytes, with A to Z read as a to z, are the needle's, or nullptr; an
// empty needle is found at `first`. A needle holding A to Z is never found.
const char *findCaseless(const char *first, const char *last, std::string_view needle) noexcept;

} // namespace SubstringScan
