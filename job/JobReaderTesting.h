// Test support for the tests of job/: reads parameter-file text through
// JobReader as a run does (line by line, each with its line feed, going on
// after failures), and checks a failing statement's code, line and column at
// once. The expected column is written into the text as a "|" (found
// character by character and taken out before reading); without one the
// column is not checked.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "job/JobReader.h"
#include "platform/Cp932.h"

struct ReadOutcome {
  std::vector<StatementError> errors;  // every failing statement, in order
  StatementError finish;               // JobReader::Finish after the last line
  Job job;
};

inline ReadOutcome ReadAll(std::string_view text) {
  JobReader reader;
  ReadOutcome outcome;
  while (!text.empty()) {
    const size_t size = std::min(text.find('\n'), text.size() - 1) + 1;
    StatementError result = reader.ReadLine(text.substr(0, size));
    if (!result.ok()) outcome.errors.push_back(std::move(result));
    text.remove_prefix(size);
  }
  outcome.finish = reader.Finish();
  outcome.job = reader.TakeJob();
  return outcome;
}

// `text` (with its "|") must fail first with `code` on `line`.
inline void ExpectFirstError(std::string text, ErrorCode code, int line) {
  SCOPED_TRACE(text);
  size_t column = cp932::FindChar(text, '|');
  if (column != std::string::npos) {
    text.erase(column, 1);
    const size_t lineEnd = column == 0 ? std::string::npos : text.rfind('\n', column - 1);
    if (lineEnd != std::string::npos) column -= lineEnd + 1;
  }
  const ReadOutcome outcome = ReadAll(text);
  ASSERT_FALSE(outcome.errors.empty());
  EXPECT_EQ(ErrorNumber(outcome.errors[0].code), ErrorNumber(code));
  EXPECT_EQ(outcome.errors[0].line, line);
  if (column != std::string::npos) {
    EXPECT_EQ(outcome.errors[0].column, column);
  }
}
