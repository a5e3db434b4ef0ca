// Build-time rewriting of C++ source text: readable (UTF-8) text inside
// ordinary string and character literals becomes the code page 932 bytes the
// program must carry, written as octal escapes of exactly three digits (表 is
// "\225\134"), so that no following digit or letter can extend an escape.
//
// Contract:
// - Only the non-ASCII characters inside ordinary literals ("..." and '...',
//   escapes such as \" \\ \' respected) change; every other byte, comments,
//   header names of #include and prefixed literals (u8, u, U, L) included, is
//   copied as it is. Line breaks stay where they were, so a line of the
//   result is the same line of the source.
// - A character without a code page 932 form, a malformed UTF-8 sequence in a
//   literal, or non-ASCII text in an ordinary raw string (which cannot hold
//   escapes) is an error naming the 1-based line; the output is then
//   incomplete and must not be used.
// - Works with any compiler: the result needs no execution-character-set
//   option. The conversion uses the C library's iconv ("CP932").
#pragma once

#include <string>
#include <string_view>

enum class LiteralError {
  kNone,
  kNoCp932Form,    // a character code page 932 cannot hold
  kBadUtf8,        // bytes in a literal that are not UTF-8
  kRawString,      // non-ASCII text in an ordinary raw string literal
  kNoConverter,    // the C library has no UTF-8 to CP932 converter
};

struct LiteralResult {
  LiteralError error = LiteralError::kNone;
  int line = 0;            // line of the error, from 1
  char32_t codePoint = 0;  // the character, for kNoCp932Form
};

// Rewrites `source` into `out` (replacing its content) as described above.
LiteralResult ConvertLiteralsToCp932(std::string_view source, std::string& out);

// One line of text for an error: what went wrong (without file or line).
std::string DescribeLiteralError(const LiteralResult& result);
