// Reading statement values: the cursor, constants, numbers and types.
#include "job/StatementText.h"

#include <array>
#include <cstdint>
#include <limits>

#include "platform/Cp932.h"

void StatementText::Drop(size_t count) {
  rest_.remove_prefix(count);
  offset_ += count;
}

std::string_view StatementText::Since(size_t from) const {
  return cp932::TrimRight(line_.substr(from, offset_ - from));
}

void StatementText::TrimLeft() { Drop(rest_.size() - cp932::TrimLeft(rest_).size()); }

std::string_view StatementText::BeforeComma() const {
  const size_t comma = cp932::FindChar(rest_, ',');
  return comma == std::string_view::npos ? std::string_view() : rest_.substr(0, comma);
}

void StatementText::DropThroughComma() {
  const size_t comma = cp932::FindChar(rest_, ',');
  if (comma != std::string_view::npos) Drop(comma + 1);
}

std::string_view StatementText::TakeUntil(char c) {
  size_t end = cp932::FindChar(rest_, c);
  if (end == std::string_view::npos) end = rest_.size();
  std::string_view taken = rest_.substr(0, end);
  Drop(end);
  return taken;
}

bool StatementText::ReadQuoted(std::string& out) {
  out.clear();
  // Byte by byte is safe: a double quote is never the second byte of a
  // double-byte character.
  for (size_t i = 0; i < rest_.size(); ++i) {
    if (rest_[i] != '"') {
      out.push_back(rest_[i]);
    } else if (i + 1 < rest_.size() && rest_[i + 1] == '"') {
      out.push_back('"');
      ++i;
    } else {
      Drop(i + 1);
      return true;
    }
  }
  return false;
}

ErrorCode StatementText::ReadConstant(Constant& constant) {
  Drop(1);  // "["
  const size_t close = cp932::FindChar(rest_, ']');
  if (close == std::string_view::npos || !LookupConstant(rest_.substr(0, close), constant)) {
    return ErrorCode::kBadParameter;
  }
  Drop(close + 1);
  return ErrorCode::kNone;
}

ErrorCode StatementText::ApplySeparatorRule(char separator) {
  TrimLeft();
  Mark();
  if (rest_.empty()) return ErrorCode::kNone;
  if (rest_[0] == separator) {
    Drop(1);
    TrimLeft();
    if (!rest_.empty()) return ErrorCode::kNone;
  }
  return ErrorCode::kBadParameter;
}

ErrorCode ReadQuotedOrConstant(StatementText& text, Operand& operand) {
  text.Mark();
  if (text.Front() == '"') {
    operand.kind = Operand::Kind::kText;
    text.Drop(1);
    return text.ReadQuoted(operand.text) ? ErrorCode::kNone : ErrorCode::kBadParameter;
  }
  if (text.Front() == '[') {
    operand.kind = Operand::Kind::kConstant;
    return text.ReadConstant(operand.constant);
  }
  return ErrorCode::kBadParameter;  // empty, or neither form
}

ErrorCode ReadPositionAndLength(StatementText& text, FieldRef& field) {
  text.Mark();
  if (ErrorCode error = ReadPositiveNumber(text.BeforeComma(), field.position);
      error != ErrorCode::kNone) {
    return error;
  }
  text.DropThroughComma();
  text.Mark();
  if (ErrorCode error = ReadPositiveNumber(text.BeforeComma(), field.length);
      error != ErrorCode::kNone) {
    return error;
  }
  text.DropThroughComma();
  return ErrorCode::kNone;
}

namespace {

struct ConstantEntry {
  std::string_view name;
  Constant constant;
};

constexpr std::array<ConstantEntry, 9> kConstants = {{
    {"FILE", Constant::kFile},
    {"IN_LINE", Constant::kInLine},
    {"OUT_LINE", Constant::kOutLine},
    {"YYYY", Constant::kYear},
    {"MM", Constant::kMonth},
    {"DD", Constant::kDay},
    {"HO", Constant::kHour},
    {"MI", Constant::kMinute},
    {"SE", Constant::kSecond},
}};

constexpr size_t kLongestName = 8;  // "OUT_LINE"

}  // namespace

bool LookupConstant(std::string_view name, Constant& constant) {
  // Every name is short ASCII, so a text that is longer or holds any byte of
  // a double-byte character (a full-width letter upper-cases to full width)
  // can never match; only a-z needs upper-casing.
  if (name.empty() || name.size() > kLongestName) return false;
  char upper[kLongestName];
  for (size_t i = 0; i < name.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(name[i]);
    if (c >= 0x80) return false;
    upper[i] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : static_cast<char>(c);
  }
  const std::string_view upperName(upper, name.size());
  for (const ConstantEntry& entry : kConstants) {
    if (entry.name == upperName) {
      constant = entry.constant;
      return true;
    }
  }
  return false;
}

ErrorCode ReadPositiveNumber(std::string_view text, int32_t& value) {
  const std::string_view digits = cp932::Trim(text);
  int64_t number = 0;
  bool tooLarge = false;
  for (char c : digits) {
    if (c < '0' || c > '9') return ErrorCode::kNotDigits;
    number = number * 10 + (c - '0');
    // Leading zeros are allowed, so only the value decides; stop growing once
    // it is out of range but keep checking that every byte is a digit.
    if (number > std::numeric_limits<int32_t>::max()) {
      tooLarge = true;
      number = std::numeric_limits<int32_t>::max();
    }
  }
  if (tooLarge) return ErrorCode::kNotDigits;
  if (number == 0) return ErrorCode::kBadParameter;
  value = static_cast<int32_t>(number);
  return ErrorCode::kNone;
}

ErrorCode ReadFieldType(std::string_view text, FieldType& type) {
  static constexpr std::pair<std::string_view, FieldType> kTypes[] = {
      {"A", FieldType::kA}, {"AL", FieldType::kAL}, {"AR", FieldType::kAR},
      {"AT", FieldType::kAT}, {"N", FieldType::kN}};
  return LookUpWord(text, kTypes, type) ? ErrorCode::kNone : ErrorCode::kBadFieldType;
}

std::string TrimUpper(std::string_view text) {
  std::string result(cp932::Trim(text));
  cp932::UpperInPlace(result);
  return result;
}
