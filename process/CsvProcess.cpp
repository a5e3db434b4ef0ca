// CSV: every selected record becomes one line of tab-separated values, one per
// edit definition, preceded once per input file by a line of header names
// when option H is set. Values are written unquoted, exactly as prepared.
#include <algorithm>
#include <string>
#include <string_view>
#include <utility>

#include "param/ConvParam.h"
#include "platform/Cp932.h"
#include "process/InputField.h"
#include "value/Numeric.h"

namespace {

constexpr int kSyntaxError = 10;
constexpr int kTooManyDefs = 24;
constexpr int kFieldBeyondRecord = 20;
constexpr int kNotNumeric = 26;
constexpr int kOutputFailed = 91;

// The text before the first comma, or the empty text when there is none.
std::string_view ItemBeforeComma(std::string_view text) {
  const size_t comma = cp932::FindChar(text, ',');
  return comma == std::string_view::npos ? std::string_view() : text.substr(0, comma);
}

// Removes the item and its comma; removes nothing when there is no comma.
void DropThroughComma(std::string& text) {
  const size_t comma = cp932::FindChar(text, ',');
  if (comma != std::string::npos) text.erase(0, comma + 1);
}

}  // namespace

int CConvParam::ParseCsvStatement(const std::string& key) {
  if (++m_nEditLast >= kEditDefs) return kTooManyDefs;
  CEditDef& def = m_editDef[m_nEditLast];
  def.m_strConvType = key;

  // A quoted text or a constant, optionally followed by a header name.
  if (!m_strLine.empty() && (m_strLine[0] == '"' || m_strLine[0] == '[')) {
    def.m_bQuoted = m_strLine[0] == '"';
    int error = 0;
    m_syntax.ParseValueOperands(m_strLine, def.m_strLeftLiteral, def.m_strLiteral,
                                def.m_strConst, def.m_strRightConst, def.m_strType,
                                def.m_strRightType, "CSV", error);
    if (!m_strLine.empty()) return kSyntaxError;  // CSV values carry no conditions
    if (error != 0) return error;
    // A constant's type is "A" or "N.0"; "N.0" writes a whole number.
    def.m_bNumeric = !def.m_strType.empty() && def.m_strType[0] == 'N';
    if (def.m_bNumeric) def.m_format = numeric::ParseNumFormat(std::string_view(def.m_strType).substr(1));
    return 0;
  }

  // An input field: position, length, type, optionally a quoted header name.
  int error = 0;
  if (m_syntax.CheckNumber(ItemBeforeComma(m_strLine), error, def.m_nPos)) return error;
  DropThroughComma(m_strLine);
  if (m_syntax.CheckNumber(ItemBeforeComma(m_strLine), error, def.m_nLen)) return error;
  DropThroughComma(m_strLine);

  const size_t comma = cp932::FindChar(m_strLine, ',');
  if (comma == std::string::npos) {
    def.m_strType.assign(m_strLine);
    m_strLine.clear();
  } else {
    def.m_strType.assign(m_strLine, 0, comma);
    m_strLine.erase(0, comma);  // the comma stays: it introduces the header name
  }
  cp932::TrimLeftInPlace(m_strLine);
  cp932::TrimInPlace(def.m_strType);
  cp932::UpperInPlace(def.m_strType);
  if (m_syntax.CheckCompareType(def.m_strType, error)) return error;
  def.m_bNumeric = def.m_strType == "N";
  if (def.m_bNumeric) def.m_format = numeric::ParseNumFormat("");  // %f: six decimals

  if (m_strLine.empty()) return 0;

  // The header name: the quoted text after the comma, without doubled-quote
  // escapes. (The double quote is never the second byte of a double-byte
  // character, so a byte search is safe.)
  const size_t open = m_strLine.find('"');
  if (open == std::string::npos) return kSyntaxError;
  const size_t close = m_strLine.find('"', open + 1);
  if (close == std::string::npos || close == open + 1) return kSyntaxError;
  def.m_strLiteral.assign(m_strLine, open + 1, close - open - 1);
  m_strLine.erase(0, close + 1);
  cp932::TrimLeftInPlace(m_strLine);
  return m_strLine.empty() ? 0 : kSyntaxError;
}

void CConvParam::CsvRecord(int& error, int inCount, int outCount, const std::string& fileName) {
  const bool bOptS = HasOption('S');
  const bool bOptN = HasOption('N');

  // The output count restarts for every input file, so the header goes out
  // just before the first output line of each input file.
  if (outCount == 1 && HasOption('H')) {
    m_strResult.clear();
    for (int i = 0; i <= m_nEditLast; ++i) {
      const CEditDef& def = m_editDef[i];
      if (!def.m_strRightConst.empty()) {
        m_strValue.clear();
        m_valueEdit.GetConstantValue(def.m_strRightConst, fileName, inCount, 1, m_strValue);
        m_strResult += m_strValue;
      } else {
        m_strResult += def.m_strLiteral;
      }
      m_strResult += '\t';
    }
    if (!m_strResult.empty()) m_strResult.pop_back();
    m_strResult += '\n';
    if (!m_fpOut.Write(m_strResult)) {
      error = kOutputFailed;
      m_strLine += '\n';
      return;
    }
  }

  const std::string_view record = m_strLine;
  m_strResult.clear();
  for (int i = 0; i <= m_nEditLast; ++i) {
    const CEditDef& def = m_editDef[i];

    // The value: a view of the quoted text or the input field, or the
    // constant's value in m_strValue.
    std::string_view value;
    if (def.m_bQuoted) {
      value = def.m_strLeftLiteral;
    } else if (!def.m_strConst.empty()) {
      m_strValue.clear();
      m_valueEdit.GetConstantValue(def.m_strConst, fileName, inCount, outCount, m_strValue);
      value = m_strValue;
    } else if (!CutInputField(record, def.m_nPos, def.m_nLen, bOptS, value)) {
      error = kFieldBeyondRecord;
      break;
    }

    // Numeric types are never justified: a tested value goes through the
    // numeric test and the number format in one pass, as under EDIT.
    if (def.m_bNumeric && !bOptN) {
      if (!numeric::FormatIfNumeric(value, def.m_format, m_strValue)) {
        error = kNotNumeric;
        break;
      }
      m_valueEdit.EditValue(def.m_strConvType, nullptr, 0, m_strValue);
    } else {
      m_strValue.assign(value);
      m_valueEdit.JustifyValue(def.m_strType, m_strValue);
      m_valueEdit.EditValue(def.m_strConvType, def.m_bNumeric ? &def.m_format : nullptr, 0,
                            m_strValue);
    }
    m_strResult += m_strValue;
    m_strResult += '\t';
  }

  if (!m_strResult.empty()) m_strResult.pop_back();
  m_strResult += '\n';
  std::swap(m_strLine, m_strResult);
}
