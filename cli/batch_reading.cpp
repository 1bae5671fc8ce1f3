#include "batch_reading.h"

#include "callsign_stations.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

namespace skybrant::cli {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Copies or skips a line too long to hold, piece by piece as it arrives.
// Its first non-blank byte tells which; the blanks before it are kept as
// runs of one byte until then, so a long blank line costs little memory.
class LongLine {
public:
    LongLine(BatchOutput& output, const BatchOptions& options) : output_(output), options_(options) { }

    // The next piece of the line, without a '\n'.
    void add(std::string_view piece)
    {
        std::size_t i = 0;
        if (kind_ == Kind::Unknown) {
            for (; i < piece.size() && isFieldBlank(piece[i]); ++i) {
                if (!runs_.empty() && runs_.back().byte == piece[i]) {
                    ++runs_.back().count;
                } else if (runs_.size() < kMaxBlankRuns) {
                    runs_.push_back({1, piece[i]});
                } else {
                    // Blanks this varied are not a padded line: it is too
                    // long for a pair whatever follows.
                    skip();
                    return;
                }
            }
            if (i == piece.size()) {
                return;
            }
            if (piece[i] != '#') {
                skip();
                return;
            }
            kind_ = Kind::Copy;
            writeRuns();
        }
        if (kind_ == Kind::Copy) {
            copy(piece.substr(i));
        }
    }

    // The line has ended: writes the rest of its output. False when it
    // could not be used.
    bool end(std::uint64_t lineNumber)
    {
        switch (kind_) {
        case Kind::Unknown:
            // A blank line; the '\r' of a "\r\n" line end is not part of it.
            if (!runs_.empty() && runs_.back().byte == '\r' && --runs_.back().count == 0) {
                runs_.pop_back();
            }
            writeRuns();
            write("\n");
            return true;
        case Kind::Copy:
            write("\n");
            return true;
        case Kind::Skip:
            break;
        }
        std::string out;
        appendLineFailure(tooLongReason(), options_, lineNumber, out);
        output_.write(out.data(), out.size());
        return false;
    }

private:
    enum class Kind { Unknown, Copy, Skip };
    struct Run {
        std::uint64_t count;
        char byte;
    };
    static constexpr std::size_t kMaxBlankRuns = std::size_t{64} * 1024;

    void skip()
    {
        kind_ = Kind::Skip;
        runs_ = {};
    }

    // Blank and comment lines give no JSON.
    void write(std::string_view text)
    {
        if (!options_.json) {
            output_.write(text.data(), text.size());
        }
    }

    void writeRuns()
    {
        std::string block;
        for (const Run& run : runs_) {
            for (std::uint64_t left = run.count; left > 0;) {
                const std::size_t n = std::min<std::uint64_t>(left, kMaxBatchLine - block.size());
                block.append(n, run.byte);
                left -= n;
                if (block.size() == kMaxBatchLine) {
                    write(block);
                    block.clear();
                }
            }
        }
        write(block);
        runs_ = {};
    }

    // Copies text, holding back a '\r' at its end until more of the line
    // follows it.
    void copy(std::string_view text)
    {
        if (text.empty()) {
            return;
        }
        if (heldCr_) {
            write("\r");
            heldCr_ = false;
        }
        if (text.back() == '\r') {
            text.remove_suffix(1);
            heldCr_ = true;
        }
        write(text);
    }

    BatchOutput& output_;
    const BatchOptions& options_;
    Kind kind_ = Kind::Unknown;
    std::vector<Run> runs_;
    bool heldCr_ = false;
};

// Input that keeps arriving this fast for this long goes to every thread.
constexpr std::size_t kThreadsAfterBytes = std::size_t{128} * 1024;

// Input that has just been arriving fast may pause for a moment: its
// producer off the processor, or a pipe just emptied. So long after lines
// were last handed on, a pause this short is waited out rather than taken
// for slow input, which would stop the threads until more came.
constexpr auto kFastInputWindow = std::chrono::milliseconds(10);
constexpr int kBriefPauseMs = 1;

// The reading side of a run: reads what has arrived, cuts it into chunks of
// whole lines and hands them on; before any read that would wait, every
// answer so far is written.
class Reading {
public:
    Reading(BatchInput& input, BatchOutput& output, const BatchOptions& options, BatchChunks& chunks)
        : input_(input), output_(output), options_(options), chunks_(chunks)
    {
    }

    void run()
    {
        BatchChunk* cur = chunks_.acquire();
        limit_ = chunks_.chunkTarget();
        while (!chunks_.stopped() && !readFailed_) {
            const bool waiting = fill(*cur);
            skipByteOrderMark(*cur);
            const std::size_t cut = wholeLines(*cur);
            if (cut > 0) {
                cur = handOn(cur, cut, waiting);
            } else if (!noWholeLine(*cur, waiting)) {
                break;
            }
        }
        chunks_.release(cur);
        chunks_.drain();
    }

    std::uint64_t lines() const { return lines_; }
    std::uint64_t failedLongLines() const { return failedLongLines_; }
    bool readFailed() const { return readFailed_; }

private:
    // Reads into the chunk what has arrived, up to the limit; true when the
    // input has nothing more ready.
    bool fill(BatchChunk& chunk)
    {
        while (!end_ && chunk.size < limit_) {
            if (!input_.ready() && !moreComesSoon()) {
                return true;
            }
            readInto(chunk, limit_);
        }
        return false;
    }

    // Lines read wait at most the window and the pause for their answers.
    bool moreComesSoon() const
    {
        return std::chrono::steady_clock::now() - handedOnAt_ < kFastInputWindow && input_.readyWithin(kBriefPauseMs);
    }

    // The length of the whole lines to hand on: up to the last line end
    // within the limit, else up to the first line end, or all of it once
    // the input has ended. A long line can leave much more than the limit
    // in the chunk; its output must not grow with that.
    std::size_t wholeLines(const BatchChunk& chunk) const
    {
        const char* data = chunk.data.get();
        if (const auto* last = static_cast<const char*>(memrchr(data, '\n', std::min(chunk.size, limit_)))) {
            return static_cast<std::size_t>(last - data) + 1;
        }
        if (chunk.size > limit_) {
            if (const auto* first = static_cast<const char*>(std::memchr(data + limit_, '\n', chunk.size - limit_))) {
                return static_cast<std::size_t>(first - data) + 1;
            }
        }
        return end_ ? chunk.size : 0;
    }

    // Hands the chunk's whole lines on; the rest begins the next chunk,
    // which is returned.
    BatchChunk* handOn(BatchChunk* chunk, std::size_t cut, bool waiting)
    {
        BatchChunk* next = chunks_.acquire();
        const char* data = chunk->data.get();
        next->size = chunk->size - cut;
        std::memcpy(next->data.get(), data + cut, next->size);
        chunk->size = cut;
        chunk->firstLine = lines_ + 1;
        lines_ += countLineEnds(data, cut);
        if (data[cut - 1] != '\n') {
            ++lines_;
        }
        chunks_.submit(chunk);
        if (waiting || end_) {
            fastBytes_ = 0;
        } else if ((fastBytes_ += cut) >= kThreadsAfterBytes) {
            chunks_.startThreads();
        }
        chunks_.helpIfBehind();
        limit_ = chunks_.chunkTarget();
        handedOnAt_ = std::chrono::steady_clock::now();
        return next;
    }

    // The chunk holds part of one line. False once the input has ended.
    bool noWholeLine(BatchChunk& chunk, bool waiting)
    {
        if (chunk.size >= kMaxBatchLine + 2) {
            streamLongLine(chunk);
            limit_ = chunks_.chunkTarget();
        } else if (waiting) {
            // Nothing more has arrived: answer everything read so far
            // before waiting for more.
            chunks_.drain();
            fastBytes_ = 0;
            readInto(chunk, limit_);
        } else {
            // A line longer than the chunk: room for the longest.
            limit_ = std::max(limit_, kMaxBatchLine + 2);
        }
        if (!end_ || chunk.size > 0) {
            return true;
        }
        if (lines_ == 0 && bomSkipped_) {
            // The byte-order mark alone: one blank line.
            lines_ = 1;
            LongLine(output_, options_).end(lines_);
        }
        return false;
    }

    void readInto(BatchChunk& chunk, std::size_t limit)
    {
        const long n = input_.read(chunk.data.get() + chunk.size, limit - chunk.size);
        if (n < 0) {
            readFailed_ = true;
            end_ = true;
        } else if (n == 0) {
            end_ = true;
        } else {
            chunk.size += static_cast<std::size_t>(n);
        }
    }

    // Editors on some systems begin a UTF-8 file with a byte-order mark; it
    // is not part of the first line.
    void skipByteOrderMark(BatchChunk& chunk)
    {
        if (bomChecked_ ||
            (chunk.size < kByteOrderMark.size() && !end_ &&
                std::memchr(chunk.data.get(), '\n', chunk.size) == nullptr)) {
            return;
        }
        bomChecked_ = true;
        if (std::string_view(chunk.data.get(), chunk.size).starts_with(kByteOrderMark)) {
            bomSkipped_ = true;
            chunk.size -= kByteOrderMark.size();
            std::memmove(chunk.data.get(), chunk.data.get() + kByteOrderMark.size(), chunk.size);
        }
    }

    // The line that fills the chunk, read and written as it comes after
    // every answer before it.
    void streamLongLine(BatchChunk& chunk)
    {
        chunks_.drain();
        LongLine line(output_, options_);
        char* const data = chunk.data.get();
        for (;;) {
            if (const auto* nl = static_cast<const char*>(std::memchr(data, '\n', chunk.size))) {
                const auto used = static_cast<std::size_t>(nl - data);
                line.add({data, used});
                chunk.size -= used + 1;
                std::memmove(data, nl + 1, chunk.size);
                break;
            }
            line.add({data, chunk.size});
            chunk.size = 0;
            if (end_) {
                break;
            }
            readInto(chunk, kChunkBufferBytes);
        }
        ++lines_;
        if (!line.end(lines_)) {
            ++failedLongLines_;
        }
    }

    BatchInput& input_;
    BatchOutput& output_;
    const BatchOptions& options_;
    BatchChunks& chunks_;
    std::uint64_t lines_ = 0;
    std::uint64_t failedLongLines_ = 0;
    bool end_ = false;
    bool readFailed_ = false;
    bool bomChecked_ = false;
    bool bomSkipped_ = false;
    std::size_t limit_ = 0;
    std::size_t fastBytes_ = 0;
    std::chrono::steady_clock::time_point handedOnAt_;
};

}  // namespace

BatchReadOutcome readBatchInput(
    BatchInput& input, BatchOutput& output, const BatchOptions& options, BatchChunks& chunks)
{
    Reading reading(input, output, options, chunks);
    reading.run();
    return {reading.lines(), reading.failedLongLines(), reading.readFailed()};
}

}  // namespace skybrant::cli
