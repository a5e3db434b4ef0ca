// The preview: the first records of a job's first input file, each run
// through the record steps with a trace and reported with the bytes every
// statement read and wrote, so that people can see the positions of a
// parameter file on their data. It reads the parameter file as a run does,
// but opens no output and writes no file. Without a parameter file it
// reports the records of the file named by -i alone.
//
// A record error (20, 21, 26) is part of that record's report; the preview
// goes on with the next record. Only a parameter file or an input that
// cannot be read ends it, reported through Failed as a run reports it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "job/Error.h"
#include "job/Job.h"
#include "platform/Platform.h"
#include "platform/TextIo.h"
#include "record/RecordContext.h"
#include "run/FileSettings.h"
#include "run/RecordInput.h"
#include "run/Run.h"
#include "run/ParameterFile.h"
#include "run/RunObserver.h"

// The job as a run reads it (an empty parameter file: none, then
// overrides.input names the file); UTF-8 records converted as a run does.
struct PreviewRequest : JobSource {
  int64_t records = 5;  // records to show
};

// One statement's marks on a line: the bytes it read (or wrote), in the
// line's bytes counted from 0. Ranges may reach beyond the line's end (a
// field beyond the record, error 20).
struct StatementMarks {
  int line = 0;            // the statement's parameter-file line
  std::string_view what;   // "SEL", "@" (a definition's condition), or the edit keyword
  std::vector<ByteRange> ranges;
};

// CSV: one value of the record and the header name of its definition.
struct CsvField {
  int line = 0;
  std::string_view keyword;
  std::string header;
  std::string value;
};

// What the preview shows of one record. Views and pointers stay valid only
// during the call that hands it out.
struct PreviewRecord {
  std::string_view fileName;  // bare name, code page 932
  int64_t number = 0;         // 1-based in its file
  std::string_view bytes;     // the record without its line feed
  // With a parameter file: what the conditions came to (the words of
  // --explain), and the bytes each statement read, in statement order.
  const Job* job = nullptr;
  RecordExplanation explanation;
  std::vector<StatementMarks> reads;
  // Selected and converted without error: the line written (COPY, CHANGE,
  // EDIT; no line feed) and the bytes of it each statement wrote (EDIT:
  // what each definition placed, later ones over earlier ones; CHANGE: what
  // replacements left in the final line), or the CSV values.
  bool converted = false;
  std::string_view output;
  std::vector<StatementMarks> writes;
  std::vector<CsvField> fields;
  // A record error: its code, and the statement it came from; for UTF-8
  // that cannot be converted (28), which character and where (the record
  // shown is then what was converted before it, and no statement saw it).
  ErrorCode error = ErrorCode::kNone;
  int errorLine = 0;
  std::string_view errorStatement;
  std::string errorDetail;
};

class PreviewObserver {
 public:
  virtual ~PreviewObserver() = default;
  virtual void RecordPreviewed(const PreviewRecord& record) = 0;
  // After the records of the file: how many there were to show (0: an empty file).
  virtual void InputEnded(std::string_view fileName, int64_t shown) = 0;
  virtual void Failed(const RunFailure& failure) = 0;
};

// Runs the preview; returns the exit status: 0, or 1 when the parameter
// file or the input cannot be read (reported through Failed).
int RunPreview(const PreviewRequest& request, Platform& platform, PreviewObserver& observer);

// The marks of the bytes the record's statements read, from its trace: one
// row per SEL statement and "@" condition with the terms evaluated, one per
// EDIT or CSV definition applied that reads a field.
std::vector<StatementMarks> MarkReads(const Job& job, const RecordTrace& trace);

// CHANGE: which bytes of the final line of `length` bytes the replacements
// made, per definition, following each replacement through the ones after
// it (a later replacement of those bytes takes them over). `recordLength`
// is the line before the first definition.
std::vector<StatementMarks> MarkReplacements(const RecordTrace& trace, size_t recordLength,
                                             size_t length);
