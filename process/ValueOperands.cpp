// The value-operand parser of CHANGE and CSV definitions: one or two operands,
// each a quoted text or a built-in constant, read from the front of the
// statement value. What it leaves in `text` tells the caller what followed.
#include <string>
#include <string_view>

#include "cond/SyntaxCheck.h"
#include "platform/Cp932.h"

namespace {

constexpr int kSyntaxError = 10;

// Reads one operand from the front of `text` into `literal` (quoted form) or
// `type` and `constName` (constant form). Returns true after setting `error`.
bool ReadOperand(const CSyntaxCheck& syntax, std::string& text, std::string& literal,
                 std::string& constName, std::string& type, int& error) {
  if (text.empty()) {
    error = kSyntaxError;
    return true;
  }
  if (text[0] == '"') {
    text.erase(0, 1);
    literal.clear();
    if (!ReadQuoted(text, literal)) {
      error = kSyntaxError;
      return true;
    }
    return false;
  }
  if (text[0] == '[') {
    text.erase(0, 1);
    // A trail byte equal to ']' belongs to its double-byte character and does
    // not close the name.
    const size_t close = cp932::FindChar(text, ']');
    if (close == std::string::npos) {
      error = kSyntaxError;  // no closing bracket: the name is empty
      return true;
    }
    if (syntax.LookupConstant(std::string_view(text).substr(0, close), type, constName, error))
      return true;
    text.erase(0, close + 1);
    return false;
  }
  error = kSyntaxError;
  return true;
}

}  // namespace

void CSyntaxCheck::ParseValueOperands(std::string& text, std::string& text1, std::string& text2,
                                      std::string& const1, std::string& const2,
                                      std::string& type1, std::string& type2,
                                      std::string_view kind, int& error) const {
  const bool bCsv = kind == "CSV";

  cp932::TrimLeftInPlace(text);
  if (ReadOperand(*this, text, text1, const1, type1, error)) return;

  cp932::TrimLeftInPlace(text);
  if (text.empty()) {
    if (!bCsv) error = kSyntaxError;  // CHANGE needs its replacement text
    return;
  }
  if (text[0] != ',') {
    error = kSyntaxError;
    return;
  }
  text.erase(0, 1);
  cp932::TrimLeftInPlace(text);
  if (ReadOperand(*this, text, text2, const2, type2, error)) return;

  cp932::TrimLeftInPlace(text);
  if (bCsv || text.empty()) return;  // CSV judges the rest itself
  if (text[0] != '@') {
    error = kSyntaxError;
    return;
  }
  text.erase(0, 1);
  cp932::TrimLeftInPlace(text);
  if (text.empty()) error = kSyntaxError;  // "@" must be followed by a condition
}
