// skybrant-cli: beam headings and distance from the command line, one pair
// from the arguments or many with --batch. No Qt: only the module that
// draws --map loads it.

#include "adif_run.h"
#include "batch.h"
#include "callsign_stations.h"
#include "chart_run.h"
#include "command_arguments.h"
#include "core/ellipsoid.h"
#include "core/utf8.h"
#include "follow_run.h"
#include "pair_run.h"
#include "report.h"
#include "skybrant_version.h"
#include "station_args.h"
#include "stop_signals.h"
#include "usage.h"

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <span>
#include <string>

namespace {

using namespace skybrant;
using namespace skybrant::cli;

int usageError(const std::string& message)
{
    std::fprintf(stderr, "skybrant-cli: %s\nTry 'skybrant-cli --help' for more information.\n", message.c_str());
    return kExitUsage;
}

// The stations from --from, --to, --call and the station fields, whichever
// of them the user gave; a status to exit with when they cannot be read.
// With ownOnly, the own station alone, for the chart.
int readStations(
    const CommandLine& line, Callsigns& callsigns, bool json, Position& own, Position& other, bool ownOnly = false)
{
    const StationArguments arguments{
        line.text("from"), line.text("to"), line.positional(), line.text("call"), &callsigns, savedOwnStationFile()};
    const StationsRead read = ownOnly ? readOwnStationArguments(arguments) : readStationArguments(arguments);
    switch (read.status) {
    case StationsRead::Status::Ok:
        if (!read.note.empty()) {
            std::fprintf(stderr, "skybrant-cli: %s\n", read.note.c_str());
        }
        own = read.own;
        other = read.other;
        return kExitOk;
    case StationsRead::Status::Usage:
        return usageError(read.error);
    case StationsRead::Status::BadField:
        break;
    }
    std::fprintf(stderr, "skybrant-cli: ERROR: %s\n", read.error.c_str());
    if (json) {
        // A program reading the JSON gets the failure as a failed batch line gives it.
        std::string text = "{\"error\":";
        appendJsonString(read.error, text);
        text += "}\n";
        writeOut(text);
    }
    return kExitFailed;
}

// The program's version and the country file it reads callsigns with, or
// why that file cannot be read (never waiting on what stands there).
int showVersion(Callsigns& callsigns)
{
    std::string text = std::string(kProgramName) + " " + SKYBRANT_VERSION + "\n";
    appendCountryFileText(callsigns, text);
    return writeOut(text);
}

// The rotator's address and the options of turning it; a usage status when
// the limits leave no room, a failure when the saved offset cannot be read.
int readRotatorOptions(const CommandLine& line, PairOptions& options)
{
    const auto* address = line.value<rotctl::RotatorAddress>("rotate");
    if (address == nullptr) {
        return kExitOk;
    }
    RotatorRequest& request = options.rotator.emplace();
    request.address = *address;
    request.timeout = *line.value<std::chrono::milliseconds>("timeout");
    if (const auto* min = line.value<double>("min-az")) {
        request.minAzimuth = *min;
    }
    if (const auto* max = line.value<double>("max-az")) {
        request.maxAzimuth = *max;
    }
    if (request.minAzimuth && request.maxAzimuth && !(*request.minAzimuth < *request.maxAzimuth)) {
        return usageError(
            "--min-az " + quote(*line.text("min-az")) + " is not below --max-az " + quote(*line.text("max-az")));
    }
    if (line.isSet("wait")) {
        request.wait = *line.value<std::chrono::milliseconds>("wait-timeout");
    }
    // The offset the map window turns with, unless one is given.
    if (const auto* offset = line.value<double>("offset")) {
        request.offset = *offset;
    } else if (std::string why; !readSavedMastOffset(request.offset, why)) {
        std::fprintf(stderr, "skybrant-cli: ERROR: %s\n", why.c_str());
        return kExitFailed;
    }
    return kExitOk;
}

// What the options ask of the figures, the map and the rotator.
int readPairOptions(const CommandLine& line, std::chrono::sys_seconds now, PairOptions& options)
{
    options.report.unit = *line.value<DistanceUnit>("units");
    options.report.longPath = line.isSet("long-path");
    options.report.ellipsoid = line.isSet("ellipsoid") ? solveWgs84 : nullptr;
    options.report.locators = line.isSet("locator");
    options.json = line.isSet("json");
    options.entity = line.isSet("entity");
    if (const auto* file = line.value<MapFile>("map")) {
        options.map =
            MapRequest{file->name, file->format, *line.value<int>("size"), line.value<NightTime>("time")->time};
    }
    const auto* date = line.value<std::chrono::year_month_day>("date");
    const auto day = date != nullptr ? *date : std::chrono::year_month_day{floor<std::chrono::days>(now)};
    if (line.isSet("sun")) {
        options.report.sunDate = day;
    }
    if (line.isSet("magnetic")) {
        options.report.magneticDate = day;
    }
    return readRotatorOptions(line, options);
}

// --adif: every QSO of a log, from its own MY_ station or the one given or
// saved.
int runLog(const CommandLine& line, const PairOptions& pair, Callsigns& callsigns)
{
    for (const OptionName other :
        {OptionName("map"), OptionName("rotate"), OptionName("call"), OptionName("to"), OptionName("chart")}) {
        if (line.isSet(other)) {
            return usageError("--adif takes the QSOs' other stations from the log, and cannot go with --" +
                std::string(other.row().name));
        }
    }
    AdifRunOptions options{pair.report, pair.json, line.isSet("text"), callsigns.path()};
    const StationsRead own = readOwnStationArguments(
        {line.text("from"), std::nullopt, line.positional(), std::nullopt, &callsigns, savedOwnStationFile()});
    switch (own.status) {
    case StationsRead::Status::Ok:
        if (!own.note.empty()) {
            std::fprintf(stderr, "skybrant-cli: %s\n", own.note.c_str());
        }
        options.own = own.own;
        break;
    case StationsRead::Status::Usage:
        // None given and none saved: only the QSOs that name their own
        // station can be figured.
        if (line.isSet("from") || !line.positional().empty()) {
            return usageError(own.error);
        }
        break;
    case StationsRead::Status::BadField:
        std::fprintf(stderr, "skybrant-cli: ERROR: %s\n", own.error.c_str());
        return kExitFailed;
    }
    return runAdifMode(*line.text("adif"), options);
}

// --chart: the own station and what the chart is to be.
int chartRun(const CommandLine& line, Callsigns& callsigns, const PairOptions& options, std::chrono::sys_seconds now)
{
    if (line.isSet("map") || line.isSet("rotate")) {
        return usageError("--chart lists every entity and cannot go with --map or --rotate");
    }
    Position own;
    Position unused;
    if (const int status = readStations(line, callsigns, options.json, own, unused, true); status != kExitOk) {
        return status;
    }
    const auto* date = line.value<std::chrono::year_month_day>("date");
    ChartRun run{*line.value<ChartFile>("chart"), *line.value<ChartOrder>("sort"), options.json, line.isSet("csv"),
        options.report, date != nullptr ? *date : std::chrono::year_month_day{floor<std::chrono::days>(now)}};
    run.report.longPath = true;
    return runChart(run, own, callsigns);
}

// --follow: the own station, where to listen and what to do with what comes,
// then the run until a stop signal.
int followMode(const CommandLine& line, Callsigns& callsigns, const PairOptions& options)
{
    if (!line.positional().empty() || line.isSet("to") || line.isSet("call")) {
        return usageError("--follow takes the other station from the program it follows; give only --from");
    }
    // Each turn is sent and left to run: waiting for one would stop the listening.
    if (line.isSet("wait")) {
        return usageError("--wait waits for one turn and cannot go with --follow");
    }
    if (line.isSet("map")) {
        return usageError("--map draws one pair's map and cannot go with --follow");
    }
    // The own station as a pair's: --from, else the one the window saved.
    const StationsRead read = readStationArguments(
        {line.text("from"), std::string("0 0"), {}, std::nullopt, &callsigns, savedOwnStationFile()});
    if (read.status != StationsRead::Status::Ok) {
        std::fprintf(stderr, "skybrant-cli: ERROR: %s\n", read.error.c_str());
        return read.status == StationsRead::Status::Usage ? kExitUsage : kExitFailed;
    }
    if (!read.note.empty()) {
        std::fprintf(stderr, "skybrant-cli: %s\n", read.note.c_str());
    }
    FollowSetup setup;
    setup.source = *follow::followSourceNamed(*line.value<std::string>("follow"));
    setup.listen = follow::defaultListen(setup.source);
    if (const auto* listen = line.value<Endpoint>("listen")) {
        setup.listen = *listen;
    }
    setup.forwards = line.values<Endpoint>("forward");
    if (std::ranges::find(setup.forwards, setup.listen) != setup.forwards.end()) {
        return usageError("--forward " + follow::endpointText(setup.listen) + " is where --follow listens");
    }
    for (const Endpoint& host : line.values<Endpoint>("allow")) {
        setup.allowed.push_back(host.address);
    }
    setup.rotator = options.rotator;
    setup.rules.mode = options.rotator ? follow::FollowMode::Turn : follow::FollowMode::Show;
    setup.rules.longPath = options.report.longPath;
    setup.json = options.json;
    setup.unit = options.report.unit;
    setup.own = read.own;
    setup.callsigns = &callsigns;
    const StopSignals stop;
    setup.stopFd = StopSignals::fd();
    setup.out = [](const std::string& text) { writeOut(text); };
    setup.err = [](const std::string& message) { std::fprintf(stderr, "skybrant-cli: %s\n", message.c_str()); };
    setup.listening = [&setup] {
        std::fprintf(stderr, "skybrant-cli: following %s at %s\n",
            std::string(follow::followSourceName(setup.source)).c_str(), follow::endpointText(setup.listen).c_str());
    };
    return runFollow(setup);
}

int run(std::span<const char* const> arguments)
{
    CommandLine line;
    std::string error;
    if (!line.read(arguments, error)) {
        // The sentence repeats the option as typed, control characters and all.
        std::string shown;
        appendShown(error, shown);
        return usageError(shown);
    }
    if (line.isSet("help")) {
        return writeOut(helpText());
    }
    Callsigns callsigns(line.text("cty").value_or(""));
    if (line.isSet("version")) {
        return showVersion(callsigns);
    }
    const auto now = std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now());
    if (!line.check(now, error)) {
        return usageError(error);
    }
    PairOptions options;
    options.callsigns = &callsigns;
    if (const int status = readPairOptions(line, now, options); status != kExitOk) {
        return status;
    }
    if (line.isSet("adif")) {
        return runLog(line, options, callsigns);
    }
    if (line.isSet("chart")) {
        return chartRun(line, callsigns, options, now);
    }
    if (line.isSet("follow")) {
        return followMode(line, callsigns, options);
    }
    if (line.isSet("batch")) {
        if (!line.positional().empty() || line.isSet("from") || line.isSet("to")) {
            return usageError("--batch reads the pairs from standard input and takes no stations as arguments");
        }
        callsigns.readOtherAsCallsign(line.isSet("calls"));
        BatchOptions batch{options.report, options.json, &callsigns, options.entity};
        batch.header = line.isSet("header");
        return runBatchMode(batch);
    }
    Position own;
    Position other;
    if (const int status = readStations(line, callsigns, options.json, own, other); status != kExitOk) {
        return status;
    }
    return runOnePair(own, other, options);
}

}  // namespace

int main(int argc, char* argv[])
{
    // The user's language for the system's words in messages; no figure
    // depends on it, and numbers are read the same in every locale.
    std::setlocale(LC_ALL, "");
    return run({argv + (argc > 0 ? 1 : 0), static_cast<std::size_t>(argc > 0 ? argc - 1 : 0)});
}
