// Test support for the record steps (included by tests only): a Job read
// from parameter lines through JobReader, exactly as a parameter file gives
// them, and one worker's context on a fake clock that runs records through a
// step one at a time, each as a fresh record.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "job/JobReader.h"
#include "platform/FakePlatform.h"
#include "record/RecordContext.h"
#include "record/Selection.h"

// Reads `lines` (parameter-file lines, numbered from 1) into a Job. A
// statement the reader refuses fails the test.
inline Job ReadJob(const std::vector<std::string>& lines) {
  JobReader reader;
  for (const std::string& line : lines) {
    const StatementError error = reader.ReadLine(line);
    EXPECT_TRUE(error.ok()) << "line " << error.line << " \"" << line << "\" gives error "
                            << ErrorNumber(error.code);
  }
  return reader.TakeJob();
}

// "FUNCTION=<function>", "OPT=-<options>", then `statements` (lines 3 ...).
inline std::vector<std::string> JobLines(const std::string& function, const std::string& options,
                                         const std::vector<std::string>& statements) {
  std::vector<std::string> lines = {"FUNCTION=" + function, "OPT=-" + options};
  lines.insert(lines.end(), statements.begin(), statements.end());
  return lines;
}

// A job and one context on it, reading the file "in.txt".
struct RecordBench {
  explicit RecordBench(const std::vector<std::string>& lines) : job(ReadJob(lines)) {
    context.fileName = "in.txt";
  }
  // The context points at the clock: a bench stays where it was made.
  RecordBench(const RecordBench&) = delete;
  RecordBench& operator=(const RecordBench&) = delete;

  // The context for a new record: the text and error of the one before are
  // dropped (a run would have stopped at an error); the counts stay.
  RecordContext& Fresh() {
    context.out.clear();
    context.error = ErrorCode::kNone;
    context.errorLine = 0;
    return context;
  }
  // Runs `record` through `step` (ChangeRecord, EditRecord, CsvRecord or
  // ProcessRecord) and returns the text it produced.
  template <typename Step>
  std::string Run(Step step, std::string_view record) {
    step(job, record, Fresh());
    return context.out;
  }
  // The selection of `record` and its error as one text: "group 1",
  // "group -1" (selected, no SEL), "none", "none, error 20 at line 5".
  std::string Select(std::string_view record) {
    const Selection selection = SelectRecord(job, record, Fresh());
    std::string text = selection.selected ? "group " + std::to_string(selection.group) : "none";
    if (context.error != ErrorCode::kNone) text += ", " + Error();
    return text;
  }
  // The error of the last record: "" or "error 26 at line 4".
  std::string Error() const {
    if (context.error == ErrorCode::kNone) return "";
    return "error " + std::to_string(ErrorNumber(context.error)) + " at line " +
           std::to_string(context.errorLine);
  }

  FakePlatform clock;
  Job job;
  RecordContext context{clock};
};
