#include "run/RecordLoop.h"

#include "record/RecordStep.h"

namespace {

// Records between two progress reports.
constexpr int64_t kProgressEvery = 8192;

}  // namespace

LoopEnd ProcessRecords(const Job& job, TextReader& reader, TextWriter& writer,
                       RecordContext& context, RunObserver& observer) {
  const std::atomic<int>& stop = context.clock->StopSignal();
  // COPY without conditions: nothing looks at the record, so each piece goes
  // to the output as it was read (its LF, or one added, ends the line).
  const bool direct = job.type == ProcessingType::kCopy && job.selection.empty();
  const int64_t explain = observer.RecordsToExplain();
  RecordTrace trace;
  std::string_view piece;
  while (context.error == ErrorCode::kNone && reader.ReadPiece(piece)) {
    if (stop.load(std::memory_order_relaxed) != 0) return LoopEnd::kStopped;
    const bool explaining = context.inCount < explain;
    if (direct && !explaining) {
      ++context.inCount;
      ++context.outCount;
      bool written = writer.Write(piece);
      if (written && (piece.empty() || piece.back() != '\n')) written = writer.Write("\n");
      if (!written) context.error = ErrorCode::kOutputOpen;
    } else {
      // The record is the piece without its line feed; NUL bytes are data.
      // (Under COPY this writes the same bytes as the direct path.)
      std::string_view record = piece;
      if (!record.empty() && record.back() == '\n') record.remove_suffix(1);
      context.out.clear();
      if (explaining) {
        trace.Clear();
        context.trace = &trace;
      }
      const Selection selection = ProcessRecord(job, record, context);
      context.trace = nullptr;
      // What the step produced is written even when it then failed (a CSV
      // header line before a bad first record).
      if (!context.out.empty() && !writer.Write(context.out)) {
        context.error = ErrorCode::kOutputOpen;
        context.errorLine = 0;
      }
      if (explaining) {
        RecordExplanation explanation;
        explanation.fileName = context.fileName;
        explanation.record = context.inCount;
        explanation.selected = selection.selected;
        explanation.job = &job;
        explanation.trace = &trace;
        observer.RecordExplained(explanation);
      }
    }
    if (context.inCount % kProgressEvery == 0) {
      observer.RecordsAdvanced(context.inCount, reader.Consumed());
    }
  }
  // A read failure would silently drop the rest of the file: it is an input
  // that could not be read, reported like one that could not be opened.
  // A read cut short by a stop signal is no failure: the run stops.
  if (stop.load(std::memory_order_relaxed) != 0 && context.error == ErrorCode::kNone) {
    return LoopEnd::kStopped;
  }
  if (context.error == ErrorCode::kNone && reader.Failed()) context.error = ErrorCode::kInputOpen;
  return LoopEnd::kDone;
}
