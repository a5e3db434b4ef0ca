// Conversion between UTF-8 and code page 932, one record or line at a time. Pure code:
// no operating system, no locale, no iconv at run time. The tables come from glibc's
// iconv "CP932" (tools/gen_cp932_unicode.py writes platform/Cp932UnicodeTables.h; the
// unit tests compare every code with the library again), so the mapping is the one
// Windows, glibc and Python's cp932 share on output (0x8160 is U+FF5E, 0x5C is U+005C).
// docs/utf8.md gives the variant table and the choices made here.
//
// Contract:
// - UTF-8 to code page 932 (FromUtf8, AppendFromUtf8) writes every character in the
//   form Windows writes it (the canonical form, see Canonicalize), takes both forms of a
//   variant pair to the one code (U+301C and U+FF5E are 0x8160, ...), ¥ U+00A5 to 0x5C
//   and ‾ U+203E to 0x7E (narrow characters, one byte), the private use characters
//   U+E000-U+E757 to the user-defined area 0xF040-0xF9FC, and U+E0000-U+E007F (tag
//   characters, invisible) to nothing, as glibc does. A byte-order mark is an ordinary
//   character here (it has no code page 932 form): the caller skips it at a file's start.
// - Problems: malformed UTF-8 (a stray or missing continuation byte, an overlong form, a
//   surrogate, a value above U+10FFFF, 0xC0, 0xC1, 0xF5-0xFF, a sequence cut by the end
//   of the text) and a character without a code page 932 form. With Unmappable::kStop the
//   conversion stops at the first one and reports it; what was written before it stays.
//   With Unmappable::kReplace it goes on: a character without a form becomes a stand-in
//   of its display width (2 columns: 〓 GETA MARK 0x81AC; 1 column: "?"; 0 columns, a
//   combining mark or other invisible character: nothing), each malformed byte becomes
//   "?", and every stand-in (or dropped character) is counted.
// - Code page 932 to UTF-8 (ToUtf8, AppendToUtf8) never fails. A byte that is not part
//   of a whole character is written as one blank per byte, so later columns stay where
//   they were, and counted: a lone lead byte at the end; a lead byte followed by a byte
//   that cannot be a second byte (below 0x40, 0x7F, 0xFD-0xFF: the lead becomes a blank
//   and the next byte is read on its own, so 0x83 0x0A is a blank and a line feed); both
//   bytes of an undefined pair (0x85 0x41 is two blanks: the engine never reads it as
//   "A"); the undefined single bytes 0x80, 0xA0, 0xFD-0xFF.
// - Buffers: the pointer forms write to a caller-owned buffer of at least
//   MaxCp932Size/MaxUtf8Size bytes and never allocate; the Append forms grow a
//   caller-owned string and allocate only when its capacity is too small.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace cp932 {

enum class Unmappable { kStop, kReplace };

enum class Utf8Problem {
  kNone,
  kMalformed,    // `byte` at `offset` does not start a well-formed character
  kNoCp932Form,  // `codePoint` at `offset` has no code page 932 form
};

struct FromUtf8Result {
  Utf8Problem problem = Utf8Problem::kNone;  // kStop only: the first problem
  size_t offset = 0;                         // byte offset of the problem in the input
  char32_t codePoint = 0;                    // kNoCp932Form
  unsigned char byte = 0;                    // kMalformed
  size_t column = 0;     // the problem's display column from 1: code page 932 bytes written before it + 1
  size_t replaced = 0;   // kReplace: characters replaced or dropped, malformed bytes
  size_t written = 0;    // code page 932 bytes written
};

// Room the pointer forms may use beyond the converted text (they store whole blocks).
inline constexpr size_t kConversionSlack = 32;
// Each UTF-8 character becomes at most as many code page 932 bytes as it had.
inline constexpr size_t MaxCp932Size(size_t utf8Size) { return utf8Size + kConversionSlack; }
// Each code page 932 byte becomes at most three UTF-8 bytes (half-width katakana).
inline constexpr size_t MaxUtf8Size(size_t cp932Size) { return 3 * cp932Size + kConversionSlack; }

// Converts `utf8` into `out`, which has room for MaxCp932Size(utf8.size()) bytes.
FromUtf8Result FromUtf8(std::string_view utf8, char* out, Unmappable policy);
// Appends the conversion of `utf8` to `out` (on a stop, what was converted before the problem).
FromUtf8Result AppendFromUtf8(std::string_view utf8, std::string& out, Unmappable policy);

struct ToUtf8Result {
  size_t written = 0;  // UTF-8 bytes written
  size_t blanks = 0;   // bytes that were not part of a whole character, written as blanks
};

// Converts `cp932` into `out`, which has room for MaxUtf8Size(cp932.size()) bytes.
ToUtf8Result ToUtf8(std::string_view cp932, char* out);
// Appends the conversion of `cp932` to `out`; returns the bytes written as blanks.
size_t AppendToUtf8(std::string_view cp932, std::string& out);

// Rewrites every character that has two codes into the code Windows writes for it (the
// one UTF-8 input produces), in place, stepping by characters: the NEC-selected IBM
// extensions 0xED/0xEE become the IBM extensions 0xFA-0xFC (﨑 0xED95 -> 0xFAB1), the
// NEC row-13 duplicates of row 2 become row 2 (∵ 0x879A -> 0x81E6), the IBM duplicates
// of row 13 and row 2 become those (Ⅰ 0xFA4A -> 0x8754, ¬ 0xFA54 -> 0x81CA), the
// NEC-selected small Roman numerals become the IBM ones (ⅰ 0xEEEF -> 0xFA40). Lengths
// never change; bytes that are not whole characters are left as they are. Returns the
// number of characters changed.
size_t Canonicalize(char* text, size_t size);
inline size_t Canonicalize(std::string& text) { return Canonicalize(text.data(), text.size()); }

// Each path is reachable on its own for the tests and the benchmark:
// - scalar: one character at a time, the reference the others are tested against;
// - block: 16 bytes at a time (SSE2, or byte by byte on other processors), what
//   FromUtf8 and ToUtf8 take where there is no wide path;
// - wide: 64 bytes at a time (AVX-512), what FromUtf8 and ToUtf8 take where
//   wide::Available().
namespace scalar {
FromUtf8Result FromUtf8(std::string_view utf8, char* out, Unmappable policy);
ToUtf8Result ToUtf8(std::string_view cp932, char* out);
}  // namespace scalar
namespace block {
FromUtf8Result FromUtf8(std::string_view utf8, char* out, Unmappable policy);
ToUtf8Result ToUtf8(std::string_view cp932, char* out);
}  // namespace block
namespace wide {
bool Available();
FromUtf8Result FromUtf8(std::string_view utf8, char* out, Unmappable policy);
ToUtf8Result ToUtf8(std::string_view cp932, char* out);
}  // namespace wide

}  // namespace cp932
