#include "run/RecordInput.h"

#include <cstdio>
#include <string>

#include "platform/Utf8.h"

bool DecodeUtf8Record(std::string_view record, bool fileStart, const DataForm& form,
                      RecordContext& context, std::string_view& decoded) {
  if (fileStart && utf8::StartsWithBom(record)) record.remove_prefix(utf8::kBom.size());
  // The buffer only grows, so once it holds the longest record nothing is
  // allocated or filled per record.
  const size_t room = cp932::MaxCp932Size(record.size());
  if (context.decoded.size() < room) context.decoded.resize(room);
  const cp932::FromUtf8Result result =
      cp932::FromUtf8(record, context.decoded.data(), form.unmappable);
  context.replaced += static_cast<int64_t>(result.replaced);
  decoded = std::string_view(context.decoded.data(), result.written);
  if (result.problem == cp932::Utf8Problem::kNone) return true;
  ++context.inCount;
  context.error = ErrorCode::kNotCp932;
  context.errorLine = 0;
  context.decodeProblem = result;
  return false;
}

std::string DescribeDecodeProblem(const cp932::FromUtf8Result& problem) {
  char text[96];
  if (problem.problem == cp932::Utf8Problem::kMalformed) {
    std::snprintf(text, sizeof text, "byte 0x%02X at column %zu is not UTF-8", problem.byte,
                  problem.column);
  } else {
    std::snprintf(text, sizeof text, "the character U+%04X at column %zu has no code page 932 form",
                  static_cast<unsigned>(problem.codePoint), problem.column);
  }
  return text;
}
