// The record loop: one input file, record by record, through the selection
// test and the processing type in force, into the output file. Also COPY,
// which writes every selected record unchanged.
#include "param/ConvParam.h"

namespace {

enum class EFunction { kCopy, kChange, kEdit, kCsv };

EFunction DecodeFunction(const std::string& function) {
  if (function == "CHANGE") return EFunction::kChange;
  if (function == "EDIT") return EFunction::kEdit;
  if (function == "CSV") return EFunction::kCsv;
  return EFunction::kCopy;
}

}  // namespace

void CConvParam::ProcessInputFile(const std::string& fullPath, const std::string& fileName) {
  m_nInCount = 0;
  m_nOutCount = 0;
  m_strLine.reserve(kLineBuffer);  // once: later files and records reuse it

  const bool bFolder = IsFolderMode();
  if (bFolder) {
    // One output file per input file: the folder as written, then the bare name.
    std::string outPath = m_strOutWritten;
    outPath += fileName;
    const bool bAppend = m_szMode[0] == 'a';
    std::unique_ptr<File> out =
        m_platform.OpenFile(outPath, bAppend ? OpenMode::kAppend : OpenMode::kWrite);
    if (!out) {
      m_nErr = 91;
      return;
    }
    // Output folder = input folder would name the input itself: refuse it
    // before anything is emptied, so the input is never lost.
    FileId inId;
    if (m_platform.GetFileId(fullPath, inId) && inId == out->Id()) {
      out->Close();
      m_nErr = 91;
      return;
    }
    if (!bAppend) {
      // Two input files whose names differ only in letter case find the
      // same output file; emptying it again would silently lose the output
      // of the first, so the second is refused instead.
      if (m_writtenOutputs.count(out->Id()) != 0) {
        out->Close();
        m_nErr = 91;
        return;
      }
      if (!out->Truncate()) {
        out->Close();
        m_nErr = 91;
        return;
      }
      m_writtenOutputs.insert(out->Id());
    }
    m_fpOut.Attach(std::move(out));
  }

  std::unique_ptr<File> in = m_platform.OpenFile(fullPath, OpenMode::kRead);
  // The run's own open output is never read as input (file mode, INP matching OUT).
  if (in && m_fpOut.IsOpen() && in->Id() == m_fpOut.Handle()->Id()) {
    in->Close();
    in.reset();
  }
  if (!in) {
    m_nErr = 92;
    if (bFolder) m_fpOut.Close();  // already created or emptied; nothing to lose
    return;
  }
  m_fpIn.Attach(std::move(in));

  const EFunction eFunction = DecodeFunction(m_strFunction);
  // COPY without conditions: nothing looks at the record, so each piece goes
  // to the output as it was read (its LF, or one added, ends the line).
  const bool bDirect = eFunction == EFunction::kCopy && m_nSelLast < 0;
  std::string_view piece;
  while (m_nErr == 0 && m_fpIn.ReadPiece(piece)) {
    ++m_nInCount;
    if (bDirect) {
      ++m_nOutCount;
      bool bWritten = m_fpOut.Write(piece);
      if (bWritten && (piece.empty() || piece.back() != '\n')) bWritten = m_fpOut.Write("\n");
      if (!bWritten) m_nErr = 91;
      continue;
    }
    // The record is the piece without its line feed; NUL bytes are data.
    size_t len = piece.size();
    if (len > 0 && piece[len - 1] == '\n') --len;
    m_strLine.assign(piece.data(), len);

    if (!IsRecordSelected(m_nErr, m_nInCount, m_nOutCount, fileName) || m_nErr != 0) continue;
    ++m_nOutCount;
    switch (eFunction) {
      case EFunction::kChange: ChangeRecord(m_nErr, m_nInCount, m_nOutCount, fileName); break;
      case EFunction::kEdit: EditRecord(m_nErr, m_nInCount, m_nOutCount, fileName); break;
      case EFunction::kCsv: CsvRecord(m_nErr, m_nInCount, m_nOutCount, fileName); break;
      case EFunction::kCopy: m_strLine += '\n'; break;
    }
    if (m_nErr == 0 && !m_fpOut.Write(m_strLine)) m_nErr = 91;
  }
  // A read failure would silently drop the rest of the file: it is an input
  // that could not be read, reported like one that could not be opened.
  if (m_nErr == 0 && m_fpIn.Failed()) m_nErr = 92;
  m_fpIn.Close();

  if (bFolder) {
    if (!m_fpOut.Close() && m_nErr == 0) m_nErr = 91;
  } else if (m_nErr == 0 && !m_fpOut.Flush()) {
    // File mode keeps the output open across files; storing this file's
    // records now reports a full disk against the file they came from,
    // before its summary line claims success.
    m_nErr = 91;
  }
}
