#include "run/RecordLoop.h"

#include "record/RecordStep.h"

namespace {

// Records between two progress reports.
constexpr int64_t kProgressEvery = 8192;

// Converts one record and writes what it produced; with `trace`, the
// explanation of its conditions goes to the observer.
void ConvertAndWrite(const Job& job, std::string_view piece, const DataForm& form,
                     TextWriter& writer, RecordContext& context, RunObserver& observer,
                     RecordTrace* trace) {
  // (Under COPY this writes the same bytes as the direct path.)
  std::string_view record;
  if (!DecodeRecord(piece, context.inCount == 0, form, context, record)) return;
  context.out.clear();
  if (trace != nullptr) trace->Clear();
  context.trace = trace;
  const Selection selection = ProcessRecord(job, record, context);
  context.trace = nullptr;
  // What the step produced is written even when it then failed (a CSV
  // header line before a bad first record).
  if (!context.out.empty() && !writer.Write(context.out)) {
    context.error = ErrorCode::kOutputFailed;
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
                       RecordContext& context, RunObserver& observer, const DataForm& form) {
  const std::atomic<int>& stop = context.clock->StopSignal();
  // The writer converts what it is given; only UTF-8 input must be read.
  const bool direct = CopiesPiecesAsRead(job) && !form.utf8Input;
  const int64_t explain = observer.RecordsToExplain();
  RecordTrace trace;
  std::string_view piece;
  while (context.error == ErrorCode::kNone && reader.ReadPiece(piece)) {
    if (stop.load(std::memory_order_relaxed) != 0) return LoopEnd::kStopped;
    if (IsEmptyUtf8File(piece, context.inCount == 0, form)) continue;
    const bool explaining = context.inCount < explain;
    if (direct && !explaining) {
      ++context.inCount;
      ++context.outCount;
      if (!WriteCopiedPiece(piece, writer)) context.error = ErrorCode::kOutputFailed;
    } else {
      ConvertAndWrite(job, piece, form, writer, context, observer, explaining ? &trace : nullptr);
    }
    if (context.inCount % kProgressEvery == 0) {
      observer.RecordsAdvanced(context.inCount, reader.Consumed());
    }
  }
  // A read cut short by a stop signal is no failure: the run stops.
  if (stop.load(std::memory_order_relaxed) != 0 && context.error == ErrorCode::kNone) {
    return LoopEnd::kStopped;
  }
  if (context.error == ErrorCode::kNone && reader.Failed()) context.error = ErrorCode::kInputFailed;
  return LoopEnd::kDone;
}
