// The wide path of the converter, with AVX-512: code page 932 -> UTF-8 one window of up
// to 64 bytes at a time (lead bytes as a 64-bit mask, characters gathered with compress
// instructions, table entries fetched with gathers), UTF-8 -> code page 932 in passes
// over a stretch of text (code points by fixed 64-byte windows, then the table, then the
// bytes). Used where the processor has it (Available), chosen once per process; the
// functions here are the only code built for it. Internal to the converter
// (Cp932Unicode.cpp, Cp932ToUtf8.cpp), which holds the loops and the tables.
#pragma once

#include <cstddef>
#include <cstdint>

namespace cp932::wide {

// Whether this processor and operating system run the wide path.
bool Available();

// Converts the characters that start in the first 64 of the `left` code page 932 bytes
// at p (p starts a character), without a pair cut by the window's end unless the text
// ends there; returns the bytes consumed, at least 63 or all of them. `decode` is the
// decode table (four-byte entries: up to three UTF-8 bytes, then their count in bits 0-1
// and the bytes written as blanks in bits 2-3); `blanks` is set when an entry had some.
size_t ToUtf8Window(const unsigned char* p, size_t left, const void* decode, char*& out, bool& blanks);

// UTF-8 -> code page 932 in passes (wide::FromUtf8 in Cp932Unicode.cpp holds the loop):
// - CopyAscii copies the ASCII at p (n bytes) to `out`, 64 bytes at a time, up to the first
//   other byte; returns the bytes copied.
// - CodePoints writes the code point of each character of the UTF-8 text at p to `to`
//   (room for n + 64), window by window, and stops before a window of ASCII only that
//   follows the first; `consumed` gets the bytes taken. Returns how many, or -1 when the
//   bytes taken hold anything but ASCII and well-formed sequences of the lead bytes
//   0xC2-0xDF, 0xE1-0xEC, 0xEE and 0xEF (all others are left to the block path, which
//   judges them), or end inside a character.
// - PutCodes writes code page 932 codes (one byte below 0x100, a pair from 0x8140) as
//   bytes; `noForm` is set when one of them is 0xFFFF (no form). Returns the end.
size_t CopyAscii(const unsigned char* p, size_t n, char*& out);
ptrdiff_t CodePoints(const unsigned char* p, size_t n, uint16_t* to, size_t& consumed);
char* PutCodes(const uint16_t* codes, size_t count, char* out, bool& noForm);

}  // namespace cp932::wide
