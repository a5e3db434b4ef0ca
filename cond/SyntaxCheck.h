// CSyntaxCheck: the checks and parsers used while statements are read — the
// constant-name check, the condition-term parser with its number, type and
// operator checks, the value-operand parser — and the numeric test, which the
// record steps use as well. Holds no state. Validators return true when they
// have failed and write the code through `error`; parsers write `error`.
#pragma once

#include <string>
#include <string_view>

class CSyntaxCheck {
 public:
  // Built-in constant by name (case-blind, no trimming). On success sets `type`
  // ("A" or "N.0") and `canonicalName` (upper case) and returns false; else
  // sets error 10 and returns true.
  bool LookupConstant(std::string_view name, std::string& type, std::string& canonicalName,
                      int& error) const;

  // Position or length: digits only after trimming (else 14), not 0 or empty
  // (else 10), within a 32-bit signed integer (else 14).
  bool CheckNumber(std::string_view text, int& error, int& value) const;
  // Exactly "AR", "AL", "AT", "A" or "N"; else 18.
  bool CheckCompareType(std::string_view type, int& error) const;
  // Operator accepted for the mode ("SEL": the ten comparison forms; an edit
  // keyword: "=" only); else 19.
  bool CheckOperator(std::string_view mode, std::string_view op, int& error) const;
  // Edit type check; rewrites `editType` into its canonical form; 17 or 27.
  bool CheckEditType(std::string_view convType, std::string& editType, std::string_view lengthText,
                     int& error) const;
  // Numeric test of a value; sets 26 and returns true when it is not numeric.
  bool CheckNumeric(std::string_view value, int& error) const;

  // One comparison term (mode "SEL") or one EDIT definition (mode = the edit
  // keyword) from the front of `text`; consumes it and the separator after it
  // ("&" or "@"). Sets `error` on failure.
  void ParseCondTerm(std::string& text, int& pos, int& len, std::string& type, std::string& op,
                     int& rightPos, int& rightLen, std::string& rightType, std::string& literal,
                     std::string& leftConst, std::string& rightConst, std::string_view mode,
                     int& error) const;

  // One or two value operands (quoted texts or constants) from the front of
  // `text`. kind "CSV": second operand optional, rest left for the caller;
  // any other kind: both required, then nothing or "@" and a condition list,
  // which is left in `text`. Sets error 10 on failure.
  void ParseValueOperands(std::string& text, std::string& text1, std::string& text2,
                          std::string& const1, std::string& const2, std::string& type1,
                          std::string& type2, std::string_view kind, int& error) const;
};

// The quoted-string rule: the opening quote has been dropped; reads up to the
// closing quote (a doubled quote stands for one) into `out` and removes the
// consumed text from `text`. Returns false when there is no closing quote.
bool ReadQuoted(std::string& text, std::string& out);
