#include "batch.h"

#include "station_fields.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <memory>

namespace skybrant::cli {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::size_t firstNonBlank(std::string_view line)
{
    std::size_t i = 0;
    while (i < line.size() && isBlank(line[i])) {
        ++i;
    }
    return i;
}

bool isComment(std::string_view line)
{
    const std::size_t i = firstNonBlank(line);
    return i < line.size() && line[i] == '#';
}

// Blank lines and lines whose first non-blank character is '#' pass through.
bool isPassThrough(std::string_view line)
{
    return firstNonBlank(line) == line.size() || isComment(line);
}

void appendError(std::string_view reason, std::string& out)
{
    out += "ERROR: ";
    out += reason;
    out += '\n';
}

class LineReader {
public:
    explicit LineReader(std::FILE* in) : in_(in), buf_(std::make_unique<char[]>(kMaxBatchLine)) { }

    // The next line without its '\n' (and without a '\r' before it). When a
    // line does not fit, returns its first kMaxBatchLine bytes with
    // truncated set; skipRest() or copyRest() then moves past the rest.
    bool next(std::string_view& line, bool& truncated)
    {
        if (!nextRaw(line, truncated)) {
            return false;
        }
        // Editors on some systems begin a UTF-8 file with a byte-order mark;
        // it is not part of the first line.
        if (first_ && line.starts_with(kByteOrderMark)) {
            line.remove_prefix(kByteOrderMark.size());
        }
        first_ = false;
        return true;
    }

    // Moves past the rest of a truncated line, handing each piece to sink.
    template <typename Sink>
    void passRest(Sink&& sink)
    {
        for (;;) {
            if (begin_ == end_ && !fill()) {
                return;
            }
            const char* start = buf_.get() + begin_;
            const std::size_t avail = end_ - begin_;
            if (const auto* nl = static_cast<const char*>(std::memchr(start, '\n', avail))) {
                sink(trimCr({start, static_cast<std::size_t>(nl - start)}));
                begin_ += static_cast<std::size_t>(nl - start) + 1;
                return;
            }
            sink(std::string_view{start, avail});
            begin_ = end_ = 0;
        }
    }

    bool failed() const { return failed_; }
    int error() const { return errno_; }

private:
    bool nextRaw(std::string_view& line, bool& truncated)
    {
        truncated = false;
        std::size_t scanned = 0;
        for (;;) {
            const char* start = buf_.get() + begin_;
            if (const auto* nl =
                    static_cast<const char*>(std::memchr(start + scanned, '\n', end_ - begin_ - scanned))) {
                line = trimCr({start, static_cast<std::size_t>(nl - start)});
                begin_ += static_cast<std::size_t>(nl - start) + 1;
                return true;
            }
            scanned = end_ - begin_;
            if (begin_ > 0) {
                std::memmove(buf_.get(), start, scanned);
                begin_ = 0;
                end_ = scanned;
            }
            if (end_ == kMaxBatchLine) {
                line = {buf_.get(), end_};
                begin_ = end_ = 0;
                truncated = true;
                return true;
            }
            if (!fill()) {
                if (end_ == 0) {
                    return false;
                }
                line = trimCr({buf_.get(), end_});  // last line, no line end
                begin_ = end_ = 0;
                return true;
            }
        }
    }

    static std::string_view trimCr(std::string_view s)
    {
        if (!s.empty() && s.back() == '\r') {
            s.remove_suffix(1);
        }
        return s;
    }

    bool fill()
    {
        if (begin_ == end_) {
            begin_ = end_ = 0;
        }
        const std::size_t n = std::fread(buf_.get() + end_, 1, kMaxBatchLine - end_, in_);
        if (n == 0) {
            if (std::ferror(in_) != 0) {
                failed_ = true;
                errno_ = errno;
            }
            return false;
        }
        end_ += n;
        return true;
    }

    std::FILE* in_;
    std::unique_ptr<char[]> buf_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool failed_ = false;
    int errno_ = 0;
    bool first_ = true;
};

class Writer {
public:
    explicit Writer(std::FILE* out) : out_(out) { pending_.reserve(kFlushAt + 1024); }

    std::string& buffer() { return pending_; }

    void maybeFlush()
    {
        if (pending_.size() >= kFlushAt) {
            flush();
        }
    }

    // Writes what is pending; false once any write has failed.
    bool flush()
    {
        if (!failed_ && !pending_.empty() &&
            std::fwrite(pending_.data(), 1, pending_.size(), out_) != pending_.size()) {
            failed_ = true;
            errno_ = errno;
        }
        pending_.clear();
        return !failed_;
    }

    bool finish()
    {
        if (flush() && std::fflush(out_) != 0) {
            failed_ = true;
            errno_ = errno;
        }
        return !failed_;
    }

    bool failed() const { return failed_; }
    int error() const { return errno_; }

private:
    static constexpr std::size_t kFlushAt = std::size_t{64} * 1024;
    std::FILE* out_;
    std::string pending_;
    bool failed_ = false;
    int errno_ = 0;
};

// A pair's output line, with what the country file says about stations
// given by callsign.
void appendPair(const Report& report, const BatchOptions& options, std::uint64_t lineNumber, std::string& out)
{
    if (options.json) {
        appendJson(report, options.report, lineNumber, nullptr, out);
        if (options.callsigns != nullptr) {
            appendCallsignJson(*options.callsigns, false, out);
        }
        return;
    }
    appendCsv(report, options.report, out);
    if (options.entity && options.callsigns != nullptr) {
        out.pop_back();
        appendCallsignCsv(*options.callsigns, out);
        out += '\n';
    }
}

}  // namespace

bool appendBatchLine(std::string_view line, const BatchOptions& options, std::uint64_t lineNumber, std::string& out)
{
    if (isPassThrough(line)) {
        if (!options.json) {
            out += line;
            out += '\n';
        }
        return true;
    }

    // One field more than a pair can hold is enough to tell "too many".
    std::array<std::string_view, kMaxPairFields + 1> fields;
    std::size_t count = 0;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && isBlank(line[i])) {
            ++i;
        }
        if (i == line.size()) {
            break;
        }
        const std::size_t start = i;
        while (i < line.size() && !isBlank(line[i])) {
            ++i;
        }
        if (count < fields.size()) {
            fields[count] = line.substr(start, i - start);
        }
        ++count;
    }
    Position own;
    Position other;
    std::string error;
    if (options.callsigns != nullptr) {
        options.callsigns->startPair();
    }
    if (count > kMaxPairFields) {
        error = wrongFieldCount(count);
    } else if (readPair(std::span(fields.data(), count), own, other, error, options.callsigns) == ReadResult::Ok) {
        appendPair(makeReport(own, other, options.report), options, lineNumber, out);
        return true;
    }
    if (options.json) {
        appendJsonError(lineNumber, error, out);
    } else {
        appendError(error, out);
    }
    return false;
}

BatchOutcome runBatch(std::FILE* in, std::FILE* out, const BatchOptions& options)
{
    BatchOutcome outcome;
    LineReader reader(in);
    Writer writer(out);
    std::string_view line;
    bool truncated = false;
    while (!writer.failed() && reader.next(line, truncated)) {
        ++outcome.lines;
        std::string& buf = writer.buffer();
        if (!truncated) {
            if (!appendBatchLine(line, options, outcome.lines, buf)) {
                ++outcome.failedLines;
            }
        } else if (isComment(line)) {
            const bool copy = !options.json;
            if (copy) {
                buf += line;
            }
            reader.passRest([&](std::string_view piece) {
                if (copy) {
                    writer.buffer() += piece;
                    writer.maybeFlush();
                }
            });
            if (copy) {
                writer.buffer() += '\n';
            }
        } else {
            reader.passRest([](std::string_view) {});
            const std::string reason = "line is longer than " + std::to_string(kMaxBatchLine) + " bytes";
            if (options.json) {
                appendJsonError(outcome.lines, reason, buf);
            } else {
                appendError(reason, buf);
            }
            ++outcome.failedLines;
        }
        writer.maybeFlush();
    }
    writer.finish();
    if (reader.failed()) {
        outcome.ioFailed = true;
        outcome.ioError = std::string("cannot read the input: ") + std::strerror(reader.error());
    } else if (writer.failed()) {
        outcome.ioFailed = true;
        outcome.ioError = std::string("cannot write the output: ") + std::strerror(writer.error());
    }
    return outcome;
}

}  // namespace skybrant::cli
