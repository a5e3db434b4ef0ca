// SEL statements and condition lists ("&"-joined AND terms) into condition
// records. Parsing happens once per statement; the records carry everything
// evaluation needs, including the operator decoded into m_eOp, so nothing is
// re-read per record.
#include "param/ConvParam.h"
#include "platform/Cp932.h"
#include "value/Numeric.h"

namespace {

// The operator forms the term parser accepts, decoded once.
ECondOp DecodeOperator(std::string_view op) {
  if (op == "=") return kOpEq;
  if (op == "!=" || op == "<>") return kOpNe;
  if (op == "<") return kOpLt;
  if (op == "<=" || op == "=<") return kOpLe;
  if (op == ">") return kOpGt;
  if (op == ">=" || op == "=>") return kOpGe;
  if (op == "==") return kOpContains;
  return kOpNone;
}

// A search term: a quoted text or a bracketed constant, then "&" or the end.
void ParseSearchTerm(const CSyntaxCheck& syntax, std::string& text, CSelCond& record,
                     int& error) {
  record.m_strKind = "SEA";
  cp932::TrimLeftInPlace(text);
  if (text[0] == '"') {
    text.erase(0, 1);
    if (!ReadQuoted(text, record.m_strLiteral)) {
      error = 10;
      return;
    }
  } else {
    text.erase(0, 1);  // "["
    size_t close = cp932::FindChar(text, ']');
    std::string_view name =
        close == std::string::npos ? std::string_view() : std::string_view(text).substr(0, close);
    if (syntax.LookupConstant(name, record.m_strType, record.m_strConst, error)) return;
    text.erase(0, close + 1);
  }
  // The separator rule after a term.
  cp932::TrimLeftInPlace(text);
  if (text.empty()) return;
  if (text[0] == '&') {
    text.erase(0, 1);
    cp932::TrimLeftInPlace(text);
    if (!text.empty()) return;
  }
  error = 10;
}

}  // namespace

int CConvParam::ParseSelStatement() {
  ++m_nSelLast;
  if (m_nSelLast >= kOrGroups) {
    // Keep the counter on the last real group, so nothing can ever index past
    // the array, even though the run ends with this error.
    m_nSelLast = kOrGroups - 1;
    return 22;
  }
  return ParseCondList(m_strLine, &m_selCond[static_cast<size_t>(m_nSelLast) * kAndTerms], 23);
}

int CConvParam::ParseCondList(std::string& text, CSelCond* records, int limitError) {
  int error = 0;
  int term = -1;
  while (!text.empty() && error == 0) {
    ++term;
    if (term >= kAndTerms) {
      error = limitError;
      break;
    }
    CSelCond& record = records[term];
    // The kind is decided on the first byte: the statement value and the text
    // after each separator are already trimmed.
    if (text[0] == '"' || text[0] == '[') {
      ParseSearchTerm(m_syntax, text, record, error);
    } else {
      record.m_strKind = "SEL";
      m_syntax.ParseCondTerm(text, record.m_nPos, record.m_nLen, record.m_strType,
                             record.m_strOp, record.m_nRightPos, record.m_nRightLen,
                             record.m_strRightType, record.m_strLiteral, record.m_strConst,
                             record.m_strRightConst, "SEL", error);
      record.m_eOp = DecodeOperator(record.m_strOp);
      // Option U cannot change either result: upper-casing leaves digits,
      // signs and the point alone and turns "e" into "E", read alike.
      if (error == 0 && record.m_strType == "N" && !record.m_strLiteral.empty()) {
        record.m_nLiteralNumeric = numeric::IsNumeric(record.m_strLiteral) ? 1 : -1;
        record.m_dLiteral = numeric::ReadNumber(record.m_strLiteral);
      }
    }
  }
  return error;
}
