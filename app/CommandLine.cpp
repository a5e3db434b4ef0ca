#include "app/CommandLine.h"

#include <getopt.h>
#include <strings.h>

#include <cerrno>
#include <cstdlib>

namespace {

enum LongOnly : int {
  kCheckOption = 256,
  kExplainOption,
  kEncodingOption,
  kBlockSizeOption,
  kProgressOption,
  kNoProgressOption,
};

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
    {"param-encoding", required_argument, nullptr, kEncodingOption},
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

CommandLine ParseCommandLine(int argc, const char* const* argv) {
  // The arguments end at argc or at the first null pointer.
  for (int i = 0; i < argc; ++i) {
    if (argv[i] == nullptr) {
      argc = i;
      break;
    }
  }
  CommandLine line;
  bool check = false;
  bool help = false;
  bool version = false;
  // "+": options end at the first other argument, so everything after the
  // parameter file is left alone; our own messages replace getopt's.
  optind = 0;
  opterr = 0;
  char* const* args = const_cast<char* const*>(argv);
  for (;;) {
    const int option = getopt_long(argc, args, "+:hVqi:o:j:", kOptions, nullptr);
    if (option == -1) break;
    switch (option) {
      case 'h': help = true; break;
      case 'V': version = true; break;
      case 'q': line.quiet = true; break;
      case 'i':
        line.inputGiven = true;
        line.input = optarg;
        break;
      case 'o':
        line.outputGiven = true;
        line.output = optarg;
        break;
      case kCheckOption: check = true; break;
      case kProgressOption: line.progress = 1; break;
      case kNoProgressOption: line.progress = -1; break;
      case 'j': {
        int64_t jobs = 0;
        if (!ParseCount(optarg, jobs) || jobs < 1 || jobs > kMaxJobs) {
          return UsageError("--jobs needs a number of threads from 1 to 256, not '" +
                            std::string(optarg) + "'");
        }
        line.jobs = static_cast<int>(jobs);
        break;
      }
      case kBlockSizeOption: {
        int64_t size = 0;
        if (!ParseCount(optarg, size) || size < 1) {
          return UsageError("--block-size needs a number of bytes, not '" + std::string(optarg) + "'");
        }
        line.blockSize = static_cast<size_t>(size);
        break;
      }
      case kExplainOption:
        if (!ParseCount(optarg, line.explain)) {
          return UsageError("--explain needs a number of records, not '" + std::string(optarg) + "'");
        }
        break;
      case kEncodingOption:
        if (!ParseEncodingName(optarg, line.encoding)) {
          return UsageError("--param-encoding must be auto, cp932 or utf-8, not '" +
                            std::string(optarg) + "'");
        }
        line.encodingGiven = true;
        break;
      case ':':
        return UsageError("option '" + std::string(argv[optind - 1]) + "' needs a value");
      default: {
        // A short option is named by optopt; a long one is the argument just read.
        const std::string name = optopt > 0 && optopt < 256
                                     ? std::string("-") + static_cast<char>(optopt)
                                     : std::string(argv[optind - 1]);
        return UsageError("unknown option '" + name + "'");
      }
    }
  }
  if (help) {
    line.action = Action::kUsage;
    return line;
  }
  if (version) {
    line.action = Action::kVersion;
    return line;
  }
  const int first = optind;
  if (check) {
    if (line.explain > 0) return UsageError("--check and --explain cannot be used together");
    if (first >= argc) return UsageError("--check needs at least one parameter file");
    line.action = Action::kCheck;
    for (int i = first; i < argc; ++i) line.checkFiles.emplace_back(argv[i]);
    return line;
  }
  if (first >= argc) {
    if (line.explain > 0 || line.encodingGiven || line.quiet || line.inputGiven ||
        line.outputGiven || line.jobs > 0 || line.blockSize > 0 || line.progress != 0) {
      return UsageError("a parameter file is needed");
    }
    line.action = Action::kHelpText;
    return line;
  }
  line.action = Action::kRun;
  line.parameterFile = argv[first];
  if (line.parameterFile == "-" && line.inputGiven && line.input == "-") {
    return UsageError("standard input cannot be both the parameter file and the input");
  }
  for (int i = first + 1; i < argc; ++i) line.ignored.emplace_back(argv[i]);
  return line;
}
