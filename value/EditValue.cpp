// The last preparation of a value for output: numeric format, then the
// conversion named by the statement keyword, then right padding.
#include "platform/Cp932.h"
#include "value/ValueEdit.h"

void CValueEdit::EditValue(std::string_view convType, std::string_view editType, int length,
                           std::string& value) const {
  if (!editType.empty() && editType[0] == 'N') {
    const numeric::NumFormat format = numeric::ParseNumFormat(editType.substr(1));
    EditValue(convType, &format, length, value);
  } else {
    EditValue(convType, nullptr, length, value);
  }
}

void CValueEdit::EditValue(std::string_view convType, const numeric::NumFormat* format,
                           int length, std::string& value) const {
  if (format != nullptr) {
    // The number is read before `value` is overwritten by its written form.
    numeric::FormatNumberText(value, *format, value);
  }

  const bool wide = convType == "WID";
  if (convType == "LOW") {
    cp932::LowerInPlace(value);
  } else if (convType == "UPP") {
    cp932::UpperInPlace(value);
  } else if (convType == "NAR") {
    // The mapped form goes to the scratch buffer and is copied back, so both
    // keep their capacity from record to record. Nothing is cut: a mapped
    // value of any length is kept whole.
    cp932::ToHalfWidth(value, scratch_);
    value.assign(scratch_);
  } else if (wide) {
    cp932::ToFullWidth(value, scratch_);
    value.assign(scratch_);
  }

  if (length <= 0) return;
  const size_t target = static_cast<size_t>(length);
  if (value.size() >= target) return;
  if (wide) {
    // Full-width blanks, two bytes each: an odd gap ends one byte beyond
    // the length, which the caller reports.
    while (value.size() < target) value.append("\x81\x40", 2);
  } else {
    value.append(target - value.size(), ' ');
  }
}
