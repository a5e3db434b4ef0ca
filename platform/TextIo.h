// Text-mode reading and writing on top of File, the way batch files on the
// original platform were read and written: on input a CR LF pair reads as one
// LF, a lone CR stays data, a byte 0x1A ends the file; on output every LF is
// written as CR LF. Both work in large blocks and never allocate per line.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "platform/Platform.h"

class TextReader {
 public:
  // Longest piece one read returns, the line feed included.
  static constexpr size_t kMaxPiece = 99999;

  TextReader() = default;
  void Attach(std::unique_ptr<File> file);
  bool IsOpen() const { return file_ != nullptr; }

  // Next piece: the bytes of one line up to and including its LF, at most
  // kMaxPiece bytes (a longer line arrives in several pieces, as one read of
  // 99,999 bytes would give them). The view stays valid until the next call.
  // Returns false at end of file (or after a read failure; see Failed()).
  bool ReadPiece(std::string_view& piece);
  bool Failed() const { return failed_; }

  // Closes the file (no error can matter for a file only read).
  void Close();

 private:
  bool Fill();

  std::unique_ptr<File> file_;
  std::vector<char> buffer_;
  size_t begin_ = 0;
  size_t end_ = 0;
  bool eof_ = false;  // no more bytes from the file (end, 0x1A or failure)
  bool failed_ = false;
};

class TextWriter {
 public:
  TextWriter() = default;
  void Attach(std::unique_ptr<File> file);
  bool IsOpen() const { return file_ != nullptr; }
  const File* Handle() const { return file_.get(); }

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
  std::unique_ptr<File> file_;
  std::vector<char> buffer_;
  size_t used_ = 0;
  bool failed_ = false;
};
