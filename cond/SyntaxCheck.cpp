// Checks and the term parser of the condition language. Everything here runs
// once per statement while the parameter file is read; texts are code page 932
// and every search for a separator is character-aligned, so the second byte of
// a double-byte character (0x95 0x5C, 0x83 0x41 ...) is never taken for one.
#include <cstdint>
#include <limits>

#include "cond/SyntaxCheck.h"
#include "platform/Cp932.h"
#include "value/Numeric.h"

namespace {

// The text before the first "," of `text` (empty when there is none).
std::string_view FieldBeforeComma(const std::string& text) {
  size_t comma = cp932::FindChar(text, ',');
  return comma == std::string::npos ? std::string_view() : std::string_view(text).substr(0, comma);
}

// Drops the text through the first ","; without a comma the text stays as it is.
void DropThroughComma(std::string& text) {
  size_t comma = cp932::FindChar(text, ',');
  if (comma != std::string::npos) text.erase(0, comma + 1);
}

// Trimmed on both sides and upper-cased (a-z and double-byte letters).
std::string TrimUpper(std::string_view text) {
  std::string result(cp932::Trim(text));
  cp932::UpperInPlace(result);
  return result;
}

char FirstChar(std::string_view text) { return text.empty() ? '\0' : text[0]; }

// After a term: nothing (the list ends), or the separator followed by more.
// A separator with nothing after it, or any other text, is error 10.
bool ApplySeparatorRule(std::string& text, char separator, int& error) {
  cp932::TrimLeftInPlace(text);
  if (text.empty()) return false;
  if (text[0] == separator) {
    text.erase(0, 1);
    cp932::TrimLeftInPlace(text);
    if (!text.empty()) return false;
  }
  error = 10;
  return true;
}

// "[NAME]..." with the "[" already dropped: the name is the text before the
// first "]" (empty when there is none), and the text continues after it.
bool ReadConstant(const CSyntaxCheck& syntax, std::string& text, std::string& type,
                  std::string& canonicalName, int& error) {
  size_t close = cp932::FindChar(text, ']');
  std::string_view name =
      close == std::string::npos ? std::string_view() : std::string_view(text).substr(0, close);
  if (syntax.LookupConstant(name, type, canonicalName, error)) return true;
  text.erase(0, close + 1);
  return false;
}

}  // namespace

bool ReadQuoted(std::string& text, std::string& out) {
  out.clear();
  // Byte by byte is safe: a double quote is never the second byte of a
  // double-byte character.
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '"') {
      out.push_back(text[i]);
    } else if (i + 1 < text.size() && text[i + 1] == '"') {
      out.push_back('"');
      ++i;
    } else {
      text.erase(0, i + 1);
      return true;
    }
  }
  return false;
}

bool CSyntaxCheck::CheckNumber(std::string_view text, int& error, int& value) const {
  std::string_view digits = cp932::Trim(text);
  int64_t number = 0;
  bool tooLarge = false;
  for (char c : digits) {
    if (c < '0' || c > '9') {
      error = 14;
      return true;
    }
    number = number * 10 + (c - '0');
    // Leading zeros are allowed, so only the value decides; stop growing once
    // it is out of range but keep checking that every byte is a digit.
    if (number > std::numeric_limits<int32_t>::max()) {
      tooLarge = true;
      number = std::numeric_limits<int32_t>::max();
    }
  }
  if (tooLarge) {
    error = 14;
    return true;
  }
  if (number == 0) {
    error = 10;
    return true;
  }
  value = static_cast<int>(number);
  return false;
}

bool CSyntaxCheck::CheckCompareType(std::string_view type, int& error) const {
  if (type == "AR" || type == "AL" || type == "AT" || type == "A" || type == "N") return false;
  error = 18;
  return true;
}

bool CSyntaxCheck::CheckOperator(std::string_view mode, std::string_view op, int& error) const {
  if (mode == "SEL") {
    static constexpr std::string_view kForms[] = {"=",  "!=", "<>", "<",  "<=",
                                                  "=<", ">",  ">=", "=>", "=="};
    for (std::string_view form : kForms) {
      if (op == form) return false;
    }
  } else if (op == "=") {
    return false;
  }
  error = 19;
  return true;
}

bool CSyntaxCheck::CheckEditType(std::string_view convType, std::string& editType,
                                 std::string_view lengthText, int& error) const {
  int code = numeric::MakeCanonicalEditType(convType, editType, lengthText);
  if (code == 0) return false;
  error = code;
  return true;
}

bool CSyntaxCheck::CheckNumeric(std::string_view value, int& error) const {
  if (numeric::IsNumeric(value)) return false;
  error = 26;
  return true;
}

void CSyntaxCheck::ParseCondTerm(std::string& text, int& pos, int& len, std::string& type,
                                 std::string& op, int& rightPos, int& rightLen,
                                 std::string& rightType, std::string& literal,
                                 std::string& leftConst, std::string& rightConst,
                                 std::string_view mode, int& error) const {
  (void)leftConst;  // a constant is never the left operand; the slot stays as it was
  const bool conditionMode = (mode == "SEL");
  const char separator = conditionMode ? '&' : '@';

  pos = len = rightPos = rightLen = 0;
  type.clear();
  rightType.clear();
  op.clear();
  literal.clear();
  cp932::TrimLeftInPlace(text);

  // Left operand: position, length, type.
  if (!conditionMode && !text.empty() && text[0] == '[') {
    error = 10;
    return;
  }
  if (CheckNumber(FieldBeforeComma(text), error, pos)) return;
  DropThroughComma(text);
  std::string lengthText(FieldBeforeComma(text));
  if (CheckNumber(lengthText, error, len)) return;
  DropThroughComma(text);
  type = TrimUpper(FieldBeforeComma(text));
  DropThroughComma(text);

  // Operator, as written apart from the blanks around it.
  op.assign(cp932::Trim(FieldBeforeComma(text)));
  if (CheckOperator(mode, op, error)) return;
  DropThroughComma(text);
  cp932::TrimLeftInPlace(text);

  // Right operand: quoted text, constant or field.
  if (!text.empty() && text[0] == '"') {
    text.erase(0, 1);
    if (!ReadQuoted(text, literal)) {
      error = 10;
      return;
    }
  } else if (!text.empty() && text[0] == '[') {
    text.erase(0, 1);
    if (ReadConstant(*this, text, rightType, rightConst, error)) return;
  } else {
    if (CheckNumber(FieldBeforeComma(text), error, rightPos)) return;
    DropThroughComma(text);
    if (CheckNumber(FieldBeforeComma(text), error, rightLen)) return;
    DropThroughComma(text);
    cp932::TrimLeftInPlace(text);
    size_t end = cp932::FindChar(text, separator);
    if (end == std::string::npos) end = text.size();
    rightType = TrimUpper(std::string_view(text).substr(0, end));
    text.erase(0, end);
  }

  if (conditionMode) {
    // An empty literal means the right side is a field, a constant or "";
    // its type must then agree with the left one and be a comparison type.
    if (literal.empty()) {
      if (FirstChar(rightType) != FirstChar(type)) {
        error = 16;
        return;
      }
      if (CheckCompareType(rightType, error)) return;
    }
    if (CheckCompareType(type, error)) return;
    // The contains test exists for string types only.
    if (FirstChar(type) == 'N' && op == "==") {
      error = 18;
      return;
    }
  } else {
    if (literal.empty() && rightConst.empty() && CheckCompareType(rightType, error)) return;
    if (CheckEditType(mode, type, lengthText, error)) return;
    if (rightType.empty()) rightType.assign(1, type[0]);
    if (FirstChar(rightType) != FirstChar(type)) {
      error = 16;
      return;
    }
  }

  ApplySeparatorRule(text, separator, error);
}
