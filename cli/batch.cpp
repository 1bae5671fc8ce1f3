#include "batch.h"

#include "batch_io.h"
#include "batch_reading.h"
#include "batch_threads.h"
#include "callsign_stations.h"

#include <sched.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>

namespace skybrant::cli {

namespace {

std::size_t firstNonBlank(std::string_view line)
{
    std::size_t i = 0;
    while (i < line.size() && isFieldBlank(line[i])) {
        ++i;
    }
    return i;
}

// A pair's output line, with what the country file says about stations
// given by callsign.
void appendPair(const Report& report, const BatchOptions& options, std::uint64_t lineNumber, std::string& out)
{
    if (options.json) {
        appendJson(report, options.report, lineNumber, nullptr, out);
        if (options.callsigns != nullptr) {
            if (options.entity) {
                // The file's version is known once it is read, whether or
                // not a station was given by callsign; a file that cannot
                // be read has none.
                std::string unread;
                options.callsigns->ready(unread);
            }
            appendCallsignJson(*options.callsigns, options.entity, out);
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

void appendLineFailure(std::string_view reason, const BatchOptions& options, std::uint64_t lineNumber, std::string& out)
{
    if (options.json) {
        appendJsonError(lineNumber, reason, out);
        return;
    }
    out += "ERROR: ";
    out += reason;
    out += '\n';
}

std::string tooLongReason()
{
    return "line is longer than " + std::to_string(kMaxBatchLine) + " bytes, the most a pair line may hold";
}

bool appendBatchLine(std::string_view line, const BatchOptions& options, std::uint64_t lineNumber, std::string& out)
{
    // Blank lines and lines whose first non-blank character is '#' pass
    // through.
    const std::size_t first = firstNonBlank(line);
    if (first == line.size() || line[first] == '#') {
        if (!options.json) {
            out += line;
            out += '\n';
        }
        return true;
    }
    if (line.size() > kMaxBatchLine) {
        appendLineFailure(tooLongReason(), options, lineNumber, out);
        return false;
    }

    if (options.callsigns != nullptr) {
        options.callsigns->startPair();
    }
    Position own;
    Position other;
    // While the country file is read and no locator was yet found that it
    // also lists, every locator goes through the reader, which notices one;
    // so does every line whose other station is to be a callsign.
    const bool watch = options.callsigns != nullptr && options.callsigns->watchesLocators();
    if (!watch && readCommonPair(line.substr(first), own, other)) {
        appendPair(makeReport(own, other, options.report), options, lineNumber, out);
        return true;
    }

    // One field more than a pair can hold is enough to tell "too many".
    std::array<std::string_view, kMaxPairFields + 1> fields;
    std::size_t count = 0;
    const char* p = line.data() + first;
    const char* const end = line.data() + line.size();
    while (p != end) {
        const char* const start = p;
        while (p != end && !isFieldBlank(*p)) {
            ++p;
        }
        if (count < fields.size()) {
            fields[count] = {start, static_cast<std::size_t>(p - start)};
        }
        ++count;
        while (p != end && isFieldBlank(*p)) {
            ++p;
        }
    }
    std::string error;
    if (count > kMaxPairFields) {
        error = wrongFieldCount(count);
    } else if (readPair(std::span(fields.data(), count), own, other, error, options.callsigns) == ReadResult::Ok) {
        appendPair(makeReport(own, other, options.report), options, lineNumber, out);
        if (options.callsigns != nullptr) {
            appendRunNote(options.callsigns->takeNote(), options.json, out);
        }
        return true;
    }
    appendLineFailure(error, options, lineNumber, out);
    return false;
}

namespace {

// The threads to work with unless told: the cores this process may run on,
// at most four, which keeps the output held in memory small.
unsigned defaultThreads()
{
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) != 0) {
        return 1;
    }
    return static_cast<unsigned>(std::clamp(CPU_COUNT(&set), 1, 4));
}

}  // namespace

BatchOutcome runBatch(std::FILE* in, std::FILE* out, const BatchOptions& options)
{
    BatchOutcome outcome;
    // What was written through out before goes first; from here the batch
    // writes to its descriptor directly.
    std::fflush(out);
    BatchInput input(fileno(in));
    BatchOutput output(fileno(out));
    if (closedAtStart(output.fd())) {
        outcome.ioFailed = true;
        outcome.ioError = "cannot write the output: " + streamErrorText(output.fd(), EBADF);
        return outcome;
    }
    if (closedAtStart(input.fd())) {
        outcome.ioFailed = true;
        outcome.ioError = "cannot read the input: " + streamErrorText(input.fd(), EBADF);
        return outcome;
    }
    input.enlargePipe();
    if (options.header && !options.json) {
        std::string header;
        appendCsvHeader(options, header);
        output.write(header.data(), header.size());
    }
    BatchChunks chunks(output, options, options.threads != 0 ? options.threads : defaultThreads());
    const BatchReadOutcome read = readBatchInput(input, output, options, chunks);
    outcome.lines = read.lines;
    outcome.failedLines = chunks.failedLines() + read.failedLongLines;
    outcome.threadsUsed = chunks.threadsUsed();
    if (read.readFailed) {
        outcome.ioFailed = true;
        outcome.ioError = "cannot read the input: " + streamErrorText(input.fd(), input.error());
    } else if (output.failed()) {
        outcome.ioFailed = true;
        outcome.ioError = "cannot write the output: " + streamErrorText(output.fd(), output.error());
    }
    return outcome;
}

int runBatchMode(const BatchOptions& options)
{
    if (options.callsigns != nullptr && options.entity) {
        // Read before the first line, so that every locator the file also
        // lists as a call (GB22GE) is noticed.
        std::string unused;
        options.callsigns->ready(unused);
    }
    const BatchOutcome outcome = runBatch(stdin, stdout, options);
    if (outcome.ioFailed) {
        std::fprintf(stderr, "skybrant-cli: %s\n", outcome.ioError.c_str());
        return 1;
    }
    return outcome.failedLines > 0 ? 1 : 0;
}

}  // namespace skybrant::cli
