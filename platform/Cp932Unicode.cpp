// UTF-8 -> code page 932 conversion, and the canonical form.
//
// UTF-8 to code page 932 has three paths that give the same bytes:
// - the wide path, where the processor has AVX-512 (platform/Cp932UnicodeWide.h), takes a
//   stretch of text in passes: ASCII copied 64 bytes at a time, then the code points of
//   its characters by fixed 64-byte windows, then a table look-up each, then the codes
//   packed into bytes. It takes only text of well-formed characters that all have a form;
//   any other text goes to the block path whole, which judges it;
// - the block path takes kBlock input bytes at a time (platform/Cp932UnicodeSimd.h gives
//   the byte classes of a block as bit masks): ASCII is copied a block at a time; a run of
//   three-byte characters, most of Japanese text, up to five characters at a time with
//   their code points computed together; any other block character by character from the start
//   positions its masks give, with no branch that depends on the text (a character-
//   stepping loop waits at each step for the length of the character before, and
//   mispredicts at every change of script);
// - the scalar path takes one character at a time. It handles everything the block path
//   leaves to it: malformed UTF-8, lead bytes the masks do not classify (four-byte
//   sequences, 0xE0, 0xED), characters without a code page 932 form.
// Code page 932 to UTF-8 is in Cp932ToUtf8.cpp.
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

// ------------------------------------------------------------------ UTF-8 -> code page 932

// An encode entry holds a character's code page 932 bytes, their count and a flag byte
// (0xFF: the character has no form), in memory order, so that one store writes the bytes
// and one shift gives the count.
constexpr bool kLittle = std::endian::native == std::endian::little;
constexpr int kLengthShift = kLittle ? 16 : 8;
constexpr uint32_t kNoFormFlag = kLittle ? 0xFF000000u : 0x000000FFu;
constexpr uint32_t kNoForm = kNoFormFlag;

constexpr uint32_t EntryOf(unsigned code) {
  const uint32_t first = code > 0xFF ? code >> 8 : code;
  const uint32_t second = code > 0xFF ? code & 0xFF : 0;
  const uint32_t length = code > 0xFF ? 2 : 1;
  return kLittle ? first | second << 8 | length << 16 : first << 24 | second << 16 | length << 8;
}

// Indexed by a Unicode value of the Basic Multilingual Plane (every character with a
// code page 932 form is there): what `of` makes of the character's code, or `none`.
// (Kept to few steps: compilers bound the work of one constant evaluation.)
template <typename Entry>
constexpr std::array<Entry, 0x10000> BuildEncodeTable(Entry none, Entry (*of)(unsigned code)) {
  std::array<std::array<bool, tb::kTrails>, tb::kLeads> nonCanonical{};
  for (uint16_t code : tb::kNonCanonical) nonCanonical[LeadIndex(code >> 8)][(code & 0xFF) - 0x40] = true;
  std::array<Entry, 0x10000> t{};
  t.fill(none);
  for (unsigned b = 0; b < 256; ++b)
    if (tb::kSingleByte[b] != tb::kNone) t[tb::kSingleByte[b]] = of(b);
  for (int l = 0; l < tb::kLeads; ++l) {
    for (int k = 0; k < tb::kTrails; ++k) {
      const char16_t u = tb::kDoubleByte[l][k];
      if (u != 0 && !nonCanonical[l][k]) t[u] = of(LeadOf(l) << 8 | (0x40u + k));
    }
  }
  for (const tb::OneWay& w : tb::kOneWay) t[w.codePoint] = of(w.code);
  return t;
}

constexpr auto kEncode = BuildEncodeTable<uint32_t>(kNoForm, EntryOf);

// The same as bare codes, for the wide path: one byte below 0x100, a pair from 0x8140,
// 0xFFFF for no form (no code has the lead byte 0xFF).
constexpr uint16_t CodeOf(unsigned code) { return static_cast<uint16_t>(code); }
constexpr auto kCode = BuildEncodeTable<uint16_t>(0xFFFF, CodeOf);

inline uint32_t EncodeOf(char32_t u) { return u <= 0xFFFF ? kEncode[u] : kNoForm; }

inline char* PutEntry(char* out, uint32_t e) {
  std::memcpy(out, &e, 4);
  return out + (e >> kLengthShift & 3);
}

bool IsDropped(char32_t u) {
  for (const tb::Range& r : tb::kDropped)
    if (u >= r.first && u <= r.last) return true;
  return false;
}

// Display width of a character without a code page 932 form: 0, 1 or 2 columns.
int Width(char32_t u) {
  const tb::WidthRange* end = std::end(tb::kWidths);
  const tb::WidthRange* r = std::upper_bound(std::begin(tb::kWidths), end, u,
                                             [](char32_t v, const tb::WidthRange& w) { return v < w.first; });
  if (r == std::begin(tb::kWidths)) return 1;
  --r;
  return u <= r->last ? r->width : 1;
}

constexpr char kGeta[2] = {static_cast<char>(0x81), static_cast<char>(0xAC)};  // 〓

// One conversion from UTF-8: the input, where the output goes, and the result so far.
struct FromUtf8Run {
  std::string_view in;
  char* begin;
  char* out;
  Unmappable policy;
  FromUtf8Result result;
};

// A problem at in[i]: with kStop, records it and returns false; with kReplace, writes
// the stand-in, counts it and returns true.
bool Problem(FromUtf8Run& run, size_t i, Utf8Problem problem, char32_t codePoint) {
  if (run.policy == Unmappable::kStop) {
    FromUtf8Result& r = run.result;
    r.problem = problem;
    r.offset = i;
    r.column = static_cast<size_t>(run.out - run.begin) + 1;
    if (problem == Utf8Problem::kMalformed) r.byte = static_cast<unsigned char>(run.in[i]);
    else r.codePoint = codePoint;
    return false;
  }
  ++run.result.replaced;
  const int width = problem == Utf8Problem::kMalformed ? 1 : Width(codePoint);
  if (width == 2) {
    std::memcpy(run.out, kGeta, 2);
    run.out += 2;
  } else if (width == 1) {
    *run.out++ = '?';
  }
  return true;
}

constexpr size_t kStopped = static_cast<size_t>(-1);

// Converts the character at in[i]; returns the index after it (after the one malformed
// byte, when it is one and is replaced), or kStopped.
size_t ScalarFromUtf8(FromUtf8Run& run, size_t i) {
  const unsigned char b = static_cast<unsigned char>(run.in[i]);
  if (b < 0x80) {
    *run.out++ = static_cast<char>(b);
    return i + 1;
  }
  char32_t u = 0;
  const size_t len = utf8::DecodeChar(run.in, i, u);
  if (len == 0) return Problem(run, i, Utf8Problem::kMalformed, 0) ? i + 1 : kStopped;
  const uint32_t e = EncodeOf(u);
  if (e != kNoForm) {
    run.out = PutEntry(run.out, e);
    return i + len;
  }
  if (IsDropped(u)) return i + len;
  return Problem(run, i, Utf8Problem::kNoCp932Form, u) ? i + len : kStopped;
}

// The character at q, of one, two or three bytes, decoded without a branch.
inline char32_t DecodeAt(const unsigned char* q) {
  const unsigned b0 = q[0], b1 = q[1] & 0x3Fu, b2 = q[2] & 0x3Fu;
  const unsigned two = ((b0 & 0x1Fu) << 6) | b1;
  const unsigned three = ((b0 & 0x0Fu) << 12) | (b1 << 6) | b2;
  return b0 < 0x80 ? b0 : b0 < 0xE0 ? two : three;
}

// What a block step did: `consumed` input bytes converted, or (consumed == 0) how many
// bytes the scalar path is to take instead.
struct BlockStep {
  size_t consumed;
  size_t scalarBytes;
};

// Where the characters of a UTF-8 block start, up to the first byte the block path does
// not accept and without a character cut by it or by the end of the block.
uint32_t Utf8Starts(const simd::Utf8Classes& c, uint32_t avail, uint32_t& limit) {
  const uint32_t expected = (c.lead2 << 1) | (c.lead3 << 1) | (c.lead3 << 2);
  const uint32_t known = c.ascii | c.cont | c.lead2 | c.lead3;
  const uint32_t bad = (~known | (c.cont ^ expected)) & 0xFFFFu;
  limit = static_cast<uint32_t>(std::countr_zero(bad | (1u << avail)));
  uint32_t starts = (c.ascii | c.lead2 | c.lead3) & ((1u << limit) - 1);
  if (starts != 0) {
    const int last = 31 - std::countl_zero(starts);
    const uint32_t len = 1 + ((c.lead2 | c.lead3) >> last & 1) + (c.lead3 >> last & 1);
    if (last + len > limit) {
      limit = static_cast<uint32_t>(last);
      starts &= ~(1u << last);
    }
  }
  return starts;
}

// Japanese text is mostly runs of three-byte characters: while a block starts with
// some, they are converted without looking for where characters start, five at most at a
// time, their code points computed together. Surrogates and the other forms of 0xED
// (U+D000-U+DFFF) have no code page 932 form, so the scalar path, which judges them,
// takes them over. `count` (1-5): the sequences the block at p starts with; `room`: the
// bytes readable at p.
BlockStep ThreeByteRun(const unsigned char* p, int count, size_t room, char*& out) {
  size_t done = 0;
  uint32_t cp[5];
  for (;;) {
    simd::FiveCodePoints(p + done, cp);
    uint32_t flags = 0;
    char* o = out;
    for (int k = 0; k < count; ++k) {
      const uint32_t e = kEncode[cp[k]];
      flags |= e;
      o = PutEntry(o, e);
    }
    if (flags & kNoFormFlag) return done != 0 ? BlockStep{done, 0} : BlockStep{0, 3u * count};
    out = o;
    done += 3u * count;
    if (count < 5 || room - done < simd::kBlock + 2) return {done, 0};
    count = simd::LeadingThreeByte(p + done);
    if (count == 0) return {done, 0};
  }
}

// The characters of a block the faster paths do not take, from its byte classes.
BlockStep FromUtf8Chars(const unsigned char* p, uint32_t avail, char*& out) {
  const simd::Utf8Classes c = simd::ClassifyUtf8(p);
  uint32_t limit = 0;
  uint32_t starts = Utf8Starts(c, avail, limit);
  if (limit == 0) return {0, 1};
  // ASCII after the last other character is left to the next block, which copies it.
  limit = 32 - static_cast<uint32_t>(std::countl_zero(~c.ascii & ((1u << limit) - 1)));
  starts &= (1u << limit) - 1;
  char* o = out;
  uint32_t flags = 0;
  while (starts != 0) {
    const int k = std::countr_zero(starts);
    starts &= starts - 1;
    const uint32_t e = kEncode[DecodeAt(p + k)];
    flags |= e;
    o = PutEntry(o, e);
  }
  if (flags & kNoFormFlag) return {0, limit};
  out = o;
  return {limit, 0};
}

// Converts the whole characters at the start of the block at p (`avail` bytes of text,
// `room` >= avail + 2 bytes readable) that the block path accepts.
BlockStep FromUtf8Block(const unsigned char* p, uint32_t avail, size_t room, char*& out) {
  const uint32_t high = simd::HighMask(p) & ((1u << avail) - 1);
  simd::CopyBlock(p, out);
  // ASCII before the first other character, copied: the next block starts there, at the
  // start of a run of Japanese text.
  const uint32_t prefix = high == 0 ? avail : static_cast<uint32_t>(std::countr_zero(high));
  if (prefix != 0) {
    out += prefix;
    return {prefix, 0};
  }
  // (In a block copied near the end the zeros after the text fit no sequence.)
  const int threeByte = simd::LeadingThreeByte(p);
  if (threeByte != 0) return ThreeByteRun(p, threeByte, room, out);
  return FromUtf8Chars(p, avail, out);
}

// Copies the n <= 16 bytes at `from` into `to` without a library call (a record's last
// block comes here once per record).
inline void CopyShort(unsigned char* to, const unsigned char* from, size_t n) {
  if (n >= 8) {
    std::memcpy(to, from, 8);
    std::memcpy(to + n - 8, from + n - 8, 8);
  } else if (n >= 4) {
    std::memcpy(to, from, 4);
    std::memcpy(to + n - 4, from + n - 4, 4);
  } else {
    for (size_t k = 0; k < n; ++k) to[k] = from[k];
  }
}

// The block at in[i], read in place or, near the end, from a copy with zeros after it
// (a zero is ASCII, so a sequence cut by the end of the text stays cut). `step` gets the
// block, its bytes of text and the bytes readable from it.
template <typename Step>
auto AtBlock(std::string_view in, size_t i, Step step) {
  const auto* p = reinterpret_cast<const unsigned char*>(in.data()) + i;
  const size_t left = in.size() - i;
  if (left >= simd::kBlock + 2) return step(p, static_cast<uint32_t>(simd::kBlock), left);
  alignas(16) unsigned char padded[2 * simd::kBlock] = {};
  const size_t avail = std::min(left, simd::kBlock);
  CopyShort(padded, p, avail);
  return step(padded, static_cast<uint32_t>(avail), avail + 2);
}

FromUtf8Result Finish(FromUtf8Run& run) {
  run.result.written = static_cast<size_t>(run.out - run.begin);
  return run.result;
}

// ------------------------------------------------------------------ canonical form

// Rewrites the pair at `pair` into its canonical code; returns whether it changed.
bool CanonicalPair(char* pair) {
  const unsigned lead = static_cast<unsigned char>(pair[0]);
  const unsigned second = static_cast<unsigned char>(pair[1]);
  if (second < 0x40 || second > 0xFC) return false;
  const char16_t u = tb::kDoubleByte[LeadIndex(lead)][second - 0x40];
  if (u == 0) return false;
  const uint32_t e = kEncode[u];
  if ((e >> kLengthShift & 3) != 2) return false;  // never: every duplicate's canonical code is a pair
  char code[4];
  std::memcpy(code, &e, 4);
  if (code[0] == pair[0] && code[1] == pair[1]) return false;
  pair[0] = code[0];
  pair[1] = code[1];
  return true;
}

// Lead bytes of the codes that have a canonical twin (tools/gen_cp932_unicode.py lists them).
inline bool HasTwins(unsigned char lead) { return lead == 0x87 || lead == 0xED || lead == 0xEE || lead == 0xFA; }

}  // namespace

// ------------------------------------------------------------------ public

FromUtf8Result FromUtf8(std::string_view utf8, char* out, Unmappable policy) {
  return wide::Available() ? wide::FromUtf8(utf8, out, policy) : block::FromUtf8(utf8, out, policy);
}

namespace block {

FromUtf8Result FromUtf8(std::string_view utf8, char* out, Unmappable policy) {
  FromUtf8Run run{utf8, out, out, policy, {}};
  const auto* in = reinterpret_cast<const unsigned char*>(utf8.data());
  const size_t n = utf8.size();
  size_t i = 0;
  while (i < n) {
    while (n - i >= simd::kBlock) {  // a run of ASCII
      const uint32_t high = simd::HighMask(in + i);
      simd::CopyBlock(in + i, run.out);
      const size_t k = high ? static_cast<size_t>(std::countr_zero(high)) : simd::kBlock;
      i += k, run.out += k;
      if (high) break;
    }
    if (i == n) break;
    const BlockStep step =
        AtBlock(utf8, i, [&run](const unsigned char* p, uint32_t avail, size_t room) {
          return FromUtf8Block(p, avail, room, run.out);
        });
    if (step.consumed != 0) {
      i += step.consumed;
      continue;
    }
    const size_t until = i + step.scalarBytes;
    while (i < until) {
      i = ScalarFromUtf8(run, i);
      if (i == kStopped) return Finish(run);
    }
  }
  return Finish(run);
}

}  // namespace block

namespace wide {

FromUtf8Result FromUtf8(std::string_view utf8, char* out, Unmappable policy) {
  // A stretch of at most this many bytes goes through the passes at a time.
  constexpr size_t kStretch = 1024;
  uint16_t units[kStretch + 128];
  const auto* in = reinterpret_cast<const unsigned char*>(utf8.data());
  const size_t n = utf8.size();
  char* o = out;
  size_t i = 0;
  while (i < n) {
    i += CopyAscii(in + i, n - i, o);
    if (i == n) break;
    // A stretch ends where a character starts (or, in bytes that are not UTF-8, anywhere).
    size_t end = std::min(n, i + kStretch);
    for (int k = 0; k < 3 && end < n && (in[end] & 0xC0) == 0x80; ++k) ++end;
    size_t consumed = 0;
    const ptrdiff_t count = CodePoints(in + i, end - i, units, consumed);
    // Anything but well-formed characters of the commonest lead bytes, and any character
    // without a form: the block path takes the whole text again and judges it.
    if (count < 0) return block::FromUtf8(utf8, out, policy);
    for (ptrdiff_t k = 0; k < count; ++k) units[k] = kCode[units[k]];
    bool noForm = false;
    o = PutCodes(units, static_cast<size_t>(count), o, noForm);
    if (noForm) return block::FromUtf8(utf8, out, policy);
    i += consumed;
  }
  FromUtf8Result result;
  result.written = static_cast<size_t>(o - out);
  return result;
}

}  // namespace wide


FromUtf8Result AppendFromUtf8(std::string_view utf8, std::string& out, Unmappable policy) {
  const size_t old = out.size();
  out.resize(old + MaxCp932Size(utf8.size()));
  const FromUtf8Result r = FromUtf8(utf8, out.data() + old, policy);
  out.resize(old + r.written);
  return r;
}

size_t Canonicalize(char* text, size_t size) {
  size_t changed = 0;
  size_t i = 0;
  while (i < size) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    if (!IsLeadByte(b) || i + 1 == size) {
      ++i;
      continue;
    }
    if (HasTwins(b)) changed += CanonicalPair(text + i);
    i += 2;
  }
  return changed;
}

namespace scalar {

FromUtf8Result FromUtf8(std::string_view utf8, char* out, Unmappable policy) {
  FromUtf8Run run{utf8, out, out, policy, {}};
  for (size_t i = 0; i < utf8.size();) {
    i = ScalarFromUtf8(run, i);
    if (i == kStopped) break;
  }
  return Finish(run);
}

}  // namespace scalar

}  // namespace cp932
