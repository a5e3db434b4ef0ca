// Reading a parameter file: its bytes, its encoding (code page 932, or UTF-8
// with a byte-order mark, forced, or recognised by the measured guess), and
// its statements through a JobReader.
#pragma once

#include <string>
#include <vector>

#include "job/JobReader.h"
#include "platform/Platform.h"

// How the bytes of a parameter file are to be taken.
enum class ParamEncoding : uint8_t {
  kAuto,   // a byte-order mark, or the guess, decides
  kCp932,  // code page 932 whatever the bytes look like
  kUtf8,   // UTF-8 (a byte-order mark is skipped)
};

// How they were taken.
enum class EncodingRead : uint8_t {
  kCp932,        // code page 932 (chosen, or the guess said so)
  kAscii,        // only ASCII bytes: the same in both encodings
  kUtf8Bom,      // UTF-8: the file starts with a byte-order mark
  kUtf8Guessed,  // UTF-8: recognised by the guess
  kUtf8Chosen,   // UTF-8: chosen on the command line or in the environment
};

// The most a parameter file may hold. 300 SEL and 300 edit statements of
// the longest line (99,999 bytes; a longer one is cut into several) come to
// 60 MB, in UTF-8 at most 90 MB; anything far beyond is not a parameter
// file (an endless stream, a device, a wrong path), and reading it whole
// would take the machine's memory.
inline constexpr size_t kMaxParameterFileBytes = size_t{256} << 20;

struct ParameterFileResult {
  StatementError first;  // the first error (ok when none)
  EncodingRead encoding = EncodingRead::kCp932;
  std::string reason;    // 90: why the file could not be opened or read
  bool tooLarge = false;  // 90: it holds more than kMaxParameterFileBytes
  // The file read, so that no output of the run is ever the parameter file.
  FileId id;
  bool regularFile = false;
};

// Reads the parameter file at `path` ("-": standard input) into `reader`.
// Without `errors`, reading stops at the first failing statement (a run);
// with it, every statement is read and each failure is added there (a
// check). 90 with line 0 when the file cannot be opened or holds more than
// kMaxParameterFileBytes (reading stops there), 90 with the lines read so
// far when reading fails half way. Under UTF-8, a line with a character
// that has no code page 932 form is 10 on that line (a comment line never
// fails: it is not read).
ParameterFileResult ReadParameterFile(Platform& platform, const std::string& path,
                                      ParamEncoding encoding, JobReader& reader,
                                      std::vector<StatementError>* errors = nullptr);
