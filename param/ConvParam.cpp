// CConvParam: construction, the OPT and FUNCTION statements and the folder
// test of the output value.
#include "param/ConvParam.h"

#include "platform/Cp932.h"

CConvParam::CConvParam(Platform& platform)
    : m_selCond(new CSelCond[kOrGroups * kAndTerms]),
      m_editDef(new CEditDef[kEditDefs]),
      m_editCond(new CEditCond[kEditDefs * kAndTerms]),
      m_valueEdit(&platform),
      m_platform(platform) {}

// OPT = -letters. The letters are not checked here: each option is on when
// its letter appears anywhere in the text, and a later OPT replaces an earlier
// one. A failed statement leaves the earlier letters as they were.
int CConvParam::ParseOptStatement() {
  if (m_strLine.empty() || m_strLine[0] != '-') return 10;
  m_strOption.assign(m_strLine, 1, std::string::npos);
  cp932::UpperInPlace(m_strOption);
  return 0;
}

// FUNCTION = COPY | CSV | EDIT | CHANGE, in any letter case, at most once.
// A second FUNCTION statement is refused even when it repeats the first
// value: the type decides how every later edit statement is read, so it must
// not change (or seem to change) in the middle of the file.
int CConvParam::ParseFunctionStatement() {
  cp932::UpperInPlace(m_strLine);
  if (m_strLine != "CHANGE" && m_strLine != "COPY" && m_strLine != "EDIT" && m_strLine != "CSV")
    return 12;
  if (!m_strFunction.empty()) return 12;
  m_strFunction = m_strLine;
  return 0;
}

// The output value names a folder when its last character is "/" or a
// single-byte "\". The value is stepped through character by character, so
// a double-byte character whose second byte is 0x5C (for example 0x95 0x5C)
// at the end names a file, not a folder.
bool CConvParam::IsFolderMode() const {
  const std::string& out = m_strOut;
  if (out.empty()) return false;
  size_t i = 0;
  size_t last = 0;
  while (i < out.size()) {
    last = i;
    i += cp932::CharLen(out, i);
  }
  if (i - last != 1) return false;  // ends in a double-byte character
  return out[last] == '/' || out[last] == '\\';
}
