// The record loop: one input file, piece by piece from a text reader,
// through the record steps, into a text writer.
#pragma once

#include "job/Job.h"
#include "platform/TextIo.h"
#include "record/RecordContext.h"
#include "run/RunObserver.h"

// Processes every record `reader` yields until the end or the first error,
// which it leaves in the context: a record error, 91 when the writer fails,
// 92 when the reader fails. The context's counts start from their current
// values. Reports progress to `observer` now and then.
void ProcessRecords(const Job& job, TextReader& reader, TextWriter& writer,
                    RecordContext& context, RunObserver& observer);
