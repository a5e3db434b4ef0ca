// The wide path (see Cp932UnicodeWide.h). A window is converted in three moves: its lead
// bytes become a mask, which says where its characters start; the bytes of every
// character are brought together, in order, with compress instructions (its first byte
// in one vector, its second in another); then sixteen characters at a time get their
// table entries with one gather and their UTF-8 bytes packed with one more compress.
// Nothing depends on the character before, so a short line, or one that changes script
// every few characters, costs little more than a long one of a single script.
//
// (The other direction was tried the same way and measured slower than the block path
// on the benchmark corpus: there the block path already steps without branches, and the
// gathers' wait is not hidden; see docs/utf8.md.)
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

#define RUX_WIDE __attribute__((target("avx512f,avx512bw,avx512vl,avx512vbmi2,bmi,bmi2,popcnt,lzcnt")))

namespace cp932::wide {

bool Available() {
  static const bool available = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
           __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512vbmi2") &&
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

}  // namespace cp932::wide

#else

namespace cp932::wide {

bool Available() { return false; }
size_t ToUtf8Window(const unsigned char*, size_t left, const void*, char*&, bool&) { return left; }

}  // namespace cp932::wide

#endif
