// Code page 932 -> UTF-8 conversion.
//
// ASCII is copied a block at a time, a block of eight double-byte characters converted at
// once, and other characters one by one: one table holds single bytes and pairs, so a
// character's entry is one load. Measured on the benchmark corpus, two alternatives were
// slower: block masks of where pairs start in any block (the text changes between one and
// two bytes too often for them to pay), and a step without a branch on the lead byte (each
// character then waits for the length of the one before; the branch is predicted within
// runs).
#include "platform/Cp932Unicode.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#include "platform/Cp932.h"
#include "platform/Cp932UnicodeCodes.h"
#include "platform/Cp932UnicodeSimd.h"
#include "platform/Cp932UnicodeWide.h"
#include "platform/Utf8.h"

namespace cp932 {

namespace {

using namespace codes;

// ------------------------------------------------------------------ code page 932 -> UTF-8

// A decode entry: up to three UTF-8 bytes, then their count (bits 0-1) and the number of
// input bytes written as blanks (bits 2-3). All four bytes are stored at once.
struct DecodeEntry {
  unsigned char bytes[3];
  unsigned char info;
};

// One table for both kinds of character: the single bytes first, indexed by the byte,
// then the pairs, indexed by lead * 256 + second byte from 0x8100 on (the rows of 0xA0 to
// 0xDF, which are no lead bytes, are never read).
constexpr unsigned kPairBase = 256 - 0x8100;
constexpr size_t kDecodeSize = 256 + (0xFD00 - 0x8100);

using DecodeTable = std::array<DecodeEntry, kDecodeSize>;

constexpr DecodeEntry Utf8Entry(char32_t u) {
  if (u < 0x80) return {{static_cast<unsigned char>(u), 0, 0}, 1};
  if (u < 0x800)
    return {{static_cast<unsigned char>(0xC0 | u >> 6), static_cast<unsigned char>(0x80 | (u & 0x3F)), 0}, 2};
  return {{static_cast<unsigned char>(0xE0 | u >> 12), static_cast<unsigned char>(0x80 | (u >> 6 & 0x3F)),
           static_cast<unsigned char>(0x80 | (u & 0x3F))},
          3};
}

constexpr unsigned char kOneBlank = 1 | 1 << 2;
constexpr unsigned char kTwoBlanks = 2 | 2 << 2;

constexpr DecodeEntry SingleEntry(unsigned b) {
  const char16_t u = tb::kSingleByte[b];
  return u == tb::kNone ? DecodeEntry{{' ', 0, 0}, kOneBlank} : Utf8Entry(u);
}

constexpr DecodeEntry PairEntry(unsigned lead, unsigned second) {
  if (second < 0x40 || second == 0x7F || second > 0xFC) {
    // Not a second byte: the lead byte is a blank and this byte a character of its own.
    const DecodeEntry alone = SingleEntry(second);
    return {{' ', alone.bytes[0], 0}, static_cast<unsigned char>(2 | ((1 + (alone.info >> 2)) << 2))};
  }
  const char16_t u = tb::kDoubleByte[LeadIndex(lead)][second - 0x40];
  return u == 0 ? DecodeEntry{{' ', ' ', 0}, kTwoBlanks} : Utf8Entry(u);
}

constexpr DecodeTable BuildDecodeTable() {
  DecodeTable t{};
  for (unsigned b = 0; b < 256; ++b) {
    t[b] = SingleEntry(b);
    if (!IsLead(b)) continue;
    for (unsigned s = 0; s < 256; ++s) t[(b << 8 | s) + kPairBase] = PairEntry(b, s);
  }
  return t;
}

constexpr DecodeTable kDecode = BuildDecodeTable();

inline unsigned PairIndex(const unsigned char* q) { return (unsigned{q[0]} << 8 | q[1]) + kPairBase; }

constexpr unsigned kBlankBits = 3 << 2;

// The entry of the character at in[i], which is not the last byte; moves i past it.
// A branch, not a selection: the processor predicts it within runs, while a selection
// makes each character wait for the length of the one before.
inline const DecodeEntry& EntryAt(const unsigned char* in, size_t& i) {
  if (IsLead(in[i])) [[likely]] {
    const DecodeEntry& e = kDecode[PairIndex(in + i)];
    i += 2;
    return e;
  }
  return kDecode[in[i++]];
}

inline void PutDecoded(const DecodeEntry& e, char*& out, unsigned& seen) {
  std::memcpy(out, &e, 4);
  out += e.info & 3;
  seen |= e.info;
}

// Converts the character at in[i], which is not the last byte; returns the index after
// it. `seen` collects the entries' info bits, so that blanks are counted (CountBlanks)
// only when there are some.
inline size_t ScalarToUtf8(const unsigned char* in, size_t i, char*& out, unsigned& seen) {
  PutDecoded(EntryAt(in, i), out, seen);
  return i;
}

// The last byte of a text, when it is a character of its own (a lone lead byte is a blank).
inline void LastToUtf8(const unsigned char* in, size_t size, size_t i, char*& out, unsigned& seen) {
  if (i + 1 == size) PutDecoded(kDecode[in[i]], out, seen);
}

size_t CountBlanks(std::string_view cp932) {
  const auto* in = reinterpret_cast<const unsigned char*>(cp932.data());
  const size_t n = cp932.size();
  size_t blanks = 0;
  size_t i = 0;
  while (i + 1 < n) blanks += EntryAt(in, i).info >> 2;
  return i + 1 == n ? blanks + (kDecode[in[i]].info >> 2) : blanks;
}
}  // namespace

ToUtf8Result ToUtf8(std::string_view cp932, char* out) {
  return wide::Available() ? wide::ToUtf8(cp932, out) : block::ToUtf8(cp932, out);
}

namespace block {

ToUtf8Result ToUtf8(std::string_view cp932, char* out) {
  const auto* in = reinterpret_cast<const unsigned char*>(cp932.data());
  char* o = out;
  unsigned seen = 0;
  size_t i = 0;
  const size_t n = cp932.size();
  while (i + 1 < n) {
    while (n - i >= simd::kBlock) {  // a run of ASCII
      const uint32_t high = simd::HighMask(in + i);
      simd::CopyBlock(in + i, o);
      const size_t k = high ? static_cast<size_t>(std::countr_zero(high)) : simd::kBlock;
      i += k, o += k;
      if (high) break;
    }
    // Eight double-byte characters: a block whose even bytes are all lead bytes (from a
    // character's start, the byte after a lead byte is its second byte whatever it is).
    while (n - i >= simd::kBlock && (simd::Cp932LeadMask(in + i) & 0x5555u) == 0x5555u) {
      for (int k = 0; k < 16; k += 2) PutDecoded(kDecode[PairIndex(in + i + k)], o, seen);
      i += 16;
    }
    while (i + 1 < n) {  // the other characters up to the next ASCII byte (all of them near the end)
      i = ScalarToUtf8(in, i, o, seen);
      if (i + 1 < n) i = ScalarToUtf8(in, i, o, seen);  // two per test: Japanese comes in runs
      if (i + 1 >= n || in[i] < 0x80) break;
    }
  }
  LastToUtf8(in, n, i, o, seen);
  return {static_cast<size_t>(o - out), (seen & kBlankBits) ? CountBlanks(cp932) : 0};
}

}  // namespace block

namespace wide {

ToUtf8Result ToUtf8(std::string_view cp932, char* out) {
  const auto* in = reinterpret_cast<const unsigned char*>(cp932.data());
  char* o = out;
  bool blanks = false;
  for (size_t i = 0; i < cp932.size();) i += ToUtf8Window(in + i, cp932.size() - i, kDecode.data(), o, blanks);
  return {static_cast<size_t>(o - out), blanks ? CountBlanks(cp932) : 0};
}

}  // namespace wide

size_t AppendToUtf8(std::string_view cp932, std::string& out) {
  const size_t old = out.size();
  out.resize(old + MaxUtf8Size(cp932.size()));
  const ToUtf8Result r = ToUtf8(cp932, out.data() + old);
  out.resize(old + r.written);
  return r.blanks;
}

namespace scalar {

ToUtf8Result ToUtf8(std::string_view cp932, char* out) {
  const auto* in = reinterpret_cast<const unsigned char*>(cp932.data());
  char* o = out;
  unsigned seen = 0;
  size_t i = 0;
  while (i + 1 < cp932.size()) i = ScalarToUtf8(in, i, o, seen);
  LastToUtf8(in, cp932.size(), i, o, seen);
  return {static_cast<size_t>(o - out), (seen & kBlankBits) ? CountBlanks(cp932) : 0};
}

}  // namespace scalar

}  // namespace cp932
