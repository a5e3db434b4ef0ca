// The data a run reads and writes beyond code page 932: UTF-8 input, each
// record converted to code page 932 before the engine sees it (so positions
// in a parameter file count display columns), and the form output lines are
// written in. Without options every byte stays as code page 932 runs have
// always written it.
#pragma once

#include <string_view>

#include "platform/Cp932Unicode.h"
#include "platform/TextIo.h"
#include "platform/Utf8.h"
#include "record/RecordContext.h"

struct DataForm {
  bool utf8Input = false;
  // A character without a code page 932 form, or bytes that are not UTF-8:
  // error 28 at its record, or a stand-in of its width (counted).
  cp932::Unmappable unmappable = cp932::Unmappable::kStop;
  OutputForm output;
  bool byteOrderMark = false;  // a UTF-8 byte-order mark starts each output file

  // True when records and lines are read and written as they are (code page
  // 932, CR LF): the loops may then copy lines without looking at them.
  bool AsIs() const { return !utf8Input && !output.utf8 && !output.lineFeedOnly; }
  // How a line too long for one record is cut.
  PieceRule Pieces() const { return utf8Input ? PieceRule::kUtf8Characters : PieceRule::kBytes; }
};

// A UTF-8 file of nothing but a byte-order mark, what editors save for an
// empty file, holds no record: its one piece is skipped, not counted.
inline bool IsEmptyUtf8File(std::string_view piece, bool fileStart, const DataForm& form) {
  return fileStart && form.utf8Input && piece == utf8::kBom;
}

// The record a piece holds (the piece without its line feed), in code page
// 932: the piece itself, or under UTF-8 input its conversion into the
// context (a byte-order mark skipped at `fileStart`). False when it cannot
// be converted: the record is counted, and the context holds error 28, the
// problem and no statement line. Replacements are added to the context's count.
bool DecodeUtf8Record(std::string_view record, bool fileStart, const DataForm& form,
                      RecordContext& context, std::string_view& decoded);
inline bool DecodeRecord(std::string_view piece, bool fileStart, const DataForm& form,
                         RecordContext& context, std::string_view& record) {
  // NUL bytes are data, in either encoding.
  record = piece;
  if (!record.empty() && record.back() == '\n') record.remove_suffix(1);
  return !form.utf8Input || DecodeUtf8Record(record, fileStart, form, context, record);
}

// "the character U+1F600 at column 8 has no code page 932 form", or "byte
// 0xFF at column 3 is not UTF-8": the English detail of error 28.
std::string DescribeDecodeProblem(const cp932::FromUtf8Result& problem);
