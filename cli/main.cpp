// skybrant-cli: beam headings and distance from the command line, one pair
// from the arguments or many with --batch.

#include "batch.h"
#include "callsign_stations.h"
#include "command_line.h"
#include "core/number_text.h"
#include "core/report.h"
#include "core/sun_texts.h"
#include "core/utf8.h"
#include "map_picture.h"
#include "report.h"
#include "rotator.h"
#include "skybrant_version.h"
#include "station_args.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QString>

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
    std::optional<rotctl::RotatorAddress> rotator;
    // The country file for stations given by callsign; --entity names it.
    cli::Callsigns* callsigns = nullptr;
    bool entity = false;
    std::chrono::milliseconds timeout{2000};
    std::optional<cli::MapRequest> map;
};

int writeOut(const std::string& text);

// The stations from --from, --to and the station fields, whichever of them
// the user gave; a status to exit with when they cannot be read.
int readStations(const cli::CommandLine& line, cli::Callsigns& callsigns, bool json, Position& own, Position& other)
{
    const cli::StationsRead read = cli::readStationArguments({line.value(cli::Option::From),
        line.value(cli::Option::To), line.positionalArguments(), line.value(cli::Option::Call), &callsigns});
    switch (read.status) {
    case cli::StationsRead::Status::Ok:
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
    case cli::RotatorStatus::Turned:
        return kExitOk;
    case cli::RotatorStatus::CannotConnect:
        return kExitCannotConnect;
    case cli::RotatorStatus::TimedOut:
        return kExitTimedOut;
    case cli::RotatorStatus::RotatorError:
        return kExitRotatorError;
    }
    return kExitFailed;
}

// Turns the rotator to the beam heading (the long way round with
// --long-path); the figures are printed either way.
int turn(const PairOptions& options, const Report& report, std::optional<cli::RotatorReport>& rotator)
{
    const Figure& heading = options.report.longPath ? report.longHeading : report.ownToOther;
    if (heading.text.empty()) {
        std::fprintf(stderr, "skybrant-cli: ERROR: there is no beam heading to turn the rotator to\n");
        return kExitFailed;
    }
    const cli::RotatorOutcome outcome = cli::turnRotator(*options.rotator, heading.value, options.timeout);
    cli::RotatorReport& r = rotator.emplace();
    r.address = rotctl::rotatorAddressText(*options.rotator);
    r.commandedAzimuth = heading.text;
    r.turned = outcome.status == cli::RotatorStatus::Turned;
    if (r.turned) {
        r.reportedAzimuth = numberText(outcome.reportedAzimuth);
        r.reportedElevation = numberText(outcome.reportedElevation);
    } else {
        r.error = outcome.message;
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
    const bool written = cli::writeMap(*options.map, own, other, note, error);
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

// The program's version and the country file it reads callsigns with.
int showVersion(cli::Callsigns& callsigns)
{
    std::string text = std::string(cli::kProgramName) + " " + SKYBRANT_VERSION + "\n";
    cli::appendCountryFileText(callsigns, text);
    return writeOut(text);
}

int runBatchMode(const cli::BatchOptions& options)
{
    const cli::BatchOutcome outcome = cli::runBatch(stdin, stdout, options);
    if (outcome.ioFailed) {
        std::fprintf(stderr, "skybrant-cli: %s\n", outcome.ioError.c_str());
        return kExitFailed;
    }
    return outcome.failedLines > 0 ? kExitFailed : kExitOk;
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

// The options that shape the figures and the rotator's part, each value
// checked; a usage status when one cannot be used.
int readPairOptions(const cli::CommandLine& line, PairOptions& options)
{
    using cli::Option;
    if (const auto twice = line.repeated()) {
        return usageError("--" + std::string(cli::help(*twice).name) + " is given more than once");
    }
    const std::string unitText = line.value(Option::Units).value_or("");
    // The symbol in either case, as hemisphere letters are; only ASCII
    // letters are lowered, so no other character passes for one of them.
    const auto unit = unitFromSymbol(QByteArray::fromStdString(unitText).toLower().toStdString());
    if (!unit) {
        return usageError("--units: " + quote(unitText) + " is not a unit; allowed: km, mi or nmi");
    }
    options.report.unit = *unit;
    options.report.longPath = line.isSet(Option::LongPath);
    options.report.ellipsoid = line.isSet(Option::Ellipsoid) ? solveWgs84 : nullptr;
    options.report.locators = line.isSet(Option::Locator);
    options.json = line.isSet(Option::Json);
    if (const std::string timeout = line.value(Option::Timeout).value_or(""); !readTimeout(timeout, options.timeout)) {
        return usageError("--timeout: " + quote(timeout) + " is not a number of seconds above 0 and at most 3600");
    }
    if (line.isSet(Option::Timeout) && !line.isSet(Option::Rotate)) {
        return usageError("--timeout is the wait for the rotator and needs --rotate");
    }
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
    if (const auto rotate = line.value(Option::Rotate)) {
        rotctl::RotatorAddress address;
        std::string error;
        if (!rotctl::parseRotatorAddress(*rotate, address, error)) {
            return usageError("--rotate: " + error);
        }
        options.rotator = address;
    }
    return kExitOk;
}

}  // namespace

int main(int argc, char* argv[])
{
    // Drawing a map needs Qt's graphical side for its text, always offscreen
    // so that it works without a display; everything else only the core.
    const bool drawsMap = std::any_of(argv + 1, argv + argc, [](const char* a) {
        const std::string_view arg(a);
        return arg == "--map" || arg.starts_with("--map=");
    });
    std::unique_ptr<QCoreApplication> app;
    if (drawsMap) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
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
        return runBatchMode({options.report, options.json, &callsigns, options.entity});
    }
    Position own;
    Position other;
    if (const int status = readStations(line, callsigns, options.json, own, other); status != kExitOk) {
        return status;
    }
    return drawMap(own, other, options, runOnePair(own, other, options));
}
