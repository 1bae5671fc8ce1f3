#include "adif_run.h"

#include "batch.h"
#include "core/adif_file.h"
#include "core/qso_station.h"
#include "core/report_text.h"
#include "core/utf8.h"
#include "report.h"

#include <cerrno>
#include <cstring>

namespace skybrant::cli {

namespace {

// Output is handed to the stream in blocks this big.
constexpr std::size_t kFlushAt = std::size_t{64} * 1024;

class AdifOutput : public AdifSink {
public:
    AdifOutput(const AdifRunOptions& options, std::FILE* out)
        : options_(options), out_(out), source_(options.countryFile), reader_({&source_, false})
    {
    }
    AdifOutput(const AdifOutput&) = delete;
    AdifOutput& operator=(const AdifOutput&) = delete;
    ~AdifOutput() override = default;

    void header()
    {
        if (options_.json || options_.text) {
            return;
        }
        buffer_ += kAdifCsvColumns;
        buffer_ += ',';
        appendCsvHeader(BatchOptions{options_.report}, buffer_);
    }

    void qso(const AdifQso& qso) override
    {
        ++outcome_.qsos;
        std::string error;
        if (!readQsoStations(reader_, qso, stations_, error)) {
            fail(qso.record, qso.offset, error);
            return;
        }
        reader_.takeNote();
        if (!stations_.own && !options_.own) {
            fail(qso.record, qso.offset,
                "no MY_GRIDSQUARE or MY_LAT/MY_LON, and no own station given (--from) or saved");
            return;
        }
        const bool fromLog = stations_.own.has_value();
        const Position& own = fromLog ? stations_.own->position : *options_.own;
        const Report report = makeReport(own, stations_.other.position, options_.report);
        if (options_.json) {
            appendQsoJson(qso, fromLog, report);
        } else if (options_.text) {
            appendQsoText(qso, fromLog, report);
        } else {
            appendQsoCsv(qso, fromLog, report);
        }
        flushIfFull();
    }

    void problem(const AdifProblem& problem) override
    {
        if (problem.record != 0) {
            ++outcome_.qsos;
        }
        fail(problem.record, problem.offset, problem.what);
    }

    bool flush()
    {
        if (!buffer_.empty() && std::fwrite(buffer_.data(), 1, buffer_.size(), out_) != buffer_.size()) {
            writeFailed();
        }
        buffer_.clear();
        if (std::fflush(out_) != 0) {
            writeFailed();
        }
        return outcome_.error.empty();
    }

    AdifRunOutcome& outcome() { return outcome_; }

private:
    void appendQsoCsv(const AdifQso& qso, bool fromLog, const Report& report)
    {
        buffer_ += std::to_string(qso.record);
        for (const std::string* field : {&qso.call, &qso.qsoDate, &qso.timeOn, &qso.band, &qso.mode}) {
            appendCsvField(*field, buffer_);
        }
        buffer_ += fromLog ? ",log," : ",own,";
        appendCsv(report, options_.report, buffer_);
    }

    void appendQsoText(const AdifQso& qso, bool fromLog, const Report& report)
    {
        std::string line = "QSO " + std::to_string(qso.record) + ": " + qso.call;
        for (const std::string* field : {&qso.qsoDate, &qso.timeOn, &qso.band, &qso.mode}) {
            if (!field->empty()) {
                line += ' ';
                line += *field;
            }
        }
        line += fromLog ? ", from the log's own station" : ", from the own station";
        appendShown(line, buffer_);
        buffer_ += '\n';
        appendText(report, options_.report, buffer_);
        buffer_ += '\n';
    }

    void appendQsoJson(const AdifQso& qso, bool fromLog, const Report& report)
    {
        appendJson(report, options_.report, 0, nullptr, buffer_);
        // The QSO's members after the figures, inside the same object.
        buffer_.resize(buffer_.size() - 2);
        buffer_ += ",\"record\":" + std::to_string(qso.record) + ",\"offset\":" + std::to_string(qso.offset);
        const std::pair<const char*, const std::string*> members[] = {{"call", &qso.call}, {"qso_date", &qso.qsoDate},
            {"time_on", &qso.timeOn}, {"band", &qso.band}, {"mode", &qso.mode}};
        for (const auto& member : members) {
            buffer_ += ",\"";
            buffer_ += member.first;
            buffer_ += "\":";
            appendJsonString(*member.second, buffer_);
        }
        buffer_ += fromLog ? ",\"from\":\"log\"}\n" : ",\"from\":\"own\"}\n";
    }

    void fail(std::uint64_t record, std::uint64_t offset, const std::string& what)
    {
        ++outcome_.failed;
        if (options_.json) {
            buffer_ +=
                "{\"record\":" + std::to_string(record) + ",\"offset\":" + std::to_string(offset) + ",\"error\":";
            appendJsonString(what, buffer_);
            buffer_ += "}\n";
        } else {
            const std::string where = record != 0 ? "record " + std::to_string(record) + " at byte " : "byte ";
            buffer_ += "ERROR: ";
            buffer_ += where + std::to_string(offset) + ": " + what;
            buffer_ += '\n';
        }
        flushIfFull();
    }

    void flushIfFull()
    {
        if (buffer_.size() >= kFlushAt) {
            flush();
        }
    }

    void writeFailed()
    {
        if (outcome_.error.empty()) {
            outcome_.error = std::string("cannot write the output: ") + std::strerror(errno);
        }
    }

    const AdifRunOptions& options_;
    std::FILE* out_;
    CountryFileSource source_;
    StationReader reader_;
    QsoStations stations_;
    std::string buffer_;
    AdifRunOutcome outcome_;
};

}  // namespace

AdifRunOutcome runAdif(const std::string& path, const AdifRunOptions& options, std::FILE* out)
{
    AdifOutput output(options, out);
    output.header();
    const AdifFileRead read = readAdifFile(path, {}, output);
    output.flush();
    AdifRunOutcome outcome = output.outcome();
    if (!read.ok && outcome.error.empty()) {
        outcome.error = read.error;
    }
    return outcome;
}

int runAdifMode(const std::string& path, const AdifRunOptions& options)
{
    const AdifRunOutcome outcome = runAdif(path, options, stdout);
    if (!outcome.error.empty()) {
        std::fprintf(stderr, "skybrant-cli: %s\n", outcome.error.c_str());
        return 1;
    }
    if (outcome.failed > 0) {
        std::fprintf(stderr, "skybrant-cli: %llu of the log's records could not be used\n",
            static_cast<unsigned long long>(outcome.failed));
        return 1;
    }
    return 0;
}

}  // namespace skybrant::cli
