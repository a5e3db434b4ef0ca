// PreviewPrinter: the PreviewObserver of the program. Each record's view goes
// to standard output through the console (code page 932, converted for a
// UTF-8 terminal); a failure is shown as a run shows it (ConsolePrinter).
#pragma once

#include <cstdint>
#include <string_view>

#include "app/ConsolePrinter.h"
#include "app/PreviewView.h"
#include "platform/Platform.h"
#include "run/Preview.h"

class PreviewPrinter : public PreviewObserver {
 public:
  PreviewPrinter(Platform& platform, const PrinterOptions& options)
      : platform_(platform), style_(ChooseStyle(platform)), failures_(platform, options) {}

  void RecordPreviewed(const PreviewRecord& record) override;
  void InputEnded(std::string_view fileName, int64_t shown) override;
  void Failed(const RunFailure& failure) override { failures_.Failed(failure); }

  // UTF-8 as the console policy says; colours when standard output is a
  // terminal, unless NO_COLOR is set (to anything but "") or TERM is "dumb".
  static ViewStyle ChooseStyle(Platform& platform);

 private:
  Platform& platform_;
  ViewStyle style_;
  ConsolePrinter failures_;
};
