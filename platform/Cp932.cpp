// Character stepping, aligned search, order and letter case for code page 932.
//
// The one fact everything here rests on: a byte outside the lead-byte ranges
// always ends a character (it is either a single-byte character or the second
// byte of a pair), so the byte after it is a character boundary. Whether a
// position p is a boundary therefore follows from the run of lead-range bytes
// just before p: an even run means p starts a character, an odd run means p is
// the second byte of a pair. That keeps boundary checks local and cheap, and
// lets the searches use memchr/memcmp for candidates.
#include "platform/Cp932.h"

#include <array>
#include <cstring>

namespace cp932 {

namespace {

inline unsigned char Byte(std::string_view text, size_t i) {
  return static_cast<unsigned char>(text[i]);
}

// True when `p` starts a character, given that `known` (<= p) does.
// Looks back over the lead-range bytes before p only.
bool IsBoundary(std::string_view text, size_t known, size_t p) {
  size_t q = p;
  while (q > known && IsLeadByte(Byte(text, q - 1))) --q;
  // Bytes q..p-1 are all lead-range and q is a boundary: they pair up from q.
  return ((p - q) & 1) == 0;
}

// Byte classes for the case loops: 0 = stays, 1 = ASCII letter to change,
// 2 = lead byte of a pair.
struct CaseTables {
  std::array<unsigned char, 256> upperClass{};
  std::array<unsigned char, 256> lowerClass{};
  CaseTables() {
    for (unsigned c = 0; c < 256; ++c) {
      unsigned char lead = IsLeadByte(static_cast<unsigned char>(c)) ? 2 : 0;
      upperClass[c] = (c >= 'a' && c <= 'z') ? 1 : lead;
      lowerClass[c] = (c >= 'A' && c <= 'Z') ? 1 : lead;
    }
  }
};
const CaseTables kCase;

// Double-byte letter pairs. Full-width Latin and Greek are straight offsets;
// Cyrillic lower case skips 0x847F (no character is encoded with trail 0x7F).
constexpr unsigned kCyrUpperFirst = 0x40, kCyrUpperLast = 0x60;
constexpr unsigned kCyrLowerFirst = 0x70, kCyrLowerLast = 0x91, kCyrGap = 0x7F;

// Returns the upper-case trail byte for lead c1, or c2 when there is none.
inline unsigned char UpperTrail(unsigned char c1, unsigned char c2) {
  switch (c1) {
    case 0x82:  // ａ-ｚ 0x8281-0x829A -> Ａ-Ｚ 0x8260-0x8279
      if (c2 >= 0x81 && c2 <= 0x9A) return static_cast<unsigned char>(c2 - 0x21);
      break;
    case 0x83:  // Greek 0x83BF-0x83D6 -> 0x839F-0x83B6
      if (c2 >= 0xBF && c2 <= 0xD6) return static_cast<unsigned char>(c2 - 0x20);
      break;
    case 0x84:  // Cyrillic 0x8470-0x8491 (no 0x847F) -> 0x8440-0x8460
      if (c2 >= kCyrLowerFirst && c2 <= kCyrLowerLast && c2 != kCyrGap)
        return static_cast<unsigned char>(c2 - (c2 > kCyrGap ? 0x31 : 0x30));
      break;
    default:
      break;
  }
  return c2;
}

inline unsigned char LowerTrail(unsigned char c1, unsigned char c2) {
  switch (c1) {
    case 0x82:
      if (c2 >= 0x60 && c2 <= 0x79) return static_cast<unsigned char>(c2 + 0x21);
      break;
    case 0x83:
      if (c2 >= 0x9F && c2 <= 0xB6) return static_cast<unsigned char>(c2 + 0x20);
      break;
    case 0x84:
      if (c2 >= kCyrUpperFirst && c2 <= kCyrUpperLast) {
        unsigned t = c2 + 0x30u;
        return static_cast<unsigned char>(t >= kCyrGap ? t + 1 : t);
      }
      break;
    default:
      break;
  }
  return c2;
}

// Converts `text` in place, stepping by characters so a trail byte that
// happens to be an ASCII letter (0x83 0x61) is never touched.
template <bool kUpper>
void ConvertCase(char* text, size_t size) {
  const auto& cls = kUpper ? kCase.upperClass : kCase.lowerClass;
  size_t i = 0;
  while (i < size) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    switch (cls[c]) {
      case 0:
        ++i;
        break;
      case 1:
        text[i] = static_cast<char>(kUpper ? c - 0x20 : c + 0x20);
        ++i;
        break;
      default:
        if (i + 1 >= size) return;  // a lone lead byte at the end stays
        if (c >= 0x82 && c <= 0x84) {
          unsigned char t = static_cast<unsigned char>(text[i + 1]);
          text[i + 1] = static_cast<char>(kUpper ? UpperTrail(c, t) : LowerTrail(c, t));
        }
        i += 2;
        break;
    }
  }
}

}  // namespace

std::string_view TrimLeft(std::string_view text) {
  // White space is below every lead byte, and the first byte is a boundary:
  // each byte skipped here is a whole character.
  size_t i = 0;
  while (i < text.size() && IsWhite(Byte(text, i))) ++i;
  return text.substr(i);
}

std::string_view TrimRight(std::string_view text) {
  size_t n = text.size();
  // A white byte right after a lead byte is that character's second byte.
  while (n > 0 && IsWhite(Byte(text, n - 1)) && IsBoundary(text, 0, n - 1)) --n;
  return text.substr(0, n);
}

namespace {

// Candidate search for FindAligned. std::string_view::find compares the
// needle at every position where its first byte occurs, which takes
// haystack x needle steps when both repeat one byte (a 50,000-byte search
// text in a 2 MB changed line: seconds per record). memmem is linear; it
// costs more per call, so short needles, where find's worst case stays
// small, keep find.
constexpr size_t kLinearSearchFrom = 32;

size_t FindBytes(std::string_view haystack, std::string_view needle, size_t from) {
  if (needle.size() < kLinearSearchFrom) return haystack.find(needle, from);
  if (from >= haystack.size()) return std::string_view::npos;
  const void* hit =
      memmem(haystack.data() + from, haystack.size() - from, needle.data(), needle.size());
  return hit ? static_cast<size_t>(static_cast<const char*>(hit) - haystack.data())
             : std::string_view::npos;
}

}  // namespace

size_t FindAligned(std::string_view haystack, std::string_view needle, size_t from) {
  if (from >= haystack.size()) return std::string_view::npos;
  if (needle.empty()) return from;
  size_t known = from;  // a position known to start a character
  size_t p = from;
  for (;;) {
    p = FindBytes(haystack, needle, p);
    if (p == std::string_view::npos) return p;
    if (IsBoundary(haystack, known, p)) return p;
    // p is the second byte of a pair, so p + 1 starts the next character.
    known = p + 1;
    p = known;
  }
}

size_t FindChar(std::string_view text, char c, size_t from) {
  size_t known = from;
  size_t p = from;
  while (p < text.size()) {
    const void* hit = std::memchr(text.data() + p, c, text.size() - p);
    if (!hit) break;
    p = static_cast<size_t>(static_cast<const char*>(hit) - text.data());
    if (IsBoundary(text, known, p)) return p;
    known = p + 1;
    p = known;
  }
  return std::string_view::npos;
}

int Compare(std::string_view left, std::string_view right) {
  // A lone lead byte at the end is not a character: drop it first.
  auto cut = [](std::string_view s) {
    size_t n = s.size();
    if (n > 0 && IsLeadByte(Byte(s, n - 1)) && IsBoundary(s, 0, n - 1)) --n;
    return s.substr(0, n);
  };
  left = cut(left);
  right = cut(right);
  size_t i = 0;
  // Equal characters have equal lengths, so one index walks both strings.
  while (i < left.size() && i < right.size()) {
    unsigned a = Byte(left, i), b = Byte(right, i);
    size_t len = 1;
    if (IsLeadByte(static_cast<unsigned char>(a))) {
      a = a * 256 + Byte(left, i + 1);
    }
    if (IsLeadByte(static_cast<unsigned char>(b))) {
      b = b * 256 + Byte(right, i + 1);
      len = 2;
    }
    if (a != b) return a < b ? -1 : 1;
    i += len;
  }
  if (left.size() == right.size()) return 0;
  return left.size() < right.size() ? -1 : 1;
}

void UpperInPlace(std::string& text) { ConvertCase<true>(text.data(), text.size()); }

void LowerInPlace(std::string& text) { ConvertCase<false>(text.data(), text.size()); }

void UpperInto(std::string_view src, std::string& dst) {
  dst.assign(src);  // reuses dst's capacity
  ConvertCase<true>(dst.data(), dst.size());
}

std::string Upper(std::string_view text) {
  std::string upper;
  UpperInto(text, upper);
  return upper;
}

}  // namespace cp932
