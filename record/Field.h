// Cutting a field out of a record.
#pragma once

#include <cstdint>
#include <string_view>

#include "job/Job.h"
#include "record/RecordContext.h"

// The field `ref` of `record` (position counted from 1). False when it does
// not end within the record, unless `partial`: then it holds the bytes that
// exist (none when it starts beyond the end) and true is returned.
inline bool CutField(std::string_view record, FieldRef ref, bool partial, std::string_view& field) {
  const int64_t end = static_cast<int64_t>(ref.position) + ref.length - 1;
  if (end > static_cast<int64_t>(record.size()) && !partial) return false;
  const size_t start = static_cast<size_t>(ref.position) - 1;
  field = start < record.size() ? record.substr(start, static_cast<size_t>(ref.length))
                                : std::string_view();
  return true;
}

// The bytes a field names in a line (0-based), for a trace.
inline ByteRange RangeOf(FieldRef ref) {
  return ByteRange{static_cast<size_t>(ref.position) - 1, static_cast<size_t>(ref.length)};
}
