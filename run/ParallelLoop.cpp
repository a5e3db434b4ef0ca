#include "run/ParallelLoop.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "record/RecordStep.h"

namespace {

// One block of input and what a worker made of it. Each worker has its own;
// cache-line aligned, so that two workers never write to one line.
struct alignas(64) Block {
  IoBuffer input;
  size_t size = 0;
  bool last = false;       // the end of the file is in this block
  int64_t index = 0;       // its place in the file, from 0
  int64_t inBase = 0;      // records before the block, when [IN_LINE] needs them
  TextReader records;      // the block's records, as far as they are converted
  bool fileStart = false;  // the next record is the file's first
  bool converted = false;  // no record of the block is left for another part
  bool stopped = false;    // a stop signal came before the block's end
  // The worker's results for the current part.
  std::string output;                  // the records' texts, one after the other
  std::vector<size_t> ends;            // per record read: where its text ends in `output`
  size_t headerStart = kNoHeader;      // where a CSV header lies in `output`
  size_t headerLength = 0;
  int64_t selected = 0;
  ErrorCode error = ErrorCode::kNone;  // the first error, at the part's last record
  int errorLine = 0;
  cp932::FromUtf8Result decodeProblem;  // for error 28
  int64_t replaced = 0;                 // characters replaced in the part

  static constexpr size_t kNoHeader = static_cast<size_t>(-1);
};

// The blocks of one file. Each worker reads a block under the read lock,
// converts it, and writes it when all blocks before it are written (its
// turn): the bytes are read, converted and written by the same processor, so
// they stay in its cache, and nothing but the turn is shared. Blocks are
// large, so the locks are taken rarely. A block whose output outgrows a part
// is written part by part: the first part while the worker waits for its
// turn, the others converted and written in its turn.
class Pipeline {
 public:
  Pipeline(const Job& job, File& input, Platform& platform, std::string_view fileName,
           const ParallelOptions& options)
      : job_(job), platform_(platform), fileName_(fileName),
        countRecords_(UsesConstant(job, Constant::kInLine)),
        form_(options.form),
        direct_(CopiesPiecesAsRead(job) && !options.form.utf8Input),
        partBytes_(std::max<size_t>(options.partBytes, 1)),
        partRecords_(std::max<size_t>(options.partRecords, 1)),
        stopSignal_(platform.StopSignal()),
        blocks_(input, std::max<size_t>(options.blockSize, 1), options.form.Pieces()) {
    for (int i = 0; i < options.workers; ++i) {
      contexts_.push_back(std::make_unique<RecordContext>(platform_));
    }
  }

  void Run(TextWriter& writer, RecordContext& context, RunObserver& observer) {
    writer_ = &writer;
    run_ = &context;
    observer_ = &observer;
    std::vector<std::thread> workers;
    for (auto& workerContext : contexts_) {
      RecordContext* own = workerContext.get();
      workers.emplace_back([this, own] { Work(*own); });
    }
    for (std::thread& worker : workers) worker.join();
  }

  // True once the block with the end of the file is written.
  bool Finished() const { return finished_; }
  bool ReadFailed() const { return readFailed_; }
  const std::string& ReadFailure() const { return readFailure_; }

 private:
  void Work(RecordContext& context) {
    auto block = std::make_unique<Block>();
    while (Read(*block)) {
      StartBlock(*block, context);
      ConvertPart(*block, context);
      if (!AwaitTurn(*block)) return;
      bool more = WritePart(*block);
      while (more && !block->converted) {
        ConvertPart(*block, context);
        more = WritePart(*block);
      }
      if (more) more = FinishBlock(*block);
      PassTurn(more);
      if (!more) return;
    }
  }

  // Blocks are read in input order, so the one whose turn it is is always
  // held by some worker: waiting cannot stall. False when the run has ended.
  bool AwaitTurn(const Block& block) {
    std::unique_lock<std::mutex> lock(turnMutex_);
    turnChanged_.wait(lock, [&] { return nextToWrite_ == block.index || stopped_; });
    return !stopped_;
  }

  void PassTurn(bool more) {
    std::lock_guard<std::mutex> lock(turnMutex_);
    ++nextToWrite_;
    if (!more) stopped_ = true;
    turnChanged_.notify_all();
  }

  // ------------------------------------------------------------ reading

  // The next block of the file, ending on a piece boundary; false when the
  // file has been read to its end or the run has stopped. After the last
  // block with data comes an empty one that ends the file.
  bool Read(Block& block) {
    std::lock_guard<std::mutex> lock(readMutex_);
    if (readAll_ || stopped_.load(std::memory_order_relaxed) ||
        stopSignal_.load(std::memory_order_relaxed) != 0) {
      return false;
    }
    if (!blocks_.Next(block.input, block.size, block.last)) {
      block.size = 0;
      block.last = true;
    }
    block.index = nextIndex_++;
    if (countRecords_) {
      block.inBase = records_;
      records_ += CountPieces(std::string_view(block.input.Data(), block.size), form_.Pieces());
    }
    if (block.last) {
      readAll_ = true;
      readFailed_ = blocks_.Failed();
      readFailure_ = blocks_.FailureReason();
    }
    return true;
  }

  // ------------------------------------------------------------ converting

  void StartBlock(Block& block, RecordContext& context) {
    context.fileName = fileName_;
    context.inCount = block.inBase;
    context.outCount = 0;
    context.error = ErrorCode::kNone;
    context.errorLine = 0;
    block.records.AttachBlock(block.input.Data(), block.size, form_.Pieces());
    block.fileStart = block.index == 0;
    block.converted = false;
    block.stopped = false;
  }

  // Converts the block's next records into a part: until the part is full,
  // the block ends, a record fails or a stop signal comes.
  void ConvertPart(Block& block, RecordContext& context) {
    block.output.clear();
    block.ends.clear();
    block.headerStart = Block::kNoHeader;
    const int64_t selectedBefore = context.outCount;
    const int64_t replacedBefore = context.replaced;
    // The records' texts go straight into the part's output.
    std::swap(context.out, block.output);
    std::string_view piece;
    while (context.out.size() < partBytes_ && block.ends.size() < partRecords_) {
      if (!block.records.ReadPiece(piece)) {
        block.converted = true;
        break;
      }
      if (stopSignal_.load(std::memory_order_relaxed) != 0) {
        block.converted = block.stopped = true;
        break;
      }
      if (IsEmptyUtf8File(piece, block.fileStart, form_)) {
        block.fileStart = false;
        continue;
      }
      ConvertRecord(piece, block, context);
      block.ends.push_back(context.out.size());
      // A stopped run need not finish the block; asked now and then only,
      // as the flag shares its cache line with what the other threads write.
      if (context.error != ErrorCode::kNone ||
          ((block.ends.size() & 1023) == 0 && stopped_.load(std::memory_order_relaxed))) {
        block.converted = true;
        break;
      }
    }
    std::swap(context.out, block.output);
    block.selected = context.outCount - selectedBefore;
    block.replaced = context.replaced - replacedBefore;
    block.error = context.error;
    block.errorLine = context.errorLine;
    block.decodeProblem = context.decodeProblem;
  }

  void ConvertRecord(std::string_view piece, Block& block, RecordContext& context) {
    if (direct_) {
      ++context.inCount;
      ++context.outCount;
      context.out.append(piece).append(MissingLineFeed(piece));
      return;
    }
    std::string_view record;
    const bool fileStart = block.fileStart;
    block.fileStart = false;
    if (!DecodeRecord(piece, fileStart, form_, context, record)) return;
    context.headerLength = 0;
    const size_t start = context.out.size();
    ProcessRecord(job_, record, context);
    if (context.headerLength > 0) {
      block.headerStart = start;
      block.headerLength = context.headerLength;
    }
  }

  // ------------------------------------------------------------ writing

  // Writes one part's records, in the block's turn, as one thread would
  // write them (the writer hands its buffer to the file at the same bytes
  // however the text is cut, so a failed write is noticed at the same
  // record); false when the run ends with it (an error or a stop).
  bool WritePart(Block& block) {
    RecordContext& context = *run_;
    const std::string_view text = block.output;
    size_t skipFrom = text.size();  // a CSV header not to write
    size_t skipTo = text.size();
    // A CSV header belongs to the first record written from the file, which
    // a block after the first may not hold.
    if (block.headerStart != Block::kNoHeader && context.outCount > 0) {
      skipFrom = block.headerStart;
      skipTo = block.headerStart + block.headerLength;
    }
    size_t consumed = 0;
    size_t failedAt = text.size();
    if (!writer_->Write(text.substr(0, skipFrom), consumed)) {
      failedAt = consumed;
    } else if (!writer_->Write(text.substr(skipTo), consumed)) {
      failedAt = skipTo + consumed;
    }
    if (failedAt < text.size()) {
      // The record whose text holds the byte that could not be written.
      const auto record = std::upper_bound(block.ends.begin(), block.ends.end(), failedAt);
      context.inCount += (record - block.ends.begin()) + 1;
      context.error = ErrorCode::kOutputFailed;
      context.errorLine = 0;
      return false;
    }
    context.inCount += static_cast<int64_t>(block.ends.size());
    context.outCount += block.selected;
    context.replaced += block.replaced;
    // A record of many megabytes leaves its capacity behind: not kept.
    if (block.output.capacity() > 2 * partBytes_) std::string().swap(block.output);
    if (block.error != ErrorCode::kNone) {
      context.error = block.error;
      context.errorLine = block.errorLine;
      context.decodeProblem = block.decodeProblem;
      return false;
    }
    return !block.stopped;
  }

  // After a block's last part; false when it held the end of the file.
  bool FinishBlock(const Block& block) {
    written_ += static_cast<int64_t>(block.size);
    observer_->RecordsAdvanced(run_->inCount, written_);
    if (block.last) finished_ = true;
    return !block.last;
  }

  const Job& job_;
  Platform& platform_;
  std::string_view fileName_;
  const bool countRecords_;  // [IN_LINE] is used: blocks know the records before them
  const DataForm form_;
  const bool direct_;        // COPY without conditions of code page 932 records
  const size_t partBytes_;    // a part is full at this many bytes of output
  const size_t partRecords_;  // or this many records
  const std::atomic<int>& stopSignal_;
  std::vector<std::unique_ptr<RecordContext>> contexts_;

  // Reading, one worker at a time.
  std::mutex readMutex_;
  BlockReader blocks_;
  int64_t nextIndex_ = 0;  // the index of the next block read
  int64_t records_ = 0;    // records in the blocks read, when counted
  bool readAll_ = false;
  bool readFailed_ = false;
  std::string readFailure_;

  // Writing, by the worker whose turn it is.
  std::mutex turnMutex_;
  std::condition_variable turnChanged_;
  int64_t nextToWrite_ = 0;  // the block whose turn it is
  TextWriter* writer_ = nullptr;
  RecordContext* run_ = nullptr;
  RunObserver* observer_ = nullptr;
  int64_t written_ = 0;  // input bytes of the blocks written
  bool finished_ = false;
  alignas(64) std::atomic<bool> stopped_{false};
};

}  // namespace

bool CanRunInParallel(const Job& job) { return !UsesConstant(job, Constant::kOutLine); }

LoopEnd ProcessRecordsInParallel(const Job& job, File& input, TextWriter& writer,
                                 RecordContext& context, RunObserver& observer,
                                 Platform& platform, const ParallelOptions& options,
                                 std::string& readFailure) {
  context.inCount = 0;
  context.outCount = 0;
  Pipeline pipeline(job, input, platform, context.fileName, options);
  pipeline.Run(writer, context, observer);
  if (context.error != ErrorCode::kNone) return LoopEnd::kDone;
  // Without an error, only a stop signal ends the run before the end.
  if (!pipeline.Finished()) return LoopEnd::kStopped;
  // A read failure would silently drop the rest of the file: once every
  // record before it is written, it is an input that could not be read.
  if (pipeline.ReadFailed()) {
    context.error = ErrorCode::kInputFailed;
    readFailure = pipeline.ReadFailure();
  }
  return LoopEnd::kDone;
}
