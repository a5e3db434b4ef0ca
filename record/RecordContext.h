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

struct Term;  // job/Job.h

// A run of bytes of a line: `length` bytes from offset `start` (0-based).
struct ByteRange {
  size_t start = 0;
  size_t length = 0;
  bool operator==(const ByteRange&) const = default;
};

// What the conditions of one record came to, and which bytes the statements
// read and wrote, for explaining and previewing a run: filled only while
// RecordContext::trace points at it (a record without a trace notes nothing
// and allocates nothing).
struct RecordTrace {
  // Per SEL group evaluated: the 0-based index of the first term that did
  // not hold, or -1 when the group held (groups after the one that held are
  // not evaluated and not listed).
  std::vector<int> groupFailedTerm;
  // Per edit definition reached: the same for its "@" condition (-1 when it
  // held or has none).
  std::vector<int> definitionFailedTerm;

  // Per condition term evaluated (SEL groups, then "@" conditions), in
  // order: the bytes of the line it looked at that it read. A field term
  // reads its field as written (also when it reaches beyond the line: that
  // is error 20), a field comparison both fields (the second only when the
  // first is within the line), a search term the text where it was found
  // (`found` false and no bytes when it was not). Under CHANGE an "@"
  // condition looks at the line as the earlier definitions left it.
  struct TermRead {
    const Term* term = nullptr;  // in the job the record went through
    ByteRange range;
    bool found = true;
  };
  std::vector<TermRead> termReads;

  // EDIT and CSV: per definition applied (its "@" condition held), in order.
  struct DefinitionUse {
    int line = 0;
    bool readsField = false;  // the value is a field of the record ...
    ByteRange input;          // ... as written
    ByteRange output;         // EDIT: the bytes of the built line it wrote
    std::string value;        // CSV: the value as written out
  };
  std::vector<DefinitionUse> definitions;

  // CHANGE: per text replaced, in order: the definition's line, the bytes
  // of the line as that definition left it that the replacement makes up,
  // and the length of the text it replaced.
  struct Replacement {
    int line = 0;
    ByteRange range;
    size_t replaced = 0;
  };
  std::vector<Replacement> replacements;

  void Clear() {
    groupFailedTerm.clear();
    definitionFailedTerm.clear();
    termReads.clear();
    definitions.clear();
    replacements.clear();
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
