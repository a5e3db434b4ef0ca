// The record loop on several threads: one input file is cut into blocks at
// piece boundaries (after a line feed, or where a long line is cut into
// 99,999-byte pieces); each worker thread reads a block, converts it, and
// in its turn writes it in input order, record by record, through the same
// text writer as one thread would. A block's output goes to the writer in
// parts of a few megabytes, so memory stays bounded per worker however much
// longer the records grow. Everything written and reported is what
// ProcessRecords gives: the output bytes, the counts, the record number of
// the first error and every record written before it, and none after.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "job/Job.h"
#include "platform/Platform.h"
#include "platform/TextIo.h"
#include "record/RecordContext.h"
#include "run/RecordLoop.h"
#include "run/RunObserver.h"

struct ParallelOptions {
  int workers = 2;
  size_t blockSize = size_t{1} << 20;  // bytes of input a worker takes at a time
  // A block's output is handed to the writer in parts of about partBytes
  // (at most partRecords records), so that a worker holds little more than
  // its block, a part and the record that ends it, however long the records
  // grow (small parts are for testing).
  size_t partBytes = size_t{2} << 20;
  size_t partRecords = 65536;
  DataForm form;  // UTF-8 records are converted by the workers
};

// True when the job can be worked on in blocks: not when [OUT_LINE] is used
// (each record's value would need the count of every record before it).
bool CanRunInParallel(const Job& job);

// Like ProcessRecords, reading `input` itself. The context's counts start
// from 0; afterwards they, the error and its statement line are as one
// thread leaves them; after a read failure (92) `readFailure` says why. A
// stop signal ends it after the records converted so far, written whole.
// Workers use `platform` for the clock of the date constants.
LoopEnd ProcessRecordsInParallel(const Job& job, File& input, TextWriter& writer,
                                 RecordContext& context, RunObserver& observer,
                                 Platform& platform, const ParallelOptions& options,
                                 std::string& readFailure);
