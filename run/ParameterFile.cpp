#include "run/ParameterFile.h"

#include <memory>

#include "platform/MemoryFile.h"
#include "platform/TextIo.h"
#include "platform/Utf8.h"

namespace {

// Reads the whole file into `bytes`; false on a read failure, with what was
// read before it kept.
bool ReadAll(File& file, std::string& bytes) {
  char block[65536];
  for (;;) {
    const long long got = file.Read(block, sizeof block);
    if (got < 0) return false;
    if (got == 0) return true;
    bytes.append(block, static_cast<size_t>(got));
  }
}

// Converts UTF-8 text to code page 932 line by line, so a line with a
// character that has no code page 932 form can be named; such a line is
// left empty in the converted text (so later lines keep their numbers).
// Returns the numbers the reader gives those lines: it counts pieces, and a
// long line before one is several.
std::vector<int> ConvertLines(Platform& platform, std::string_view utf8, std::string& cp932) {
  std::vector<int> failed;
  std::string line;
  size_t start = 0;
  while (start < utf8.size()) {
    size_t end = utf8.find('\n', start);
    const bool lastLine = end == std::string_view::npos;
    if (lastLine) end = utf8.size();
    if (platform.ConvertUtf8ToCp932(utf8.substr(start, end - start), line)) {
      cp932 += line;
    } else {
      failed.push_back(static_cast<int>(CountPieces(cp932)) + 1);
    }
    if (!lastLine) cp932 += '\n';
    start = end + 1;
  }
  return failed;
}

}  // namespace

ParameterFileResult ReadParameterFile(Platform& platform, const std::string& path,
                                      ParamEncoding encoding, JobReader& reader,
                                      std::vector<StatementError>* errors) {
  ParameterFileResult result;
  std::unique_ptr<File> file =
      path == "-" ? platform.OpenStandardInput() : platform.Open(path, OpenMode::kRead, result.reason);
  if (file == nullptr) {
    result.first.code = ErrorCode::kParameterFileOpen;
    if (errors != nullptr) errors->push_back(result.first);
    return result;
  }
  std::string bytes;
  const bool complete = ReadAll(*file, bytes);
  if (!complete) result.reason = file->FailureReason();
  file->Close();

  // The text-mode end: nothing after a byte 0x1A is part of the file, so it
  // takes no part in the guess either.
  const size_t end = bytes.find('\x1A');
  std::string_view text(bytes.data(), end == std::string::npos ? bytes.size() : end);
  bool utf8 = false;
  if (encoding != ParamEncoding::kCp932 && utf8::StartsWithBom(text)) {
    text.remove_prefix(utf8::kBom.size());
    utf8 = true;
    result.encoding = EncodingRead::kUtf8Bom;
  } else if (encoding == ParamEncoding::kUtf8) {
    utf8 = true;
    result.encoding = EncodingRead::kUtf8Chosen;
  } else if (encoding == ParamEncoding::kAuto) {
    switch (utf8::GuessEncoding(text, [&platform](std::string_view in, std::string& out) {
      return platform.ConvertUtf8ToCp932(in, out);
    })) {
      case utf8::Encoding::kAscii: result.encoding = EncodingRead::kAscii; break;
      case utf8::Encoding::kCp932: result.encoding = EncodingRead::kCp932; break;
      case utf8::Encoding::kUtf8:
        utf8 = true;
        result.encoding = EncodingRead::kUtf8Guessed;
        break;
    }
  }

  std::vector<int> badLines;
  std::string converted;
  if (utf8) {
    badLines = ConvertLines(platform, text, converted);
  } else {
    converted.assign(bytes);  // as it is: the reader applies the text-mode rules
  }

  TextReader lines;
  lines.Attach(std::make_unique<MemoryFile>(std::move(converted)));
  std::string_view piece;
  size_t nextBad = 0;
  while (lines.ReadPiece(piece)) {
    StatementError error;
    if (nextBad < badLines.size() && badLines[nextBad] == reader.LinesRead() + 1) {
      // The line is not read as a statement, but it counts.
      ++nextBad;
      error = reader.ReadLine(std::string_view());
      error.code = ErrorCode::kBadParameter;
      error.detail = "the line has a character without a code page 932 form (or is not UTF-8)";
    } else {
      error = reader.ReadLine(piece);
    }
    if (error.ok()) continue;
    if (result.first.ok()) result.first = error;
    if (errors == nullptr) break;
    errors->push_back(std::move(error));
  }
  lines.Close();
  // A file that stops being readable half way would leave statements unseen:
  // the lines before the failure are read, then it is 90.
  if (!complete && (result.first.ok() || errors != nullptr)) {
    StatementError failed;
    failed.code = ErrorCode::kParameterFileOpen;
    failed.line = reader.LinesRead();
    if (result.first.ok()) result.first = failed;
    if (errors != nullptr) errors->push_back(failed);
  }
  return result;
}
