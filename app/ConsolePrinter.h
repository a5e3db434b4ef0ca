// ConsolePrinter: the RunObserver that shows a run — one summary line per
// input file and the described Japanese message of an error, in code page
// 932 exactly as batch jobs read them on standard output; and for people, on
// standard error, one English line per error (which file, why, which
// statement) and the explanations of --explain.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Platform.h"
#include "run/Check.h"
#include "run/RunObserver.h"

enum class ProgressMode : uint8_t {
  kAuto,    // when standard error is a terminal
  kAlways,  // --progress
  kNever,   // --no-progress
};

struct PrinterOptions {
  bool quiet = false;       // no English diagnostics
  int64_t explain = 0;      // records per file to explain on standard error
  // The converted output goes to standard output: the summary lines and
  // messages go to standard error instead.
  bool consoleOnError = false;
  ProgressMode progress = ProgressMode::kAuto;
};

class ConsolePrinter : public RunObserver {
 public:
  ConsolePrinter(Platform& platform, PrinterOptions options)
      : platform_(platform), options_(options) {}

  void FileStarted(const InputFileInfo& file) override;
  void RecordsAdvanced(int64_t records, int64_t bytes) override;
  void FileFinished(const FileSummary& summary) override;
  void Failed(const RunFailure& failure) override;
  void Stopped(const RunStop& stop) override;
  void DataConverted(const DataConversions& conversions) override;
  int64_t RecordsToExplain() const override { return options_.explain; }
  void RecordExplained(const RecordExplanation& explanation) override;

 private:
  // Summary lines and messages: standard output, or standard error when the
  // output is there.
  void WriteConsole(const std::string& text);
  // A file name for a summary line or message: control characters escaped
  // on a terminal (where ESC sequences would act), the bytes elsewhere (as
  // scripts read them).
  std::string ConsoleName(std::string_view name);

  // Erases the progress line, if one is shown.
  void EraseProgress();

  Platform& platform_;
  PrinterOptions options_;
  // Progress of the current file: shown once it has taken a second.
  bool progressOn_ = false;   // decided at the first file
  bool progressChecked_ = false;
  bool terminal_ = false;     // standard error is a terminal: one line, redrawn
  bool shown_ = false;
  bool consoleTerminalChecked_ = false;
  bool consoleTerminal_ = false;
  std::string fileName_;
  int fileIndex_ = 0;
  int fileCount_ = 0;
  int64_t fileSize_ = -1;
  int64_t startMs_ = 0;
  int64_t lastDrawMs_ = 0;
};

// The progress line of a file: name, file i of n, percent of its bytes,
// MB/s, records and time left (what is known).
std::string DescribeProgress(const std::string& name, int index, int count, int64_t size,
                             int64_t records, int64_t bytes, int64_t elapsedMs);

// A file name for people: control characters (LF, ESC ...) escaped as GNU
// tools show them ("\n", "\033"), so that a crafted name cannot move the
// cursor or rewrite the screen; every other byte as it is.
std::string ShowName(std::string_view name);

// The English line of a run stopped by a signal, naming the file and the
// last record converted.
std::string DescribeStop(const RunStop& stop);

// The English lines that count what converting UTF-8 data changed.
std::string DescribeConversions(const DataConversions& conversions);

// The English diagnostic of a failure: "rux: error 91: cannot open output
// "out/x.txt": Permission denied", then for a statement the statement and a
// caret under the failing item. Lines end with LF.
std::string DescribeFailure(const RunFailure& failure);

// The explanation lines of one record.
std::string DescribeRecord(const RecordExplanation& explanation);
// The same lines, each starting with `where` instead of "rux: explain: FILE
// record N: ".
std::string DescribeExplanation(const RecordExplanation& explanation, const std::string& where);

// The report of one checked file, and the closing count line.
std::string DescribeCheck(const std::string& path, const CheckResult& result);
std::string DescribeCheckTotals(int files, int errors, int warnings);
