#include "run/ParallelLoop.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "record/RecordStep.h"

namespace {

// One block of input and what a worker made of it; cache-line aligned, as a
// worker writes its results while others look at the blocks beside it.
struct alignas(64) Block {
  IoBuffer input;
  size_t size = 0;
  bool last = false;       // the end of the file is in this block
  int64_t index = 0;       // its place in the file, from 0
  int64_t inBase = 0;      // records before the block, when [IN_LINE] needs them
  // The worker's results.
  std::string output;                  // the records' texts, one after the other
  std::vector<size_t> ends;            // per record: where its text ends in `output`
  int64_t headerRecord = -1;           // the record whose text starts with a CSV header
  size_t headerLength = 0;
  int64_t selected = 0;
  ErrorCode error = ErrorCode::kNone;  // the first error, at the last record in `ends`
  int errorLine = 0;
};

// The blocks of one file, shared by the reader, the workers and the writer
// under one lock; blocks are large, so the lock is taken rarely.
class Pipeline {
 public:
  Pipeline(const Job& job, File& input, Platform& platform, std::string_view fileName,
           const ParallelOptions& options)
      : job_(job), input_(input), platform_(platform), fileName_(fileName),
        blockSize_(std::max<size_t>(options.blockSize, 1)),
        countRecords_(UsesConstant(job, Constant::kInLine)),
        direct_(job.type == ProcessingType::kCopy && job.selection.empty()) {
    // Two blocks per worker: one being converted, one waiting to be written.
    const size_t blocks = static_cast<size_t>(options.workers) * 2 + 1;
    for (size_t i = 0; i < blocks; ++i) free_.push_back(std::make_unique<Block>());
    for (int i = 0; i < options.workers; ++i) {
      contexts_.push_back(std::make_unique<RecordContext>(platform_));
    }
  }

  // Runs the reader and the workers; each worker writes the block it
  // converted when all blocks before it are written (its turn), so the bytes
  // go out in input order from the processor that made them.
  void Run(TextWriter& writer, RecordContext& context, RunObserver& observer) {
    writer_ = &writer;
    run_ = &context;
    observer_ = &observer;
    std::thread reader([this] { ReadBlocks(); });
    std::vector<std::thread> workers;
    for (auto& workerContext : contexts_) {
      RecordContext* own = workerContext.get();
      workers.emplace_back([this, own] { ConvertBlocks(*own); });
    }
    for (std::thread& worker : workers) worker.join();
    Stop();
    reader.join();
  }

  bool ReadFailed() const { return readFailed_; }
  const std::string& ReadFailure() const { return readFailure_; }

 private:
  // ------------------------------------------------------------ reading

  // Reads the file into blocks that each end on a piece boundary, and queues
  // them.
  void ReadBlocks() {
    BlockReader blocks(input_, blockSize_);
    int64_t records = 0;
    for (;;) {
      std::unique_ptr<Block> block = TakeFree();
      if (!block) return;  // stopped
      if (!blocks.Next(block->input, block->size, block->last)) {
        block->size = 0;
        block->last = true;
      }
      if (countRecords_) {
        block->inBase = records;
        records += CountPieces(std::string_view(block->input.Data(), block->size));
      }
      if (block->last) {
        readFailed_ = blocks.Failed();
        readFailure_ = blocks.FailureReason();
      }
      const bool last = block->last;
      Queue(std::move(block));
      if (last) return;
    }
  }

  // ------------------------------------------------------------ converting

  void ConvertBlocks(RecordContext& context) {
    for (;;) {
      std::unique_ptr<Block> block = TakeWork();
      if (!block) return;
      Convert(*block, context);
      {
        // Blocks are taken in input order, so the one whose turn it is is
        // always being converted by some worker: waiting cannot stall.
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return nextToWrite_ == block->index || stopped_; });
        if (stopped_) return;
      }
      const bool more = WriteBlock(*block);
      std::lock_guard<std::mutex> lock(mutex_);
      ++nextToWrite_;
      if (!more) stopped_ = true;
      free_.push_back(std::move(block));
      changed_.notify_all();
      if (!more) return;
    }
  }

  void Convert(Block& block, RecordContext& context) {
    context.fileName = fileName_;
    context.inCount = block.inBase;
    context.outCount = 0;
    context.error = ErrorCode::kNone;
    context.errorLine = 0;
    block.output.clear();
    block.ends.clear();
    block.headerRecord = -1;
    block.error = ErrorCode::kNone;
    // The records' texts go straight into the block's output.
    std::swap(context.out, block.output);
    TextReader reader;
    reader.AttachBlock(block.input.Data(), block.size);
    std::string_view piece;
    while (reader.ReadPiece(piece)) {
      if (direct_) {
        ++context.inCount;
        ++context.outCount;
        context.out.append(piece);
        if (piece.empty() || piece.back() != '\n') context.out.push_back('\n');
      } else {
        std::string_view record = piece;
        if (!record.empty() && record.back() == '\n') record.remove_suffix(1);
        context.headerLength = 0;
        ProcessRecord(job_, record, context);
        if (context.headerLength > 0) {
          block.headerRecord = static_cast<int64_t>(block.ends.size());
          block.headerLength = context.headerLength;
        }
      }
      block.ends.push_back(context.out.size());
      if (context.error != ErrorCode::kNone) break;
      // A stopped run need not finish the block; asked now and then only,
      // as the flag shares its cache line with what the other threads write.
      if ((block.ends.size() & 1023) == 0 && stopped_.load(std::memory_order_relaxed)) break;
    }
    std::swap(context.out, block.output);
    block.selected = context.outCount;
    block.error = context.error;
    block.errorLine = context.errorLine;
  }

  // ------------------------------------------------------------ writing

  // Writes one block's records, in its turn, as one thread would write them;
  // false when the run ends with it (an error, or the end of the file).
  bool WriteBlock(Block& block) {
    RecordContext& context = *run_;
    size_t start = 0;
    for (size_t i = 0; i < block.ends.size(); ++i) {
      ++context.inCount;
      std::string_view text(block.output.data() + start, block.ends[i] - start);
      start = block.ends[i];
      // A CSV header belongs to the first record written from the file,
      // which a block after the first may not hold.
      if (static_cast<int64_t>(i) == block.headerRecord && context.outCount > 0) {
        text.remove_prefix(block.headerLength);
      }
      if (!text.empty() && !writer_->Write(text)) {
        context.error = ErrorCode::kOutputOpen;
        context.errorLine = 0;
        return false;
      }
    }
    context.outCount += block.selected;
    written_ += static_cast<int64_t>(block.size);
    if (block.error != ErrorCode::kNone) {
      context.error = block.error;
      context.errorLine = block.errorLine;
      return false;
    }
    observer_->RecordsAdvanced(context.inCount, written_);
    return !block.last;
  }

  // ------------------------------------------------------------ the queue

  std::unique_ptr<Block> TakeFree() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return !free_.empty() || stopped_; });
    if (stopped_) return nullptr;
    std::unique_ptr<Block> block = std::move(free_.back());
    free_.pop_back();
    return block;
  }

  void Queue(std::unique_ptr<Block> block) {
    std::lock_guard<std::mutex> lock(mutex_);
    block->index = nextIndex_++;
    readAll_ = block->last;
    work_.push_back(std::move(block));
    changed_.notify_all();
  }

  // The next block to convert, in input order; null when there is none left.
  std::unique_ptr<Block> TakeWork() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return !work_.empty() || readAll_ || stopped_; });
    if (stopped_ || work_.empty()) return nullptr;
    std::unique_ptr<Block> block = std::move(work_.front());
    work_.pop_front();
    return block;
  }

  void Stop() {
    std::lock_guard<std::mutex> lock(mutex_);
    stopped_ = true;
    changed_.notify_all();
  }

  const Job& job_;
  File& input_;
  Platform& platform_;
  std::string_view fileName_;
  const size_t blockSize_;
  const bool countRecords_;  // [IN_LINE] is used: blocks know the records before them
  const bool direct_;        // COPY without conditions
  std::vector<std::unique_ptr<RecordContext>> contexts_;

  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::unique_ptr<Block>> free_;
  std::deque<std::unique_ptr<Block>> work_;  // read, not yet taken, in input order
  int64_t nextIndex_ = 0;                    // the index of the next block read
  int64_t nextToWrite_ = 0;                  // the block whose turn it is
  bool readAll_ = false;
  // The writing side, used by the worker whose turn it is.
  TextWriter* writer_ = nullptr;
  RecordContext* run_ = nullptr;
  RunObserver* observer_ = nullptr;
  int64_t written_ = 0;  // input bytes of the blocks written
  alignas(64) std::atomic<bool> stopped_{false};
  bool readFailed_ = false;
  std::string readFailure_;
};

}  // namespace

bool CanRunInParallel(const Job& job) { return !UsesConstant(job, Constant::kOutLine); }

void ProcessRecordsInParallel(const Job& job, File& input, TextWriter& writer,
                              RecordContext& context, RunObserver& observer, Platform& platform,
                              const ParallelOptions& options, std::string& readFailure) {
  context.inCount = 0;
  context.outCount = 0;
  Pipeline pipeline(job, input, platform, context.fileName, options);
  pipeline.Run(writer, context, observer);
  // A read failure would silently drop the rest of the file: once every
  // record before it is written, it is an input that could not be read.
  if (context.error == ErrorCode::kNone && pipeline.ReadFailed()) {
    context.error = ErrorCode::kInputOpen;
    readFailure = pipeline.ReadFailure();
  }
}
