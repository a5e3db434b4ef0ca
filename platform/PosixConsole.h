// The console policy on Linux (used by PosixPlatform): which encoding each
// standard stream gets, writing text to it, and the standard descriptors a
// run holds from its start.
#pragma once

#include <string_view>

namespace posix {

// Console encoding of one stream: forced by RUX_CONSOLE ("utf-8"/"utf8" or
// "cp932"/"sjis"/"shift_jis", any letter case), else UTF-8 only for a
// terminal in a UTF-8 locale. The locale is queried without changing the
// program's own; one that cannot be loaded is judged by its name.
bool ChooseUtf8Console(int fd);

// Writes code page 932 text to a console stream, converted to UTF-8 (a byte
// without a character as "?") when `utf8`; ASCII text is written as it is,
// without allocating. Partial writes are continued; failures are ignored.
void WriteConsoleText(int fd, bool utf8, std::string_view text);

// Opens /dev/null on each of standard input, output and error that is
// closed, so no file the run opens takes their descriptors (and console text
// never lands in an output file). Returns which were closed (bit 0 standard
// input ...).
unsigned HoldStandardDescriptors();

}  // namespace posix
