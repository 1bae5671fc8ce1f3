// skybrant-cli-full: beam headings and distance from the command line, one
// pair from the arguments or many with --batch; skybrant-cli hands it every
// run it does not answer itself.

#include "batch.h"
#include "callsign_stations.h"
#include "command_line.h"
#include "core/number_text.h"
#include "core/report.h"
#include "core/sun_texts.h"
#include "core/units.h"
#include "core/utf8.h"
#include "map_module.h"
#include "map_picture.h"
#include "report.h"
#include "rotator.h"
#include "rotator/rotator_protocol.h"
#include "skybrant_version.h"
#include "station_args.h"

#include <QCoreApplication>
#include <QString>

#include <sys/prctl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace skybrant;

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitCannotConnect = 3;
constexpr int kExitTimedOut = 4;
constexpr int kExitRotatorError = 5;

int usageError(const std::string& message)
{
    std::fprintf(stderr, "skybrant-cli: %s\nTry 'skybrant-cli --help' for more information.\n", message.c_str());
    return kExitUsage;
}

struct PairOptions {
    ReportOptions report;
    bool json = false;
    // The rotator to turn, but for the heading.
    std::optional<cli::RotatorRequest> rotator;
    // The country file for stations given by callsign; --entity names it.
    cli::Callsigns* callsigns = nullptr;
    bool entity = false;
    std::optional<cli::MapRequest> map;
};

int writeOut(const std::string& text);

// The stations from --from, --to and the station fields, whichever of them
// the user gave; a status to exit with when they cannot be read.
int readStations(const cli::CommandLine& line, cli::Callsigns& callsigns, bool json, Position& own, Position& other)
{
    const cli::StationsRead read =
        cli::readStationArguments({line.value(cli::Option::From), line.value(cli::Option::To),
            line.positionalArguments(), line.value(cli::Option::Call), &callsigns, cli::savedOwnStationFile()});
    switch (read.status) {
    case cli::StationsRead::Status::Ok:
        if (!read.note.empty()) {
            std::fprintf(stderr, "skybrant-cli: %s\n", read.note.c_str());
        }
        own = read.own;
        other = read.other;
        return kExitOk;
    case cli::StationsRead::Status::Usage:
        return usageError(read.error);
    case cli::StationsRead::Status::BadField:
        break;
    }
    std::fprintf(stderr, "skybrant-cli: ERROR: %s\n", read.error.c_str());
    if (json) {
        // A program reading the JSON gets the failure as a failed batch line gives it.
        std::string text = "{\"error\":";
        cli::appendJsonString(read.error, text);
        text += "}\n";
        writeOut(text);
    }
    return kExitFailed;
}

int exitFor(cli::RotatorStatus status)
{
    switch (status) {
    case cli::RotatorStatus::Started:
    case cli::RotatorStatus::Arrived:
        return kExitOk;
    case cli::RotatorStatus::CannotConnect:
        return kExitCannotConnect;
    case cli::RotatorStatus::TimedOut:
    case cli::RotatorStatus::WaitRanOut:
        return kExitTimedOut;
    case cli::RotatorStatus::RotatorError:
    case cli::RotatorStatus::OutOfRange:
    case cli::RotatorStatus::StoppedShort:
        return kExitRotatorError;
    }
    return kExitFailed;
}

const char* resultName(cli::RotatorStatus status)
{
    switch (status) {
    case cli::RotatorStatus::Started:
        return "started";
    case cli::RotatorStatus::Arrived:
        return "arrived";
    case cli::RotatorStatus::StoppedShort:
        return "stopped";
    case cli::RotatorStatus::WaitRanOut:
        return "wait ran out";
    default:
        return "failed";
    }
}

const char* rangeFromName(cli::RangeSource source)
{
    switch (source) {
    case cli::RangeSource::Rotator:
        return "rotator";
    case cli::RangeSource::Options:
        return "options";
    case cli::RangeSource::Combined:
        return "options and rotator";
    case cli::RangeSource::Assumed:
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
int turn(const PairOptions& options, const Report& report, std::optional<cli::RotatorReport>& rotator)
{
    const Figure& heading = options.report.longPath ? report.longHeading : report.ownToOther;
    if (heading.text.empty()) {
        std::fprintf(stderr, "skybrant-cli: ERROR: there is no beam heading to turn the rotator to\n");
        return kExitFailed;
    }
    cli::RotatorRequest request = *options.rotator;
    request.heading = heading.value;
    request.note = [](const std::string& note) { std::fprintf(stderr, "skybrant-cli: note: %s\n", note.c_str()); };
    const std::string address = rotctl::rotatorAddressText(request.address);
    std::optional<ProgressLine> progress;
    if (request.wait && isatty(STDERR_FILENO) == 1) {
        progress.emplace(address);
        request.progress = [&progress](double azimuth, double target) { progress->show(azimuth, target); };
    }
    const cli::RotatorOutcome outcome = cli::turnRotator(request);
    progress.reset();
    cli::RotatorReport& r = rotator.emplace();
    r.address = address;
    r.heading = heading.text;
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

int writeOut(const std::string& text)
{
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0 ||
        std::ferror(stdout) != 0) {
        std::perror("skybrant-cli: cannot write the output");
        return kExitFailed;
    }
    return kExitOk;
}

// Draws the map after the figures; the figures stand whatever becomes of it.
int drawMap(const Position& own, const Position& other, const PairOptions& options, int status)
{
    if (!options.map) {
        return status;
    }
    std::string note;
    std::string error;
    const bool written = cli::writeMapThroughModule(*options.map, own, other, note, error);
    if (!note.empty()) {
        std::fprintf(stderr, "skybrant-cli: %s\n", note.c_str());
    }
    if (!written) {
        std::fprintf(stderr, "skybrant-cli: ERROR: %s\n", error.c_str());
        return status != kExitOk ? status : kExitFailed;
    }
    return status;
}

int runOnePair(const Position& own, const Position& other, const PairOptions& options)
{
    const Report report = makeReport(own, other, options.report);
    std::optional<cli::RotatorReport> rotator;
    std::string text;
    if (options.json) {
        // One object: the rotator's answer goes inside it.
        const int status = options.rotator ? turn(options, report, rotator) : kExitOk;
        cli::appendJson(report, options.report, 0, rotator ? &*rotator : nullptr, text);
        cli::appendCallsignJson(*options.callsigns, options.entity, text);
        const int written = writeOut(text);
        return status != kExitOk ? status : written;
    }
    // The figures first, so they are on screen while the rotator answers.
    cli::appendText(report, options.report, text);
    cli::appendCallsignText(*options.callsigns, text);
    if (options.entity) {
        cli::appendCountryFileText(*options.callsigns, text);
    }
    if (const int written = writeOut(text); written != kExitOk || !options.rotator) {
        return written;
    }
    const int status = turn(options, report, rotator);
    text.clear();
    if (rotator) {
        cli::appendRotatorText(*rotator, text);
    }
    const int written = writeOut(text);
    return status != kExitOk ? status : written;
}

// The program's version and the country file it reads callsigns with, or
// why that file cannot be read (never waiting on what stands there).
int showVersion(cli::Callsigns& callsigns)
{
    std::string text = std::string(cli::kProgramName) + " " + SKYBRANT_VERSION + "\n";
    cli::appendCountryFileText(callsigns, text);
    return writeOut(text);
}

// --timeout in seconds: a positive number up to an hour.
bool readTimeout(const std::string& text, std::chrono::milliseconds& timeout)
{
    bool ok = false;
    const double seconds = QString::fromStdString(text).toDouble(&ok);
    if (!ok || !(seconds > 0) || seconds > 3600) {
        return false;
    }
    timeout = std::chrono::milliseconds(std::max<long long>(1, std::llround(seconds * 1000)));
    return true;
}

// --min-az and --max-az: a finite number of degrees within the protocol's
// -360..720.
bool readAzimuthLimit(const std::string& text, std::optional<double>& limit)
{
    bool ok = false;
    const double degrees = QString::fromStdString(text).toDouble(&ok);
    if (!ok || !(degrees >= -360 && degrees <= 720)) {
        return false;
    }
    limit = degrees;
    return true;
}

// The rotator's address and the options of turning it, each value checked;
// a usage status when one cannot be used or has no --rotate to go with.
int readRotatorOptions(const cli::CommandLine& line, PairOptions& options)
{
    using cli::Option;
    cli::RotatorRequest request;
    if (const std::string timeout = line.value(Option::Timeout).value_or(""); !readTimeout(timeout, request.timeout)) {
        return usageError("--timeout: " + quote(timeout) + " is not a number of seconds above 0 and at most 3600");
    }
    for (const auto& [option, limit] :
        {std::pair{Option::MinAz, &request.minAzimuth}, std::pair{Option::MaxAz, &request.maxAzimuth}}) {
        if (const auto text = line.value(option); text && !readAzimuthLimit(*text, *limit)) {
            return usageError("--" + std::string(cli::help(option).name) + ": " + quote(*text) +
                " is not a number of degrees from -360 to 720");
        }
    }
    if (request.minAzimuth && request.maxAzimuth && !(*request.minAzimuth < *request.maxAzimuth)) {
        return usageError("--min-az " + quote(*line.value(Option::MinAz)) + " is not below --max-az " +
            quote(*line.value(Option::MaxAz)));
    }
    if (line.isSet(Option::Wait)) {
        std::chrono::milliseconds wait{};
        if (const std::string text = line.value(Option::WaitTimeout).value_or(""); !readTimeout(text, wait)) {
            return usageError(
                "--wait-timeout: " + quote(text) + " is not a number of seconds above 0 and at most 3600");
        }
        request.wait = wait;
    } else if (line.isSet(Option::WaitTimeout)) {
        return usageError("--wait-timeout is how long --wait waits and needs --wait");
    }
    const auto rotate = line.value(Option::Rotate);
    if (!rotate) {
        for (const auto& [option, what] :
            {std::pair{Option::Timeout, "is the wait for the rotator"}, std::pair{Option::MinAz, "limits the rotator"},
                std::pair{Option::MaxAz, "limits the rotator"}, std::pair{Option::Wait, "waits for the rotator"}}) {
            if (line.isSet(option)) {
                return usageError("--" + std::string(cli::help(option).name) + " " + what + " and needs --rotate");
            }
        }
        return kExitOk;
    }
    std::string error;
    if (!rotctl::parseRotatorAddress(*rotate, request.address, error)) {
        return usageError("--rotate: " + error);
    }
    options.rotator = std::move(request);
    return kExitOk;
}

// The options that shape the figures and the rotator's part, each value
// checked; a usage status when one cannot be used.
int readPairOptions(const cli::CommandLine& line, PairOptions& options)
{
    using cli::Option;
    if (const auto twice = line.repeated()) {
        return usageError("--" + std::string(cli::help(*twice).name) + " is given more than once");
    }
    const std::string unitText = line.value(Option::Units).value_or("");
    const auto unit = unitFromTypedSymbol(unitText);
    if (!unit) {
        return usageError("--units: " + quote(unitText) + " is not a unit; allowed: km, mi or nmi");
    }
    options.report.unit = *unit;
    options.report.longPath = line.isSet(Option::LongPath);
    options.report.ellipsoid = line.isSet(Option::Ellipsoid) ? solveWgs84 : nullptr;
    options.report.locators = line.isSet(Option::Locator);
    options.json = line.isSet(Option::Json);
    if (const auto file = line.value(Option::Map)) {
        std::string error;
        cli::MapRequest& map = options.map.emplace();
        const auto now = std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now());
        if (!cli::readMapRequest(
                *file, line.value(Option::Size).value_or(""), line.value(Option::Time).value_or(""), now, map, error)) {
            return usageError(error);
        }
    } else if (line.isSet(Option::Size) || line.isSet(Option::Time)) {
        return usageError(
            std::string("--") + (line.isSet(Option::Size) ? "size" : "time") + " shapes the map and needs --map");
    }
    if (line.isSet(Option::Sun)) {
        std::chrono::year_month_day date{std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now())};
        if (const auto text = line.value(Option::Date); text && !readSunDate(*text, date)) {
            return usageError("--date: " + quote(*text) + " is not a date YYYY-MM-DD from 1901-01-01 to 2099-12-31");
        }
        options.report.sunDate = date;
    } else if (line.isSet(Option::Date)) {
        return usageError("--date is the day of --sun and needs --sun");
    }
    return readRotatorOptions(line, options);
}

}  // namespace

int main(int argc, char* argv[])
{
    // Started by skybrant-cli, and shown under its name in process lists.
    prctl(PR_SET_NAME, "skybrant-cli", 0, 0, 0);
    // Drawing a map needs Qt's graphical side for its text, always offscreen
    // so that it works without a display; everything else only the core.
    const bool drawsMap = std::any_of(argv + 1, argv + argc, [](const char* a) {
        const std::string_view arg(a);
        return arg == "--map" || arg.starts_with("--map=");
    });
    std::unique_ptr<QCoreApplication> app;
    if (drawsMap) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // Without the module the figures are still given; drawing the map
        // then says why it cannot.
        std::string unused;
        app = cli::mapApplication(argc, argv, unused);
    }
    if (app == nullptr) {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("skybrant-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SKYBRANT_VERSION));

    cli::CommandLine line;
    if (!line.parse(QCoreApplication::arguments())) {
        // The parser's sentence repeats the option as typed, control characters and all.
        std::string shown;
        appendShown(line.errorText().toStdString(), shown);
        return usageError(shown);
    }
    if (line.helpWanted()) {
        return writeOut(line.helpText());
    }
    cli::Callsigns callsigns(line.value(cli::Option::Cty).value_or(""));
    if (line.versionWanted()) {
        return showVersion(callsigns);
    }

    PairOptions options;
    options.callsigns = &callsigns;
    options.entity = line.isSet(cli::Option::Entity);
    if (const int status = readPairOptions(line, options); status != kExitOk) {
        return status;
    }
    if (line.isSet(cli::Option::Batch)) {
        if (!line.positionalArguments().empty() || line.isSet(cli::Option::From) || line.isSet(cli::Option::To)) {
            return usageError("--batch reads the pairs from standard input and takes no stations as arguments");
        }
        if (options.rotator) {
            return usageError("--rotate turns to one pair's heading and cannot go with --batch");
        }
        if (options.map) {
            return usageError("--map draws one pair's map and cannot go with --batch");
        }
        if (line.isSet(cli::Option::Call)) {
            return usageError("--call gives one pair's other station and cannot go with --batch");
        }
        return cli::runBatchMode({options.report, options.json, &callsigns, options.entity});
    }
    Position own;
    Position other;
    if (const int status = readStations(line, callsigns, options.json, own, other); status != kExitOk) {
        return status;
    }
    return drawMap(own, other, options, runOnePair(own, other, options));
}
