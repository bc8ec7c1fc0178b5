#include "store/SubstringScan.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <functional>

#if defined(__x86_64__) || defined(_M_X64)
#define QUILLMARK_SCAN_SSE2 1
#include <emmintrin.h>
#if defined(__GNUC__)
#define QUILLMARK_SCAN_AVX2 1
#include <immintrin.h>
#endif
#endif

namespace SubstringScan {

namespace {

// The rest of the needle at a place where its first and last bytes agree.
inline bool middleMatches(const char *at, std::string_view needle) noexcept
{
    return needle.size() <= 2 || std::memcmp(at + 1, needle.data() + 1, needle.size() - 2) == 0;
}

// Places from `p` up to (not including) `limit`, one at a time.
const char *findTail(const char *p, const char *limit, std::string_view needle) noexcept
{
    const char firstByte = needle.front();
    const char lastByte = needle.back();
    const size_t lastOffset = needle.size() - 1;
    for (; p < limit; ++p) {
        if (p[0] == firstByte && p[lastOffset] == lastByte && middleMatches(p, needle))
            return p;
    }
    return nullptr;
}

inline char asciiLower(char c) noexcept
{
    const auto byte = static_cast<unsigned char>(c);
    return static_cast<char>(byte + (static_cast<unsigned char>(byte - 'A') < 26 ? 'a' - 'A' : 0));
}

// What to set on a byte so that both cases of the letter `c` compare equal to it; nothing for any other byte,
// which must then be equal as it is.
inline char caseBit(char c) noexcept
{
    return c >= 'a' && c <= 'z' ? 0x20 : 0;
}

// The whole needle at a place where its first and last bytes may agree.
inline bool matchesCaseless(const char *at, std::string_view needle) noexcept
{
    for (size_t i = 0; i < needle.size(); ++i) {
        if (asciiLower(at[i]) != needle[i])
            return false;
    }
    return true;
}

const char *findCaselessTail(const char *p, const char *limit, std::string_view needle) noexcept
{
    const char firstByte = needle.front();
    const char firstBit = caseBit(firstByte);
    const char lastByte = needle.back();
    const char lastBit = caseBit(lastByte);
    const size_t lastOffset = needle.size() - 1;
    for (; p < limit; ++p) {
        if ((p[0] | firstBit) == firstByte && (p[lastOffset] | lastBit) == lastByte && matchesCaseless(p, needle))
            return p;
    }
    return nullptr;
}

#if defined(QUILLMARK_SCAN_SSE2)
const char *findSse2(const char *first, const char *limit, std::string_view needle) noexcept
{
    const __m128i firstBytes = _mm_set1_epi8(needle.front());
    const __m128i lastBytes = _mm_set1_epi8(needle.back());
    const size_t lastOffset = needle.size() - 1;
    const char *p = first;
    for (; limit - p >= 16; p += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + lastOffset));
        auto mask = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, firstBytes), _mm_cmpeq_epi8(b, lastBytes))));
        while (mask) {
            const int bit = std::countr_zero(mask);
            if (middleMatches(p + bit, needle))
                return p + bit;
            mask &= mask - 1;
        }
    }
    return findTail(p, limit, needle);
}

// The places among the 16 from `p` where the needle's first and last bytes may agree, case aside, one bit each.
inline unsigned caselessCandidates(const char *p, size_t lastOffset, __m128i firstBytes, __m128i firstBits,
                                   __m128i lastBytes, __m128i lastBits) noexcept
{
    const __m128i a = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i *>(p)), firstBits);
    const __m128i b = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i *>(p + lastOffset)), lastBits);
    return static_cast<unsigned>(
        _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, firstBytes), _mm_cmpeq_epi8(b, lastBytes))));
}

// As findSse2, with the bytes compared as findCaselessTail does. The texts of items are short, so the last
// places are not left to the byte-by-byte loop: they are the end of one more block, which overlaps the last,
// or, in a text shorter than a block, of a copy with room after it.
const char *findCaselessSse2(const char *first, const char *limit, std::string_view needle) noexcept
{
    const __m128i firstBytes = _mm_set1_epi8(needle.front());
    const __m128i firstBits = _mm_set1_epi8(caseBit(needle.front()));
    const __m128i lastBytes = _mm_set1_epi8(needle.back());
    const __m128i lastBits = _mm_set1_epi8(caseBit(needle.back()));
    const size_t lastOffset = needle.size() - 1;
    const auto firstIn = [&](unsigned mask, const char *places) -> const char * {
        while (mask) {
            const int bit = std::countr_zero(mask);
            if (matchesCaseless(places + bit, needle))
                return places + bit;
            mask &= mask - 1;
        }
        return nullptr;
    };
    const char *p = first;
    for (; limit - p >= 16; p += 16) {
        const unsigned mask = caselessCandidates(p, lastOffset, firstBytes, firstBits, lastBytes, lastBits);
        if (const char *hit = firstIn(mask, p))
            return hit;
    }
    const auto left = static_cast<unsigned>(limit - p);
    if (left == 0)
        return nullptr;
    if (limit - first >= 16) {
        const char *block = limit - 16;
        const unsigned mask = caselessCandidates(block, lastOffset, firstBytes, firstBits, lastBytes, lastBits);
        return firstIn(mask & (0xffffu << (16 - left)) & 0xffffu, block);
    }
    char copy[64] = {};
    const auto bytes = static_cast<size_t>(left) + lastOffset;
    if (16 + lastOffset > sizeof copy)
        return findCaselessTail(p, limit, needle);
    std::memcpy(copy, p, bytes);
    const unsigned mask = caselessCandidates(copy, lastOffset, firstBytes, firstBits, lastBytes, lastBits);
    return firstIn(mask & ((1u << left) - 1), p);
}
#endif

#if defined(QUILLMARK_SCAN_AVX2)
__attribute__((target("avx2"))) const char *findAvx2(const char *first, const char *limit,
                                                     std::string_view needle) noexcept
{
    const __m256i firstBytes = _mm256_set1_epi8(needle.front());
    const __m256i lastBytes = _mm256_set1_epi8(needle.back());
    const size_t lastOffset = needle.size() - 1;
    const char *p = first;
    for (; limit - p >= 32; p += 32) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p + lastOffset));
        auto mask = static_cast<unsigned>(
            _mm256_movemask_epi8(_mm256_and_si256(_mm256_cmpeq_epi8(a, firstBytes), _mm256_cmpeq_epi8(b, lastBytes))));
        while (mask) {
            const int bit = std::countr_zero(mask);
            if (middleMatches(p + bit, needle))
                return p + bit;
            mask &= mask - 1;
        }
    }
    return findTail(p, limit, needle);
}

bool hasAvx2() noexcept
{
    static const bool avx2 = __builtin_cpu_supports("avx2");
    return avx2;
}
#endif

} // namespace

const char *findCaseless(const char *first, const char *last, std::string_view needle) noexcept
{
    if (needle.empty())
        return first;
    if (last - first < static_cast<std::ptrdiff_t>(needle.size()))
        return nullptr;
    // Texts of items are short: 16 places at a time, without the 32 of find().
    const char *limit = last - needle.size() + 1;
#if defined(QUILLMARK_SCAN_SSE2)
    return findCaselessSse2(first, limit, needle);
#else
    return findCaselessTail(first, limit, needle);
#endif
}

const char *find(const char *first, const char *last, std::string_view needle) noexcept
{
    if (needle.empty())
        return first;
    if (last - first < static_cast<std::ptrdiff_t>(needle.size()))
        return nullptr;
    // Every place before `limit` leaves room for the whole needle, so the blocks never read past `last`.
    const char *limit = last - needle.size() + 1;
#if defined(QUILLMARK_SCAN_AVX2)
    if (hasAvx2())
        return findAvx2(first, limit, needle);
#endif
#if defined(QUILLMARK_SCAN_SSE2)
    return findSse2(first, limit, needle);
#else
    const char *hit = std::search(first, last, std::boyer_moore_horspool_searcher(needle.begin(), needle.end()));
    return hit == last ? nullptr : hit;
#endif
}

} // namespace SubstringScan
