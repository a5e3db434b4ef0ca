// Text-mode reading and writing in large blocks.
//
// Reading keeps the raw bytes in one buffer and hands out views into it. The
// only translation, CR LF -> LF, can only happen at the end of a piece (an LF
// always ends a line), so it is done by overwriting that CR with LF and
// skipping the LF: no copy of the line is ever made. A byte 0x1A is found
// with memchr when a block arrives and cuts the data there.
//
// A piece is what one text-mode read with a 100,000-byte buffer gives: up to
// 99,999 translated bytes, stopping after an LF. To know whether byte 99,999
// of the raw data is a CR that pairs with an LF, the reader looks at up to
// 99,999 + 1 raw bytes before it decides, unless the file has ended. UTF-8
// input is cut before the character that byte 99,999 falls in (PieceRule).
#include "platform/TextIo.h"

#include "platform/Cp932Unicode.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

// Reads and writes go in blocks of 1 MiB. A file starts with a small block,
// and its buffer grows to the full one once the file turns out to be larger,
// so a run over many small files touches little memory.
constexpr size_t kBlock = size_t{1} << 20;
constexpr size_t kFirstBlock = size_t{1} << 14;
constexpr char kEndOfFile = '\x1A';

}  // namespace

void TextReader::Attach(std::unique_ptr<File> file, PieceRule rule) {
  Close();
  file_ = std::move(file);
  rule_ = rule;
  // A block plus the longest undecided remainder, so every read asks for a
  // whole block after the remainder has been moved to the front.
  buffer_.Reserve(kFirstBlock + kMaxPiece + 1);
  begin_ = end_ = 0;
  eof_ = file_ == nullptr;
  failed_ = false;
  filledLastRead_ = false;
  read_ = 0;
  failureReason_.clear();
}

bool TextReader::Fill() {
  if (eof_) return false;
  if (begin_ > 0) {
    std::memmove(buffer_.Data(), buffer_.Data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  // A file that filled the last read is likely large: read it in full blocks.
  if (filledLastRead_) buffer_.Reserve(kBlock + kMaxPiece + 1, end_);
  char* at = buffer_.Data() + end_;
  const size_t wanted = buffer_.Size() - end_;
  long long got = file_->Read(at, wanted);
  filledLastRead_ = got > 0 && static_cast<size_t>(got) == wanted;
  if (got <= 0) {
    failed_ = got < 0;
    if (failed_) failureReason_ = file_->FailureReason();
    eof_ = true;
    return false;
  }
  size_t n = static_cast<size_t>(got);
  if (const void* stop = std::memchr(at, kEndOfFile, n)) {
    n = static_cast<size_t>(static_cast<const char*>(stop) - at);
    eof_ = true;  // nothing after 0x1A is ever read
  }
  end_ += n;
  read_ += static_cast<int64_t>(n);
  return true;
}

namespace {

// Where a line goes on in a new piece when it is longer than the longest
// piece; byte kMaxPiece of `data` is there.
size_t LongLineCut(const char* data, PieceRule rule) {
  constexpr size_t kMax = TextReader::kMaxPiece;
  if (rule == PieceRule::kBytes) return kMax;
  const auto continuation = [data](size_t i) { return (static_cast<unsigned char>(data[i]) & 0xC0) == 0x80; };
  size_t at = kMax;
  while (at > kMax - 3 && continuation(at)) --at;
  // Only before a lead byte: bytes that are no character are cut as they come.
  return at < kMax && static_cast<unsigned char>(data[at]) >= 0xC0 ? at : kMax;
}

}  // namespace

bool NextPiece(const char* data, size_t avail, bool complete, PieceCut& cut, PieceRule rule) {
  constexpr size_t kMax = TextReader::kMaxPiece;
  const size_t window = std::min(avail, kMax + 1);
  if (const void* hit = std::memchr(data, '\n', window)) {
    const size_t k = static_cast<size_t>(static_cast<const char*>(hit) - data);
    if (k > 0 && data[k - 1] == '\r' && k <= kMax) {
      cut = PieceCut{k, k + 1, true};  // CR LF reads as one LF
    } else if (k + 1 <= kMax) {
      cut = PieceCut{k + 1, k + 1, false};
    } else {
      const size_t at = LongLineCut(data, rule);  // the LF lies beyond the longest piece: cut the line
      cut = PieceCut{at, at, false};
    }
    return true;
  }
  if (avail > kMax) {
    const size_t at = LongLineCut(data, rule);
    cut = PieceCut{at, at, false};
    return true;
  }
  if (!complete || avail == 0) return false;
  cut = PieceCut{avail, avail, false};  // the last line, without LF (a lone CR at its end is data)
  return true;
}

int64_t CountPieces(std::string_view data, PieceRule rule) {
  int64_t count = 0;
  PieceCut cut;
  while (NextPiece(data.data(), data.size(), true, cut, rule)) {
    data.remove_prefix(cut.consumed);
    ++count;
  }
  return count;
}

void TextReader::AttachBlock(char* data, size_t size, PieceRule rule) {
  Close();
  block_ = data;
  rule_ = rule;
  begin_ = 0;
  end_ = size;
  read_ = static_cast<int64_t>(size);
  eof_ = true;
  failed_ = false;
  failureReason_.clear();
}

bool TextReader::ReadPiece(std::string_view& piece) {
  if (!file_ && block_ == nullptr) return false;
  for (;;) {
    char* base = (block_ != nullptr ? block_ : buffer_.Data()) + begin_;
    PieceCut cut;
    if (NextPiece(base, end_ - begin_, eof_, cut, rule_)) {
      if (cut.crlf) base[cut.length - 1] = '\n';
      piece = std::string_view(base, cut.length);
      begin_ += cut.consumed;
      return true;
    }
    if (eof_) return false;  // nothing is left
    Fill();                  // more bytes, or the end of the file
  }
}

void TextReader::Close() {
  if (file_) file_->Close();
  file_.reset();
  block_ = nullptr;
  begin_ = end_ = 0;
  eof_ = true;
}

void TextWriter::Attach(std::unique_ptr<File> file) {
  if (file_) Close();
  file_ = std::move(file);
  buffer_.Reserve(kFirstBlock);
  used_ = 0;
  failed_ = file_ == nullptr;
  failureReason_.clear();
}

bool TextWriter::Flush() {
  if (used_ > 0 && !failed_ && !file_->Write(buffer_.Data(), used_)) {
    failed_ = true;
    failureReason_ = file_->FailureReason();
  }
  used_ = 0;
  return !failed_;
}

bool TextWriter::Write(std::string_view text) {
  size_t consumed;
  return Write(text, consumed);
}

bool TextWriter::StartWithByteOrderMark() {
  size_t consumed;
  return Place("\xEF\xBB\xBF", consumed);
}

bool TextWriter::Write(std::string_view text, size_t& consumed) {
  return form_.utf8 ? PlaceUtf8(text, consumed) : Place(text, consumed);
}

// A line feed is never the second byte of a double-byte character, and a
// lead byte before one is a blank on its own: so the text converts as a
// whole exactly as line by line, and a call of many lines reaches the
// buffer as the same lines in calls of their own. A failed write is placed
// at the start of the line whose bytes were being buffered.
bool TextWriter::PlaceUtf8(std::string_view text, size_t& consumed) {
  const size_t direct = PlaceLinesConverted(text);
  consumed = direct;
  if (direct == text.size()) return !failed_ && file_;
  size_t rest = 0;
  const bool placed = PlaceUtf8ByCopy(text.substr(direct), rest);
  consumed += rest;
  return placed;
}

// The whole lines at the start of `text` that surely fit in the buffer are
// converted straight into it: the same bytes Place would copy there, and as
// each leaves room to spare, no write falls due among them. Returns the bytes
// of `text` placed.
size_t TextWriter::PlaceLinesConverted(std::string_view text) {
  if (failed_ || !file_) return 0;
  size_t done = 0;
  while (done < text.size()) {
    const void* lf = std::memchr(text.data() + done, '\n', text.size() - done);
    if (lf == nullptr) break;  // a line that goes on in the next call
    const size_t line = static_cast<size_t>(static_cast<const char*>(lf) - text.data()) - done;
    if (buffer_.Size() - used_ < cp932::MaxUtf8Size(line)) break;  // room for the line ending too
    const cp932::ToUtf8Result result = cp932::ToUtf8(text.substr(done, line), buffer_.Data() + used_);
    used_ += result.written;
    blanks_ += static_cast<int64_t>(result.blanks);
    if (!form_.lineFeedOnly) buffer_[used_++] = '\r';
    buffer_[used_++] = '\n';
    done += line + 1;
  }
  return done;
}

bool TextWriter::PlaceUtf8ByCopy(std::string_view text, size_t& consumed) {
  consumed = 0;
  const size_t room = cp932::MaxUtf8Size(text.size());
  if (converted_.size() < room) converted_.resize(room);  // grows only: no fill per call
  const cp932::ToUtf8Result result = cp932::ToUtf8(text, converted_.data());
  blanks_ += static_cast<int64_t>(result.blanks);
  const std::string_view utf8(converted_.data(), result.written);
  size_t placed = 0;
  if (Place(utf8, placed)) {
    consumed = text.size();
    return true;
  }
  // The lines wholly placed before the failure, counted in both texts; the
  // blanks only of those, as when the lines come one by one.
  for (size_t lf = utf8.find('\n'); lf != std::string_view::npos && lf < placed;
       lf = utf8.find('\n', lf + 1)) {
    consumed = text.find('\n', consumed) + 1;
  }
  blanks_ -= static_cast<int64_t>(result.blanks);
  blanks_ += static_cast<int64_t>(cp932::ToUtf8(text.substr(0, consumed), converted_.data()).blanks);
  return false;
}

bool TextWriter::Place(std::string_view text, size_t& consumed) {
  size_t& i = consumed;
  i = 0;
  if (failed_ || !file_) return false;
  while (i < text.size()) {
    // Room for one chunk and a CR LF pair. The buffer is handed to the file
    // only once a whole block is full; until then it grows, so the file sees
    // the same writes whatever the buffer's first size.
    if (buffer_.Size() - used_ < 2) {
      if (buffer_.Size() < kBlock) {
        buffer_.Reserve(std::min(kBlock, buffer_.Size() * 2), used_);
      } else if (!Flush()) {
        return false;
      }
    }
    size_t room = buffer_.Size() - used_ - 1;
    size_t take = std::min(text.size() - i, room);
    const char* src = text.data() + i;
    const void* lf = std::memchr(src, '\n', take);
    size_t plain = lf ? static_cast<size_t>(static_cast<const char*>(lf) - src) : take;
    std::memcpy(buffer_.Data() + used_, src, plain);
    used_ += plain;
    i += plain;
    if (lf) {
      if (!form_.lineFeedOnly) buffer_[used_++] = '\r';
      buffer_[used_++] = '\n';
      ++i;
    }
  }
  return true;
}

bool TextWriter::Close() {
  if (!file_) return !failed_;
  bool ok = Flush();
  if (!file_->Close()) {
    if (ok) failureReason_ = file_->FailureReason();
    ok = false;
  }
  file_.reset();
  failed_ = !ok;
  return ok;
}

namespace {

// Bytes read beyond a block when its end is not yet a piece boundary: one
// piece and the byte that decides it.
constexpr size_t kReadAhead = TextReader::kMaxPiece + 1;

// The last piece boundary in `data` that its bytes decide: after the last
// line feed, or, in a stretch without one, after the last whole piece of
// the long line. 0 when there is none yet.
size_t PieceBoundary(const char* data, size_t size, PieceRule rule) {
  if (const void* lf = memrchr(data, '\n', size)) {
    return static_cast<size_t>(static_cast<const char*>(lf) - data) + 1;
  }
  size_t at = 0;
  PieceCut cut;
  while (NextPiece(data + at, size - at, false, cut, rule)) at += cut.consumed;
  return at;
}

}  // namespace

bool BlockReader::Next(IoBuffer& block, size_t& size, bool& last) {
  if (ended_ && carry_.empty()) return false;
  block.Reserve(std::max(blockSize_, carry_.size()) + kReadAhead);
  std::memcpy(block.Data(), carry_.data(), carry_.size());
  size = carry_.size();
  carry_.clear();
  size_t cut = 0;
  // Read at least a block, and on until a piece boundary is decided.
  while (!ended_ && (size < blockSize_ || (cut = PieceBoundary(block.Data(), size, rule_)) == 0)) {
    if (block.Size() - size < kReadAhead) block.Reserve(block.Size() * 2, size);
    const size_t wanted = size < blockSize_ ? blockSize_ - size : kReadAhead;
    const long long got = file_.Read(block.Data() + size, std::min(wanted, block.Size() - size));
    if (got <= 0) {
      if (got < 0) {
        failed_ = true;
        failureReason_ = file_.FailureReason();
      }
      ended_ = true;
      break;
    }
    const char* at = block.Data() + size;
    if (const void* stop = std::memchr(at, kEndOfFile, static_cast<size_t>(got))) {
      size += static_cast<size_t>(static_cast<const char*>(stop) - at);
      ended_ = true;  // nothing after 0x1A is ever read
      break;
    }
    size += static_cast<size_t>(got);
  }
  if (ended_) {
    cut = size;
  } else if (cut == 0) {
    cut = PieceBoundary(block.Data(), size, rule_);
  }
  carry_.assign(block.Data() + cut, size - cut);
  size = cut;
  last = ended_;
  consumed_ += static_cast<int64_t>(cut);
  return size > 0 || last;
}

namespace {

// The longest line, line feed included, that is one piece: 99,998 bytes,
// CR and LF.
constexpr size_t kLongestSameLine = TextReader::kMaxPiece + 1;

// Collects lines into runs of the same kind.
class RunCollector {
 public:
  explicit RunCollector(std::vector<FormRun>& runs) : runs_(runs) { runs_.clear(); }

  void Line(size_t begin, size_t end, bool same, int64_t lines = 1) {
    if (!open_) {
      run_ = FormRun{begin, end, lines, same};
      open_ = true;
    } else if (run_.same == same) {
      run_.end = end;
      run_.lines += lines;
    } else {
      runs_.push_back(run_);
      run_ = FormRun{begin, end, lines, same};
    }
  }
  // True when lines in output form would join the current run.
  bool InSameRun() const { return !open_ || run_.same; }
  void Finish() {
    if (open_) runs_.push_back(run_);
  }

 private:
  std::vector<FormRun>& runs_;
  FormRun run_;
  bool open_ = false;
};

}  // namespace

void ScanOutputForm(std::string_view block, std::vector<FormRun>& runs) {
  const char* data = block.data();
  const size_t size = block.size();
  RunCollector collect(runs);
  size_t lineStart = 0;
  // One line that ends at `lf`.
  auto line = [&](size_t lf) {
    const bool same = lf > lineStart && data[lf - 1] == '\r' && lf + 1 - lineStart <= kLongestSameLine;
    collect.Line(lineStart, lf + 1, same);
    lineStart = lf + 1;
  };
  size_t i = 0;
#if defined(__SSE2__)
  // 16 bytes at a time: the masks of LF and CR bytes tell, for all the lines
  // ending in the 16 bytes at once, whether each LF has its CR; only the
  // first of them can be long (the others start within the 16 bytes).
  const __m128i lfs = _mm_set1_epi8('\n');
  const __m128i crs = _mm_set1_epi8('\r');
  uint32_t crCarry = 0;  // the byte before these 16 is a CR
  for (; i + 16 <= size; i += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
    const uint32_t lf = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, lfs)));
    const uint32_t cr = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, crs)));
    if (lf != 0) {
      const uint32_t withoutCr = lf & ~(((cr << 1) | crCarry) & 0xFFFF);
      const size_t first = i + static_cast<size_t>(std::countr_zero(lf));
      if (withoutCr == 0 && first > lineStart && first + 1 - lineStart <= kLongestSameLine &&
          collect.InSameRun()) {
        const size_t last = i + 31 - static_cast<size_t>(std::countl_zero(lf));
        // Mostly one line ends in 16 bytes: no count needed then.
        const int lines = (lf & (lf - 1)) == 0 ? 1 : std::popcount(lf);
        collect.Line(lineStart, last + 1, true, lines);
        lineStart = last + 1;
      } else {
        for (uint32_t bits = lf; bits != 0; bits &= bits - 1) {
          line(i + static_cast<size_t>(std::countr_zero(bits)));
        }
      }
    }
    crCarry = (cr >> 15) & 1;
  }
#endif
  for (; i < size; ++i) {
    if (data[i] == '\n') line(i);
  }
  // A last line without a line feed gets one when written: never the same.
  if (lineStart < size) collect.Line(lineStart, size, false, 0);
  collect.Finish();
}

bool TextWriter::WriteAsIs(std::string_view bytes) {
  if (failed_ || !file_ || !Flush()) return false;
  if (!bytes.empty() && !file_->Write(bytes.data(), bytes.size())) {
    failed_ = true;
    failureReason_ = file_->FailureReason();
    return false;
  }
  return true;
}
