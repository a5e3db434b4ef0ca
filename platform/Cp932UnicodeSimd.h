// The vector part of the UTF-8 <-> code page 932 converter (platform/Cp932Unicode.cpp):
// byte classes of one block of kBlock bytes as bit masks (bit i stands for byte i) and
// the copy of a block. This is the one place with processor-specific code: SSE2, which
// every x86-64 processor has, and a plain loop elsewhere that gives the same masks. The
// converter's logic works on the masks only, so it is the same on every processor.
//
// Every function reads exactly kBlock bytes at `p` and writes exactly kBlock bytes at
// `to`; the caller guarantees both are there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace cp932::simd {

inline constexpr size_t kBlock = 16;

// UTF-8 byte classes. `lead3` holds only the lead bytes whose every well-formed sequence
// is a character that may have a code page 932 form and needs no further check: 0xE1-0xEC,
// 0xEE and 0xEF. 0xE0 (which can be overlong) and 0xED (which can be a surrogate) are
// left out, like the lead bytes of four bytes, 0xC0, 0xC1 and 0xF5-0xFF: the converter's
// character-by-character path judges them (code page 932 has no character there).
struct Utf8Classes {
  uint32_t ascii;  // 0x00-0x7F
  uint32_t cont;   // 0x80-0xBF
  uint32_t lead2;  // 0xC2-0xDF
  uint32_t lead3;  // 0xE1-0xEC, 0xEE, 0xEF
};

inline void CopyBlock(const unsigned char* from, char* to) { std::memcpy(to, from, kBlock); }

#if defined(__SSE2__)

namespace detail {

inline __m128i Load(const unsigned char* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

inline uint32_t Bits(__m128i v) { return static_cast<uint32_t>(_mm_movemask_epi8(v)); }

// Bytes x with lo <= x <= hi, both as signed bytes (0x80-0xFF are -128..-1).
inline __m128i InRange(__m128i v, int lo, int hi) {
  return _mm_and_si128(_mm_cmpgt_epi8(v, _mm_set1_epi8(static_cast<char>(lo - 1))),
                       _mm_cmplt_epi8(v, _mm_set1_epi8(static_cast<char>(hi + 1))));
}

}  // namespace detail

inline Utf8Classes ClassifyUtf8(const unsigned char* p) {
  using namespace detail;
  const __m128i v = Load(p);
  const uint32_t high = Bits(v);
  const __m128i lead3 = _mm_andnot_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(static_cast<char>(0xED))),
                                         InRange(v, -31, -17));  // 0xE1-0xEF
  return Utf8Classes{~high & 0xFFFFu,
                     Bits(_mm_cmplt_epi8(v, _mm_set1_epi8(static_cast<char>(0xC0)))),  // 0x80-0xBF
                     Bits(InRange(v, -62, -33)),                                        // 0xC2-0xDF
                     Bits(lead3)};
}

// Bytes 0x80-0xFF.
inline uint32_t HighMask(const unsigned char* p) { return detail::Bits(detail::Load(p)); }

// Code page 932 lead bytes: 0x81-0x9F and 0xE0-0xFC.
inline uint32_t Cp932LeadMask(const unsigned char* p) {
  using namespace detail;
  const __m128i v = Load(p);
  return Bits(_mm_or_si128(InRange(v, -127, -97), InRange(v, -32, -4)));
}

#else  // any other processor: the same masks, one byte at a time

inline Utf8Classes ClassifyUtf8(const unsigned char* p) {
  Utf8Classes c{0, 0, 0, 0};
  for (unsigned i = 0; i < kBlock; ++i) {
    const unsigned b = p[i];
    const uint32_t bit = 1u << i;
    if (b < 0x80) c.ascii |= bit;
    else if (b < 0xC0) c.cont |= bit;
    else if (b >= 0xC2 && b <= 0xDF) c.lead2 |= bit;
    else if (b >= 0xE1 && b <= 0xEF && b != 0xED) c.lead3 |= bit;
  }
  return c;
}

inline uint32_t HighMask(const unsigned char* p) {
  uint32_t m = 0;
  for (unsigned i = 0; i < kBlock; ++i) m |= static_cast<uint32_t>(p[i] >> 7) << i;
  return m;
}

inline uint32_t Cp932LeadMask(const unsigned char* p) {
  uint32_t m = 0;
  for (unsigned i = 0; i < kBlock; ++i) {
    const unsigned b = p[i];
    if ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) m |= 1u << i;
  }
  return m;
}

#endif

}  // namespace cp932::simd
