#pragma once

// Scans over UTF-16 text that every character of a large export or file list goes through:
// eight characters at a time where the CPU has SSE2 (every x86-64), one at a time elsewhere.

#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qm::innotext {

// The first of two characters in [p, end), or end.
inline const char16_t* FindEither(const char16_t* p, const char16_t* end, char16_t a, char16_t b) {
#if defined(__SSE2__)
    const __m128i va = _mm_set1_epi16(static_cast<short>(a));
    const __m128i vb = _mm_set1_epi16(static_cast<short>(b));
    for (; end - p >= 8; p += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const auto mask = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi16(v, va), _mm_cmpeq_epi16(v, vb))));
        if (mask != 0)
            return p + std::countr_zero(mask) / 2;
    }
#endif
    while (p < end && *p != a && *p != b)
        ++p;
    return p;
}

// Whether `c` breaks a script line or where it is shown: NUL, LF, CR, U+2028, U+2029, U+FDD0,
// U+FDD1.
constexpr bool BreaksScriptLine(char16_t c) {
    return c == 0 || c == u'\n' || c == u'\r' || (c & 0xFFFE) == 0x2028 || (c & 0xFFFE) == 0xFDD0;
}

// The first character in [p, end) that breaks a script line, or end.
inline const char16_t* FindScriptLineBreak(const char16_t* p, const char16_t* end) {
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i lf = _mm_set1_epi16(u'\n');
    const __m128i cr = _mm_set1_epi16(u'\r');
    const __m128i pairMask = _mm_set1_epi16(static_cast<short>(0xFFFE));
    const __m128i separators = _mm_set1_epi16(0x2028);
    const __m128i nonCharacters = _mm_set1_epi16(static_cast<short>(0xFDD0));
    for (; end - p >= 8; p += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i pair = _mm_and_si128(v, pairMask);
        const __m128i hit = _mm_or_si128(
            _mm_or_si128(_mm_cmpeq_epi16(v, zero),
                         _mm_or_si128(_mm_cmpeq_epi16(v, lf), _mm_cmpeq_epi16(v, cr))),
            _mm_or_si128(_mm_cmpeq_epi16(pair, separators), _mm_cmpeq_epi16(pair, nonCharacters)));
        if (const auto mask = static_cast<unsigned>(_mm_movemask_epi8(hit)); mask != 0)
            return p + std::countr_zero(mask) / 2;
    }
#endif
    // Nearly every character lies between CR and U+2028.
    while (p < end && ((*p > u'\r' && *p < 0x2028) || !BreaksScriptLine(*p)))
        ++p;
    return p;
}

} // namespace qm::innotext
