// One direction of the C library's character-set converter (glibc iconv),
// opened once and reused. iconv is a library, not the operating system, so
// both platforms (and tools) may use it.
//
// Convert is all or nothing: it fails when any byte of the input is not a
// character of the source encoding or has no form in the target encoding.
// ASCII input passes unchanged, even when the converter could not be opened.
// A converter keeps shift state between calls of iconv itself, so one object
// must not be used from two threads at once. The program's threads take
// turns: the workers of -j reach the console (progress) only in their turn
// to write, while the thread that started them waits for them.
#pragma once

#include <iconv.h>

#include <string>
#include <string_view>

class Iconv {
 public:
  Iconv(const char* to, const char* from);
  ~Iconv();
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;

  // Converts `in` completely into `out`; false when any byte cannot be
  // converted (then `out` is unspecified).
  bool Convert(std::string_view in, std::string& out) const;

  // For code page 932 input: like Convert, but never fails; a character that
  // cannot be converted becomes "?". Steps by code page 932 characters.
  void ConvertLossy(std::string_view cp932, std::string& out) const;

 private:
  iconv_t cd_;
  bool ok_;
};

// The two directions the program uses, opened on first use.
const Iconv& IconvCp932ToUtf8();
const Iconv& IconvUtf8ToCp932();
