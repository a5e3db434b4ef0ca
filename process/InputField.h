// Cutting an input field out of a record for EDIT and CSV values.
#pragma once

#include <cstdint>
#include <string_view>

// The field of `len` bytes at byte `pos` (counted from 1) of `record`.
// Returns false when the field ends beyond the record and option S is off
// (the caller's error 20). With option S a field that runs past the end
// holds the bytes that exist, none when it starts beyond the end.
inline bool CutInputField(std::string_view record, int32_t pos, int32_t len, bool bOptS,
                          std::string_view& field) {
  const int64_t end = static_cast<int64_t>(pos) + len - 1;
  if (static_cast<int64_t>(record.size()) < end && !bOptS) return false;
  const size_t start = static_cast<size_t>(pos) - 1;
  field = start < record.size() ? record.substr(start, static_cast<size_t>(len)) : std::string_view();
  return true;
}
