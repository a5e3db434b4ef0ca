// COPY without conditions at the speed of a plain copy. Lines that are
// already in output form (CR LF line ends, one piece each, no 0x1A) need no
// work: the file is read in blocks small enough to stay in the processor's
// cache, one pass finds those lines, and they are written straight from the
// block; only the other lines go piece by piece as in ProcessRecords. The
// output and the counts are the same. A write that fails is reported at the
// first record of the lines it carried.
#pragma once

#include <string>

#include "platform/Platform.h"
#include "platform/TextIo.h"
#include "record/RecordContext.h"
#include "run/RecordLoop.h"
#include "run/RunObserver.h"

// Copies `input` to `writer`. The context's counts start from 0; afterwards
// they and the error (91, or 92 with `readFailure`) are as ProcessRecords
// leaves them. A stop signal is looked at between blocks, whose lines are
// written whole.
LoopEnd CopyRecords(File& input, TextWriter& writer, RecordContext& context, RunObserver& observer,
                    std::string& readFailure);
