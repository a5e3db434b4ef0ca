// The command line: options (parsed with getopt_long, so they stand before
// the parameter file and "--" ends them), the parameter file, and the
// arguments after it, which are ignored as they always were (with a warning).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "run/ParameterFile.h"

enum class Action : uint8_t {
  kHelpText,    // no argument: the parameter language, page by page
  kUsage,       // -h, --help
  kVersion,     // -V, --version
  kRun,         // a parameter file
  kCheck,       // --check FILE...
  kPreview,     // --preview[=N] [PARAMETER-FILE]: the first records and their fields
  kUsageError,  // `error` says what is wrong
};

struct CommandLine {
  Action action = Action::kHelpText;
  std::string parameterFile;            // kRun, kPreview (empty: none, then -i names the file)
  std::vector<std::string> checkFiles;  // kCheck
  std::vector<std::string> ignored;     // kRun, kPreview: what followed the parameter file
  int64_t explain = 0;                  // --explain N: records per input file
  int64_t preview = 0;                  // --preview[=N]: records to show (5 without N)
  ParamEncoding encoding = ParamEncoding::kAuto;
  bool encodingGiven = false;           // --param-encoding was given
  bool quiet = false;                   // -q: no English diagnostics
  bool inputGiven = false;              // -i PATH: in place of INP ("-": standard input)
  std::string input;
  bool outputGiven = false;             // -o PATH: in place of OUT ("-": standard output)
  std::string output;
  int jobs = 0;                         // -j N: threads per input file (0: chosen)
  int progress = 0;                     // 1 --progress, -1 --no-progress, 0 neither
  size_t blockSize = 0;                 // --block-size: bytes per block (0: the default)
  // The data's encodings and line ends (--input-encoding, --output-encoding,
  // --encoding, --unmappable, --bom, --newline); all off: code page 932, CR LF.
  bool utf8Input = false;
  bool utf8Output = false;
  bool replaceUnmappable = false;
  bool byteOrderMark = false;
  bool lineFeedOnly = false;
  std::string error;                    // kUsageError
};

CommandLine ParseCommandLine(int argc, const char* const* argv);

// "auto", "cp932" or "utf-8" (case-blind; also "sjis", "shift_jis", "utf8");
// false for anything else.
bool ParseEncodingName(const std::string& name, ParamEncoding& encoding);

// A data encoding: "cp932" (also "sjis", "shift_jis", "ms932", "windows-31j")
// or "utf-8" ("utf8"), case-blind; `utf8` tells which. False for anything else.
bool ParseDataEncoding(const std::string& name, bool& utf8);
