// The nine built-in constants: their names and types while statements are
// read (LookupConstant), and their values while records are processed
// (GetConstantValue).
#include <array>
#include <cstdio>

#include "cond/SyntaxCheck.h"
#include "value/ValueEdit.h"

namespace {

struct CConstantName {
  std::string_view name;
  std::string_view type;
};

// FILE and the date/time parts are texts; the two counters are whole numbers.
constexpr std::array<CConstantName, 9> kConstants = {{
    {"FILE", "A"},
    {"IN_LINE", "N.0"},
    {"OUT_LINE", "N.0"},
    {"YYYY", "A"},
    {"MM", "A"},
    {"DD", "A"},
    {"HO", "A"},
    {"MI", "A"},
    {"SE", "A"},
}};

constexpr size_t kLongestName = 8;  // "OUT_LINE"

// Writes `number` in decimal, zero-padded to at least `width` digits, into
// `value` without allocating once `value` has room.
void AssignNumber(std::string& value, int number, int width) {
  char buffer[24];
  int written = std::snprintf(buffer, sizeof buffer, "%0*d", width, number);
  value.assign(buffer, written > 0 ? static_cast<size_t>(written) : 0);
}

}  // namespace

bool CSyntaxCheck::LookupConstant(std::string_view name, std::string& type,
                                  std::string& canonicalName, int& error) const {
  // Every name is short ASCII, so a text that is longer or holds any byte of a
  // double-byte character (a full-width letter upper-cases to full width) can
  // never match; only a-z needs upper-casing. Nothing is trimmed: "[ FILE ]"
  // is not a constant.
  char upper[kLongestName];
  bool candidate = !name.empty() && name.size() <= kLongestName;
  for (size_t i = 0; candidate && i < name.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(name[i]);
    if (c >= 0x80) {
      candidate = false;
    } else {
      upper[i] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : static_cast<char>(c);
    }
  }
  if (candidate) {
    std::string_view upperName(upper, name.size());
    for (const CConstantName& constant : kConstants) {
      if (constant.name == upperName) {
        type.assign(constant.type);
        canonicalName.assign(constant.name);
        return false;
      }
    }
  }
  error = 10;
  return true;
}

void CValueEdit::GetConstantValue(std::string_view name, std::string_view fileName, int inCount,
                                  int outCount, std::string& value) const {
  if (name == "FILE") {
    value.assign(fileName);
    return;
  }
  if (name == "IN_LINE") {
    AssignNumber(value, inCount, 1);
    return;
  }
  if (name == "OUT_LINE") {
    AssignNumber(value, outCount, 1);
    return;
  }
  // Date and time parts: the clock is read afresh at every call, so a run that
  // passes midnight gives the later records the new date. Only these six need
  // it; the other constants do not depend on the clock.
  if (platform_ == nullptr) return;
  int number = 0;
  int width = 2;
  if (name == "YYYY") {
    width = 4;
  } else if (name != "MM" && name != "DD" && name != "HO" && name != "MI" && name != "SE") {
    return;  // not a constant: the value stays as it was
  }
  DateTime now = platform_->LocalTime(platform_->Now());
  switch (name[0]) {
    case 'Y': number = now.year; break;
    case 'M': number = (name[1] == 'M') ? now.month : now.minute; break;
    case 'D': number = now.day; break;
    case 'H': number = now.hour; break;
    default: number = now.second; break;  // "SE"
  }
  AssignNumber(value, number, width);
}
