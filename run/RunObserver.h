// RunObserver: how a run reports what happens. The run driver calls it; the
// program's console printer (app/) implements it, and tests record the calls.
// Nothing in the library prints.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "job/Error.h"
#include "job/Job.h"
#include "record/RecordContext.h"

// One input file about to be processed.
struct InputFileInfo {
  std::string_view name;      // bare name, code page 932
  std::string_view fullPath;  // code page 932
  int index = 0;              // 1-based among the input files
  int count = 0;              // input files matched (folders left out)
  int64_t size = -1;          // bytes, -1 when unknown (a pipe)
};

// One input file done without error.
struct FileSummary {
  std::string_view name;
  int64_t recordsRead = 0;
  int64_t recordsWritten = 0;
  int64_t seconds = 0;  // whole seconds between the clock readings before and after
};

// Where in the run an error arose; decides the form of its report.
enum class FailureStage : uint8_t {
  kParameters,  // the parameter file: opening it, a statement, the file-setting checks
  kFileModeOutput,  // the output file of file mode: opening it, or storing it at the end
  kInput,       // input files and their records
};

// What a person needs to act on a failure with a file, in English.
struct FailureDetail {
  std::string action;  // what could not be done ("cannot open output")
  std::string path;    // the file concerned, as written or found
  std::string reason;  // the operating system's reason, when there is one
  std::string detail;  // more about the failure, when there is more
};

struct RunFailure {
  ErrorCode code = ErrorCode::kNone;
  FailureStage stage = FailureStage::kParameters;
  int line = 0;                 // kParameters: the line (0 when the file could not be opened)
  std::string fileName;         // kInput: the current file's bare name, or for 92 the INP pattern upper-cased
  int64_t records = 0;          // kInput: the record count at the error (0 for 92)

  // What a person needs to act on it.
  std::string parameterFile;    // the parameter file, as given
  FailureDetail what;           // files: what failed, and why
  std::string statement;        // the failing statement as written (parameters, records)
  int statementLine = 0;        // record errors: the SEL or edit statement's line, 0 when none
  size_t column = std::string::npos;  // kParameters: offset of the failing item in `statement`
};

// A run stopped by a signal (SIGTERM, SIGINT, SIGHUP) at a record boundary:
// every record up to `records` of `fileName` is written whole, nothing after.
struct RunStop {
  int signal = 0;
  std::string_view fileName;  // the input file it stopped in or after; empty before the first
  int64_t records = 0;        // records of that file read and converted
};

// What converting UTF-8 data changed in a run: characters without a code
// page 932 form replaced by stand-ins (--unmappable=replace), and output
// bytes that were not whole code page 932 characters, written as blanks.
struct DataConversions {
  int64_t replaced = 0;
  int64_t blanks = 0;
};

// What the conditions of one record came to (--explain).
struct RecordExplanation {
  std::string_view fileName;
  int64_t record = 0;          // 1-based number in its file
  bool selected = false;
  const Job* job = nullptr;
  const RecordTrace* trace = nullptr;
};

class RunObserver {
 public:
  virtual ~RunObserver() = default;
  virtual void FileStarted(const InputFileInfo& file) { (void)file; }
  // Called now and then while a file is read: records read and input bytes consumed so far.
  virtual void RecordsAdvanced(int64_t records, int64_t bytes) {
    (void)records;
    (void)bytes;
  }
  virtual void FileFinished(const FileSummary& summary) = 0;
  // How many records at the start of each file to explain (0: none), and
  // the explanation of each of them.
  virtual int64_t RecordsToExplain() const { return 0; }
  virtual void RecordExplained(const RecordExplanation& explanation) { (void)explanation; }
  virtual void Failed(const RunFailure& failure) = 0;
  virtual void Stopped(const RunStop& stop) { (void)stop; }
  // At the end of a run that replaced characters or wrote blanks.
  virtual void DataConverted(const DataConversions& conversions) { (void)conversions; }
};
