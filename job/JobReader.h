// JobReader: reads a parameter file line by line into a Job. Each line is
// one statement (or blank, or a comment); each statement either succeeds or
// returns its error and leaves the job exactly as it was, so a reader may
// stop at the first error (a run) or go on and collect every error (a check).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "job/Error.h"
#include "job/Job.h"

// The outcome of one statement.
struct StatementError {
  ErrorCode code = ErrorCode::kNone;
  int line = 0;                      // 1-based line of the parameter file
  size_t column = std::string::npos;  // byte offset in `statement` of the item that failed
  std::string statement;              // the line as written (without its line end), on failure
  std::string detail;                 // more about the failure, in English, when there is more
  bool ok() const { return code == ErrorCode::kNone; }
};

class JobReader {
 public:
  // Reads the next physical line (as the text reader hands it out, its line
  // feed included). Lines are counted from 1, blank lines and comments too.
  StatementError ReadLine(std::string_view line);

  // After the last line: the processing type defaults to COPY, folder mode
  // is decided, and the file settings are checked (INP and OUT/ADD both
  // given and not equal once upper-cased, else 15 reported on the last line).
  StatementError Finish();

  // The command line's -i and -o: they take the place of INP and OUT/ADD
  // (whatever the file says) before Finish checks the file settings. "-" is
  // standard input or output. An OUT value's mode (OUT or ADD) is kept.
  void OverrideInput(std::string pattern) {
    job_.standardInput = pattern == "-";
    job_.inputPattern = std::move(pattern);
  }
  void OverrideOutput(std::string path) {
    job_.standardOutput = path == "-";
    job_.outputPath = std::move(path);
  }

  int LinesRead() const { return lines_; }
  const Job& GetJob() const { return job_; }
  Job TakeJob() { return std::move(job_); }

 private:
  // One statement as the keyword's reader gets it: the keyword (upper case),
  // the line, where its value starts and, for an edit keyword, its
  // conversion. A reader returns the statement's error and, on failure,
  // sets `column` when the failing item is not at the start of the value.
  struct Statement {
    std::string_view key;
    std::string_view line;
    size_t valueStart;
    Conversion conversion;
    std::string_view Value() const { return line.substr(valueStart); }
  };
  using StatementReader = ErrorCode (JobReader::*)(const Statement&, size_t& column);

  ErrorCode ReadStatement(std::string_view key, std::string_view line, size_t valueStart,
                          size_t& column);
  ErrorCode ReadFileSetting(const Statement& statement, size_t& column);
  ErrorCode ReadSelection(const Statement& statement, size_t& column);
  ErrorCode ReadOptions(const Statement& statement, size_t& column);
  ErrorCode ReadFunction(const Statement& statement, size_t& column);
  ErrorCode ReadDefinition(const Statement& statement, size_t& column);

  Job job_;
  bool typeSet_ = false;  // a FUNCTION statement has been read
  int lines_ = 0;
};

// True when the output value names a folder: it ends with "/" or a
// single-byte "\" (a double-byte character whose second byte is 0x5C, such
// as 0x95 0x5C, names a file).
bool NamesFolder(std::string_view output);
