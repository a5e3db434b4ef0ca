// The literal rewriter: a small C++ lexer that knows just enough (comments,
// literals with their prefixes and escapes, raw strings, numbers with digit
// separators, #include header names) to find the ordinary literals, and an
// iconv converter for one character at a time, so that an error can name the
// character and its line.
#include "tools/Cp932Literals.h"

#include <iconv.h>

#include <cstdio>

namespace {

bool IsIdentStart(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsIdentChar(char c) { return IsIdentStart(c) || IsDigit(c); }
bool IsAscii(char c) { return static_cast<unsigned char>(c) < 0x80; }

// UTF-8 to code page 932, one character at a time.
class Cp932Encoder {
 public:
  Cp932Encoder() : cd_(iconv_open("CP932", "UTF-8")) {}
  ~Cp932Encoder() {
    if (Ok()) iconv_close(cd_);
  }
  Cp932Encoder(const Cp932Encoder&) = delete;
  Cp932Encoder& operator=(const Cp932Encoder&) = delete;

  bool Ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Appends the code page 932 bytes of the UTF-8 character `utf8` to `out`;
  // false when code page 932 has no form for it.
  bool Encode(std::string_view utf8, std::string& out) const {
    char buffer[16];
    char* src = const_cast<char*>(utf8.data());
    size_t srcLeft = utf8.size();
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd_, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1) || srcLeft != 0) {
      return false;
    }
    if (iconv(cd_, nullptr, nullptr, &dst, &dstLeft) == static_cast<size_t>(-1)) return false;
    out.append(buffer, static_cast<size_t>(dst - buffer));
    return true;
  }

 private:
  iconv_t cd_;
};

// Length of the well-formed UTF-8 character at the front of `s` and its code
// point; 0 when the bytes are not one.
size_t DecodeUtf8(std::string_view s, char32_t& codePoint) {
  auto byte = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
  unsigned char lead = byte(0);
  size_t length;
  char32_t min;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    min = 0x80;
    codePoint = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    min = 0x800;
    codePoint = lead & 0x0Fu;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    min = 0x10000;
    codePoint = lead & 0x07u;
  } else {
    return 0;
  }
  if (s.size() < length) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    codePoint = (codePoint << 6) | (byte(i) & 0x3Fu);
  }
  if (codePoint < min || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
    return 0;
  }
  return length;
}

class Rewriter {
 public:
  Rewriter(std::string_view source, std::string& out) : src_(source), out_(out) {}

  LiteralResult Run() {
    out_.clear();
    out_.reserve(src_.size() + src_.size() / 2);
    while (pos_ < src_.size() && result_.error == LiteralError::kNone) {
      char c = src_[pos_];
      if (c == '\n') {
        lineStart_ = true;
        Copy(1);
        continue;
      }
      bool atLineStart = lineStart_;
      if (c != ' ' && c != '\t' && c != '\r') lineStart_ = false;
      if (Starts("//")) {
        LineComment();
      } else if (Starts("/*")) {
        BlockComment();
      } else if (c == '#' && atLineStart) {
        Directive();
      } else if (IsIdentStart(c)) {
        IdentifierOrPrefix();
      } else if (IsDigit(c) || (c == '.' && pos_ + 1 < src_.size() && IsDigit(src_[pos_ + 1]))) {
        Number();
      } else if (c == '"' || c == '\'') {
        Literal(true);
      } else {
        Copy(1);
      }
    }
    return result_;
  }

 private:
  bool Starts(std::string_view s) const { return src_.substr(pos_, s.size()) == s; }

  // Copies n bytes, counting the line breaks among them.
  void Copy(size_t n) {
    for (size_t i = 0; i < n && pos_ < src_.size(); ++i, ++pos_) {
      if (src_[pos_] == '\n') ++line_;
      out_ += src_[pos_];
    }
  }

  void Fail(LiteralError error, char32_t codePoint = 0) {
    if (result_.error != LiteralError::kNone) return;
    result_.error = error;
    result_.line = line_;
    result_.codePoint = codePoint;
  }

  // Up to the line break that is not continued by a backslash.
  void LineComment() {
    while (pos_ < src_.size()) {
      if (src_[pos_] == '\\' && pos_ + 1 < src_.size() && src_[pos_ + 1] == '\n') {
        Copy(2);
      } else if (src_[pos_] == '\\' && CrLfAt(pos_ + 1)) {
        Copy(3);  // backslash, CR, LF
      } else if (src_[pos_] == '\n') {
        return;
      } else {
        Copy(1);
      }
    }
  }
  bool CrLfAt(size_t at) const {
    return at + 1 < src_.size() && src_[at] == '\r' && src_[at + 1] == '\n';
  }

  void BlockComment() {
    size_t end = src_.find("*/", pos_ + 2);
    Copy(end == std::string_view::npos ? src_.size() - pos_ : end + 2 - pos_);
  }

  // A header name after #include is no string literal: the whole line stays.
  // Other directives are read as code.
  void Directive() {
    size_t p = pos_ + 1;
    while (p < src_.size() && (src_[p] == ' ' || src_[p] == '\t')) ++p;
    size_t nameEnd = p;
    while (nameEnd < src_.size() && IsIdentChar(src_[nameEnd])) ++nameEnd;
    std::string_view name = src_.substr(p, nameEnd - p);
    if (name != "include" && name != "include_next" && name != "import") {
      Copy(1);
      return;
    }
    size_t end = src_.find('\n', pos_);
    Copy(end == std::string_view::npos ? src_.size() - pos_ : end - pos_);
  }

  // An identifier; when a quote follows it directly, it is a literal's prefix.
  void IdentifierOrPrefix() {
    size_t end = pos_;
    while (end < src_.size() && IsIdentChar(src_[end])) ++end;
    std::string_view ident = src_.substr(pos_, end - pos_);
    char next = end < src_.size() ? src_[end] : '\0';
    if (next != '"' && next != '\'') {
      Copy(ident.size());
      return;
    }
    bool encoded = ident == "u8" || ident == "u" || ident == "U" || ident == "L";
    bool raw = next == '"' && (ident == "R" || ident == "u8R" || ident == "uR" ||
                               ident == "UR" || ident == "LR");
    if (raw) {
      Copy(ident.size());
      RawString(ident == "R");
    } else if (encoded) {
      Copy(ident.size());
      Literal(false);  // its encoding is its prefix's, not code page 932
    } else {
      Copy(ident.size());
    }
  }

  // A preprocessing number, so that a digit separator (1'000) opens no
  // character literal.
  void Number() {
    Copy(1);
    while (pos_ < src_.size()) {
      char c = src_[pos_];
      if ((c == '+' || c == '-') && (src_[pos_ - 1] == 'e' || src_[pos_ - 1] == 'E' ||
                                     src_[pos_ - 1] == 'p' || src_[pos_ - 1] == 'P')) {
        Copy(1);
      } else if (c == '\'' && pos_ + 1 < src_.size() && IsIdentChar(src_[pos_ + 1])) {
        Copy(2);
      } else if (IsIdentChar(c) || c == '.') {
        Copy(1);
      } else {
        return;
      }
    }
  }

  // A quoted literal from its opening quote; `convert` for ordinary ones. A
  // line break ends an unterminated literal (the compiler reports it).
  void Literal(bool convert) {
    char quote = src_[pos_];
    Copy(1);
    while (pos_ < src_.size() && result_.error == LiteralError::kNone) {
      char c = src_[pos_];
      if (c == quote) {
        Copy(1);
        return;
      }
      if (c == '\n') return;
      if (c == '\\') {
        // An escape takes the next byte with it (a line continuation its
        // CR LF); a non-ASCII one is a character of its own (a stray
        // backslash the compiler reports).
        if (CrLfAt(pos_ + 1)) {
          Copy(3);
        } else {
          Copy(pos_ + 1 < src_.size() && IsAscii(src_[pos_ + 1]) ? 2 : 1);
        }
      } else if (IsAscii(c) || !convert) {
        Copy(1);
      } else {
        Character();
      }
    }
  }

  // One non-ASCII character inside an ordinary literal, as octal escapes.
  void Character() {
    char32_t codePoint = 0;
    size_t length = DecodeUtf8(src_.substr(pos_), codePoint);
    if (length == 0) {
      Fail(LiteralError::kBadUtf8);
      return;
    }
    std::string bytes;
    if (!encoder_.Ok()) {
      Fail(LiteralError::kNoConverter);
      return;
    }
    if (!encoder_.Encode(src_.substr(pos_, length), bytes)) {
      Fail(LiteralError::kNoCp932Form, codePoint);
      return;
    }
    for (char b : bytes) {
      char escape[5];
      std::snprintf(escape, sizeof escape, "\\%03o", static_cast<unsigned char>(b));
      out_ += escape;
    }
    pos_ += length;
  }

  // R"delimiter( ... )delimiter" from its opening quote. Escapes mean nothing
  // inside, so an ordinary one can only keep ASCII text.
  void RawString(bool ordinary) {
    size_t open = src_.find('(', pos_ + 1);
    if (open == std::string_view::npos || open - pos_ - 1 > 16) {
      Copy(1);  // not a raw string the compiler would accept; it says so
      return;
    }
    std::string close = ")";
    close += src_.substr(pos_ + 1, open - pos_ - 1);
    close += '"';
    size_t end = src_.find(close, open + 1);
    size_t stop = end == std::string_view::npos ? src_.size() : end + close.size();
    if (ordinary) {
      for (size_t p = pos_; p < stop; ++p) {
        if (!IsAscii(src_[p])) {
          Copy(p - pos_);
          Fail(LiteralError::kRawString);
          return;
        }
      }
    }
    Copy(stop - pos_);
  }

  std::string_view src_;
  std::string& out_;
  size_t pos_ = 0;
  int line_ = 1;
  bool lineStart_ = true;
  LiteralResult result_;
  Cp932Encoder encoder_;
};

}  // namespace

LiteralResult ConvertLiteralsToCp932(std::string_view source, std::string& out) {
  return Rewriter(source, out).Run();
}

std::string DescribeLiteralError(const LiteralResult& result) {
  char text[96];
  switch (result.error) {
    case LiteralError::kNone:
      return std::string();
    case LiteralError::kNoCp932Form:
      std::snprintf(text, sizeof text, "character U+%04X in a literal has no code page 932 form",
                    static_cast<unsigned>(result.codePoint));
      return text;
    case LiteralError::kBadUtf8:
      return "a literal holds bytes that are not UTF-8";
    case LiteralError::kRawString:
      return "a raw string literal holds non-ASCII text; write it in an ordinary literal";
    case LiteralError::kNoConverter:
      return "the C library has no UTF-8 to CP932 converter (iconv)";
  }
  return std::string();
}
