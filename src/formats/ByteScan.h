#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64) || defined(_M_AMD64)
#include <emmintrin.h>
#define QUILLMARK_BYTESCAN_SSE2 1
#endif

// Finds the next byte that text scanning must look at, sixteen bytes at a step where the processor
// allows: the readers and writers look at every byte of every name, URL and description.
namespace ByteScan {

#ifdef QUILLMARK_BYTESCAN_SSE2
namespace Detail {

// Scans data[from, size) sixteen bytes at a time with test (a block of bytes -> a mask of hits); the
// last, partial block is read as the sixteen bytes that end the text (or, for a short text, from a
// padded copy), so no byte is looked at one by one and nothing is read outside the text.
template<class Test> size_t scan(const char *data, size_t from, size_t size, char padding, Test test)
{
    size_t i = from;
    if (i >= size)
        return size;
    if (size - i >= 16) {
        for (; i + 16 <= size; i += 16) {
            const int mask = test(_mm_loadu_si128(reinterpret_cast<const __m128i *>(data + i)));
            if (mask != 0)
                return i + static_cast<size_t>(std::countr_zero(static_cast<unsigned>(mask)));
        }
        if (i == size)
            return size;
        const size_t last = size - 16;
        const unsigned seen = (1u << (i - last)) - 1;
        const unsigned mask
            = static_cast<unsigned>(test(_mm_loadu_si128(reinterpret_cast<const __m128i *>(data + last)))) & ~seen;
        return mask != 0 ? last + static_cast<size_t>(std::countr_zero(mask)) : size;
    }
    char block[16];
    std::memset(block, padding, sizeof block);
    std::memcpy(block, data + i, size - i);
    const unsigned mask = static_cast<unsigned>(test(_mm_loadu_si128(reinterpret_cast<const __m128i *>(block))))
        & ((1u << (size - i)) - 1);
    return mask != 0 ? i + static_cast<size_t>(std::countr_zero(mask)) : size;
}

} // namespace Detail
#endif

// The first index from `from` on whose byte is below `bound` (ASCII, bound at most 0x80) or is not
// ASCII at all; size when there is none.
inline size_t findBelowOrHigh(const char *data, size_t from, size_t size, unsigned char bound)
{
#ifdef QUILLMARK_BYTESCAN_SSE2
    // A signed comparison: bytes from 0x80 on are negative, below any ASCII bound.
    const __m128i limit = _mm_set1_epi8(static_cast<char>(bound));
    return Detail::scan(data, from, size, 0x7F,
                        [limit](__m128i bytes) { return _mm_movemask_epi8(_mm_cmplt_epi8(bytes, limit)); });
#else
    for (size_t i = from; i < size; ++i) {
        const auto c = static_cast<unsigned char>(data[i]);
        if (c < bound || c >= 0x80)
            return i;
    }
    return size;
#endif
}

// The first index from `from` on whose byte is a control character, not ASCII, or one of
// & < > " ' and DEL: what HTML escaping has to look at; size when there is none.
inline size_t findMarkupSpecial(const char *data, size_t from, size_t size)
{
#ifdef QUILLMARK_BYTESCAN_SSE2
    const __m128i space = _mm_set1_epi8(0x20);
    const __m128i amp = _mm_set1_epi8('&');
    const __m128i lt = _mm_set1_epi8('<');
    const __m128i gt = _mm_set1_epi8('>');
    const __m128i quote = _mm_set1_epi8('"');
    const __m128i apostrophe = _mm_set1_epi8('\'');
    const __m128i del = _mm_set1_epi8(0x7F);
    return Detail::scan(data, from, size, 'a', [&](__m128i bytes) {
        __m128i hits = _mm_cmplt_epi8(bytes, space);
        hits = _mm_or_si128(hits, _mm_cmpeq_epi8(bytes, amp));
        hits = _mm_or_si128(hits, _mm_cmpeq_epi8(bytes, lt));
        hits = _mm_or_si128(hits, _mm_cmpeq_epi8(bytes, gt));
        hits = _mm_or_si128(hits, _mm_cmpeq_epi8(bytes, quote));
        hits = _mm_or_si128(hits, _mm_cmpeq_epi8(bytes, apostrophe));
        hits = _mm_or_si128(hits, _mm_cmpeq_epi8(bytes, del));
        return _mm_movemask_epi8(hits);
    });
#else
    for (size_t i = from; i < size; ++i) {
        const auto c = static_cast<unsigned char>(data[i]);
        if (c < 0x20 || c >= 0x7F || c == '&' || c == '<' || c == '>' || c == '"' || c == '\'')
            return i;
    }
    return size;
#endif
}
// The first index from `from` on whose byte is a, b or c; size when there is none.
inline size_t findAnyOf(const char *data, size_t from, size_t size, char a, char b, char c)
{
#ifdef QUILLMARK_BYTESCAN_SSE2
    const __m128i first = _mm_set1_epi8(a);
    const __m128i second = _mm_set1_epi8(b);
    const __m128i third = _mm_set1_epi8(c);
    return Detail::scan(data, from, size, a == 0 ? 1 : 0, [&](__m128i bytes) {
        const __m128i hits = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, first), _mm_cmpeq_epi8(bytes, second)),
                                          _mm_cmpeq_epi8(bytes, third));
        return _mm_movemask_epi8(hits);
    });
#else
    for (size_t i = from; i < size; ++i) {
        if (data[i] == a || data[i] == b || data[i] == c)
            return i;
    }
    return size;
#endif
}

// The length of the strict UTF-8 sequence at data (no overlong forms, no surrogates, nothing above
// U+10FFFF), or 0 when there is none there.
inline size_t utf8SequenceLength(const unsigned char *data, size_t available)
{
    const unsigned char c = data[0];
    size_t extra;
    unsigned min;
    unsigned code;
    if (c < 0x80)
        return 1;
    if ((c & 0xE0) == 0xC0) {
        extra = 1;
        min = 0x80;
        code = c & 0x1Fu;
    } else if ((c & 0xF0) == 0xE0) {
        extra = 2;
        min = 0x800;
        code = c & 0x0Fu;
    } else if ((c & 0xF8) == 0xF0) {
        extra = 3;
        min = 0x10000;
        code = c & 0x07u;
    } else {
        return 0;
    }
    if (available <= extra)
        return 0;
    for (size_t i = 1; i <= extra; ++i) {
        if ((data[i] & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (data[i] & 0x3Fu);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return extra + 1;
}

} // namespace ByteScan
