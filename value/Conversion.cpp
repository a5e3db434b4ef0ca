// Number format, case or width conversion and padding of an output value.
#include "value/Conversion.h"

#include "platform/Cp932.h"

void PrepareOutput(Conversion conversion, const numeric::NumFormat* format, int length,
                   std::string& value, std::string& scratch) {
  if (format != nullptr) {
    // The number is read before `value` is overwritten by its written form.
    numeric::FormatNumberText(value, *format, value);
  }

  switch (conversion) {
    case Conversion::kNone: break;
    case Conversion::kLower: cp932::LowerInPlace(value); break;
    case Conversion::kUpper: cp932::UpperInPlace(value); break;
    // The mapped form goes to the scratch buffer and is copied back, so both
    // keep their capacity from record to record. Nothing is cut: a mapped
    // value of any length is kept whole.
    case Conversion::kNarrow:
      cp932::ToHalfWidth(value, scratch);
      value.assign(scratch);
      break;
    case Conversion::kWide:
      cp932::ToFullWidth(value, scratch);
      value.assign(scratch);
      break;
  }

  if (length <= 0) return;
  const size_t target = static_cast<size_t>(length);
  if (value.size() >= target) return;
  if (conversion == Conversion::kWide) {
    while (value.size() < target) value.append("\x81\x40", 2);
  } else {
    value.append(target - value.size(), ' ');
  }
}
