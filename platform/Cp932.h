// Code page 932 (Shift-JIS) character services. Pure code: no operating system,
// no locale. Every search and trim of the program steps through text with these
// functions, so a double-byte character is never split and its second byte is
// never taken for a single-byte character (0x83 0x41 does not contain "A",
// 0x95 0x5C does not contain "\").
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace cp932 {

// A lead byte (0x81-0x9F, 0xE0-0xFC) and the byte after it form one character.
inline bool IsLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Bytes of the character that starts at text[i]: 2 for a lead byte with a
// byte after it, else 1 (a lone lead byte at the end counts as one byte).
inline size_t CharLen(std::string_view text, size_t i) {
  return (IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ? 2 : 1;
}

// Single-byte white space: blank, tab, LF, VT, FF, CR.
inline bool IsWhite(unsigned char c) { return c == ' ' || (c >= 0x09 && c <= 0x0D); }

// Trims single-byte white space, stepping by characters (a trail byte is never
// white space). The full-width blank is not white space.
std::string_view TrimLeft(std::string_view text);
std::string_view TrimRight(std::string_view text);
inline std::string_view Trim(std::string_view text) { return TrimRight(TrimLeft(text)); }

// Character-aligned substring search: a match may start only at the first byte
// of a character. Returns the byte offset of the first match at or after
// `from` (which must be a character boundary), or npos. The empty needle
// matches at `from` when from < haystack.size() (an empty text contains nothing).
size_t FindAligned(std::string_view haystack, std::string_view needle, size_t from = 0);

// Character-aligned search for one single-byte character (',', ']', '=' ...).
size_t FindChar(std::string_view text, char c, size_t from = 0);

// Code page 932 string order: characters compared one by one, a single-byte
// character by its byte, a double-byte one as lead*256+trail (so after every
// single-byte character); a prefix sorts first; a lead byte at the very end of
// a string counts as the end of that string. Returns <0, 0 or >0.
int Compare(std::string_view left, std::string_view right);

// Letter case: single-byte a-z <-> A-Z, double-byte full-width Latin, Greek
// and Cyrillic letters; every other character stays. Conversion in place;
// the byte length never changes; a lone lead byte at the end is left as it is.
void UpperInPlace(std::string& text);
void LowerInPlace(std::string& text);
// Upper-cases `src` into `dst` (dst is overwritten; its capacity is reused).
void UpperInto(std::string_view src, std::string& dst);
// `text` upper-cased, as a new string.
std::string Upper(std::string_view text);

// True when every byte is below 0x80: the same text in code page 932 and UTF-8.
inline bool IsAscii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// Width conversion. Half width: full-width forms of printable ASCII become
// those bytes, the full-width blank becomes 0x20, full-width katakana become
// half-width katakana (voiced ones as two bytes), kanji and hiragana stay.
// Full width: the reverse, with a half-width katakana followed by a voiced or
// semi-voiced mark combined into one character. `dst` is overwritten.
void ToHalfWidth(std::string_view src, std::string& dst);
void ToFullWidth(std::string_view src, std::string& dst);

}  // namespace cp932
