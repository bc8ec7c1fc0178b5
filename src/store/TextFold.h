#pragma once

#include <QString>

#include <functional>

#include <string>
#include <string_view>
#include <vector>

// Folding for searches that ignore case and accents. Text is decomposed (compatibility decomposition),
// combining marks are dropped and the rest is case-folded, then kept as UTF-8: "Café", "CAFE" and "café"
// all fold to "cafe". Pure ASCII takes a fast path that gives the same result.
namespace TextFold {

// Folds stored item bytes, decoded the way the program displays them.
std::string foldStored(std::string_view bytes);
// Appends the folded form of stored item bytes to `out`.
void appendFoldedStored(std::string &out, std::string_view bytes);

// Whether the bytes are pure ASCII.
bool isAscii(std::string_view bytes) noexcept;

// Whether stored item bytes fold to themselves with A to Z in lower case, as pure ASCII always does: a word
// can then be looked for in the bytes themselves, ignoring the case of A to Z.
bool foldsToAsciiLower(std::string_view bytes);

// Folds text as shown or typed.
std::string fold(const QString &text);

// The words of a query, split at white space, each folded; empty words are dropped, and so is a word that
// another word of the query contains (it cannot narrow the result further).
std::vector<std::string> queryWords(const QString &query);

// The words in the order of how often `count` finds each, the fewest first (the longest first on a tie):
// a scan that looks for the first word everywhere, and for the others only where it found the first, does
// the least work that way.
std::vector<std::string> fewestFirst(const std::vector<std::string> &words,
                                     const std::function<size_t(const std::string &word)> &count);

} // namespace TextFold
