// Evaluation of condition records against the current record (m_strLine):
// the selection test over the SEL groups, one AND list, and one term.
//
// This runs for every record, so it allocates nothing once the work buffers
// have grown: fields are views into m_strLine, justification trims views,
// constants are written into m_strConstValue and option U upper-cases into
// m_strUpper/m_strUpperSearch (search terms) or m_strLeft/m_strRight
// (comparisons). Records are read through references and never copied.
#include "param/ConvParam.h"
#include "platform/Cp932.h"
#include "value/Numeric.h"

namespace {

// The field of `len` bytes at byte `pos` (from 1), or false when it does not
// end within the record. 64-bit arithmetic: pos and len may each be as large
// as a 32-bit integer allows.
bool CutField(std::string_view line, int32_t pos, int32_t len, std::string_view& field) {
  if (pos < 1 || len < 0 ||
      static_cast<int64_t>(pos) + len - 1 > static_cast<int64_t>(line.size())) {
    return false;
  }
  field = line.substr(static_cast<size_t>(pos) - 1, static_cast<size_t>(len));
  return true;
}

bool HoldsForOrder(ECondOp op, int order) {
  switch (op) {
    case kOpEq: return order == 0;
    case kOpNe: return order != 0;
    case kOpLt: return order < 0;
    case kOpLe: return order <= 0;
    case kOpGt: return order > 0;
    case kOpGe: return order >= 0;
    default: return false;
  }
}

bool HoldsForNumbers(ECondOp op, double left, double right) {
  switch (op) {
    case kOpEq: return left == right;
    case kOpNe: return left != right;
    case kOpLt: return left < right;
    case kOpLe: return left <= right;
    case kOpGt: return left > right;
    case kOpGe: return left >= right;
    default: return false;  // "==" is refused for numbers when parsed
  }
}

}  // namespace

bool CConvParam::IsRecordSelected(int& error, int inCount, int outCount,
                                  const std::string& fileName) {
  if (m_nSelLast < 0) return true;  // no SEL statement: every record
  const int last = m_nSelLast < kOrGroups ? m_nSelLast : kOrGroups - 1;
  for (int group = 0; group <= last; ++group) {
    bool holds = EvaluateCondList(&m_selCond[static_cast<size_t>(group) * kAndTerms], error,
                                  inCount, outCount, fileName);
    if (error != 0) return false;
    if (holds) return true;
  }
  return false;
}

bool CConvParam::EvaluateCondList(const CSelCond* records, int& error, int inCount, int outCount,
                                  const std::string& fileName) {
  // AND with short-circuit: terms after the first false one are not looked
  // at, so they can raise no error. A list without terms holds.
  bool holds = true;
  for (int term = 0; term < kAndTerms; ++term) {
    const CSelCond& record = records[term];
    if (error != 0 || !holds || record.m_strKind.empty()) break;
    holds = EvaluateCondTerm(record, inCount, outCount, fileName, error);
  }
  return holds;
}

bool CConvParam::EvaluateCondTerm(const CSelCond& record, int inCount, int outCount,
                                  const std::string& fileName, int& error) {
  // Kinds are "SEA" and "SEL" (an empty kind never gets here): the last
  // byte tells them apart without a string comparison per term.
  if (record.m_strKind.back() == 'A') {
    std::string_view text = m_strLine;
    std::string_view search = record.m_strLiteral;
    if (!record.m_strConst.empty()) {
      m_valueEdit.GetConstantValue(record.m_strConst, fileName, inCount, outCount,
                                   m_strConstValue);
      search = m_strConstValue;
    }
    if (HasOption('U')) {
      cp932::UpperInto(text, m_strUpper);
      cp932::UpperInto(search, m_strUpperSearch);
      text = m_strUpper;
      search = m_strUpperSearch;
    }
    // An empty search text is found in every record except the empty one.
    return cp932::FindAligned(text, search) != std::string_view::npos;
  }

  // Comparison term. A field beyond the record is false under option S and
  // error 20 otherwise; the right operand is not looked at when the left
  // field is already out of range.
  const std::string_view line = m_strLine;
  std::string_view left;
  if (!CutField(line, record.m_nPos, record.m_nLen, left)) {
    if (!HasOption('S')) error = 20;
    return false;
  }
  left = CValueEdit::JustifyView(record.m_strType, left);

  // A quoted text and a constant are taken as they are; a field is justified.
  std::string_view right;
  if (!record.m_strLiteral.empty()) {
    right = record.m_strLiteral;
  } else if (!record.m_strRightConst.empty()) {
    m_valueEdit.GetConstantValue(record.m_strRightConst, fileName, inCount, outCount,
                                 m_strConstValue);
    right = m_strConstValue;
  } else {
    if (!CutField(line, record.m_nRightPos, record.m_nRightLen, right)) {
      if (!HasOption('S')) error = 20;
      return false;
    }
    right = CValueEdit::JustifyView(record.m_strRightType, right);
  }

  if (!record.m_strType.empty() && record.m_strType[0] == 'A') {
    if (HasOption('U')) {
      cp932::UpperInto(left, m_strLeft);
      cp932::UpperInto(right, m_strRight);
      left = m_strLeft;
      right = m_strRight;
    }
    if (record.m_eOp == kOpContains) {
      return cp932::FindAligned(left, right) != std::string_view::npos;
    }
    return HoldsForOrder(record.m_eOp, cp932::Compare(left, right));
  }

  // Numeric comparison: both values must pass the numeric test unless option
  // N is on; then each is read as far as it is a number. A quoted right
  // operand was tested and read once when it was parsed. Option U is not
  // applied here: upper-casing leaves digits, signs, blanks and the point as
  // they are and turns "e" into "E", which reads alike, so it cannot change a
  // test or a number.
  const bool literalDecided = !record.m_strLiteral.empty() && record.m_nLiteralNumeric != 0;
  double leftNumber = 0.0;
  double rightNumber = 0.0;
  if (HasOption('N')) {
    leftNumber = numeric::ReadNumber(left);
    rightNumber = literalDecided ? record.m_dLiteral : numeric::ReadNumber(right);
  } else {
    // The left value is tested first, then the right one.
    if (!numeric::ReadIfNumeric(left, leftNumber)) {
      error = 26;
      return false;
    }
    if (literalDecided) {
      rightNumber = record.m_dLiteral;
      if (record.m_nLiteralNumeric < 0) error = 26;
    } else if (!numeric::ReadIfNumeric(right, rightNumber)) {
      error = 26;
    }
    if (error != 0) return false;
  }
  return HoldsForNumbers(record.m_eOp, leftNumber, rightNumber);
}
