// Text-mode reading and writing on top of CFile, the way batch files on the
// original platform were read and written: on input a CR LF pair reads as one
// LF, a lone CR stays data, a byte 0x1A ends the file; on output every LF is
// written as CR LF. Both work in large blocks and never allocate per line.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "platform/Platform.h"

class CTextReader {
 public:
  // Longest piece one read returns, the line feed included.
  static constexpr size_t kMaxPiece = 99999;

  CTextReader() = default;
  void Attach(std::unique_ptr<CFile> file);
  bool IsOpen() const { return m_file != nullptr; }

  // Next piece: the bytes of one line up to and including its LF, at most
  // kMaxPiece bytes (a longer line arrives in several pieces, as one read of
  // 99,999 bytes would give them). The view stays valid until the next call.
  // Returns false at end of file (or after a read failure; see Failed()).
  bool ReadPiece(std::string_view& piece);
  bool Failed() const { return m_bFailed; }

  // Closes the file (no error can matter for a file only read).
  void Close();

 private:
  bool Fill();

  std::unique_ptr<CFile> m_file;
  std::vector<char> m_buffer;
  size_t m_nBegin = 0;
  size_t m_nEnd = 0;
  bool m_bEof = false;  // no more bytes from the file (end, 0x1A or failure)
  bool m_bFailed = false;
};

class CTextWriter {
 public:
  CTextWriter() = default;
  void Attach(std::unique_ptr<CFile> file);
  bool IsOpen() const { return m_file != nullptr; }
  const CFile* File() const { return m_file.get(); }
  CFile* File() { return m_file.get(); }

  // Buffers the text, each LF becoming CR LF. False once any write failed.
  bool Write(std::string_view text);
  // Hands the buffered bytes to the file now, so that a failure is noticed
  // while the data it belongs to is still the current file's; false once any
  // write failed.
  bool Flush();
  // Writes out the buffer and closes the file; false when anything written
  // since it was opened could not be stored.
  bool Close();

 private:
  std::unique_ptr<CFile> m_file;
  std::vector<char> m_buffer;
  size_t m_nUsed = 0;
  bool m_bFailed = false;
};
