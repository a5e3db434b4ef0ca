// CValueEdit: the value operations used while records are processed — the
// run-time values of the built-in constants, justification by field type and
// the final preparation of a value for output (numeric format, case and width
// conversion, padding). It holds no data of its own, only the clock it reads.
#pragma once

#include <string>
#include <string_view>

#include "platform/Platform.h"
#include "value/Numeric.h"

class CValueEdit {
 public:
  explicit CValueEdit(Platform* platform = nullptr) : platform_(platform) {}
  void SetPlatform(Platform* platform) { platform_ = platform; }

  // Value of a built-in constant (canonical upper-case name without brackets).
  // The clock is read at every call. An unknown name leaves `value` unchanged.
  void GetConstantValue(std::string_view name, std::string_view fileName, int inCount,
                        int outCount, std::string& value) const;

  // Trims the value by its type: "A" unchanged; "AL"/"AR"/"AT" remove white
  // space on the left/right/both sides, then whole full-width blanks; any
  // other type (N, N.0, empty) leaves it unchanged.
  void JustifyValue(std::string_view type, std::string& value) const;
  // The same on a view, for comparisons that must not copy the field.
  static std::string_view JustifyView(std::string_view type, std::string_view value);

  // Prepares a value for output: a type beginning with "N" writes it as a
  // number; then the conversion of `convType` (UPP, LOW, NAR, WID; anything
  // else none); then right padding to `length` (0 = none) with blanks, under
  // WID with full-width blanks. Never shortens.
  void EditValue(std::string_view convType, std::string_view editType, int length,
                 std::string& value) const;
  // The same with the numeric format already parsed (nullptr: not numeric),
  // so the per-record path parses nothing.
  void EditValue(std::string_view convType, const numeric::NumFormat* format, int length,
                 std::string& value) const;

 private:
  Platform* platform_;
  mutable std::string scratch_;  // conversion work space, reused across calls
};
