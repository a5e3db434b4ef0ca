// The work on one record: count it, select it, and convert it by the job's
// processing type (COPY writes it unchanged). The job is only read; all
// state is in the worker's context, so workers on several threads may
// process records of one job at once.
#pragma once

#include <string_view>

#include "job/Job.h"
#include "record/RecordContext.h"
#include "record/Selection.h"

// Raises the input count, selects the record and, when selected, raises the
// output count and appends its output text to context.out. Returns the
// selection; on an error the context holds it (and context.out whatever must
// still be written before the run stops, such as a CSV header line).
Selection ProcessRecord(const Job& job, std::string_view record, RecordContext& context);
