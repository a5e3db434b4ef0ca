// The view of a preview: pure functions that turn the report of one record
// into lines of code page 932 text for Platform::WriteConsole. Every
// character stands at the column of its byte position under a ruler of
// positions counted from 1, as a parameter file counts them:
//
//                  10        20
//         12345678901234567890123
//   record AAx9<kanji ...>
//      4 SEL aa            (the bytes the SEL statement on line 4 read)
//
// This holds because a code page 932 character's bytes are its columns on
// a code page 932 terminal and, converted, on a UTF-8 one; the exceptions are
// made to hold: a character of ambiguous width is followed by a blank on a
// UTF-8 console, and bytes that would show as nothing, as two columns or as
// a cursor move (control characters, half characters, codes without a
// character) are shown by ASCII placeholders of their width. Lines longer
// than ViewStyle::width positions are shown in parts, each under its own
// ruler.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "run/Preview.h"

struct ViewStyle {
  bool utf8 = false;     // the console converts to UTF-8: ambiguous characters are padded
  bool colour = false;   // ANSI colours: one per statement, in marks and output alike
  size_t width = 100;    // positions per part of a long line
};

// What one byte position or pair of positions of a line shows.
enum class GlyphKind : uint8_t {
  kCharacter,    // shown as it is (ASCII, half-width katakana, double-byte)
  kAmbiguous,    // a double-byte character of ambiguous width
  kControl,      // a control character (0x00-0x1F, 0x7F): "."
  kHalf,         // a lead byte without its second byte: "?"
  kNoCharacter,  // a byte or pair that is no character (0x80, 0xFD, 0x85 0x40): "?" or "??"
};

struct Glyph {
  size_t start = 0;   // byte offset in the line
  size_t length = 1;  // bytes, and columns
  GlyphKind kind = GlyphKind::kCharacter;
};

// The line cut into glyphs, stepping as the record steps do: a lead byte
// and a valid second byte are one character.
std::vector<Glyph> ShapeLine(std::string_view line);

// The glyphs of `line` that start in [from, to), as text for the console.
// `colours`, when not empty, gives an ANSI colour number per byte (0: none).
std::string ShowGlyphs(std::string_view line, const std::vector<Glyph>& glyphs, size_t from,
                       size_t to, const ViewStyle& style, const std::vector<int>& colours = {});

// The ruler rows over positions from+1 .. to: multiples of ten written out
// so that their last digit stands at their position, then the last digit
// of every position. Each row starts with `margin` blanks and ends with LF.
std::string Ruler(size_t from, size_t to, size_t margin);

// One row of marks over positions from+1 .. to: `letter` under each byte of
// `ranges`, blanks elsewhere (trailing blanks dropped); in colour, the
// letters in reverse video of `colour` (an ANSI colour number). No LF.
std::string MarkRow(const std::vector<ByteRange>& ranges, char letter, int colour, size_t from,
                    size_t to);

// The placeholders of a line and the marks that cut a double-byte character
// in half, for people: "5: control character 0x09; 12: half character 0x83".
// Empty when there is nothing to note.
std::string DescribeOddities(std::string_view line, const std::vector<Glyph>& glyphs,
                             const std::vector<StatementMarks>& rows);

// Columns the text takes on the console (bytes, plus the blanks after
// ambiguous characters on a UTF-8 console).
size_t ShownWidth(std::string_view text, const ViewStyle& style);

// Everything shown of one record: its heading (what the conditions came to,
// in the words of --explain), the record under its ruler with the marks of
// what each statement read, then the record error or the result, and a
// blank line.
std::string DescribePreview(const PreviewRecord& record, const ViewStyle& style);
