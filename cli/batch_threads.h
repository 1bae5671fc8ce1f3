#pragma once

// The chunks of a --batch run: cut from the input by the reading thread,
// worked on by whichever thread is free (the reading thread too), and
// written strictly in input order.

#include "batch.h"
#include "batch_io.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace skybrant::cli {

// Longest input a chunk holds: its lines, and room for a partial line of
// the longest kind (with "\r\n") while its end is still to come.
inline constexpr std::size_t kChunkInputBytes = std::size_t{128} * 1024;
inline constexpr std::size_t kChunkBufferBytes = kChunkInputBytes + kMaxBatchLine + 2;

// The '\n' bytes in data: how the reading thread numbers each chunk's
// lines, so it looks at sixteen bytes a step.
std::size_t countLineEnds(const char* data, std::size_t size);

struct BatchChunk {
    // Left uncleared: only bytes read into it are ever looked at, and its
    // pages take memory only once input reaches them.
    std::unique_ptr<char[]> data = std::make_unique_for_overwrite<char[]>(kChunkBufferBytes);
    std::size_t size = 0;
    std::uint64_t seq = 0;
    std::uint64_t firstLine = 1;
    std::string out;
    // Output made from this chunk so far, written or not.
    std::size_t outTotal = 0;
    std::uint64_t failedLines = 0;
};

// acquire, release, submit, helpIfBehind, drain and startThreads belong to
// the reading thread.
class BatchChunks {
public:
    // threads: how many may work at once, the calling thread included.
    BatchChunks(BatchOutput& output, const BatchOptions& options, unsigned threads);
    ~BatchChunks();
    BatchChunks(const BatchChunks&) = delete;
    BatchChunks& operator=(const BatchChunks&) = delete;

    // A chunk to fill. While none is free the caller works on waiting
    // chunks or waits for one to be written.
    BatchChunk* acquire();
    // Gives back a chunk that was not submitted.
    void release(BatchChunk* chunk);
    // Queues a filled chunk of whole lines, the next in input order.
    void submit(BatchChunk* chunk);
    // The caller works on a waiting chunk when more wait than the other
    // threads are about to take.
    void helpIfBehind();
    // Returns once every submitted chunk has been written.
    void drain();
    // Starts the other threads, once.
    void startThreads();

    // The input a chunk should take now: its output then stays about the
    // same size whatever the options.
    std::size_t chunkTarget() const { return target_.load(std::memory_order_relaxed); }

    bool stopped() const { return stopped_.load(std::memory_order_relaxed); }
    std::uint64_t failedLines() const;
    unsigned threadsUsed() const;

private:
    void work(BatchChunk& chunk, const BatchOptions& options);
    // Writes the chunk's output now if it is its turn; holds it while it is
    // small, and otherwise waits for its turn.
    void offer(BatchChunk& chunk);
    void finish(BatchChunk& chunk, unsigned thread);
    void write(BatchChunk& chunk);
    void runThread(const BatchOptions& options, unsigned thread);
    // With the lock held: takes the oldest waiting chunk and works on it.
    void workOnePending(std::unique_lock<std::mutex>& lock, const BatchOptions& options, unsigned thread);

    BatchOutput& output_;
    const BatchOptions& options_;
    unsigned threads_;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::unique_ptr<BatchChunk>> pool_;
    std::vector<BatchChunk*> free_;
    std::deque<BatchChunk*> pending_;
    std::vector<BatchChunk*> done_;  // worked on, waiting for their turn
    std::uint64_t nextSeq_ = 0;
    std::uint64_t failedLines_ = 0;
    unsigned workedMask_ = 0;
    bool quit_ = false;
    struct ThreadState {
        BatchOptions options;
        std::optional<Callsigns> callsigns;
    };
    // Declared before the threads, which use them until they are joined.
    std::vector<std::unique_ptr<ThreadState>> states_;
    std::vector<std::thread> others_;

    // The chunk whose output is written now; all before it are written.
    std::atomic<std::uint64_t> turn_{0};
    std::atomic<bool> stopped_{false};
    std::atomic<std::size_t> target_;
};

}  // namespace skybrant::cli
