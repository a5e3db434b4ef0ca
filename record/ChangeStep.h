// CHANGE: a selected record is written with search texts replaced by
// replacement texts, definition after definition, each applied only when its
// own conditions hold for the record as the earlier definitions left it.
#pragma once

#include <string_view>

#include "job/Job.h"
#include "record/RecordContext.h"

// Longest line a definition may leave (10 MB). Each definition works on the
// result of the one before, so without a bound a few definitions whose
// replacement is longer than their search text multiply the line's length;
// a record that reaches the bound stops the run with 21 instead. The fuzzing
// build takes a lower bound: a few dozen doubling definitions reach 10 MB
// within a fuzzer's input size, and the millions of matches per definition
// that follow are honest work, but work that hides real findings behind
// timeouts.
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
constexpr size_t kMaxChangedLine = 200000;
#else
constexpr size_t kMaxChangedLine = 10000000;
#endif

// Appends the changed line and its line feed to context.out; on an error
// (20 or 26 in a condition, 21) appends nothing.
void ChangeRecord(const Job& job, std::string_view record, RecordContext& context);
