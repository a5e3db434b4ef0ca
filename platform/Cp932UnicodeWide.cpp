// The wide path (see Cp932UnicodeWide.h). A window is converted in three moves: its lead
// bytes become a mask, which says where its characters start; the bytes of every
// character are brought together, in order, with compress instructions (its first byte
// in one vector, its second in another); then sixteen characters at a time get their
// table entries with one gather and their UTF-8 bytes packed with one more compress.
// Nothing depends on the character before, so a short line, or one that changes script
// every few characters, costs little more than a long one of a single script.
//
// UTF-8 to code page 932 goes in passes over a stretch of text instead: its code points,
// window by window at a fixed stride, so that no window waits for where the one before
// ended; then each one's code from a table, in a plain loop whose loads do not depend on
// each other; then the codes packed into bytes. (One pass with gathers, the same way as
// above, measured slower than the block path: see docs/utf8.md.)
//
// Built only for x86-64 compilers that take per-function targets; the functions carry
// the target themselves, so the rest of the program stays built for every x86-64
// processor and calls them only when Available() says so.
#include "platform/Cp932UnicodeWide.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))

#include <immintrin.h>

#include <algorithm>

// GCC's own intrinsics start some results from a deliberately undefined vector, which
// its flow analysis then reports at every inlined use.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#define RUX_WIDE __attribute__((target("avx512f,avx512bw,avx512vl,avx512vbmi,avx512vbmi2,bmi,bmi2,popcnt,lzcnt")))

namespace cp932::wide {

bool Available() {
  static const bool available = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
           __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512vbmi") &&
           __builtin_cpu_supports("avx512vbmi2") &&
           __builtin_cpu_supports("bmi2") && __builtin_cpu_supports("popcnt");
  }();
  return available;
}

namespace {

constexpr uint64_t kEven = 0x5555555555555555ull;
constexpr uint64_t kOdd = ~kEven;

RUX_WIDE inline __m512i Bytes(int b) { return _mm512_set1_epi8(static_cast<char>(b)); }

// The first `n` bits (n <= 64).
RUX_WIDE inline uint64_t Below(size_t n) { return _bzhi_u64(~0ull, static_cast<unsigned>(n)); }

// The first 16 bytes of `v` as 32-bit lanes, and `v` moved down by those 16 bytes.
RUX_WIDE inline __m512i TakeSixteen(__m512i& v) {
  const __m512i lanes = _mm512_cvtepu8_epi32(_mm512_castsi512_si128(v));
  v = _mm512_alignr_epi32(_mm512_setzero_si512(), v, 4);
  return lanes;
}

// Lead bytes 0x81-0x9F and 0xE0-0xFC (flipping bit 5 makes them one range). A run of them
// starts a character (the byte before it is no lead byte, or is the window's first), and
// pairs up from there: the leads that start characters are those at an even distance from
// their run's start. Adding a run's first bit clears the run, so the runs that start at
// even positions are the ones the sum clears.
RUX_WIDE inline uint64_t PairLeads(__m512i v, uint64_t valid) {
  const uint64_t lead =
      _mm512_cmplt_epu8_mask(_mm512_sub_epi8(_mm512_xor_si512(v, Bytes(0x20)), Bytes(0xA1)), Bytes(0x3C)) & valid;
  const uint64_t runStarts = lead & ~(lead << 1);
  const uint64_t evenRuns = lead & ~(lead + (runStarts & kEven));
  return (evenRuns & kEven) | (lead & ~evenRuns & kOdd);
}

// Up to sixteen characters (`lanes`): their first and second bytes in 32-bit lanes, and
// which of them are pairs. Writes their UTF-8 bytes at `out` and returns how many; sets
// `blanks` when an entry had some.
RUX_WIDE inline size_t PutSixteen(__m512i b0, __m512i b1, __mmask16 pairs, __mmask16 lanes, const void* decode,
                                  char* out, bool& blanks) {
  const __m512i pairIndex = _mm512_sub_epi32(_mm512_or_si512(_mm512_slli_epi32(b0, 8), b1), _mm512_set1_epi32(0x8000));
  const __m512i index = _mm512_mask_mov_epi32(b0, pairs, pairIndex);
  const __m512i entry = _mm512_mask_i32gather_epi32(_mm512_setzero_si512(), lanes, index, decode, 4);
  blanks |= _mm512_test_epi32_mask(entry, _mm512_set1_epi32(0x0C000000)) != 0;
  // Lane byte j of an entry is kept when j < its UTF-8 length (bits 0-1 of byte 3).
  const __m512i infoToAll = _mm512_set4_epi32(0x0F0F0F0F, 0x0B0B0B0B, 0x07070707, 0x03030303);
  const __m512i length = _mm512_and_si512(_mm512_shuffle_epi8(entry, infoToAll), _mm512_set1_epi32(0x03030303));
  const uint64_t keep = _mm512_cmplt_epu8_mask(_mm512_set1_epi32(0x03020100), length);
  const size_t bytes = static_cast<size_t>(_mm_popcnt_u64(keep));
  _mm512_mask_storeu_epi8(out, Below(bytes), _mm512_maskz_compress_epi8(keep, entry));
  return bytes;
}

}  // namespace

RUX_WIDE size_t ToUtf8Window(const unsigned char* p, size_t left, const void* decode, char*& out, bool& blanks) {
  const size_t n = left < 64 ? left : 64;
  const uint64_t valid = Below(n);
  const __m512i v = _mm512_maskz_loadu_epi8(valid, p);
  const uint64_t high = _mm512_movepi8_mask(v);
  // ASCII the window starts with is copied as it is (all of it, when the window is all
  // ASCII): the characters to look up then start at the first other byte.
  const size_t ascii = high == 0 ? n : static_cast<size_t>(_tzcnt_u64(high));
  if (ascii != 0) {
    _mm512_mask_storeu_epi8(out, Below(ascii), v);
    out += ascii;
    return ascii;
  }
  uint64_t pairs = PairLeads(v, valid);
  size_t limit = n;
  const uint64_t lastByte = 1ull << (n - 1);
  if (pairs & lastByte) {
    // A pair cut by the window waits for the next one; a lead byte that ends the text is
    // a character of its own (a blank).
    pairs &= ~lastByte;
    if (left > 64) limit = n - 1;
  }
  // Sixteen ASCII bytes from a character's start are left to the next window, which
  // copies them as they are.
  uint64_t sixteen = ~high;
  for (int k = 1; k < 16; k <<= 1) sixteen &= sixteen >> k;
  sixteen &= ~(pairs << 1) & ~1ull;
  if (sixteen != 0) limit = std::min<size_t>(limit, _tzcnt_u64(sixteen));
  const uint64_t starts = Below(limit) & ~(pairs << 1);
  __m512i first = _mm512_maskz_compress_epi8(starts, v);
  __m512i second = _mm512_maskz_compress_epi8(starts << 1, v);
  const uint64_t pairAt = _pext_u64(pairs, starts);  // bit j: character j is a pair
  const size_t count = static_cast<size_t>(_mm_popcnt_u64(starts));
  char* o = out;
  for (size_t k = 0; k < count; k += 16) {
    const __mmask16 lanes = static_cast<__mmask16>(Below(count - k < 16 ? count - k : 16));
    const __m512i b0 = TakeSixteen(first), b1 = TakeSixteen(second);
    o += PutSixteen(b0, b1, static_cast<__mmask16>(pairAt >> k), lanes, decode, o, blanks);
  }
  out = o;
  return limit;
}

RUX_WIDE size_t CopyAscii(const unsigned char* p, size_t n, char*& out) {
  size_t i = 0;
  while (i < n) {
    const size_t left = n - i < 64 ? n - i : 64;
    const __m512i v = _mm512_maskz_loadu_epi8(Below(left), p + i);
    const uint64_t high = _mm512_movepi8_mask(v);
    const size_t ascii = high == 0 ? left : static_cast<size_t>(_tzcnt_u64(high));
    _mm512_mask_storeu_epi8(out, Below(ascii), v);
    out += ascii;
    i += ascii;
    if (high != 0) break;
  }
  return i;
}

RUX_WIDE ptrdiff_t CodePoints(const unsigned char* p, size_t n, uint16_t* to, size_t& consumed) {
  const __m512i iota = _mm512_set_epi8(63, 62, 61, 60, 59, 58, 57, 56, 55, 54, 53, 52, 51, 50, 49, 48, 47, 46, 45,
                                       44, 43, 42, 41, 40, 39, 38, 37, 36, 35, 34, 33, 32, 31, 30, 29, 28, 27, 26,
                                       25, 24, 23, 22, 21, 20, 19, 18, 17, 16, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6,
                                       5, 4, 3, 2, 1, 0);
  // Byte k of the low and of the high bytes, in that order: k = 0-31, then k = 32-63.
  const __m512i interleaveLow = _mm512_set_epi8(95, 31, 94, 30, 93, 29, 92, 28, 91, 27, 90, 26, 89, 25, 88, 24, 87,
                                                23, 86, 22, 85, 21, 84, 20, 83, 19, 82, 18, 81, 17, 80, 16, 79, 15,
                                                78, 14, 77, 13, 76, 12, 75, 11, 74, 10, 73, 9, 72, 8, 71, 7, 70, 6,
                                                69, 5, 68, 4, 67, 3, 66, 2, 65, 1, 64, 0);
  const __m512i interleaveHigh = _mm512_add_epi8(interleaveLow, Bytes(32));
  uint16_t* const begin = to;
  uint64_t carry = 0;  // the continuation bytes the window before expects at the start of this one
  uint64_t bad = 0;
  size_t i = 0;
  for (; i < n; i += 64) {
    const size_t left = n - i;
    const uint64_t valid = Below(left < 64 ? left : 64);
    const __m512i v = _mm512_maskz_loadu_epi8(valid, p + i);
    const uint64_t high = _mm512_movepi8_mask(v);
    if ((high | carry) == 0 && i != 0) break;  // ASCII: copied as it is
    const uint64_t cont = _mm512_cmpeq_epi8_mask(_mm512_and_si512(v, Bytes(0xC0)), Bytes(0x80));
    const uint64_t lead2 = _mm512_cmplt_epu8_mask(_mm512_sub_epi8(v, Bytes(0xC2)), Bytes(0x1E));
    const uint64_t lead3 =
        _mm512_cmplt_epu8_mask(_mm512_sub_epi8(v, Bytes(0xE1)), Bytes(0x0F)) & ~_mm512_cmpeq_epi8_mask(v, Bytes(0xED));
    // Every continuation byte where a lead byte expects one, and nowhere else (beyond the
    // text, a zero where one is expected counts too), and no other byte above 0x7F.
    bad |= (high & ~(cont | lead2 | lead3)) | (cont ^ ((lead2 << 1) | (lead3 << 1) | (lead3 << 2) | carry));
    carry = ((lead2 | lead3) >> 63) | (lead3 >> 62);
    // The characters that start in the window, their bytes brought together in order; a
    // character cut by the window's end takes its last bytes from the next one.
    const uint64_t starts = (~high | lead2 | lead3) & valid;
    const size_t after = left > 64 ? left - 64 : 0;  // bytes of the text after the window
    const __m512i next = _mm512_maskz_loadu_epi8(Below(after < 2 ? after : 2), p + i + 64);
    const __m512i at = _mm512_maskz_compress_epi8(starts, iota);
    const __m512i first = _mm512_permutexvar_epi8(at, v);
    const __m512i second = _mm512_permutex2var_epi8(v, _mm512_add_epi8(at, Bytes(1)), next);
    const __m512i third = _mm512_permutex2var_epi8(v, _mm512_add_epi8(at, Bytes(2)), next);
    const uint64_t two = _mm512_cmpge_epu8_mask(first, Bytes(0xC0));
    const uint64_t three = _mm512_cmpge_epu8_mask(first, Bytes(0xE0));
    // The code point's low byte: ASCII b0; two bytes b0 << 6 | b1 & 0x3F; three bytes
    // b1 << 6 | b2 & 0x3F. Its high byte: ASCII 0; two bytes b0 >> 2 & 0x07; three bytes
    // b0 << 4 | b1 >> 2 & 0x0F.
    const __m512i shifted = _mm512_and_si512(_mm512_slli_epi16(_mm512_mask_mov_epi8(first, three, second), 6),
                                             Bytes(0xC0));
    const __m512i tail = _mm512_and_si512(_mm512_mask_mov_epi8(second, three, third), Bytes(0x3F));
    const __m512i low = _mm512_mask_mov_epi8(first, two, _mm512_or_si512(shifted, tail));
    const __m512i twoHigh = _mm512_and_si512(_mm512_srli_epi16(first, 2), Bytes(0x07));
    const __m512i threeHigh = _mm512_or_si512(_mm512_and_si512(_mm512_slli_epi16(first, 4), Bytes(0xF0)),
                                              _mm512_and_si512(_mm512_srli_epi16(second, 2), Bytes(0x0F)));
    const __m512i hi = _mm512_mask_mov_epi8(_mm512_maskz_mov_epi8(two, twoHigh), three, threeHigh);
    _mm512_storeu_si512(to, _mm512_permutex2var_epi8(low, interleaveLow, hi));
    _mm512_storeu_si512(to + 32, _mm512_permutex2var_epi8(low, interleaveHigh, hi));
    to += _mm_popcnt_u64(starts);
  }
  consumed = i < n ? i : n;
  if (bad != 0 || carry != 0) return -1;
  return to - begin;
}

RUX_WIDE char* PutCodes(const uint16_t* codes, size_t count, char* out, bool& noForm) {
  // Each code's bytes in memory order: its high byte (kept for a pair), then its low byte.
  const __m512i swap = _mm512_set_epi8(62, 63, 60, 61, 58, 59, 56, 57, 54, 55, 52, 53, 50, 51, 48, 49, 46, 47, 44,
                                       45, 42, 43, 40, 41, 38, 39, 36, 37, 34, 35, 32, 33, 30, 31, 28, 29, 26, 27,
                                       24, 25, 22, 23, 20, 21, 18, 19, 16, 17, 14, 15, 12, 13, 10, 11, 8, 9, 6, 7,
                                       4, 5, 2, 3, 0, 1);
  uint32_t missing = 0;
  for (size_t k = 0; k < count; k += 32) {
    const __mmask32 lanes = static_cast<__mmask32>(Below(count - k < 32 ? count - k : 32));
    const __m512i c = _mm512_maskz_loadu_epi16(lanes, codes + k);
    const __mmask32 pair = _mm512_mask_cmpgt_epu16_mask(lanes, c, _mm512_set1_epi16(0xFF));
    missing |= _mm512_mask_cmpeq_epi16_mask(lanes, c, _mm512_set1_epi16(-1));
    const uint64_t keep = _pdep_u64(pair, kEven) | _pdep_u64(lanes, kOdd);
    const size_t bytes = static_cast<size_t>(_mm_popcnt_u64(keep));
    _mm512_mask_storeu_epi8(out, Below(bytes), _mm512_maskz_compress_epi8(keep, _mm512_permutexvar_epi8(swap, c)));
    out += bytes;
  }
  noForm = missing != 0;
  return out;
}

}  // namespace cp932::wide

#else

namespace cp932::wide {

bool Available() { return false; }
size_t ToUtf8Window(const unsigned char*, size_t left, const void*, char*&, bool&) { return left; }
size_t CopyAscii(const unsigned char*, size_t, char*&) { return 0; }
ptrdiff_t CodePoints(const unsigned char*, size_t, uint16_t*, size_t&) { return -1; }
char* PutCodes(const uint16_t*, size_t, char* out, bool&) { return out; }

}  // namespace cp932::wide

#endif
