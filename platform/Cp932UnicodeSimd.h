// The vector part of the converter's block path (platform/Cp932Unicode.cpp): the UTF-8
// byte classes and the code page 932 lead bytes of one block of kBlock bytes as bit masks
// (bit i stands for byte i), the three-byte sequences a block starts with and their code
// points, and the copy of a block. SSE2, which every x86-64 processor has; the same
// functions written byte by byte (namespace portable) serve every other processor and
// are the reference the SSE2 ones are tested against. The block path's logic works on
// the results only, so it is the same on every processor. (The wide path, for processors
// with AVX-512, is Cp932UnicodeWide.cpp.)
//
// Every function reads exactly kBlock bytes at `p` and writes exactly kBlock bytes at
// `to`; the caller guarantees both are there.
#pragma once

#include <bit>
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

namespace portable {

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

// Bytes 0x80-0xFF.
inline uint32_t HighMask(const unsigned char* p) {
  uint32_t m = 0;
  for (unsigned i = 0; i < kBlock; ++i) m |= static_cast<uint32_t>(p[i] >> 7) << i;
  return m;
}

// Code page 932 lead bytes: 0x81-0x9F and 0xE0-0xFC.
inline uint32_t Cp932LeadMask(const unsigned char* p) {
  uint32_t m = 0;
  for (unsigned i = 0; i < kBlock; ++i)
    m |= static_cast<uint32_t>((p[i] >= 0x81 && p[i] <= 0x9F) || (p[i] >= 0xE0 && p[i] <= 0xFC)) << i;
  return m;
}

// How many sequences of a lead byte 0xE1-0xEF and two continuation bytes (0 to 5) the
// block starts with. (0xE0 is left out: its sequences can be overlong, and those that are
// not, U+0800-U+0FFF, have no code page 932 form.)
inline int LeadingThreeByte(const unsigned char* p) {
  int k = 0;
  while (k < 5 && (p[3 * k] & 0xF0) == 0xE0 && p[3 * k] != 0xE0 && (p[3 * k + 1] & 0xC0) == 0x80 &&
         (p[3 * k + 2] & 0xC0) == 0x80)
    ++k;
  return k;
}

// The code points of the three-byte sequences at bytes 0, 3, 6, 9 and 12 (whatever the
// bytes are).
inline void FiveCodePoints(const unsigned char* p, uint32_t cp[5]) {
  for (int k = 0; k < 5; ++k, p += 3) cp[k] = (p[0] & 0x0Fu) << 12 | (p[1] & 0x3Fu) << 6 | (p[2] & 0x3Fu);
}

}  // namespace portable

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

// The code points of three-byte sequences that start at even bytes, in the 16-bit lane
// of their first byte: lane j holds bytes 2j and 2j+1, lane j+1 the third byte.
inline __m128i EvenCodePoints(__m128i x) {
  const __m128i first = _mm_slli_epi16(_mm_and_si128(x, _mm_set1_epi16(0x000F)), 12);
  const __m128i second = _mm_srli_epi16(_mm_and_si128(x, _mm_set1_epi16(0x3F00)), 2);
  const __m128i third = _mm_and_si128(_mm_srli_si128(x, 2), _mm_set1_epi16(0x003F));
  return _mm_or_si128(_mm_or_si128(first, second), third);
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

inline uint32_t HighMask(const unsigned char* p) { return detail::Bits(detail::Load(p)); }

inline uint32_t Cp932LeadMask(const unsigned char* p) {
  using namespace detail;
  const __m128i v = Load(p);
  return Bits(_mm_or_si128(InRange(v, -127, -97), InRange(v, -32, -4)));
}

// Bytes that fit the pattern of five three-byte sequences, counted from the first one
// that does not: every three of them is a sequence.
inline int LeadingThreeByte(const unsigned char* p) {
  const __m128i mask = _mm_setr_epi8(-16, -64, -64, -16, -64, -64, -16, -64, -64, -16, -64, -64, -16, -64, -64, -1);
  const __m128i want = _mm_setr_epi8(-32, -128, -128, -32, -128, -128, -32, -128, -128, -32, -128, -128, -32,
                                     -128, -128, -1);  // byte 15 never fits: at most 15 bytes count
  const __m128i v = detail::Load(p);
  const uint32_t fit = detail::Bits(_mm_andnot_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(static_cast<char>(0xE0))),
                                                     _mm_cmpeq_epi8(_mm_and_si128(v, mask), want)));
  return std::countr_zero(~fit) / 3;
}

// The sequences at even bytes are lanes 0, 3 and 6 of the block, those at odd bytes
// lanes 1 and 4 of the block moved down by one byte.
inline void FiveCodePoints(const unsigned char* p, uint32_t cp[5]) {
  using namespace detail;
  const __m128i v = Load(p);
  const __m128i even = EvenCodePoints(v), odd = EvenCodePoints(_mm_srli_si128(v, 1));
  cp[0] = static_cast<uint32_t>(_mm_extract_epi16(even, 0));
  cp[1] = static_cast<uint32_t>(_mm_extract_epi16(odd, 1));
  cp[2] = static_cast<uint32_t>(_mm_extract_epi16(even, 3));
  cp[3] = static_cast<uint32_t>(_mm_extract_epi16(odd, 4));
  cp[4] = static_cast<uint32_t>(_mm_extract_epi16(even, 6));
}

#else

using portable::ClassifyUtf8;
using portable::Cp932LeadMask;
using portable::FiveCodePoints;
using portable::HighMask;
using portable::LeadingThreeByte;

#endif

}  // namespace cp932::simd
