#include "pair_run.h"

#include "core/report_text.h"
#include "core/utf8.h"
#include "map_module.h"
#include "report.h"
#include "rotator/rotator_protocol.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>

namespace skybrant::cli {

namespace {

int exitFor(RotatorStatus status)
{
    switch (status) {
    case RotatorStatus::Started:
    case RotatorStatus::Arrived:
        return kExitOk;
    case RotatorStatus::CannotConnect:
        return kExitCannotConnect;
    case RotatorStatus::TimedOut:
    case RotatorStatus::WaitRanOut:
        return kExitTimedOut;
    case RotatorStatus::RotatorError:
    case RotatorStatus::OutOfRange:
    case RotatorStatus::StoppedShort:
        return kExitRotatorError;
    }
    return kExitFailed;
}

const char* resultName(RotatorStatus status)
{
    switch (status) {
    case RotatorStatus::Started:
        return "started";
    case RotatorStatus::Arrived:
        return "arrived";
    case RotatorStatus::StoppedShort:
        return "stopped";
    case RotatorStatus::WaitRanOut:
        return "wait ran out";
    default:
        return "failed";
    }
}

const char* rangeFromName(RangeSource source)
{
    switch (source) {
    case RangeSource::Rotator:
        return "rotator";
    case RangeSource::Options:
        return "options";
    case RangeSource::Combined:
        return "options and rotator";
    case RangeSource::Assumed:
        return "assumed";
    }
    return "";
}

std::string degreesText(const std::optional<double>& degrees)
{
    return degrees ? rotctl::shownAzimuth(*degrees) : std::string();
}

// The position while waiting, as one line of the terminal rewritten in
// place; nothing at all when the error stream is not a terminal.
class ProgressLine {
public:
    explicit ProgressLine(std::string address) : address(std::move(address)) { }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;
    ~ProgressLine() { show({}); }

    void show(double azimuth, double target)
    {
        show("Rotator at " + address + ": azimuth " + rotctl::shownAzimuth(azimuth) + ", " +
            rotctl::shownAzimuth(std::abs(target - azimuth)) + " degrees to go");
    }

private:
    // Spaces over what is left of the line before, so no escape sequences.
    void show(const std::string& text)
    {
        std::string line = "\r" + text;
        if (text.size() < shown) {
            line.append(shown - text.size(), ' ');
            line += "\r" + text;
        }
        if (!text.empty() || shown != 0) {
            std::fputs(line.c_str(), stderr);
            std::fflush(stderr);
        }
        shown = text.size();
    }

    std::string address;
    std::size_t shown = 0;
};

// Turns the rotator to the beam heading (the long-path one with
// --long-path); the figures are printed either way.
int turn(const PairOptions& options, const Report& report, std::optional<RotatorReport>& rotator)
{
    const Figure& heading = options.report.longPath ? report.longHeading : report.ownToOther;
    if (!heading.shown) {
        std::fprintf(stderr, "skybrant-cli: ERROR: there is no beam heading to turn the rotator to\n");
        return kExitFailed;
    }
    RotatorRequest request = *options.rotator;
    request.heading = heading.value;
    request.note = [](const std::string& note) { std::fprintf(stderr, "skybrant-cli: note: %s\n", note.c_str()); };
    const std::string address = rotctl::rotatorAddressText(request.address);
    std::optional<ProgressLine> progress;
    if (request.wait && isatty(STDERR_FILENO) == 1) {
        progress.emplace(address);
        request.progress = [&progress](double azimuth, double target) { progress->show(azimuth, target); };
    }
    const RotatorOutcome outcome = turnRotator(request);
    progress.reset();
    RotatorReport& r = rotator.emplace();
    r.address = address;
    r.heading = figureText(heading);
    if (outcome.range) {
        r.minAzimuth = rotctl::shownAzimuth(outcome.range->min);
        r.maxAzimuth = rotctl::shownAzimuth(outcome.range->max);
        r.rangeFrom = rangeFromName(outcome.rangeSource);
    }
    r.startAzimuth = degreesText(outcome.startAzimuth);
    r.commandedAzimuth = degreesText(outcome.commandedAzimuth);
    r.result = resultName(outcome.status);
    r.waited = request.wait.has_value();
    r.reportedAzimuth = degreesText(outcome.reportedAzimuth);
    r.reportedElevation = degreesText(outcome.reportedElevation);
    r.error = outcome.message;
    if (!outcome.message.empty()) {
        std::fprintf(stderr, "skybrant-cli: ERROR: %s\n", outcome.message.c_str());
    }
    return exitFor(outcome.status);
}

}  // namespace

int writeOut(const std::string& text)
{
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0 ||
        std::ferror(stdout) != 0) {
        std::perror("skybrant-cli: cannot write the output");
        return kExitFailed;
    }
    return kExitOk;
}

namespace {

// Draws the map after the figures; the figures stand whatever becomes of it.
int drawMap(const Position& own, const Position& other, const PairOptions& options, int status)
{
    if (!options.map) {
        return status;
    }
    std::string note;
    std::string error;
    const bool written = writeMapThroughModule(*options.map, own, other, note, error);
    if (!note.empty()) {
        std::fprintf(stderr, "skybrant-cli: %s\n", note.c_str());
    }
    if (!written) {
        std::fprintf(stderr, "skybrant-cli: ERROR: %s\n", error.c_str());
        return status != kExitOk ? status : kExitFailed;
    }
    return status;
}

// The figures, then the rotator's turn.
int figuresAndTurn(const Position& own, const Position& other, const PairOptions& options)
{
    const Report report = makeReport(own, other, options.report);
    std::optional<RotatorReport> rotator;
    std::string text;
    if (options.json) {
        // One object: the rotator's answer goes inside it.
        const int status = options.rotator ? turn(options, report, rotator) : kExitOk;
        appendJson(report, options.report, 0, rotator ? &*rotator : nullptr, text);
        if (options.entity) {
            // The file's version whether or not a station was a callsign.
            std::string unread;
            options.callsigns->ready(unread);
        }
        appendCallsignJson(*options.callsigns, options.entity, text);
        appendRunNote(options.callsigns->takeNote(), true, text);
        const int written = writeOut(text);
        return status != kExitOk ? status : written;
    }
    // The figures first, so they are on screen while the rotator answers.
    appendRunNote(options.callsigns->takeNote(), false, text);
    appendText(report, options.report, text);
    appendCallsignText(*options.callsigns, text);
    if (options.entity) {
        appendCountryFileText(*options.callsigns, text);
    }
    if (const int written = writeOut(text); written != kExitOk || !options.rotator) {
        return written;
    }
    const int status = turn(options, report, rotator);
    text.clear();
    if (rotator) {
        appendRotatorText(*rotator, text);
    }
    const int written = writeOut(text);
    return status != kExitOk ? status : written;
}

}  // namespace

int runOnePair(const Position& own, const Position& other, const PairOptions& options)
{
    return drawMap(own, other, options, figuresAndTurn(own, other, options));
}

}  // namespace skybrant::cli
