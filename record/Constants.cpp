#include "record/Constants.h"

#include <charconv>

namespace {

// `number` in decimal, zero-padded to at least `width` characters (the sign
// counts, as in printf's "%0*d").
void AssignNumber(std::string& value, int64_t number, int width) {
  char digits[24];
  const auto written = std::to_chars(digits, digits + sizeof digits, number);
  const size_t length = static_cast<size_t>(written.ptr - digits);
  value.clear();
  if (number < 0) {
    value.push_back('-');
    const size_t magnitude = length - 1;
    if (magnitude + 1 < static_cast<size_t>(width)) {
      value.append(static_cast<size_t>(width) - magnitude - 1, '0');
    }
    value.append(digits + 1, magnitude);
    return;
  }
  if (length < static_cast<size_t>(width)) value.append(static_cast<size_t>(width) - length, '0');
  value.append(digits, length);
}

}  // namespace

void ConstantValue(Constant constant, const RecordContext& context, std::string& value) {
  switch (constant) {
    case Constant::kFile: value.assign(context.fileName); return;
    case Constant::kInLine: AssignNumber(value, context.inCount, 1); return;
    case Constant::kOutLine: AssignNumber(value, context.outCount, 1); return;
    default: break;
  }
  const DateTime now = context.clock->LocalTime(context.clock->Now());
  switch (constant) {
    case Constant::kYear: AssignNumber(value, now.year, 4); return;
    case Constant::kMonth: AssignNumber(value, now.month, 2); return;
    case Constant::kDay: AssignNumber(value, now.day, 2); return;
    case Constant::kHour: AssignNumber(value, now.hour, 2); return;
    case Constant::kMinute: AssignNumber(value, now.minute, 2); return;
    case Constant::kSecond: AssignNumber(value, now.second, 2); return;
    default: return;
  }
}
