#include "run/CopyLoop.h"

#include <vector>

namespace {

// Bytes read at a time: small enough that they are still in the processor's
// cache when they are scanned and written.
constexpr size_t kCopyBlock = size_t{256} << 10;

// The other lines: piece by piece, as the record loop writes COPY.
bool WritePieces(char* bytes, size_t size, TextWriter& writer, RecordContext& context) {
  TextReader pieces;
  pieces.AttachBlock(bytes, size);
  std::string_view piece;
  while (pieces.ReadPiece(piece)) {
    ++context.inCount;
    ++context.outCount;
    if (!WriteCopiedPiece(piece, writer)) return false;
  }
  return true;
}

}  // namespace

LoopEnd CopyRecords(File& input, TextWriter& writer, RecordContext& context, RunObserver& observer,
                    std::string& readFailure) {
  const std::atomic<int>& stop = context.clock->StopSignal();
  context.inCount = 0;
  context.outCount = 0;
  BlockReader blocks(input, kCopyBlock);
  IoBuffer block;
  size_t size = 0;
  bool last = false;
  std::vector<FormRun> runs;
  while (blocks.Next(block, size, last)) {
    if (stop.load(std::memory_order_relaxed) != 0) return LoopEnd::kStopped;
    ScanOutputForm(std::string_view(block.Data(), size), runs);
    for (const FormRun& run : runs) {
      char* bytes = block.Data() + run.begin;
      const size_t length = run.end - run.begin;
      if (run.same) {
        // Lines in output form are their own output.
        if (!writer.WriteAsIs(std::string_view(bytes, length))) {
          context.inCount += 1;
          context.outCount += 1;
          context.error = ErrorCode::kOutputFailed;
          return LoopEnd::kDone;
        }
        context.inCount += run.lines;
        context.outCount += run.lines;
      } else if (!WritePieces(bytes, length, writer, context)) {
        context.error = ErrorCode::kOutputFailed;
        return LoopEnd::kDone;
      }
    }
    observer.RecordsAdvanced(context.inCount, blocks.Consumed());
    if (last) break;
  }
  // As in the record loop: the records before a read failure are written,
  // then it is an input that could not be read.
  if (stop.load(std::memory_order_relaxed) != 0) return LoopEnd::kStopped;
  if (blocks.Failed()) {
    context.error = ErrorCode::kInputFailed;
    readFailure = blocks.FailureReason();
  }
  return LoopEnd::kDone;
}
