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
// 99,999 + 1 raw bytes before it decides, unless the file has ended.
#include "platform/TextIo.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr size_t kBlock = size_t{1} << 20;
constexpr char kEndOfFile = '\x1A';

}  // namespace

void CTextReader::Attach(std::unique_ptr<CFile> file) {
  Close();
  m_file = std::move(file);
  // The block plus the longest undecided remainder, so every read asks for a
  // whole block after the remainder has been moved to the front.
  if (m_buffer.size() < kBlock + kMaxPiece + 1) m_buffer.resize(kBlock + kMaxPiece + 1);
  m_nBegin = m_nEnd = 0;
  m_bEof = m_file == nullptr;
  m_bFailed = false;
}

bool CTextReader::Fill() {
  if (m_bEof) return false;
  if (m_nBegin > 0) {
    std::memmove(m_buffer.data(), m_buffer.data() + m_nBegin, m_nEnd - m_nBegin);
    m_nEnd -= m_nBegin;
    m_nBegin = 0;
  }
  char* at = m_buffer.data() + m_nEnd;
  long long got = m_file->Read(at, m_buffer.size() - m_nEnd);
  if (got <= 0) {
    m_bFailed = got < 0;
    m_bEof = true;
    return false;
  }
  size_t n = static_cast<size_t>(got);
  if (const void* stop = std::memchr(at, kEndOfFile, n)) {
    n = static_cast<size_t>(static_cast<const char*>(stop) - at);
    m_bEof = true;  // nothing after 0x1A is ever read
  }
  m_nEnd += n;
  return true;
}

bool CTextReader::ReadPiece(std::string_view& piece) {
  if (!m_file) return false;
  for (;;) {
    char* base = m_buffer.data() + m_nBegin;
    size_t avail = m_nEnd - m_nBegin;
    size_t window = std::min(avail, kMaxPiece + 1);
    if (const void* hit = std::memchr(base, '\n', window)) {
      size_t k = static_cast<size_t>(static_cast<const char*>(hit) - base);
      if (k > 0 && base[k - 1] == '\r' && k <= kMaxPiece) {
        base[k - 1] = '\n';  // CR LF reads as one LF
        piece = std::string_view(base, k);
        m_nBegin += k + 1;
        return true;
      }
      if (k + 1 <= kMaxPiece) {
        piece = std::string_view(base, k + 1);
        m_nBegin += k + 1;
        return true;
      }
      // The LF lies beyond the longest piece: cut the line.
      piece = std::string_view(base, kMaxPiece);
      m_nBegin += kMaxPiece;
      return true;
    }
    if (avail > kMaxPiece) {
      piece = std::string_view(base, kMaxPiece);
      m_nBegin += kMaxPiece;
      return true;
    }
    if (!Fill() && m_bEof) {
      avail = m_nEnd - m_nBegin;
      if (avail == 0) return false;
      // The last line, without LF (a lone CR at its end is data).
      piece = std::string_view(m_buffer.data() + m_nBegin, avail);
      m_nBegin = m_nEnd;
      return true;
    }
  }
}

void CTextReader::Close() {
  if (m_file) m_file->Close();
  m_file.reset();
  m_nBegin = m_nEnd = 0;
  m_bEof = true;
}

void CTextWriter::Attach(std::unique_ptr<CFile> file) {
  if (m_file) Close();
  m_file = std::move(file);
  if (m_buffer.size() < kBlock) m_buffer.resize(kBlock);
  m_nUsed = 0;
  m_bFailed = m_file == nullptr;
}

bool CTextWriter::Flush() {
  if (m_nUsed > 0 && !m_bFailed && !m_file->Write(m_buffer.data(), m_nUsed)) m_bFailed = true;
  m_nUsed = 0;
  return !m_bFailed;
}

bool CTextWriter::Write(std::string_view text) {
  if (m_bFailed || !m_file) return false;
  size_t i = 0;
  while (i < text.size()) {
    // Room for one chunk and a CR LF pair.
    if (m_buffer.size() - m_nUsed < 2 && !Flush()) return false;
    size_t room = m_buffer.size() - m_nUsed - 1;
    size_t take = std::min(text.size() - i, room);
    const char* src = text.data() + i;
    const void* lf = std::memchr(src, '\n', take);
    size_t plain = lf ? static_cast<size_t>(static_cast<const char*>(lf) - src) : take;
    std::memcpy(m_buffer.data() + m_nUsed, src, plain);
    m_nUsed += plain;
    i += plain;
    if (lf) {
      m_buffer[m_nUsed++] = '\r';
      m_buffer[m_nUsed++] = '\n';
      ++i;
    }
  }
  return true;
}

bool CTextWriter::Close() {
  if (!m_file) return !m_bFailed;
  bool ok = Flush();
  if (!m_file->Close()) ok = false;
  m_file.reset();
  m_bFailed = !ok;
  return ok;
}
