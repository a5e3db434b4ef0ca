// The wide path of the code page 932 -> UTF-8 converter: one window of up to 64 bytes
// at a time with AVX-512 (lead bytes as a 64-bit mask, characters gathered with
// compress instructions, table entries fetched with gathers). Used where the processor
// has it (Available), chosen once per process; the functions here are the only code
// built for it. Internal to the converter (Cp932ToUtf8.cpp), which holds the loop and
// the table and passes it in.
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

}  // namespace cp932::wide
