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
