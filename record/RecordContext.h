// RecordContext: one worker's state while it works on records of one input
// file — the file name and counts the constants show, the error of the last
// record with the statement it came from, the text the record produced, and
// scratch buffers reused from record to record so that nothing is allocated
// per record once they have grown. A context belongs to one thread; any
// number of contexts may work on one (const) Job at the same time.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "job/Error.h"
#include "platform/Cp932Unicode.h"
#include "platform/Platform.h"

// What the conditions of one record came to, for explaining a run: filled
// only while RecordContext::trace points at it.
struct RecordTrace {
  // Per SEL group evaluated: the 0-based index of the first term that did
  // not hold, or -1 when the group held (groups after the one that held are
  // not evaluated and not listed).
  std::vector<int> groupFailedTerm;
  // Per edit definition reached: the same for its "@" condition (-1 when it
  // held or has none).
  std::vector<int> definitionFailedTerm;
  void Clear() {
    groupFailedTerm.clear();
    definitionFailedTerm.clear();
  }
};

// Cache-line aligned: contexts of workers on several threads never share a
// line (a record's step writes its context all the time).
struct alignas(64) RecordContext {
  explicit RecordContext(Platform& platform) : clock(&platform) {}

  // Reads the local date and time for [YYYY] ... [SE] (afresh at every use).
  Platform* clock;
  // [FILE]: the bare name of the input file.
  std::string_view fileName;
  // [IN_LINE] and [OUT_LINE]: records read and written so far in this file,
  // the current record included.
  int64_t inCount = 0;
  int64_t outCount = 0;

  // The first error, and the parameter-file line of the SEL or edit
  // statement being evaluated when it arose (0 when none was).
  ErrorCode error = ErrorCode::kNone;
  int errorLine = 0;
  // Stops the record with `code`, raised by the statement on parameter-file
  // line `statementLine` (a condition leaves its error first and passes it
  // here with the line). Returns false, for "return context.Fail(...)".
  bool Fail(ErrorCode code, int statementLine) {
    error = code;
    errorLine = statementLine;
    return false;
  }

  // Text the records produced, line feeds included, for the caller to write.
  std::string out;
  // CSV: the length of the header line a record put in front of its own
  // line (it comes with the first output record of a file); the caller
  // resets it.
  size_t headerLength = 0;

  // UTF-8 input: the record converted to code page 932, the problem that
  // stopped a conversion (error 28), and the characters replaced so far.
  std::string decoded;
  cp932::FromUtf8Result decodeProblem;
  int64_t replaced = 0;

  // When set, the record steps note there what their conditions came to.
  RecordTrace* trace = nullptr;

  // Scratch buffers of the record steps.
  std::string constant;     // a constant's value
  std::string constant2;    // a second constant's value (CHANGE replacement)
  std::string upperRecord;  // option U: the record upper-cased
  std::string upperSearch;  // option U: the search text upper-cased
  std::string left;         // option U: compared fields upper-cased
  std::string right;
  std::string value;        // a value being prepared for output
  std::string scratch;      // conversion work space
  std::string line;         // CHANGE: the record being changed
  std::string result;       // CHANGE, CSV: the line being built
  std::string work;         // EDIT: the work line
  size_t workDirty = 0;     // EDIT: bytes of `work` written since it was all blanks
};
