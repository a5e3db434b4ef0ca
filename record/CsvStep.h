// CSV: a selected record becomes one line of tab-separated values, one per
// edit definition, preceded once per input file by a line of header names
// when option H is set. Values are written unquoted, exactly as prepared.
#pragma once

#include <string_view>

#include "job/Job.h"
#include "record/RecordContext.h"

// Appends, for the first record written from a file under option H, the
// header line; then the record's line and its line feed. On an error (20,
// 26) the header stays appended and the record's line is not.
void CsvRecord(const Job& job, std::string_view record, RecordContext& context);
