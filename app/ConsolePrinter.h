// ConsolePrinter: the RunObserver that shows a run on the console — one
// summary line per input file and the described message of an error, in
// code page 932 exactly as batch jobs read them.
#pragma once

#include "platform/Platform.h"
#include "run/RunObserver.h"

class ConsolePrinter : public RunObserver {
 public:
  explicit ConsolePrinter(Platform& platform) : platform_(platform) {}

  void FileFinished(const FileSummary& summary) override;
  void Failed(const RunFailure& failure) override;

 private:
  Platform& platform_;
};
