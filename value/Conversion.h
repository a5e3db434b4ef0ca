// The last preparation of a value for output: an optional number format,
// then the conversion an edit keyword names (EDT none, UPP upper case, LOW
// lower case, NAR half width, WID full width), then padding to a length.
// Pure code; the caller owns the value and the scratch buffer, so a worker
// reuses both from record to record and nothing is shared between workers.
#pragma once

#include <cstdint>
#include <string>

#include "value/Numeric.h"

enum class Conversion : uint8_t { kNone, kUpper, kLower, kNarrow, kWide };

// Writes `value` as a number when `format` is given (reading it as atof
// would), converts it, then pads it on the right to `length` bytes (0: no
// padding) with blanks, under kWide with full-width blanks (an odd gap then
// ends one byte beyond the length, which the caller reports). Never shortens.
void PrepareOutput(Conversion conversion, const numeric::NumFormat* format, int length,
                   std::string& value, std::string& scratch);
