// EDIT: every selected record is rebuilt into a new line from the edit
// definitions, each placing one value (quoted text, constant or input field)
// at an output position and length, formatted and converted by the
// definition, when the definition's own conditions hold for the record.
#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "param/ConvParam.h"
#include "process/InputField.h"
#include "platform/Cp932.h"

namespace {

constexpr int kBadStatement = 10;
constexpr int kTooManyDefs = 24;
// Longest output line an EDIT definition may reach (10 MB).
constexpr long long kMaxEditLine = 10000000;
constexpr int kTooManyEditTerms = 25;
constexpr int kFieldBeyondRecord = 20;
constexpr int kValueTooLong = 21;

}  // namespace

int CConvParam::ParseEditStatement(const std::string& key) {
  if (++m_nEditLast >= kEditDefs) return kTooManyDefs;
  CEditDef& def = m_editDef[m_nEditLast];
  def.m_strConvType = key;

  int error = 0;
  m_syntax.ParseCondTerm(m_strLine, def.m_nPos, def.m_nLen, def.m_strType, def.m_strOp,
                         def.m_nRightPos, def.m_nRightLen, def.m_strRightType, def.m_strLiteral,
                         def.m_strConst, def.m_strRightConst, key, error);
  if (error != 0) return error;
  // Lines may grow past the work line, but a field ending beyond
  // kMaxEditLine bytes is a mistake in the parameter file, not a record
  // layout: refusing it here keeps a run from asking for gigabytes per line.
  if (static_cast<long long>(def.m_nPos) + def.m_nLen - 1 > kMaxEditLine) return kBadStatement;

  // The edit type is canonical now ("A" or "N" + flags + width + precision):
  // decode it once so that records are formatted without reading text.
  def.m_bNumeric = !def.m_strType.empty() && def.m_strType[0] == 'N';
  if (def.m_bNumeric) def.m_format = numeric::ParseNumFormat(std::string_view(def.m_strType).substr(1));
  // Most definitions move text unchanged; those are placed straight from the
  // record (or the quoted text) into the work line.
  def.m_bPlain = key == "EDT" && def.m_strType == "A" && def.m_strRightType == "A" &&
                 def.m_strRightConst.empty();

  if (m_strLine.empty()) return 0;
  return ParseCondList(m_strLine, &m_editCond[static_cast<size_t>(m_nEditLast) * kAndTerms],
                       kTooManyEditTerms);
}

void CConvParam::EditRecord(int& error, int inCount, int outCount, const std::string& fileName) {
  const bool bOptS = HasOption('S');
  const bool bOptN = HasOption('N');
  const bool bOptT = HasOption('T');

  // The work line is 100,000 blanks at the start of every record. Refilling
  // all of it per record would cost far more than most records, so only the
  // bytes the previous record wrote are blanked again, and a line that grew
  // past the buffer for a far-reaching field is cut back to its normal size.
  if (m_strWork.size() < kLineBuffer) {
    m_strWork.assign(kLineBuffer, ' ');
  } else {
    std::memset(m_strWork.data(), ' ', std::min(m_nWorkDirty, m_strWork.size()));
    m_strWork.resize(kLineBuffer);
  }
  m_nWorkDirty = 0;

  size_t nFurthestEnd = 0;  // output position + length of the furthest applied field
  const std::string_view record = m_strLine;

  for (int i = 0; i <= m_nEditLast && error == 0; ++i) {
    const CEditDef& def = m_editDef[i];

    // The definition's conditions see the unchanged input record.
    const CEditCond* conds = &m_editCond[static_cast<size_t>(i) * kAndTerms];
    const bool bApplies =
        conds[0].m_strKind.empty() || EvaluateCondList(conds, error, inCount, outCount, fileName);
    if (error != 0) break;
    if (!bApplies) continue;

    const size_t nPos = static_cast<size_t>(def.m_nPos) - 1;  // offset in the work line
    const size_t nLen = static_cast<size_t>(def.m_nLen);
    if (def.m_bPlain) {
      // A text placed as it is: padding to the length is blanks, so copying
      // the value and blanking the rest of the field is the whole edit.
      std::string_view value;
      if (!def.m_strLiteral.empty()) {
        value = def.m_strLiteral;
      } else if (!CutInputField(record, def.m_nRightPos, def.m_nRightLen, bOptS, value)) {
        error = kFieldBeyondRecord;
        break;
      }
      nFurthestEnd = std::max(nFurthestEnd, nPos + nLen + 1);
      if (value.size() > nLen) error = kValueTooLong;  // still placed, then the record stops
      const size_t nEnd = nPos + std::max(value.size(), nLen);
      if (nEnd > m_strWork.size()) m_strWork.resize(nEnd, ' ');
      if (!value.empty()) std::memcpy(m_strWork.data() + nPos, value.data(), value.size());
      if (value.size() < nLen) std::memset(m_strWork.data() + nPos + value.size(), ' ', nLen - value.size());
      m_nWorkDirty = std::max(m_nWorkDirty, nEnd);
      continue;
    }

    // The value: a view of the quoted text or the input field, or the
    // constant's value in m_strValue.
    std::string_view value;
    if (!def.m_strLiteral.empty()) {
      value = def.m_strLiteral;
    } else if (!def.m_strRightConst.empty()) {
      m_strValue.clear();
      m_valueEdit.GetConstantValue(def.m_strRightConst, fileName, inCount, outCount, m_strValue);
      value = m_strValue;
    } else if (!CutInputField(record, def.m_nRightPos, def.m_nRightLen, bOptS, value)) {
      error = kFieldBeyondRecord;
      break;
    }

    // Only a value of type N is tested; the "N.0" of a numeric constant
    // always holds a number. Type N is never justified, so a tested value
    // that is written as a number goes through test and format in one pass.
    const bool bTested = def.m_strRightType == "N" && !bOptN;
    if (bTested && def.m_bNumeric) {
      if (!numeric::FormatIfNumeric(value, def.m_format, m_strValue)) {
        error = 26;
        break;
      }
      m_valueEdit.EditValue(def.m_strConvType, nullptr, def.m_nLen, m_strValue);
    } else {
      if (bTested && m_syntax.CheckNumeric(value, error)) break;
      m_strValue.assign(value);
      m_valueEdit.JustifyValue(def.m_strRightType, m_strValue);
      m_valueEdit.EditValue(def.m_strConvType, def.m_bNumeric ? &def.m_format : nullptr,
                            def.m_nLen, m_strValue);
    }

    nFurthestEnd = std::max(nFurthestEnd, nPos + nLen + 1);
    if (m_strValue.size() != nLen) error = kValueTooLong;  // still placed, then the record stops

    // Overlay. A field reaching past the work line makes it longer: nothing
    // the user asked for is cut, and a field starting beyond it still lands
    // at its own position.
    const size_t nEnd = nPos + m_strValue.size();
    if (nEnd > m_strWork.size()) m_strWork.resize(nEnd, ' ');
    if (!m_strValue.empty()) std::memcpy(m_strWork.data() + nPos, m_strValue.data(), m_strValue.size());
    m_nWorkDirty = std::max(m_nWorkDirty, nEnd);
  }

  // The line ends with the last byte of the furthest field. Bytes beyond that
  // are blanks, so trimming the line itself is trimming the work line.
  std::string_view line(m_strWork.data(),
                        std::min(m_strWork.size(), nFurthestEnd == 0 ? 0 : nFurthestEnd - 1));
  if (bOptT) line = cp932::TrimRight(line);
  m_strLine.assign(line);
  m_strLine += '\n';
}
