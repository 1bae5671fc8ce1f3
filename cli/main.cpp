// skybrant-cli: beam headings and distance from the command line, one pair
// from the arguments or many with --batch.

#include "batch.h"
#include "core/compute.h"
#include "core/number_text.h"
#include "report.h"
#include "rotator.h"
#include "skybrant_version.h"
#include "station_fields.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
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

// QCommandLineParser would take "-10" for a bundle of short options. A
// leading unit separator makes such an argument positional; it is removed
// again after parsing.
constexpr QChar kNumberMark = QChar(0x1F);

bool looksLikeNegativeNumber(const QString& arg)
{
    return arg.size() >= 2 && arg[0] == u'-' &&
        (arg[1].isDigit() || (arg.size() >= 3 && arg[1] == u'.' && arg[2].isDigit()));
}

QStringList protectNegativeNumbers(QStringList args)
{
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (looksLikeNegativeNumber(args[i])) {
            args[i].prepend(kNumberMark);
        }
    }
    return args;
}

QString unprotect(QString arg)
{
    if (arg.startsWith(kNumberMark)) {
        arg.remove(0, 1);
    }
    return arg;
}

int usageError(const QString& message)
{
    std::fprintf(stderr, "skybrant-cli: %s\nTry 'skybrant-cli --help' for more information.\n", qPrintable(message));
    return kExitUsage;
}

std::vector<std::string> blankSeparated(const QString& text)
{
    std::vector<std::string> tokens;
    for (const QString& token : text.split(u' ', Qt::SkipEmptyParts)) {
        for (const QString& part : token.split(u'\t', Qt::SkipEmptyParts)) {
            tokens.push_back(unprotect(part).toStdString());
        }
    }
    return tokens;
}

std::vector<std::string_view> views(const std::vector<std::string>& texts)
{
    return {texts.begin(), texts.end()};
}

struct PairOptions {
    cli::ReportOptions report;
    bool json = false;
    std::optional<cli::RotatorAddress> rotator;
    std::chrono::milliseconds timeout{2000};
};

struct StationSources {
    const QCommandLineParser& parser;
    const QCommandLineOption& from;
    const QCommandLineOption& to;
};

// The station fields, split at blanks like an option's value, so that a
// quoted "JO01 FN20" reads the same as two arguments.
std::vector<std::string> positionalTokens(const QCommandLineParser& parser)
{
    std::vector<std::string> tokens;
    for (const QString& arg : parser.positionalArguments()) {
        const auto parts = blankSeparated(arg);
        tokens.insert(tokens.end(), parts.begin(), parts.end());
    }
    return tokens;
}

// One station from an option's value; errors name the option.
cli::ReadResult optionStation(const QCommandLineParser& parser, const QCommandLineOption& option, cli::Side side,
    Position& station, std::string& error)
{
    const auto tokens = blankSeparated(parser.value(option));
    const cli::ReadResult result = cli::readOneStation(views(tokens), side, station, error);
    if (result != cli::ReadResult::Ok) {
        error.insert(0, "--" + option.names().constFirst().toStdString() + ": ");
    }
    return result;
}

// One station from an option, the other from the station fields.
cli::ReadResult optionAndFields(const StationSources& s, Position& own, Position& other, std::string& error)
{
    const bool hasFrom = s.parser.isSet(s.from);
    cli::ReadResult result = hasFrom ? optionStation(s.parser, s.from, cli::Side::Own, own, error)
                                     : optionStation(s.parser, s.to, cli::Side::Other, other, error);
    if (result != cli::ReadResult::Ok) {
        return result;
    }
    const auto tokens = positionalTokens(s.parser);
    result =
        cli::readOneStation(views(tokens), hasFrom ? cli::Side::Other : cli::Side::Own, hasFrom ? other : own, error);
    if (result == cli::ReadResult::WrongCount) {
        error.insert(0, hasFrom ? "the other station, after --from: " : "the own station, with --to: ");
    }
    return result;
}

cli::ReadResult stationsFrom(const StationSources& s, Position& own, Position& other, std::string& error)
{
    const bool hasFrom = s.parser.isSet(s.from);
    const bool hasTo = s.parser.isSet(s.to);
    if (hasFrom && hasTo) {
        if (!s.parser.positionalArguments().isEmpty()) {
            error = "with both --from and --to there is no room for station fields";
            return cli::ReadResult::WrongCount;
        }
        const cli::ReadResult result = optionStation(s.parser, s.from, cli::Side::Own, own, error);
        return result != cli::ReadResult::Ok ? result : optionStation(s.parser, s.to, cli::Side::Other, other, error);
    }
    if (hasFrom || hasTo) {
        return optionAndFields(s, own, other, error);
    }
    const auto tokens = positionalTokens(s.parser);
    if (tokens.size() > cli::kMaxPairFields) {
        error = cli::wrongFieldCount(tokens.size());
        return cli::ReadResult::WrongCount;
    }
    return cli::readPair(views(tokens), own, other, error);
}

// The stations from --from, --to and the station fields, whichever of them
// the user gave; a status to exit with when they cannot be read.
int readStations(const StationSources& sources, Position& own, Position& other)
{
    std::string error;
    switch (stationsFrom(sources, own, other, error)) {
    case cli::ReadResult::Ok:
        return kExitOk;
    case cli::ReadResult::WrongCount:
        return usageError(QString::fromStdString(error));
    case cli::ReadResult::BadField:
        break;
    }
    std::fprintf(stderr, "skybrant-cli: ERROR: %s\n", error.c_str());
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
int turn(const PairOptions& options, cli::PairReport& report)
{
    const std::string& heading = options.report.longPath ? report.longHeading : report.ownToOther;
    if (heading.empty()) {
        std::fprintf(stderr, "skybrant-cli: ERROR: there is no beam heading to turn the rotator to\n");
        return kExitFailed;
    }
    const double azimuth = options.report.longPath ? roundHeading(longPathHeading(report.result.headingOwnToOther))
                                                   : roundHeading(report.result.headingOwnToOther);
    const cli::RotatorOutcome outcome = cli::turnRotator(*options.rotator, azimuth, options.timeout);
    cli::RotatorReport& r = report.rotator.emplace();
    r.address = cli::rotatorAddressText(*options.rotator);
    r.commandedAzimuth = heading;
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

int runOnePair(const Position& own, const Position& other, const PairOptions& options)
{
    cli::PairReport report = cli::makeReport(own, other, options.report);
    std::string text;
    if (options.json) {
        // One object: the rotator's answer goes inside it.
        const int status = options.rotator ? turn(options, report) : kExitOk;
        cli::appendJson(report, options.report, 0, text);
        const int written = writeOut(text);
        return status != kExitOk ? status : written;
    }
    // The figures first, so they are on screen while the rotator answers.
    cli::appendText(report, options.report, text);
    if (const int written = writeOut(text); written != kExitOk || !options.rotator) {
        return written;
    }
    const int status = turn(options, report);
    text.clear();
    if (report.rotator) {
        cli::appendRotatorText(*report.rotator, text);
    }
    const int written = writeOut(text);
    return status != kExitOk ? status : written;
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
bool readTimeout(const QString& text, std::chrono::milliseconds& timeout)
{
    bool ok = false;
    const double seconds = unprotect(text).toDouble(&ok);
    if (!ok || !(seconds > 0) || seconds > 3600) {
        return false;
    }
    timeout = std::chrono::milliseconds(std::max<long long>(1, std::llround(seconds * 1000)));
    return true;
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("skybrant-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SKYBRANT_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Beam headings and great-circle distance between two radio stations.\n"
                       "\n"
                       "Give the own station, then the other station, each in one of three forms:\n"
                       "  - eight fields, LAD LAM LAS N|S LOD LOM LOS E|W: latitude degrees, minutes,\n"
                       "    seconds, N or S, then longitude degrees, minutes, seconds, E or W.\n"
                       "    Degrees are at most 90 (latitude) or 180 (longitude), minutes and\n"
                       "    seconds at most 60, with no minutes or seconds above 0 at 90 or 180\n"
                       "    degrees;\n"
                       "  - a Maidenhead locator of 2 to 10 characters (JO01, FN20xr, JO01mm12),\n"
                       "    standing for the centre of its square;\n"
                       "  - LAT LON in decimal degrees, north and east positive (51.5 -0.12).\n"
                       "Letters may be in either case.\n"
                       "\n"
                       "Examples:\n"
                       "  skybrant-cli 51 30 0 N 0 7 0 W 40 42 0 N 74 0 0 W\n"
                       "  Distance: 5539.2 km\n"
                       "  Beam heading from my station: 288 degrees\n"
                       "  Beam heading from the other station: 51 degrees\n"
                       "\n"
                       "  Locators in, and each station's locator shown:\n"
                       "    skybrant-cli --from JO01 --to FN20xr --locator\n"
                       "  Decimal degrees and entry fields, distance in statute miles:\n"
                       "    skybrant-cli --from \"51.5 -0.12\" --to \"40 42 0 N 74 0 0 W\" --units mi\n"
                       "  The long way round and the ellipsoid too, as JSON:\n"
                       "    skybrant-cli JO01 FN20xr --long-path --ellipsoid --json\n"
                       "  Turn the rotator of the rotctld on this computer, waiting up to 5 s:\n"
                       "    skybrant-cli --from JO01 --to FN20xr --rotate localhost:4533 --timeout 5\n"
                       "  Many pairs, one JSON object per line, in nautical miles:\n"
                       "    skybrant-cli --batch --json --units nmi < pairs.txt\n"
                       "\n"
                       "With --batch, each line of standard input holds one pair in any of the\n"
                       "forms above, and each line of output is \"distance,own_heading,other_heading\"\n"
                       "(a heading is empty when the stations are at the same place or at opposite\n"
                       "points), or \"ERROR: <reason>\" for a line that cannot be used. Blank lines\n"
                       "and lines starting with # are copied through. --long-path adds the columns\n"
                       "long_distance,long_heading; --ellipsoid adds ellipsoid_distance,\n"
                       "ellipsoid_own_heading,ellipsoid_other_heading; --locator adds own_locator,\n"
                       "own_locator8,other_locator,other_locator8, in that order. With --json each\n"
                       "pair or failed line is one JSON object with its line number instead.\n"
                       "  printf '51 30 0 N 0 7 0 W 40 42 0 N 74 0 0 W\\n' | skybrant-cli --batch\n"
                       "  5539.2,288,51\n"
                       "  printf 'JO01 FN20xr\\n' | skybrant-cli --batch --long-path\n"
                       "\n"
                       "Exit status: 0 on success; 1 when a pair could not be computed (in batch\n"
                       "mode: any line), there is no heading to turn the rotator to, or reading or\n"
                       "writing failed; 2 on a usage error; 3 when the rotator cannot be reached;\n"
                       "4 when it does not answer in time; 5 when it reports an error."));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QCommandLineOption batchOption(QStringLiteral("batch"),
        QStringLiteral("Read pairs from standard input, one per line, and write one output line per input line."));
    const QCommandLineOption fromOption(QStringLiteral("from"),
        QStringLiteral("The own station in any of the three forms, as one argument: --from JO01, "
                       "--from \"51.5 -0.12\"."),
        QStringLiteral("station"));
    const QCommandLineOption toOption(QStringLiteral("to"),
        QStringLiteral("The other station in any of the three forms, as one argument: --to FN20xr."),
        QStringLiteral("station"));
    const QCommandLineOption locatorOption(
        QStringLiteral("locator"), QStringLiteral("Also show each station's 6- and 8-character locator."));
    const QCommandLineOption longPathOption(QStringLiteral("long-path"),
        QStringLiteral("Also show the distance and beam heading the long way round; with --rotate, turn "
                       "that way."));
    const QCommandLineOption unitsOption(QStringLiteral("units"),
        QStringLiteral("Distances in kilometres (km, the default), statute miles (mi) or nautical miles "
                       "(nmi): --units nmi."),
        QStringLiteral("km|mi|nmi"), QStringLiteral("km"));
    const QCommandLineOption ellipsoidOption(QStringLiteral("ellipsoid"),
        QStringLiteral("Also show the distance and headings on the WGS84 ellipsoid, to see how far the "
                       "sphere is off."));
    const QCommandLineOption rotateOption(QStringLiteral("rotate"),
        QStringLiteral("Turn the rotator of a Hamlib rotctld at this address to the beam heading: "
                       "--rotate localhost:4533, --rotate [::1]:4533."),
        QStringLiteral("host:port"));
    const QCommandLineOption timeoutOption(QStringLiteral("timeout"),
        QStringLiteral("Seconds to wait for the rotator once its name is looked up, at most 3600 (default 2): "
                       "--timeout 5."),
        QStringLiteral("seconds"), QStringLiteral("2"));
    const QCommandLineOption jsonOption(QStringLiteral("json"),
        QStringLiteral("Write JSON, every field named and units stated; with --batch one object per line."));
    parser.addOptions({batchOption, fromOption, toOption, locatorOption, longPathOption, unitsOption, ellipsoidOption,
        rotateOption, timeoutOption, jsonOption});
    parser.addPositionalArgument(
        QStringLiteral("own"), QStringLiteral("The own station, unless --from gives it."), QStringLiteral("OWN"));
    parser.addPositionalArgument(
        QStringLiteral("other"), QStringLiteral("The other station, unless --to gives it."), QStringLiteral("OTHER"));

    if (!parser.parse(protectNegativeNumbers(QCoreApplication::arguments()))) {
        return usageError(parser.errorText());
    }
    if (parser.isSet(helpOption)) {
        parser.showHelp(kExitOk);
    }
    if (parser.isSet(versionOption)) {
        parser.showVersion();
    }

    PairOptions options;
    const QString unitText = unprotect(parser.value(unitsOption));
    const auto unit = unitFromSymbol(unitText.toStdString());
    if (!unit) {
        return usageError(QStringLiteral("--units: \"%1\" is not a unit; allowed: km, mi or nmi").arg(unitText));
    }
    options.report.unit = *unit;
    options.report.longPath = parser.isSet(longPathOption);
    options.report.ellipsoid = parser.isSet(ellipsoidOption);
    options.report.locators = parser.isSet(locatorOption);
    options.json = parser.isSet(jsonOption);
    if (!readTimeout(parser.value(timeoutOption), options.timeout)) {
        return usageError(QStringLiteral("--timeout: \"%1\" is not a number of seconds above 0 and at most 3600")
                              .arg(unprotect(parser.value(timeoutOption))));
    }
    if (parser.isSet(timeoutOption) && !parser.isSet(rotateOption)) {
        return usageError(QStringLiteral("--timeout is the wait for the rotator and needs --rotate"));
    }
    if (parser.isSet(rotateOption)) {
        cli::RotatorAddress address;
        std::string error;
        if (!cli::parseRotatorAddress(unprotect(parser.value(rotateOption)).toStdString(), address, error)) {
            return usageError(QStringLiteral("--rotate: ") + QString::fromStdString(error));
        }
        options.rotator = address;
    }

    for (const QCommandLineOption* once : {&fromOption, &toOption, &unitsOption, &rotateOption, &timeoutOption}) {
        if (parser.values(*once).size() > 1) {
            return usageError(QStringLiteral("--%1 is given more than once").arg(once->names().constFirst()));
        }
    }
    if (parser.isSet(batchOption)) {
        if (!parser.positionalArguments().isEmpty() || parser.isSet(fromOption) || parser.isSet(toOption)) {
            return usageError(
                QStringLiteral("--batch reads the pairs from standard input and takes no stations as arguments"));
        }
        if (options.rotator) {
            return usageError(QStringLiteral("--rotate turns to one pair's heading and cannot go with --batch"));
        }
        return runBatchMode({options.report, options.json});
    }
    Position own;
    Position other;
    if (const int status = readStations({parser, fromOption, toOption}, own, other); status != kExitOk) {
        return status;
    }
    return runOnePair(own, other, options);
}
