// The run-time values of the built-in constants.
#pragma once

#include <string>

#include "job/Job.h"
#include "record/RecordContext.h"

// Writes the value of `constant` for the current record into `value`:
// [FILE] the file name, [IN_LINE] and [OUT_LINE] the counts, the date and
// time parts zero-padded (4 digits for [YYYY], else 2) from the clock, read
// afresh at every call, so a run that passes midnight gives later records
// the new date. No allocation once `value` has room.
void ConstantValue(Constant constant, const RecordContext& context, std::string& value);
