#include "app/PreviewPrinter.h"

#include <string>

void PreviewPrinter::RecordPreviewed(const PreviewRecord& record) {
  platform_.WriteConsole(DescribePreview(record, style_));
}

void PreviewPrinter::InputEnded(std::string_view fileName, int64_t shown) {
  if (shown == 0) platform_.WriteConsole(ShowName(fileName) + ": no records\n");
}

ViewStyle PreviewPrinter::ChooseStyle(Platform& platform) {
  ViewStyle style;
  style.utf8 = platform.ConsoleIsUtf8();
  std::string value;
  const bool noColour = platform.GetEnvironment("NO_COLOR", value) && !value.empty();
  const bool dumb = platform.GetEnvironment("TERM", value) && value == "dumb";
  style.colour = platform.IsTerminal(Stream::kOutput) && !noColour && !dumb;
  return style;
}
