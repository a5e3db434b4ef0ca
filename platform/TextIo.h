// Text-mode reading and writing on top of File, the way batch files on the
// original platform were read and written: on input a CR LF pair reads as one
// LF, a lone CR stays data, a byte 0x1A ends the file; on output every LF is
// written as CR LF. Both work in large blocks and never allocate per line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"

// A block of bytes that is not filled when allocated: only the pages a file
// really uses are ever touched, so opening a short file stays cheap.
class IoBuffer {
 public:
  // At least `size` bytes; the first `keep` bytes are kept.
  void Reserve(size_t size, size_t keep = 0) {
    if (size_ >= size) return;
    std::unique_ptr<char[]> grown(new char[size]);
    if (keep > 0) std::memcpy(grown.get(), data_.get(), keep);
    data_ = std::move(grown);
    size_ = size;
  }
  char* Data() { return data_.get(); }
  size_t Size() const { return size_; }
  char& operator[](size_t i) { return data_[i]; }

 private:
  std::unique_ptr<char[]> data_;
  size_t size_ = 0;
};

// One piece at the front of some bytes: its length as handed out and the
// bytes it takes from the input (one more than its length when a CR LF pair
// becomes its LF).
struct PieceCut {
  size_t length = 0;
  size_t consumed = 0;
  bool crlf = false;  // the piece's last byte is a CR that reads as LF
};

// Where a line longer than the longest piece is cut. Code page 932 text is
// cut after 99,999 bytes, as a text-mode read cuts it, even inside a
// double-byte character. UTF-8 text is cut before the character that byte
// 99,999 falls in (up to three bytes earlier), so that no piece ends in part
// of a character that the next one completes.
enum class PieceRule { kBytes, kUtf8Characters };

// The piece rule. `data` starts a piece; `complete` says no bytes follow
// `avail`. False when the bytes so far cannot decide (or nothing is left).
bool NextPiece(const char* data, size_t avail, bool complete, PieceCut& cut, PieceRule rule);

// How many pieces (records) a whole text gives, without changing it.
int64_t CountPieces(std::string_view data, PieceRule rule = PieceRule::kBytes);

class TextReader {
 public:
  // Longest piece one read returns, the line feed included.
  static constexpr size_t kMaxPiece = 99999;

  TextReader() = default;
  void Attach(std::unique_ptr<File> file, PieceRule rule = PieceRule::kBytes);
  // Reads pieces from a block of bytes in memory instead, which must start a
  // piece and either end one or be the end of the file (its bytes are
  // changed where a CR LF pair becomes LF). Nothing is copied.
  void AttachBlock(char* data, size_t size, PieceRule rule = PieceRule::kBytes);
  bool IsOpen() const { return file_ != nullptr || block_ != nullptr; }

  // Next piece: the bytes of one line up to and including its LF, at most
  // kMaxPiece bytes (a longer line arrives in several pieces, as one read of
  // 99,999 bytes would give them). The view stays valid until the next call.
  // Returns false at end of file (or after a read failure; see Failed()).
  bool ReadPiece(std::string_view& piece);
  bool Failed() const { return failed_; }
  // Why reading failed, for people; empty when unknown.
  const std::string& FailureReason() const { return failureReason_; }
  // Bytes of the file the pieces so far have taken (CR LF counted whole).
  int64_t Consumed() const { return read_ - static_cast<int64_t>(end_ - begin_); }

  // Closes the file (no error can matter for a file only read).
  void Close();

 private:
  bool Fill();

  std::unique_ptr<File> file_;
  IoBuffer buffer_;
  char* block_ = nullptr;  // AttachBlock: the bytes, instead of buffer_
  PieceRule rule_ = PieceRule::kBytes;
  size_t begin_ = 0;
  size_t end_ = 0;
  bool eof_ = false;  // no more bytes from the file (end, 0x1A or failure)
  bool filledLastRead_ = false;
  int64_t read_ = 0;  // bytes taken from the file or block
  std::string failureReason_;
  bool failed_ = false;
};

// Reads a file in blocks of whole pieces, for work on many records at once:
// every block starts a piece and ends one (after a line feed, or where a long
// line is cut into 99,999-byte pieces), except the last, which ends the file.
// Nothing after a byte 0x1A is read. TextReader::AttachBlock then hands out
// exactly the pieces that reading the whole file would.
class BlockReader {
 public:
  // Blocks hold at least `blockSize` bytes where the file has them.
  BlockReader(File& file, size_t blockSize, PieceRule rule = PieceRule::kBytes)
      : file_(file), blockSize_(blockSize), rule_(rule) {}

  // The next block into `block` (grown as needed), its bytes in `size`;
  // `last` when it ends the file. False when nothing is left.
  bool Next(IoBuffer& block, size_t& size, bool& last);
  bool Failed() const { return failed_; }
  const std::string& FailureReason() const { return failureReason_; }
  // Bytes handed out in blocks so far.
  int64_t Consumed() const { return consumed_; }

 private:
  File& file_;
  const size_t blockSize_;
  const PieceRule rule_;
  std::string carry_;  // the bytes after the last block's end
  bool ended_ = false;
  bool failed_ = false;
  std::string failureReason_;
  int64_t consumed_ = 0;
};

// Lines that COPY writes back byte for byte ("output form"): each ends with
// CR LF and takes at most 100,000 bytes with it (so it is one piece, and the
// piece written back with CR LF is the line itself).
struct FormRun {
  size_t begin = 0;
  size_t end = 0;
  int64_t lines = 0;  // line feeds in the run
  bool same = false;  // every line of the run is in output form
};

// Cuts a block of whole pieces (see BlockReader) into runs that alternate
// between output form and the rest, from its start to its end; a last line
// without a line feed is never in output form. One pass over the bytes, 16
// at a time where the processor allows.
void ScanOutputForm(std::string_view block, std::vector<FormRun>& runs);

// How output lines are written: the encoding of their characters and the
// line end. The default is the text mode of the original platform: code
// page 932 and CR LF.
struct OutputForm {
  bool utf8 = false;          // code page 932 text written as UTF-8
  bool lineFeedOnly = false;  // LF instead of CR LF
};

class TextWriter {
 public:
  TextWriter() = default;
  // For every file attached from now on.
  void SetForm(OutputForm form) { form_ = form; }
  void Attach(std::unique_ptr<File> file);
  // Puts a UTF-8 byte-order mark first (call right after Attach).
  bool StartWithByteOrderMark();
  bool IsOpen() const { return file_ != nullptr; }
  const File* Handle() const { return file_.get(); }

  // Buffers the text, each LF becoming CR LF (or staying LF), its characters
  // converted to UTF-8 under that form. False once any write failed. The
  // buffer goes to the file when it is full, at the same bytes however the
  // text is cut into calls, as long as each call holds whole lines.
  bool Write(std::string_view text);
  // The same; on a failed write `consumed` tells how many bytes of the text
  // were buffered before it (under UTF-8: up to the start of the line that
  // failed), so a caller that wrote many records in one call knows the
  // record at which one call per record would have failed.
  bool Write(std::string_view text, size_t& consumed);
  // Hands the buffered bytes to the file now, so that a failure is noticed
  // while the data it belongs to is still the current file's; false once any
  // write failed.
  bool Flush();
  // Writes out the buffer, then `bytes` as they are (no LF becomes CR LF),
  // for text already in output form; false once any write failed.
  bool WriteAsIs(std::string_view bytes);
  // Writes out the buffer and closes the file; false when anything written
  // since it was opened could not be stored.
  bool Close();
  // Why writing failed, for people; empty when unknown.
  const std::string& FailureReason() const { return failureReason_; }
  // Under UTF-8: bytes that were not part of a whole code page 932
  // character (a field cut through a double-byte character), each written
  // as a blank; counted over every file attached.
  int64_t Blanks() const { return blanks_; }

 private:
  // Buffers `text` with its line ends, its bytes as they are.
  bool Place(std::string_view text, size_t& consumed);
  bool PlaceUtf8(std::string_view text, size_t& consumed);
  size_t PlaceLinesConverted(std::string_view text);
  // Converts `text` into a buffer of its own, then places it.
  bool PlaceUtf8ByCopy(std::string_view text, size_t& consumed);

  std::unique_ptr<File> file_;
  IoBuffer buffer_;
  size_t used_ = 0;
  bool failed_ = false;
  std::string failureReason_;
  OutputForm form_;
  std::string converted_;  // lines converted to UTF-8, when they do not surely fit the buffer
  int64_t blanks_ = 0;
};
