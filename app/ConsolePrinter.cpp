// The console lines of a run. The Japanese texts are written readably here
// and become code page 932 bytes in the program.
#include "app/ConsolePrinter.h"

#include <cinttypes>
#include <cstdarg>
#include <cstdio>
#include <string>

namespace {

// printf-style formatting into a string sized to fit (names and patterns may
// be long, so no fixed buffer limits what is printed).
__attribute__((format(printf, 1, 2))) std::string Format(const char* format, ...) {
  char small[256];
  va_list args;
  va_start(args, format);
  const int needed = std::vsnprintf(small, sizeof small, format, args);
  va_end(args);
  if (needed < 0) return std::string();
  if (static_cast<size_t>(needed) < sizeof small) return std::string(small, static_cast<size_t>(needed));
  std::string text(static_cast<size_t>(needed) + 1, '\0');
  va_start(args, format);
  std::vsnprintf(text.data(), text.size(), format, args);
  va_end(args);
  text.resize(static_cast<size_t>(needed));
  return text;
}

}  // namespace

void ConsolePrinter::FileFinished(const FileSummary& summary) {
  // Minutes within the hour: a file that takes 1 h 5 min 10 s shows 05:10.
  const int64_t elapsed = summary.seconds;
  const int seconds = static_cast<int>(elapsed % 60);
  const int minutes = static_cast<int>(elapsed / 60 - (elapsed / 3600) * 60);
  const std::string name(summary.name);
  platform_.WriteConsole(Format("入力ﾌｧｲﾙ:%s 入力件数:%" PRId64 " 出力件数:%" PRId64
                                " 処理時間:%02d:%02d\n",
                                name.c_str(), summary.recordsRead, summary.recordsWritten,
                                minutes, seconds));
}

void ConsolePrinter::Failed(const RunFailure& failure) {
  const std::string message(ErrorMessage(failure.code));
  switch (failure.stage) {
    case FailureStage::kParameters:
      // The message and the line that caused it, two blanks between them.
      platform_.WriteConsole(Format("%s  %d行目\n", message.c_str(), failure.line));
      return;
    case FailureStage::kOutputOpen:
      platform_.WriteConsole(message + "\n");
      return;
    case FailureStage::kInput:
      platform_.WriteConsole(message + Format("（入力ﾌｧｲﾙ:%s 入力件数:%" PRId64 " ）\n",
                                              failure.fileName.c_str(), failure.records));
      return;
  }
}
