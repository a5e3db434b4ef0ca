// CConvParam: everything one conversion run needs — the parsed statements in
// three fixed record arrays, the file settings, options and processing type,
// the open files, the current statement or record, the per-file counters and
// the current error code. The run driver creates exactly one per run.
//
// Statement parsers are operations of this class that read the statement value
// from m_strLine and return an error code (0 = success). Record steps read the
// current record from m_strLine, rewrite it into the output text and report
// failure only through the error code they are handed (m_nErr). Nothing here
// prints.
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "cond/SyntaxCheck.h"
#include "platform/Cp932.h"
#include "platform/Platform.h"
#include "platform/TextIo.h"
#include "value/Numeric.h"
#include "value/ValueEdit.h"

// Comparison operator of a condition term, decoded once when it is parsed.
enum ECondOp : int8_t { kOpNone, kOpEq, kOpNe, kOpLt, kOpLe, kOpGt, kOpGe, kOpContains };

// One condition term: a search term (kind "SEA") or a comparison term ("SEL").
// An empty kind is a free slot and ends its AND list.
struct CSelCond {
  std::string m_strKind;
  std::string m_strLiteral;     // search text, or right operand as a quoted text (unescaped)
  std::string m_strOp;          // operator as written, trimmed
  std::string m_strType;        // left comparison type; constant's type for a search term
  std::string m_strRightType;   // right comparison type or right constant's type
  std::string m_strConst;       // search term's constant name (upper case, no brackets)
  std::string m_strRightConst;  // right operand's constant name
  int32_t m_nPos = 0;
  int32_t m_nLen = 0;
  int32_t m_nRightPos = 0;
  int32_t m_nRightLen = 0;
  ECondOp m_eOp = kOpNone;      // m_strOp decoded by the parser
  // A quoted right operand of an N comparison never changes, so the parser
  // decides its numeric test and its value once: 1 a number, -1 not a number,
  // 0 not decided (evaluation then tests and reads the text itself).
  int8_t m_nLiteralNumeric = 0;
  double m_dLiteral = 0;
};

// Condition terms of edit definitions have the same layout.
using CEditCond = CSelCond;

// One edit definition (EDT, UPP, LOW, NAR, WID). The roles of the fields
// depend on the processing type; see docs/design.md.
struct CEditDef {
  std::string m_strConvType;
  std::string m_strLeftLiteral;
  std::string m_strLiteral;
  std::string m_strType;
  std::string m_strRightType;
  std::string m_strOp;
  std::string m_strConst;
  std::string m_strRightConst;
  int32_t m_nPos = 0;
  int32_t m_nLen = 0;
  int32_t m_nRightPos = 0;
  int32_t m_nRightLen = 0;
  // Decoded once when parsed, so records are processed without re-reading text.
  bool m_bQuoted = false;        // CSV: the value was written as a quoted text
  bool m_bNumeric = false;       // the edit type (EDIT) or value type (CSV) starts with "N"
  numeric::NumFormat m_format;  // numeric format when m_bNumeric
  bool m_bPlain = false;         // EDIT: EDT of a text as it is (edit type and value type "A")
};

class CConvParam {
 public:
  static constexpr int kOrGroups = 300;
  static constexpr int kAndTerms = 30;
  static constexpr int kEditDefs = 300;
  static constexpr size_t kLineBuffer = 100000;

  explicit CConvParam(Platform& platform);
  CConvParam(const CConvParam&) = delete;
  CConvParam& operator=(const CConvParam&) = delete;

  // --- Statements (value in m_strLine; return an error code) ---
  // Cleans one physical line of the parameter file and dispatches it; sets m_nErr.
  void ReadStatement(std::string_view line);
  int ParseOptStatement();
  int ParseFunctionStatement();
  int ParseSelStatement();
  int ParseChangeStatement(const std::string& key);
  int ParseEditStatement(const std::string& key);
  int ParseCsvStatement(const std::string& key);
  // One AND list of at most 30 terms into `records`; `limitError` for a 31st.
  int ParseCondList(std::string& text, CSelCond* records, int limitError);

  // Message of an error code, code page 932; empty for a code without one.
  static std::string GetErrorMessage(int code);

  // --- Records (report through m_nErr / the error slot) ---
  // Reads one input file record by record and writes its selected records.
  void ProcessInputFile(const std::string& fullPath, const std::string& fileName);
  bool IsRecordSelected(int& error, int inCount, int outCount, const std::string& fileName);
  bool EvaluateCondList(const CSelCond* records, int& error, int inCount, int outCount,
                        const std::string& fileName);
  bool EvaluateCondTerm(const CSelCond& record, int inCount, int outCount,
                        const std::string& fileName, int& error);
  void ChangeRecord(int& error, int inCount, int outCount, const std::string& fileName);
  void EditRecord(int& error, int inCount, int outCount, const std::string& fileName);
  void CsvRecord(int& error, int inCount, int outCount, const std::string& fileName);

  // Character-aligned, so the second byte of a double-byte character in the
  // OPT value (0x83 0x53 "ゴ") never turns an option on.
  bool HasOption(char letter) const {
    return cp932::FindChar(m_strOption, letter) != std::string::npos;
  }
  // Folder mode: the output value ends with "/" or a single-byte "\".
  bool IsFolderMode() const;

  // --- Data ---
  std::unique_ptr<CSelCond[]> m_selCond;   // kOrGroups * kAndTerms, group * 30 + term
  std::unique_ptr<CEditDef[]> m_editDef;   // kEditDefs
  std::unique_ptr<CEditCond[]> m_editCond; // kEditDefs * kAndTerms, definition * 30 + term
  TextReader m_fpIn;                      // parameter file, then the current input file
  TextWriter m_fpOut;                     // the output file
  std::string m_strLine;                   // statement value, or current record / output text
  std::string m_strOption;                 // option letters, upper case
  std::string m_strFunction;               // "COPY", "CSV", "EDIT", "CHANGE"; empty until set
  char m_szMode[2] = {0, 0};               // "w" after OUT, "a" after ADD
  int m_nSelLast = -1;
  int m_nEditLast = -1;
  CSyntaxCheck m_syntax;
  CValueEdit m_valueEdit;
  int m_nErr = 0;
  int m_nInCount = 0;
  int m_nOutCount = 0;
  std::string m_strInp;                    // upper-cased after reading
  std::string m_strOut;                    // upper-cased after reading
  std::string m_strInpWritten;             // as written: used to look files up
  std::string m_strOutWritten;             // as written: a new output file gets this spelling

  Platform& m_platform;

  // Work buffers reused across records so that no record allocates.
  std::string m_strWork;
  std::string m_strValue;
  std::string m_strCopy;
  std::string m_strResult;
  std::string m_strLeft;
  std::string m_strRight;
  std::string m_strConstValue;
  std::string m_strUpper;
  std::string m_strUpperSearch;
  size_t m_nWorkDirty = 0;  // EDIT: bytes of m_strWork written since it was last all blanks
  // Folder mode: the output files this run has created or emptied, so that a
  // second input file whose output name finds one of them (names differing
  // only in letter case) cannot empty it again.
  std::set<FileId> m_writtenOutputs;
};
