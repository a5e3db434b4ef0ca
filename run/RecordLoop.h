// The record loop: one input file, piece by piece from a text reader,
// through the record steps, into a text writer.
#pragma once

#include <cstdint>
#include <string_view>

#include "job/Job.h"
#include "platform/TextIo.h"
#include "record/RecordContext.h"
#include "run/RecordInput.h"
#include "run/RunObserver.h"

// How a loop over the records of one file ended.
enum class LoopEnd : uint8_t {
  kDone,     // at the end of the input, or at the first error (left in the context)
  kStopped,  // a stop signal: every record before it is converted and handed on whole
};

// COPY without conditions: nothing looks at a record, so each piece goes to
// the output as it was read, its line feed (or one added, after the last
// line or a cut long line) ending the line.
bool CopiesPiecesAsRead(const Job& job);
inline std::string_view MissingLineFeed(std::string_view piece) {
  return !piece.empty() && piece.back() == '\n' ? std::string_view() : std::string_view("\n");
}
// Writes one such piece; false when the writer fails.
bool WriteCopiedPiece(std::string_view piece, TextWriter& writer);

// Processes every record `reader` yields (UTF-8 records converted first,
// under `form`) until the end, the first error, which it leaves in the
// context (a record error, 28 for UTF-8 that cannot be converted, 91 when
// the writer fails, 92 when the reader fails), or a stop signal (looked at
// before each record, so the record in hand is never half written). The
// context's counts start from their current values. Reports progress to
// `observer` now and then.
LoopEnd ProcessRecords(const Job& job, TextReader& reader, TextWriter& writer,
                       RecordContext& context, RunObserver& observer,
                       const DataForm& form = DataForm());
