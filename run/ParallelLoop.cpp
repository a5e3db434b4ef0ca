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
  // The worker's results.
  std::string output;                  // the records' texts, one after the other
  std::vector<size_t> ends;            // per record read: where its text ends in `output`
  size_t headerStart = kNoHeader;      // where a CSV header lies in `output`
  size_t headerLength = 0;
  int64_t selected = 0;
  ErrorCode error = ErrorCode::kNone;  // the first error, at the block's last record
  int errorLine = 0;

  static constexpr size_t kNoHeader = static_cast<size_t>(-1);
};

// The blocks of one file. Each worker reads a block under the read lock,
// converts it, and writes it when all blocks before it are written (its
// turn): the bytes are read, converted and written by the same processor, so
// they stay in its cache, and nothing but the turn is shared. Blocks are
// large, so the locks are taken rarely.
class Pipeline {
 public:
  Pipeline(const Job& job, File& input, Platform& platform, std::string_view fileName,
           const ParallelOptions& options)
      : job_(job), platform_(platform), fileName_(fileName),
        countRecords_(UsesConstant(job, Constant::kInLine)),
        direct_(job.type == ProcessingType::kCopy && job.selection.empty()),
        blocks_(input, std::max<size_t>(options.blockSize, 1)) {
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

  bool ReadFailed() const { return readFailed_; }
  const std::string& ReadFailure() const { return readFailure_; }

 private:
  void Work(RecordContext& context) {
    auto block = std::make_unique<Block>();
    while (Read(*block)) {
      Convert(*block, context);
      {
        // Blocks are read in input order, so the one whose turn it is is
        // always held by some worker: waiting cannot stall.
        std::unique_lock<std::mutex> lock(turnMutex_);
        turnChanged_.wait(lock, [&] { return nextToWrite_ == block->index || stopped_; });
        if (stopped_) return;
      }
      const bool more = WriteBlock(*block);
      std::lock_guard<std::mutex> lock(turnMutex_);
      ++nextToWrite_;
      if (!more) stopped_ = true;
      turnChanged_.notify_all();
      if (!more) return;
    }
  }

  // ------------------------------------------------------------ reading

  // The next block of the file, ending on a piece boundary; false when the
  // file has been read to its end or the run has stopped. After the last
  // block with data comes an empty one that ends the file.
  bool Read(Block& block) {
    std::lock_guard<std::mutex> lock(readMutex_);
    if (readAll_ || stopped_.load(std::memory_order_relaxed)) return false;
    if (!blocks_.Next(block.input, block.size, block.last)) {
      block.size = 0;
      block.last = true;
    }
    block.index = nextIndex_++;
    if (countRecords_) {
      block.inBase = records_;
      records_ += CountPieces(std::string_view(block.input.Data(), block.size));
    }
    if (block.last) {
      readAll_ = true;
      readFailed_ = blocks_.Failed();
      readFailure_ = blocks_.FailureReason();
    }
    return true;
  }

  // ------------------------------------------------------------ converting

  void Convert(Block& block, RecordContext& context) {
    context.fileName = fileName_;
    context.inCount = block.inBase;
    context.outCount = 0;
    context.error = ErrorCode::kNone;
    context.errorLine = 0;
    block.output.clear();
    block.ends.clear();
    block.error = ErrorCode::kNone;
    block.headerStart = Block::kNoHeader;
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
        const size_t start = context.out.size();
        ProcessRecord(job_, record, context);
        if (context.headerLength > 0) {
          block.headerStart = start;
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

  // Writes one block's records, in its turn, as one thread would write them
  // (the writer hands its buffer to the file at the same bytes, so a failed
  // write is noticed at the same record); false when the run ends with it (an
  // error, or the end of the file).
  bool WriteBlock(Block& block) {
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
      context.error = ErrorCode::kOutputOpen;
      context.errorLine = 0;
      return false;
    }
    context.inCount += static_cast<int64_t>(block.ends.size());
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

  const Job& job_;
  Platform& platform_;
  std::string_view fileName_;
  const bool countRecords_;  // [IN_LINE] is used: blocks know the records before them
  const bool direct_;        // COPY without conditions
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
  alignas(64) std::atomic<bool> stopped_{false};
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
