// EDIT: a selected record is rebuilt into a new line from the edit
// definitions, each placing one value (quoted text, constant or input field)
// at an output position and length, formatted and converted by the
// definition, when its own conditions hold for the unchanged input record.
#pragma once

#include <string_view>

#include "job/Job.h"
#include "record/RecordContext.h"

// Appends the built line and its line feed to context.out; on an error
// (20, 21, 26) appends nothing and sets the error and its statement's line.
void EditRecord(const Job& job, std::string_view record, RecordContext& context);
