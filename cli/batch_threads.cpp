#include "batch_threads.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <system_error>

namespace skybrant::cli {

namespace {

// Output goes out in blocks of this size while it is a chunk's turn.
constexpr std::size_t kWriteBlock = std::size_t{64} * 1024;
// The output a chunk is cut for; a chunk waiting for its turn holds up to
// twice that before its thread waits too. With --json and every column the
// output is some 40 times the input, so chunks then take less input.
constexpr std::size_t kChunkOutputBytes = std::size_t{128} * 1024;
constexpr std::size_t kHeldOutputBytes = 2 * kChunkOutputBytes;
// The first chunks are small, so the first answers come soon.
constexpr std::size_t kFirstChunkBytes = std::size_t{16} * 1024;
constexpr std::size_t kSmallestChunkBytes = std::size_t{4} * 1024;

std::string_view trimCr(std::string_view s)
{
    if (!s.empty() && s.back() == '\r') {
        s.remove_suffix(1);
    }
    return s;
}

}  // namespace

std::size_t countLineEnds(const char* data, std::size_t size)
{
    using Bytes = unsigned char __attribute__((vector_size(16)));
    constexpr std::size_t kStep = sizeof(Bytes);
    // Each lane counts up to 255 before the lanes are added up.
    constexpr std::size_t kStepsPerSum = 255;
    const Bytes lineEnd = Bytes{} + static_cast<unsigned char>('\n');
    std::size_t count = 0;
    std::size_t i = 0;
    while (size - i >= kStep) {
        Bytes lanes = {};
        const std::size_t steps = std::min((size - i) / kStep, kStepsPerSum);
        for (std::size_t s = 0; s < steps; ++s, i += kStep) {
            Bytes bytes;
            std::memcpy(&bytes, data + i, kStep);
            // A lane that matches is all ones, -1: taking it away adds one.
            lanes -= static_cast<Bytes>(bytes == lineEnd);
        }
        for (std::size_t lane = 0; lane < kStep; ++lane) {
            count += lanes[lane];
        }
    }
    for (; i < size; ++i) {
        count += data[i] == '\n' ? 1 : 0;
    }
    return count;
}

BatchChunks::BatchChunks(BatchOutput& output, const BatchOptions& options, unsigned threads)
    : output_(output), options_(options), threads_(std::max(threads, 1U)), target_(kFirstChunkBytes)
{
    // Enough chunks for every thread to hold one, one more waiting for each,
    // and the one being filled.
    const std::size_t chunks = std::size_t{threads_} + 3;
    for (std::size_t i = 0; i < chunks; ++i) {
        pool_.push_back(std::make_unique<BatchChunk>());
        free_.push_back(pool_.back().get());
    }
}

BatchChunks::~BatchChunks()
{
    {
        const std::lock_guard lock(mutex_);
        quit_ = true;
    }
    changed_.notify_all();
    for (std::thread& t : others_) {
        t.join();
    }
}

void BatchChunks::startThreads()
{
    if (!others_.empty() || threads_ < 2) {
        return;
    }
    for (unsigned i = 1; i < threads_; ++i) {
        // Each thread keeps its own pair of callsigns, copied here before
        // it starts; the country file is shared and only read.
        auto state = std::make_unique<ThreadState>();
        state->options = options_;
        if (options_.callsigns != nullptr) {
            state->callsigns.emplace(*options_.callsigns);
            state->options.callsigns = &*state->callsigns;
        }
        states_.push_back(std::move(state));
        try {
            others_.emplace_back([this, i, s = states_.back().get()] { runThread(s->options, i); });
        } catch (const std::system_error&) {
            states_.pop_back();
            break;  // the system has no more threads to give: fewer work
        }
    }
}

BatchChunk* BatchChunks::acquire()
{
    std::unique_lock lock(mutex_);
    while (free_.empty()) {
        if (!pending_.empty()) {
            workOnePending(lock, options_, 0);
        } else {
            changed_.wait(lock);
        }
    }
    BatchChunk* chunk = free_.back();
    free_.pop_back();
    chunk->size = 0;
    return chunk;
}

void BatchChunks::release(BatchChunk* chunk)
{
    const std::lock_guard lock(mutex_);
    free_.push_back(chunk);
}

void BatchChunks::submit(BatchChunk* chunk)
{
    chunk->out.clear();
    chunk->outTotal = 0;
    chunk->failedLines = 0;
    {
        const std::lock_guard lock(mutex_);
        chunk->seq = nextSeq_++;
        pending_.push_back(chunk);
    }
    changed_.notify_one();
}

void BatchChunks::helpIfBehind()
{
    std::unique_lock lock(mutex_);
    // With other threads at work, one chunk is left waiting for whichever
    // of them is free next; reading on meanwhile keeps them fed.
    const std::size_t leave = others_.empty() ? 0 : 1;
    if (pending_.size() > leave) {
        workOnePending(lock, options_, 0);
    }
}

void BatchChunks::drain()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        if (!pending_.empty()) {
            workOnePending(lock, options_, 0);
        } else if (turn_.load() < nextSeq_) {
            changed_.wait(lock);
        } else {
            return;
        }
    }
}

std::uint64_t BatchChunks::failedLines() const
{
    const std::lock_guard lock(mutex_);
    return failedLines_;
}

unsigned BatchChunks::threadsUsed() const
{
    const std::lock_guard lock(mutex_);
    return static_cast<unsigned>(std::popcount(workedMask_));
}

void BatchChunks::workOnePending(std::unique_lock<std::mutex>& lock, const BatchOptions& options, unsigned thread)
{
    BatchChunk* chunk = pending_.front();
    pending_.pop_front();
    lock.unlock();
    work(*chunk, options);
    finish(*chunk, thread);
    lock.lock();
}

void BatchChunks::runThread(const BatchOptions& options, unsigned thread)
{
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return quit_ || !pending_.empty(); });
        if (quit_) {
            return;
        }
        workOnePending(lock, options, thread);
    }
}

void BatchChunks::work(BatchChunk& chunk, const BatchOptions& options)
{
    const char* p = chunk.data.get();
    const char* const end = p + chunk.size;
    std::uint64_t line = chunk.firstLine;
    while (p < end && !stopped()) {
        const auto* nl = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
        const char* lineEnd = nl != nullptr ? nl : end;
        if (!appendBatchLine(trimCr({p, static_cast<std::size_t>(lineEnd - p)}), options, line, chunk.out)) {
            ++chunk.failedLines;
        }
        ++line;
        p = nl != nullptr ? nl + 1 : end;
        if (chunk.out.size() >= kWriteBlock) {
            offer(chunk);
        }
    }
}

void BatchChunks::offer(BatchChunk& chunk)
{
    if (turn_.load() == chunk.seq) {
        write(chunk);
        return;
    }
    if (chunk.out.size() < kHeldOutputBytes) {
        return;
    }
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return turn_.load() == chunk.seq || stopped(); });
    lock.unlock();
    write(chunk);
}

void BatchChunks::write(BatchChunk& chunk)
{
    chunk.outTotal += chunk.out.size();
    if (!stopped() && !output_.write(chunk.out.data(), chunk.out.size())) {
        // Nothing more can be written: the threads stop working and the
        // reader stops reading.
        {
            const std::lock_guard lock(mutex_);
            stopped_ = true;
        }
        changed_.notify_all();
    }
    chunk.out.clear();
}

void BatchChunks::finish(BatchChunk& chunk, unsigned thread)
{
    {
        const std::lock_guard lock(mutex_);
        failedLines_ += chunk.failedLines;
        workedMask_ |= 1U << thread;
        // The next chunks take as much input as gives about the aimed
        // output, growing at most twofold a chunk.
        const std::size_t made = chunk.outTotal + chunk.out.size();
        const std::size_t current = target_.load(std::memory_order_relaxed);
        std::size_t next = made == 0 ? kChunkInputBytes : chunk.size * kChunkOutputBytes / made;
        next = std::clamp(next, kSmallestChunkBytes, std::min(kChunkInputBytes, 2 * std::max(current, chunk.size)));
        target_.store(next, std::memory_order_relaxed);
        if (turn_.load() != chunk.seq) {
            done_.push_back(&chunk);
            return;
        }
    }
    // Its turn: this thread writes it, then every chunk done after it that
    // was waiting for its turn.
    BatchChunk* current = &chunk;
    for (;;) {
        write(*current);
        const std::lock_guard lock(mutex_);
        free_.push_back(current);
        turn_.store(current->seq + 1);
        const auto next =
            std::find_if(done_.begin(), done_.end(), [&](const BatchChunk* c) { return c->seq == current->seq + 1; });
        if (next == done_.end()) {
            break;
        }
        current = *next;
        done_.erase(next);
    }
    changed_.notify_all();
}

}  // namespace skybrant::cli
