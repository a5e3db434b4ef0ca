// UTF-8 in parameter files: the byte-order mark, well-formed decoding, and the
// guess whether a parameter file without a byte-order mark was saved as UTF-8
// or as code page 932. Pure code: no operating system, no locale. The one
// thing it cannot know by itself, whether a character has a code page 932
// form, it asks the converter passed in (Platform::ConvertUtf8ToCp932 in the
// program).
//
// Why a guess is possible at all: code page 932 Japanese is rarely valid
// UTF-8. When it is, it is mostly half-width katakana ("ﾃｽ" is C3 BD, "ý"),
// which decodes to Latin letters without a code page 932 form. Measured on
// 1.57 million dictionary words by bench/utf8_guess.sh; the figures are in
// docs/benchmarks.md.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace utf8 {

inline constexpr std::string_view kBom = "\xEF\xBB\xBF";

inline bool StartsWithBom(std::string_view text) { return text.substr(0, kBom.size()) == kBom; }

// Decodes the character that starts at text[i] (i < text.size()) into
// `codePoint` and returns its length in bytes (1 to 4). Returns 0 when the
// bytes there are not a well-formed UTF-8 character: a continuation byte
// (0x80-0xBF) or one of 0xC0, 0xC1, 0xF5-0xFF in first place, a sequence cut
// short, an overlong form, a surrogate (U+D800-DFFF) or a value above U+10FFFF.
size_t DecodeChar(std::string_view text, size_t i, char32_t& codePoint);

// True when the whole text is well-formed UTF-8 (the empty text is).
bool IsWellFormed(std::string_view text);

// A character that shows text to be UTF-8 rather than code page 932: one of
// three or four bytes in UTF-8 (U+0800 and above) that is not for private use
// (U+E000-F8FF). Japanese text in UTF-8 has them in every kana and kanji, in
// full-width forms and in the symbols code page 932 has (○ ※ → ① ℃). Code page
// 932 text that happens to be valid UTF-8 is nearly always half-width katakana
// read as two-byte characters (ﾃｽ as "ý"), which are not telltales.
bool IsTelltale(char32_t codePoint);

// Converts UTF-8 text to code page 932; false when it is not well-formed or a
// character has no code page 932 form.
using Utf8ToCp932 = std::function<bool(std::string_view utf8, std::string& cp932)>;

enum class Encoding {
  kAscii,  // only bytes below 0x80: the same text in both encodings
  kUtf8,   // to be read as UTF-8
  kCp932,  // to be read as code page 932
};

// How a parameter file without a byte-order mark is to be read. UTF-8 only
// when all of these hold:
//   - the text is well-formed UTF-8;
//   - at least one character is a telltale (IsTelltale);
//   - the telltales with a code page 932 form (`convert` succeeds on them:
//     Japanese) outnumber the characters of two or more bytes without one,
//     not counting those in comment lines (";" in column 1), which are never
//     converted. One "é" or emoji among Japanese text does not make a UTF-8
//     file code page 932; its line is an error when it is read.
// Otherwise code page 932. A text of ASCII bytes only gives kAscii: it reads
// the same either way, and the caller takes it as code page 932. `text` is
// the file's content without the byte-order mark; `convert` is called on the
// whole text, and only when that fails on each character of two or more bytes.
//
// The risk, measured: a code page 932 file whose only non-ASCII text is one
// rare kanji pair such as 驟雨 (E9 85 89 4A, which reads as UTF-8 "酉J") is
// taken as UTF-8; 15 of 1.57 million dictionary words are (9.6 per million),
// 1 of 200,000 files of one word and none of two or three words. A UTF-8
// file whose only non-ASCII characters are of two bytes (Greek, Cyrillic,
// "×", "£") is taken as code page 932.
Encoding GuessEncoding(std::string_view text, const Utf8ToCp932& convert);

}  // namespace utf8
