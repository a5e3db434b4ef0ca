// CHANGE: every selected record is written with search texts replaced by
// replacement texts, definition after definition, each definition applied
// only when its own conditions hold for the record as the earlier
// definitions have left it.
#include <string>
#include <string_view>
#include <utility>

#include "param/ConvParam.h"
#include "platform/Cp932.h"

namespace {

constexpr int kBadEditType = 17;
constexpr int kTooManyDefs = 24;
constexpr int kTooManyEditTerms = 25;
constexpr int kLineTooLong = 21;
// Longest line a definition may leave, as for EDIT (10 MB). Each definition
// works on the result of the one before, so without a bound a few
// definitions whose replacement is longer than their search text multiply
// the line's length (300 definitions turning "a" into "aa" would double it
// 300 times); a record that reaches the bound stops with 21 instead.
constexpr size_t kMaxChangeLine = 10000000;

}  // namespace

int CConvParam::ParseChangeStatement(const std::string& key) {
  if (key != "EDT") return kBadEditType;  // CHANGE converts nothing: only EDT is meaningful
  if (++m_nEditLast >= kEditDefs) return kTooManyDefs;
  CEditDef& def = m_editDef[m_nEditLast];
  def.m_strConvType = "EDT";

  int error = 0;
  m_syntax.ParseValueOperands(m_strLine, def.m_strLeftLiteral, def.m_strLiteral, def.m_strConst,
                              def.m_strRightConst, def.m_strType, def.m_strRightType, "CHA",
                              error);
  if (error != 0 || m_strLine.empty()) return error;
  return ParseCondList(m_strLine, &m_editCond[static_cast<size_t>(m_nEditLast) * kAndTerms],
                       kTooManyEditTerms);
}

void CConvParam::ChangeRecord(int& error, int inCount, int outCount, const std::string& fileName) {
  const bool bOptU = HasOption('U');

  for (int i = 0; i <= m_nEditLast && error == 0; ++i) {
    const CEditDef& def = m_editDef[i];

    // The conditions see the record as the earlier definitions left it.
    const bool bApplies = EvaluateCondList(&m_editCond[static_cast<size_t>(i) * kAndTerms], error,
                                           inCount, outCount, fileName);
    if (error != 0 || !bApplies) continue;

    std::string_view search = def.m_strLeftLiteral;
    if (!def.m_strConst.empty()) {
      m_strLeft.clear();
      m_valueEdit.GetConstantValue(def.m_strConst, fileName, inCount, outCount, m_strLeft);
      search = m_strLeft;
    }
    // An empty search text would match before every character and never let
    // the replacement loop advance: it changes nothing.
    if (search.empty()) continue;

    std::string_view replacement = def.m_strLiteral;
    if (!def.m_strRightConst.empty()) {
      m_strRight.clear();
      m_valueEdit.GetConstantValue(def.m_strRightConst, fileName, inCount, outCount, m_strRight);
      replacement = m_strRight;
    }

    // Matches are found in `haystack`; the output bytes always come from the
    // record itself, so a case-blind search keeps the record's own letters.
    // Upper-casing keeps every byte length and every lead byte, so offsets in
    // the copy are offsets in the record.
    std::string_view haystack = m_strLine;
    std::string_view needle = search;
    if (bOptU) {
      cp932::UpperInto(m_strLine, m_strCopy);
      cp932::UpperInto(search, m_strUpperSearch);
      haystack = m_strCopy;
      needle = m_strUpperSearch;
    }

    m_strResult.clear();
    size_t nDone = 0;  // bytes of the record already moved to the result
    bool bChanged = false;
    bool bTooLong = false;
    while (nDone < haystack.size()) {
      // The rest after a match is searched as a text of its own, so a search
      // text that ends in a lone lead byte cannot shift the character grid.
      const size_t k = cp932::FindAligned(haystack.substr(nDone), needle);
      if (k == std::string_view::npos) break;
      if (m_strResult.size() + k + replacement.size() > kMaxChangeLine) {
        bTooLong = true;
        break;
      }
      m_strResult.append(m_strLine, nDone, k);
      m_strResult.append(replacement);
      nDone += k + needle.size();
      bChanged = true;
    }
    if (bTooLong || m_strResult.size() + (m_strLine.size() - nDone) > kMaxChangeLine) {
      error = kLineTooLong;  // the record is not written; the run stops here
      break;
    }
    if (!bChanged) continue;
    m_strResult.append(m_strLine, nDone, std::string::npos);
    std::swap(m_strLine, m_strResult);
  }

  if (HasOption('T')) cp932::TrimRightInPlace(m_strLine);
  m_strLine += '\n';
}
