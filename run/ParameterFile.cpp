#include "run/ParameterFile.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <memory>

#include "platform/MemoryFile.h"
#include "platform/TextIo.h"
#include "platform/Utf8.h"

namespace {

constexpr size_t kReadBlock = size_t{1} << 20;

// Reads the whole file into `bytes`, at most kMaxParameterFileBytes of it;
// false on a read failure (with what was read before it kept) or when the
// file holds more, which `tooLarge` then says (a regular file by its size,
// before anything is read).
bool ReadAll(File& file, std::string& bytes, bool& tooLarge) {
  tooLarge = file.Size() > static_cast<int64_t>(kMaxParameterFileBytes);
  if (tooLarge) return false;
  auto block = std::make_unique_for_overwrite<char[]>(kReadBlock);
  for (;;) {
    const long long got = file.Read(block.get(), kReadBlock);
    if (got < 0) return false;
    if (got == 0) return true;
    if (bytes.size() + static_cast<size_t>(got) > kMaxParameterFileBytes) {
      tooLarge = true;
      return false;
    }
    bytes.append(block.get(), static_cast<size_t>(got));
  }
}

// One line that has no code page 932 form: the number the reader gives it
// and what is wrong with it, for people.
struct BadLine {
  int line = 0;
  std::string detail;
};

std::string Hex(const char* format, unsigned value) {
  char text[32];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

// Converts one UTF-8 line character by character, after the whole line
// failed: says which character stops it and at which column (code page 932
// bytes before it + 1, its place on the screen). A comment line is never
// read, so its characters without a form become "?" and it does not fail.
bool ConvertByCharacter(Platform& platform, std::string_view utf8, bool comment,
                        std::string& cp932, std::string& detail) {
  std::string one;
  char32_t codePoint = 0;
  for (size_t i = 0; i < utf8.size();) {
    size_t len = utf8::DecodeChar(utf8, i, codePoint);
    const bool malformed = len == 0;
    if (malformed) len = 1;
    if (!malformed && platform.ConvertUtf8ToCp932(utf8.substr(i, len), one)) {
      cp932 += one;
    } else if (comment) {
      cp932 += '?';
    } else {
      const std::string column = std::to_string(cp932.size() + 1);
      detail = malformed
                   ? "byte " + Hex("0x%02X", static_cast<unsigned char>(utf8[i])) + " at column " +
                         column + " is not UTF-8"
                   : "the character " + Hex("U+%04X", static_cast<unsigned>(codePoint)) +
                         " at column " + column + " has no code page 932 form";
      return false;
    }
    i += len;
  }
  return true;
}

// Converts UTF-8 text to code page 932 line by line, so a line with a
// character that has no code page 932 form can be named; such a line is
// left empty in the converted text (so later lines keep their numbers).
// Returns those lines with the numbers the reader gives them: it counts
// pieces, and a long line before one is several.
std::vector<BadLine> ConvertLines(Platform& platform, std::string_view utf8, std::string& cp932) {
  std::vector<BadLine> failed;
  std::string line;
  size_t start = 0;
  while (start < utf8.size()) {
    size_t end = utf8.find('\n', start);
    const bool lastLine = end == std::string_view::npos;
    if (lastLine) end = utf8.size();
    const std::string_view text = utf8.substr(start, end - start);
    BadLine bad;
    if (platform.ConvertUtf8ToCp932(text, line)) {
      cp932 += line;
    } else {
      line.clear();
      const bool comment = !text.empty() && text[0] == ';';
      if (ConvertByCharacter(platform, text, comment, line, bad.detail)) {
        cp932 += line;
      } else {
        bad.line = static_cast<int>(CountPieces(cp932)) + 1;
        failed.push_back(std::move(bad));
      }
    }
    if (!lastLine) cp932 += '\n';
    start = end + 1;
  }
  return failed;
}

// How the text is to be read: a byte-order mark, the choice, or the guess.
// Skips the byte-order mark in `text`; true for UTF-8.
bool ChooseEncoding(Platform& platform, ParamEncoding encoding, std::string_view& text,
                    EncodingRead& read) {
  if (encoding != ParamEncoding::kCp932 && utf8::StartsWithBom(text)) {
    text.remove_prefix(utf8::kBom.size());
    read = EncodingRead::kUtf8Bom;
    return true;
  }
  if (encoding == ParamEncoding::kUtf8) {
    read = EncodingRead::kUtf8Chosen;
    return true;
  }
  if (encoding == ParamEncoding::kCp932) return false;
  switch (utf8::GuessEncoding(text, [&platform](std::string_view in, std::string& out) {
    return platform.ConvertUtf8ToCp932(in, out);
  })) {
    case utf8::Encoding::kAscii: read = EncodingRead::kAscii; return false;
    case utf8::Encoding::kCp932: read = EncodingRead::kCp932; return false;
    case utf8::Encoding::kUtf8: read = EncodingRead::kUtf8Guessed; return true;
  }
  return false;
}

// Hands the code page 932 text to the reader line by line; the lines in
// `badLines` are counted but not read, each an error 10.
void ReadStatements(std::string converted, const std::vector<BadLine>& badLines,
                    JobReader& reader, ParameterFileResult& result,
                    std::vector<StatementError>* errors) {
  TextReader lines;
  lines.Attach(std::make_unique<MemoryFile>(std::move(converted)));
  std::string_view piece;
  size_t nextBad = 0;
  while (lines.ReadPiece(piece)) {
    StatementError error;
    if (nextBad < badLines.size() && badLines[nextBad].line == reader.LinesRead() + 1) {
      error = reader.ReadLine(std::string_view());
      error.code = ErrorCode::kBadParameter;
      error.detail = badLines[nextBad++].detail;
    } else {
      error = reader.ReadLine(piece);
    }
    if (error.ok()) continue;
    if (result.first.ok()) result.first = error;
    if (errors == nullptr) break;
    errors->push_back(std::move(error));
  }
  lines.Close();
}

}  // namespace

ParameterFileResult ReadParameterFile(Platform& platform, const std::string& path,
                                      ParamEncoding encoding, JobReader& reader,
                                      std::vector<StatementError>* errors) {
  ParameterFileResult result;
  std::unique_ptr<File> file =
      path == "-" ? platform.OpenStandardInput() : platform.Open(path, OpenMode::kRead, result.reason);
  if (file != nullptr) {
    result.id = file->Id();
    result.regularFile = file->Size() >= 0;
  }
  std::string bytes;
  bool tooLarge = false;
  const bool complete = file != nullptr && ReadAll(*file, bytes, tooLarge);
  if (tooLarge) {
    result.reason = "it is larger than " + std::to_string(kMaxParameterFileBytes >> 20) +
                    " MiB, the most a parameter file may hold";
  } else if (file != nullptr && !complete) {
    result.reason = file->FailureReason();
  }
  if (file != nullptr) file->Close();
  if (file == nullptr || tooLarge) {
    result.first.code = ErrorCode::kParameterFileFailed;
    result.tooLarge = tooLarge;
    if (errors != nullptr) errors->push_back(result.first);
    return result;
  }

  // The text-mode end: nothing after a byte 0x1A is part of the file, so it
  // takes no part in the guess either.
  const size_t end = bytes.find('\x1A');
  std::string_view text(bytes.data(), end == std::string::npos ? bytes.size() : end);
  std::vector<BadLine> badLines;
  std::string converted;
  if (ChooseEncoding(platform, encoding, text, result.encoding)) {
    badLines = ConvertLines(platform, text, converted);
  } else {
    converted.assign(bytes);  // as it is: the reader applies the text-mode rules
  }
  ReadStatements(std::move(converted), badLines, reader, result, errors);
  // A file that stops being readable half way would leave statements unseen:
  // the lines before the failure are read, then it is 90.
  if (!complete && (result.first.ok() || errors != nullptr)) {
    StatementError failed;
    failed.code = ErrorCode::kParameterFileFailed;
    failed.line = reader.LinesRead();
    if (result.first.ok()) result.first = failed;
    if (errors != nullptr) errors->push_back(failed);
  }
  return result;
}
