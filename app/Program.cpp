#include "app/Program.h"

#include <cstdlib>
#include <new>
#include <string>

#include "RuxVersion.h"
#include "app/CommandLine.h"
#include "app/ConsolePrinter.h"
#include "app/HelpText.h"
#include "app/PreviewPrinter.h"
#include "run/Check.h"
#include "run/Run.h"

namespace {

constexpr int kUsageStatus = 2;

constexpr std::string_view kUsage =
    "Usage: rux [OPTION]... PARAMETER-FILE\n"
    "       rux -i - -o - [OPTION]... PARAMETER-FILE   (a filter)\n"
    "       rux --check [OPTION]... PARAMETER-FILE...\n"
    "       rux --preview[=N] [OPTION]... PARAMETER-FILE\n"
    "       rux --preview[=N] -i FILE\n"
    "       rux\n"
    "Convert fixed-width Shift-JIS (code page 932) text files as a parameter file\n"
    "describes: select records, then copy them, replace texts, place fields (EDIT)\n"
    "or write tab-separated values. Without arguments, rux shows its parameter\n"
    "language (in Japanese), page by page.\n"
    "\n"
    "Options:\n"
    "  -h, --help               show this help and exit\n"
    "  -V, --version            show the version and exit\n"
    "      --check              check each parameter file completely (every error,\n"
    "                           warnings for paths that will not work here) without\n"
    "                           opening any input or output\n"
    "      --explain=N          run as usual and tell on standard error, for the\n"
    "                           first N records of each input file, which SEL group\n"
    "                           selected it or where each group failed, and which\n"
    "                           \"@\" conditions held\n"
    "      --preview[=N]        show the first N records (default 5) of the first\n"
    "                           input file under a ruler of byte positions, with\n"
    "                           the columns each SEL term and edit statement reads\n"
    "                           and writes, and what the record becomes; opens no\n"
    "                           output. Without a parameter file, the records of\n"
    "                           -i FILE under the ruler alone\n"
    "      --param-encoding=ENC read parameter files as ENC: auto (the default: UTF-8\n"
    "                           when the file starts with a byte-order mark or is\n"
    "                           recognised as UTF-8, else code page 932), cp932 or utf-8\n"
    "  -i, --input=PATH         read PATH instead of the INP files (\"-\": standard input)\n"
    "  -o, --output=PATH        write PATH instead of the OUT/ADD file (\"-\": standard\n"
    "                           output; summary lines and messages then go to standard\n"
    "                           error)\n"
    "  -j, --jobs=N             convert each input file on N threads (default: every\n"
    "                           core for a file of 64 MiB or more, else one); the\n"
    "                           output is the same as with one\n"
    "      --block-size=BYTES   bytes of input a thread takes at a time (default 1 MiB;\n"
    "                           small blocks are for testing)\n"
    "      --progress           show the progress of a file that takes more than a\n"
    "                           second on standard error (the default when it is a\n"
    "                           terminal)\n"
    "      --no-progress        never show it\n"
    "      --input-encoding=ENC the input files' encoding: cp932 (the default; also\n"
    "                           sjis, shift_jis, ms932, windows-31j) or utf-8\n"
    "      --output-encoding=ENC the output files' encoding: cp932 or utf-8\n"
    "      --encoding=ENC       both; with UTF-8 data the positions of the parameter\n"
    "                           file count display columns (a kanji is 2, ASCII and\n"
    "                           half-width katakana 1), as they count bytes in code\n"
    "                           page 932, so the same parameter files serve both\n"
    "      --unmappable=WHAT    a UTF-8 character without a code page 932 form:\n"
    "                           error (the default: error 28 at its record) or\n"
    "                           replace (a stand-in of its width, GETA MARK or ?)\n"
    "      --bom                start each UTF-8 output file with a byte-order mark\n"
    "      --newline=NL         end output lines with crlf (the default) or lf\n"
    "  -q, --quiet              no English diagnostics on standard error\n"
    "      --                   end of options\n"
    "Arguments after the parameter file are ignored (with a warning).\n"
    "\n"
    "Environment:\n"
    "  RUX_CONSOLE              cp932 or utf-8: the encoding of console messages\n"
    "                           (default: UTF-8 on a UTF-8 terminal, else code page 932)\n"
    "  RUX_PARAM_ENCODING       like --param-encoding (the option wins)\n"
    "  LC_ALL, LC_CTYPE, LANG   whether a terminal is UTF-8\n"
    "  NO_COLOR                 when set and not empty, --preview shows no colours\n"
    "\n"
    "Example: rux --preview=1 job.prm, where job.prm selects with SEL = 1,2,A,=,\"01\"\n"
    "(line 3) and places bytes 3-10 and 21-26 of a record with EDT = 1,8,A,=,3,8,A\n"
    "(line 4) and EDT = 10,9,N,=,21,6,N (line 5):\n"
    "  sales.txt record 1 (26 bytes): selected by SEL line 3: SEL = 1,2,A,=,\"01\"\n"
    "                    10        20\n"
    "            12345678901234567890123456\n"
    "    record  0120240401YAMADA TAR001200\n"
    "     3 SEL  aa\n"
    "     4 EDT    bbbbbbbb\n"
    "     5 EDT                      cccccc\n"
    "                    10\n"
    "            123456789012345678\n"
    "    output  20240401      1200\n"
    "     4 EDT  bbbbbbbb\n"
    "     5 EDT           ccccccccc\n"
    "\n"
    "Exit status:\n"
    "  0  success (also after the help texts and a clean --check)\n"
    "  1  an error in a parameter file, a file or a record (the message says which)\n"
    "  2  a mistake on the command line\n"
    "\n"
    "See rux(1) for the parameter language in English.\n";

// The help text, each line padded with blanks to its full width. When a
// person reads it on a terminal it pauses for a key after every page of 24
// lines except the last; read through a pipe or into a file it does not.
void ShowHelpText(Platform& platform) {
  const bool pause =
      platform.IsTerminal(Stream::kInput) && platform.IsTerminal(Stream::kOutput);
  std::string text;
  for (int n = 1; n <= kHelpLines; ++n) {
    const std::string_view line = HelpLine(n);
    text.assign(line.data(), line.size());
    if (text.size() < static_cast<size_t>(kHelpWidth)) text.append(kHelpWidth - text.size(), ' ');
    text += '\n';
    platform.WriteConsole(text);
    if (pause && HelpWaitsAfter(n)) platform.ReadConsoleChar();
  }
}

// The parameter-file encoding: the option, else RUX_PARAM_ENCODING, else auto.
ParamEncoding ChooseEncoding(const CommandLine& line, Platform& platform) {
  if (line.encodingGiven) return line.encoding;
  std::string name;
  ParamEncoding encoding = ParamEncoding::kAuto;
  if (platform.GetEnvironment("RUX_PARAM_ENCODING", name) && !name.empty() &&
      !ParseEncodingName(name, encoding)) {
    if (!line.quiet) {
      platform.WriteDiagnostic("rux: warning: RUX_PARAM_ENCODING must be auto, cp932 or utf-8; "
                               "using auto\n");
    }
    return ParamEncoding::kAuto;
  }
  return encoding;
}

// A path from the command line, as the parameter file would spell it: the
// command line is UTF-8 on this system, the parameter language code page
// 932. A name that is not UTF-8, or has no code page 932 form, is kept as
// its bytes (the file look-up tries the exact bytes first).
std::string FromCommandLine(const std::string& path, Platform& platform) {
  std::string converted;
  return platform.ConvertUtf8ToCp932(path, converted) ? converted : path;
}

FileOverrides Overrides(const CommandLine& line, Platform& platform) {
  FileOverrides overrides;
  overrides.input = line.inputGiven;
  overrides.inputPath = FromCommandLine(line.input, platform);
  overrides.output = line.outputGiven;
  overrides.outputPath = FromCommandLine(line.output, platform);
  return overrides;
}

DataForm DataFormOf(const CommandLine& line) {
  DataForm form;
  form.utf8Input = line.utf8Input;
  form.unmappable = line.replaceUnmappable ? cp932::Unmappable::kReplace : cp932::Unmappable::kStop;
  form.output.utf8 = line.utf8Output;
  form.output.lineFeedOnly = line.lineFeedOnly;
  form.byteOrderMark = line.byteOrderMark && line.utf8Output;
  return form;
}

// Where the job and its data come from, as the command line says.
void SetSource(const CommandLine& line, Platform& platform, JobSource& source) {
  source.parameterFile = line.parameterFile;
  source.encoding = ChooseEncoding(line, platform);
  source.overrides = Overrides(line, platform);
  source.data = DataFormOf(line);
}

int RunCheck(const CommandLine& line, Platform& platform) {
  CheckOptions options;
  options.encoding = ChooseEncoding(line, platform);
  options.overrides = Overrides(line, platform);
  int errors = 0;
  int warnings = 0;
  for (const std::string& path : line.checkFiles) {
    const CheckResult result = CheckParameterFile(platform, path, options);
    errors += result.opened ? static_cast<int>(result.errors.size()) : 1;
    warnings += static_cast<int>(result.warnings.size());
    // A name is shown escaped on a terminal, as in a run's console lines.
    const bool terminal = platform.IsTerminal(Stream::kOutput);
    platform.WriteConsole(DescribeCheck(terminal ? ShowName(path) : path, result));
  }
  platform.WriteConsole(
      DescribeCheckTotals(static_cast<int>(line.checkFiles.size()), errors, warnings));
  return errors == 0 ? 0 : 1;
}

// The warning about arguments after the parameter file.
void WarnIgnored(const CommandLine& line, Platform& platform) {
  if (line.ignored.empty() || line.quiet) return;
  std::string ignored;
  for (const std::string& argument : line.ignored) ignored += " " + argument;
  platform.WriteDiagnostic("rux: warning: ignoring what follows the parameter file:" + ignored +
                           "\n");
}

int RunJob(const CommandLine& line, Platform& platform) {
  WarnIgnored(line, platform);
  PrinterOptions options;
  options.quiet = line.quiet;
  options.explain = line.explain;
  options.consoleOnError = line.outputGiven && line.output == "-";
  options.progress = line.progress > 0   ? ProgressMode::kAlways
                     : line.progress < 0 ? ProgressMode::kNever
                                         : ProgressMode::kAuto;
  ConsolePrinter printer(platform, options);
  RunRequest request;
  SetSource(line, platform, request);
  request.jobs = line.jobs;
  if (line.blockSize > 0) request.blockSize = line.blockSize;
  platform.CatchStopSignals();
  return RunConversion(request, platform, printer);
}

int ShowPreview(const CommandLine& line, Platform& platform) {
  WarnIgnored(line, platform);
  PrinterOptions options;
  options.quiet = line.quiet;
  PreviewPrinter printer(platform, options);
  PreviewRequest request;
  SetSource(line, platform, request);
  request.records = line.preview;
  return RunPreview(request, platform, printer);
}

Platform* g_outOfMemoryPlatform = nullptr;

// Nothing here may allocate: the message is a literal and the platform
// writes ASCII straight to the descriptor.
void OnOutOfMemory() {
  if (g_outOfMemoryPlatform != nullptr) {
    g_outOfMemoryPlatform->WriteDiagnostic("rux: error: out of memory\n");
  }
  std::_Exit(1);
}

}  // namespace

int RunMain(int argc, const char* const* argv, Platform& platform) {
  const CommandLine line = ParseCommandLine(argc, argv);
  switch (line.action) {
    case Action::kHelpText:
      ShowHelpText(platform);
      return 0;
    case Action::kUsage:
      platform.WriteConsole(std::string(kUsage));
      return 0;
    case Action::kVersion:
      platform.WriteConsole("rux " RUX_VERSION "\n");
      return 0;
    case Action::kUsageError:
      platform.WriteDiagnostic("rux: " + line.error + "\nTry 'rux --help' for more information.\n");
      return kUsageStatus;
    case Action::kCheck: return RunCheck(line, platform);
    case Action::kRun: return RunJob(line, platform);
    case Action::kPreview: return ShowPreview(line, platform);
  }
  return kUsageStatus;
}

void InstallOutOfMemoryHandler(Platform& platform) {
  g_outOfMemoryPlatform = &platform;
  std::set_new_handler(OnOutOfMemory);
}
