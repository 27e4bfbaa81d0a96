// The few byte searches that loading a large data file spends its time in,
// sixteen bytes at a time where the processor allows it.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace mappa::scan {

inline unsigned LowestBit(unsigned mask) { return static_cast<unsigned>(std::countr_zero(mask)); }

// The first byte in [from, end) that is NUL or has its high bit set (not ASCII); `end` when none.
inline const char* SkipAscii(const char* from, const char* end)
{
    const char* p = from;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    while (end - p >= 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const unsigned stop = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(bytes, _mm_cmpeq_epi8(bytes, zero))));
        if (stop) return p + LowestBit(stop);
        p += 16;
    }
#else
    constexpr std::uint64_t kLow = 0x0101010101010101u, kHigh = 0x8080808080808080u;
    while (end - p >= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        // A high bit, or a zero byte (the classic has-zero test, which cannot miss one).
        if ((word & kHigh) || ((word - kLow) & ~word & kHigh)) break;
        p += 8;
    }
#endif
    while (p < end && static_cast<signed char>(*p) > 0) ++p;
    return p;
}

// The first CR or LF in [from, end); `end` when none.
inline const char* FindLineBreak(const char* from, const char* end)
{
    const char* p = from;
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    while (end - p >= 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const unsigned found = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, lf), _mm_cmpeq_epi8(bytes, cr))));
        if (found) return p + LowestBit(found);
        p += 16;
    }
#endif
    while (p < end && *p != '\n' && *p != '\r') ++p;
    return p;
}

// How many of the `count` little-endian UTF-16 code units at `units` (from
// the first on) are ASCII other than NUL. `out` receives them as bytes.
inline std::size_t CopyAsciiUnits(const unsigned char* units, std::size_t count, char* out)
{
    std::size_t done = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i above_ascii = _mm_set1_epi16(static_cast<short>(0xFF80));
    while (count - done >= 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + 2 * done));
        const int wide = _mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(v, above_ascii), zero));
        const int nul = _mm_movemask_epi8(_mm_cmpeq_epi16(v, zero));
        if (wide != 0xFFFF || nul != 0) break;
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + done), _mm_packus_epi16(v, v));
        done += 8;
    }
#endif
    while (done < count && units[2 * done + 1] == 0 && units[2 * done] != 0 && units[2 * done] < 0x80) {
        out[done] = static_cast<char>(units[2 * done]);
        ++done;
    }
    return done;
}

}  // namespace mappa::scan
