// The statement reader: cleans one physical line of the parameter file,
// splits it into keyword and value and dispatches it. The value is left in
// m_strLine for the statement parsers; the outcome is left in m_nErr.
#include "param/ConvParam.h"
#include "platform/Cp932.h"

void CConvParam::ReadStatement(std::string_view line) {
  // The line is taken as a NUL-terminated text: bytes after a NUL are not seen.
  size_t nul = line.find('\0');
  if (nul != std::string_view::npos) line = line.substr(0, nul);

  m_strLine.assign(line.data(), line.size());
  cp932::TrimRightInPlace(m_strLine);  // the line feed goes with the white space
  if (m_strLine.empty()) return;       // blank lines are skipped, but counted by the caller
  if (m_strLine[0] == ';') return;     // comment: column 1 only
  cp932::TrimLeftInPlace(m_strLine);

  // Keyword: before the first "=", trimmed and upper-cased; empty without "=".
  std::string key;
  size_t eq = cp932::FindChar(m_strLine, '=');
  if (eq != std::string::npos) {
    key.assign(cp932::TrimRight(std::string_view(m_strLine).substr(0, eq)));
    cp932::UpperInPlace(key);
    m_strLine.erase(0, eq + 1);
    cp932::TrimLeftInPlace(m_strLine);
  }

  // An empty value is 10; every keyword except a first INP, OUT or ADD
  // replaces it below with the code of its own handling.
  if (m_strLine.empty()) m_nErr = 10;

  if (key == "INP") {
    if (!m_strInp.empty()) m_nErr = 11;
    m_strInp = m_strLine;
    m_strInpWritten = m_strLine;
  } else if (key == "OUT" || key == "ADD") {
    if (!m_strOut.empty()) m_nErr = 11;
    m_strOut = m_strLine;
    m_strOutWritten = m_strLine;
    m_szMode[0] = key == "OUT" ? 'w' : 'a';
    m_szMode[1] = '\0';
  } else if (key == "SEL") {
    m_nErr = ParseSelStatement();
  } else if (key == "OPT") {
    m_nErr = ParseOptStatement();
  } else if (key == "EDT" || key == "UPP" || key == "LOW" || key == "NAR" || key == "WID") {
    // The processing type in force at this line decides who reads it.
    if (m_strFunction == "CHANGE") {
      m_nErr = ParseChangeStatement(key);
    } else if (m_strFunction == "EDIT") {
      m_nErr = ParseEditStatement(key);
    } else if (m_strFunction == "CSV") {
      m_nErr = ParseCsvStatement(key);
    } else if (m_strFunction == "COPY") {
      m_nErr = 13;
    } else {
      m_nErr = 12;  // no FUNCTION statement before it
    }
  } else if (key == "FUNCTION") {
    m_nErr = ParseFunctionStatement();
  } else {
    m_nErr = 12;
  }
}
