// STUB: to be implemented.
#include "platform/TextIo.h"
void CTextReader::Attach(std::unique_ptr<CFile> f) { m_file = std::move(f); }
bool CTextReader::ReadPiece(std::string_view&) { return false; }
bool CTextReader::Fill() { return false; }
void CTextReader::Close() { m_file.reset(); }
void CTextWriter::Attach(std::unique_ptr<CFile> f) { m_file = std::move(f); }
bool CTextWriter::Write(std::string_view) { return false; }
bool CTextWriter::Flush() { return false; }
bool CTextWriter::Close() { m_file.reset(); return false; }
