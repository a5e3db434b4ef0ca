#include "run/RecordLoop.h"

#include "record/RecordStep.h"

namespace {

// Records between two progress reports.
constexpr int64_t kProgressEvery = 8192;

// Converts one record and writes what it produced; with `trace`, the
// explanation of its conditions goes to the observer.
void ConvertAndWrite(const Job& job, std::string_view piece, TextWriter& writer,
                     RecordContext& context, RunObserver& observer, RecordTrace* trace) {
  // The record is the piece without its line feed; NUL bytes are data.
  // (Under COPY this writes the same bytes as the direct path.)
  std::string_view record = piece;
  if (!record.empty() && record.back() == '\n') record.remove_suffix(1);
  context.out.clear();
  if (trace != nullptr) trace->Clear();
  context.trace = trace;
  const Selection selection = ProcessRecord(job, record, context);
  context.trace = nullptr;
  // What the step produced is written even when it then failed (a CSV
  // header line before a bad first record).
  if (!context.out.empty() && !writer.Write(context.out)) {
    context.error = ErrorCode::kOutputOpen;
    context.errorLine = 0;
  }
  if (trace == nullptr) return;
  RecordExplanation explanation;
  explanation.fileName = context.fileName;
  explanation.record = context.inCount;
  explanation.selected = selection.selected;
  explanation.job = &job;
  explanation.trace = trace;
  observer.RecordExplained(explanation);
}

}  // namespace

bool CopiesPiecesAsRead(const Job& job) {
  return job.type == ProcessingType::kCopy && job.selection.empty();
}

bool WriteCopiedPiece(std::string_view piece, TextWriter& writer) {
  return writer.Write(piece) && writer.Write(MissingLineFeed(piece));
}

LoopEnd ProcessRecords(const Job& job, TextReader& reader, TextWriter& writer,
                       RecordContext& context, RunObserver& observer) {
  const std::atomic<int>& stop = context.clock->StopSignal();
  const bool direct = CopiesPiecesAsRead(job);
  const int64_t explain = observer.RecordsToExplain();
  RecordTrace trace;
  std::string_view piece;
  while (context.error == ErrorCode::kNone && reader.ReadPiece(piece)) {
    if (stop.load(std::memory_order_relaxed) != 0) return LoopEnd::kStopped;
    const bool explaining = context.inCount < explain;
    if (direct && !explaining) {
      ++context.inCount;
      ++context.outCount;
      if (!WriteCopiedPiece(piece, writer)) context.error = ErrorCode::kOutputOpen;
    } else {
      ConvertAndWrite(job, piece, writer, context, observer, explaining ? &trace : nullptr);
    }
    if (context.inCount % kProgressEvery == 0) {
      observer.RecordsAdvanced(context.inCount, reader.Consumed());
    }
  }
  // A read cut short by a stop signal is no failure: the run stops.
  if (stop.load(std::memory_order_relaxed) != 0 && context.error == ErrorCode::kNone) {
    return LoopEnd::kStopped;
  }
  if (context.error == ErrorCode::kNone && reader.Failed()) context.error = ErrorCode::kInputOpen;
  return LoopEnd::kDone;
}
