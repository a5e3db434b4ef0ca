// The edit statements (EDT, UPP, LOW, NAR, WID) of the processing types
// that have them: each reads one statement value into the definition type of
// its processing type. The reader checks the number of definitions first.
#pragma once

#include "job/Error.h"
#include "job/Job.h"
#include "job/StatementText.h"

// CHANGE: search, replacement [@ condition]; each a quoted text or a constant.
ErrorCode ParseChangeDefinition(StatementText& text, ChangeDefinition& definition);

// EDIT: outpos,len,edittype,=,value [@ condition], the value a quoted text,
// a constant or an input field pos,len,type.
ErrorCode ParseEditDefinition(Conversion conversion, StatementText& text,
                              EditDefinition& definition);

// CSV: a quoted text or constant, optionally ", header" (a quoted text or a
// constant); or an input field pos,len,type, optionally ,"header".
ErrorCode ParseCsvDefinition(Conversion conversion, StatementText& text,
                             CsvDefinition& definition);
