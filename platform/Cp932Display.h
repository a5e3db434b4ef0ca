// How code page 932 characters look once converted for a UTF-8 terminal.
// Pure code: tables made at development time from the C library's converter
// and the Unicode width data (tools/cp932_display_table.py), so the answer is
// the same on every machine.
//
// On a UTF-8 terminal a code page 932 character's byte length is its width
// in columns (ASCII and half-width katakana one, double-byte characters two),
// with one exception: the East Asian ambiguous characters (○ ※ α ─, Greek,
// Cyrillic, box drawing, circled digits, user-defined characters ...), which
// most terminals outside Japan draw one column wide.
#pragma once

namespace cp932 {

// A byte that may follow a lead byte in a double-byte character
// (0x40-0x7E, 0x80-0xFC).
inline bool IsTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

// True when the two bytes are a double-byte character with a Unicode form
// (so the console shows it, not "?").
bool HasUnicodeForm(unsigned char lead, unsigned char trail);

// True when the two bytes are a character with a Unicode form of East Asian
// ambiguous width.
bool IsAmbiguousWidth(unsigned char lead, unsigned char trail);

}  // namespace cp932
