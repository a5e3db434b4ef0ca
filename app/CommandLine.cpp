#include "app/CommandLine.h"

#include <getopt.h>
#include <strings.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <utility>

namespace {

enum LongOnly : int {
  kCheckOption = 256,
  kExplainOption,
  kEncodingOption,
  kBlockSizeOption,
  kProgressOption,
  kNoProgressOption,
  kInputEncodingOption,
  kOutputEncodingOption,
  kDataEncodingOption,
  kUnmappableOption,
  kByteOrderMarkOption,
  kNewlineOption,
  kPreviewOption,
};

// Records a preview shows when --preview has no number.
constexpr int64_t kPreviewRecords = 5;

// More threads than this buy nothing: the writer is one.
constexpr int64_t kMaxJobs = 256;

const option kOptions[] = {
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, 'V'},
    {"quiet", no_argument, nullptr, 'q'},
    {"input", required_argument, nullptr, 'i'},
    {"output", required_argument, nullptr, 'o'},
    {"jobs", required_argument, nullptr, 'j'},
    {"block-size", required_argument, nullptr, kBlockSizeOption},
    {"progress", no_argument, nullptr, kProgressOption},
    {"no-progress", no_argument, nullptr, kNoProgressOption},
    {"check", no_argument, nullptr, kCheckOption},
    {"explain", required_argument, nullptr, kExplainOption},
    {"preview", optional_argument, nullptr, kPreviewOption},
    {"param-encoding", required_argument, nullptr, kEncodingOption},
    {"input-encoding", required_argument, nullptr, kInputEncodingOption},
    {"output-encoding", required_argument, nullptr, kOutputEncodingOption},
    {"encoding", required_argument, nullptr, kDataEncodingOption},
    {"unmappable", required_argument, nullptr, kUnmappableOption},
    {"bom", no_argument, nullptr, kByteOrderMarkOption},
    {"newline", required_argument, nullptr, kNewlineOption},
    {nullptr, 0, nullptr, 0},
};

bool ParseCount(const char* text, int64_t& count) {
  if (text == nullptr || *text < '0' || *text > '9') return false;
  char* end = nullptr;
  errno = 0;
  const long long value = std::strtoll(text, &end, 10);
  if (errno != 0 || *end != '\0') return false;
  count = value;
  return true;
}

CommandLine UsageError(std::string error) {
  CommandLine line;
  line.action = Action::kUsageError;
  line.error = std::move(error);
  return line;
}

}  // namespace

bool ParseDataEncoding(const std::string& name, bool& utf8) {
  const char* text = name.c_str();
  for (const char* cp932 : {"cp932", "sjis", "shift_jis", "ms932", "windows-31j"}) {
    if (strcasecmp(text, cp932) == 0) {
      utf8 = false;
      return true;
    }
  }
  if (strcasecmp(text, "utf-8") != 0 && strcasecmp(text, "utf8") != 0) return false;
  utf8 = true;
  return true;
}

bool ParseEncodingName(const std::string& name, ParamEncoding& encoding) {
  const char* text = name.c_str();
  if (strcasecmp(text, "auto") == 0) {
    encoding = ParamEncoding::kAuto;
  } else if (strcasecmp(text, "cp932") == 0 || strcasecmp(text, "sjis") == 0 ||
             strcasecmp(text, "shift_jis") == 0) {
    encoding = ParamEncoding::kCp932;
  } else if (strcasecmp(text, "utf-8") == 0 || strcasecmp(text, "utf8") == 0) {
    encoding = ParamEncoding::kUtf8;
  } else {
    return false;
  }
  return true;
}

namespace {

// What the options asked for besides the settings in CommandLine.
struct Requests {
  bool check = false;
  bool help = false;
  bool version = false;
};

std::string Quote(const char* value) { return "'" + std::string(value) + "'"; }

// A number option; the error when `value` is not a number in [least, most].
std::string ReadNumber(const char* value, int64_t least, int64_t most, const char* need,
                       int64_t& number) {
  if (ParseCount(value, number) && number >= least && number <= most) return std::string();
  return std::string(need) + ", not " + Quote(value);
}

// Takes an option of the data's form into `line`; false when `option` is
// not one of them. `error` says what is wrong with its value.
bool ApplyDataOption(int option, const char* value, CommandLine& line, std::string& error) {
  const std::string encodings = " must be cp932 or utf-8, not " + Quote(value ? value : "");
  switch (option) {
    case kInputEncodingOption:
      if (!ParseDataEncoding(value, line.utf8Input)) error = "--input-encoding" + encodings;
      return true;
    case kOutputEncodingOption:
      if (!ParseDataEncoding(value, line.utf8Output)) error = "--output-encoding" + encodings;
      return true;
    case kDataEncodingOption:
      if (!ParseDataEncoding(value, line.utf8Input)) error = "--encoding" + encodings;
      line.utf8Output = line.utf8Input;
      return true;
    case kUnmappableOption:
      line.replaceUnmappable = strcasecmp(value, "replace") == 0;
      if (!line.replaceUnmappable && strcasecmp(value, "error") != 0) {
        error = "--unmappable must be error or replace, not " + Quote(value);
      }
      return true;
    case kByteOrderMarkOption: line.byteOrderMark = true; return true;
    case kNewlineOption:
      line.lineFeedOnly = strcasecmp(value, "lf") == 0;
      if (!line.lineFeedOnly && strcasecmp(value, "crlf") != 0) {
        error = "--newline must be crlf or lf, not " + Quote(value);
      }
      return true;
  }
  return false;
}

// Takes one option into `line`; the error for people when its value is wrong.
std::string ApplyOption(int option, const char* value, CommandLine& line, Requests& requests) {
  int64_t number = 0;
  std::string error;
  if (ApplyDataOption(option, value, line, error)) return error;
  switch (option) {
    case 'h': requests.help = true; break;
    case 'V': requests.version = true; break;
    case 'q': line.quiet = true; break;
    case 'i':
      line.inputGiven = true;
      line.input = value;
      break;
    case 'o':
      line.outputGiven = true;
      line.output = value;
      break;
    case kCheckOption: requests.check = true; break;
    case kProgressOption: line.progress = 1; break;
    case kNoProgressOption: line.progress = -1; break;
    case 'j':
      error = ReadNumber(value, 1, kMaxJobs, "--jobs needs a number of threads from 1 to 256", number);
      line.jobs = static_cast<int>(number);
      break;
    case kBlockSizeOption:
      error = ReadNumber(value, 1, INT64_MAX, "--block-size needs a number of bytes", number);
      line.blockSize = static_cast<size_t>(number);
      break;
    case kExplainOption:
      error = ReadNumber(value, 0, INT64_MAX, "--explain needs a number of records", line.explain);
      break;
    case kPreviewOption:
      line.preview = kPreviewRecords;
      if (value != nullptr) {
        error = ReadNumber(value, 1, INT64_MAX, "--preview needs a number of records from 1",
                           line.preview);
      }
      break;
    case kEncodingOption:
      if (!ParseEncodingName(value, line.encoding)) {
        error = "--param-encoding must be auto, cp932 or utf-8, not " + Quote(value);
      }
      line.encodingGiven = true;
      break;
  }
  return error;
}

// True when any option that only a run or a check takes was given.
bool RunOptionsGiven(const CommandLine& line) {
  return line.explain > 0 || line.encodingGiven || line.quiet || line.inputGiven ||
         line.outputGiven || line.jobs > 0 || line.blockSize > 0 || line.progress != 0 ||
         line.utf8Input || line.utf8Output || line.replaceUnmappable || line.byteOrderMark ||
         line.lineFeedOnly;
}

// A run's or a preview's parameter file, argv[first], and the arguments
// after it, which are ignored.
CommandLine TakeParameterFile(CommandLine line, int argc, const char* const* argv, int first) {
  line.parameterFile = argv[first];
  if (line.parameterFile == "-" && line.inputGiven && line.input == "-") {
    return UsageError("standard input cannot be both the parameter file and the input");
  }
  for (int i = first + 1; i < argc; ++i) line.ignored.emplace_back(argv[i]);
  return line;
}

// --preview: a parameter file, or -i naming the file to show alone.
CommandLine ChoosePreview(CommandLine line, const Requests& requests, int argc,
                          const char* const* argv, int first) {
  if (requests.check) return UsageError("--check and --preview cannot be used together");
  if (line.explain > 0) return UsageError("--explain and --preview cannot be used together");
  if (first >= argc && !line.inputGiven) {
    return UsageError("--preview needs a parameter file or -i FILE");
  }
  line.action = Action::kPreview;
  return first < argc ? TakeParameterFile(std::move(line), argc, argv, first) : line;
}

// What to do, once the options are read; `first` is the first argument
// after them.
CommandLine ChooseAction(CommandLine line, const Requests& requests, int argc,
                         const char* const* argv, int first) {
  if (requests.help) {
    line.action = Action::kUsage;
    return line;
  }
  if (requests.version) {
    line.action = Action::kVersion;
    return line;
  }
  if (line.preview > 0) return ChoosePreview(std::move(line), requests, argc, argv, first);
  if (requests.check) {
    if (line.explain > 0) return UsageError("--check and --explain cannot be used together");
    if (first >= argc) return UsageError("--check needs at least one parameter file");
    line.action = Action::kCheck;
    for (int i = first; i < argc; ++i) line.checkFiles.emplace_back(argv[i]);
    return line;
  }
  if (first >= argc) {
    if (RunOptionsGiven(line)) return UsageError("a parameter file is needed");
    line.action = Action::kHelpText;
    return line;
  }
  if (line.byteOrderMark && !line.utf8Output) {
    return UsageError("--bom goes with UTF-8 output (--output-encoding=utf-8 or --encoding=utf-8)");
  }
  line.action = Action::kRun;
  return TakeParameterFile(std::move(line), argc, argv, first);
}

// The option getopt could not take: one without its value, or unknown.
CommandLine OptionError(int option, const char* const* argv) {
  if (option == ':') {
    return UsageError("option '" + std::string(argv[optind - 1]) + "' needs a value");
  }
  // A short option is named by optopt; a long one is the argument just read.
  const std::string name = optopt > 0 && optopt < 256 ? std::string("-") + static_cast<char>(optopt)
                                                      : std::string(argv[optind - 1]);
  return UsageError("unknown option '" + name + "'");
}

}  // namespace

CommandLine ParseCommandLine(int argc, const char* const* argv) {
  // The arguments end at argc or at the first null pointer.
  for (int i = 0; i < argc; ++i) {
    if (argv[i] == nullptr) {
      argc = i;
      break;
    }
  }
  CommandLine line;
  Requests requests;
  // "+": options end at the first other argument, so everything after the
  // parameter file is left alone; our own messages replace getopt's.
  optind = 0;
  opterr = 0;
  char* const* args = const_cast<char* const*>(argv);
  for (;;) {
    const int option = getopt_long(argc, args, "+:hVqi:o:j:", kOptions, nullptr);
    if (option == -1) break;
    if (option == ':' || option == '?') return OptionError(option, argv);
    const std::string error = ApplyOption(option, optarg, line, requests);
    if (!error.empty()) return UsageError(error);
  }
  return ChooseAction(std::move(line), requests, argc, argv, optind);
}
