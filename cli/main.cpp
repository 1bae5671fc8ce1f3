// skybrant-cli: beam headings and distance from the command line, one pair
// from the arguments or many with --batch.

#include "batch.h"
#include "core/compute.h"
#include "station_fields.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace skybrant;

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// QCommandLineParser would take "-10" for a bundle of short options. A
// leading unit separator makes such an argument positional; it is removed
// again after parsing.
constexpr QChar kNumberMark = QChar(0x1F);

bool looksLikeNegativeNumber(const QString& arg)
{
    return arg.size() >= 2 && arg[0] == u'-' && arg[1].isDigit();
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

int runOnePair(const QStringList& positional)
{
    if (positional.size() != static_cast<qsizetype>(cli::kFieldsPerPair)) {
        return usageError(QString::fromStdString(cli::wrongFieldCount(static_cast<std::size_t>(positional.size()))));
    }
    std::vector<std::string> texts;
    texts.reserve(cli::kFieldsPerPair);
    std::array<std::string_view, cli::kFieldsPerPair> fields;
    for (std::size_t i = 0; i < cli::kFieldsPerPair; ++i) {
        texts.push_back(unprotect(positional[static_cast<qsizetype>(i)]).toStdString());
    }
    for (std::size_t i = 0; i < cli::kFieldsPerPair; ++i) {
        fields[i] = texts[i];
    }

    cli::StationPair pair;
    std::string error;
    if (!cli::parseStationFields(fields, pair, error)) {
        std::fprintf(stderr, "skybrant-cli: ERROR: %s\n", error.c_str());
        return kExitFailed;
    }

    const ComputedTexts t = computeTexts(pair.own, pair.other);
    const auto heading = [](const std::string& text) { return text.empty() ? std::string("none") : text + " degrees"; };
    std::printf("Distance: %s km\n", t.distance.c_str());
    std::printf("Beam heading from my station: %s\n", heading(t.ownToOther).c_str());
    std::printf("Beam heading from the other station: %s\n", heading(t.otherToOwn).c_str());
    if (const auto note = geometryNote(t.result.geometry); !note.empty()) {
        std::printf("Note: %.*s\n", static_cast<int>(note.size()), note.data());
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
        std::perror("skybrant-cli: cannot write the output");
        return kExitFailed;
    }
    return kExitOk;
}

int runBatchMode()
{
    const cli::BatchOutcome outcome = cli::runBatch(stdin, stdout);
    if (outcome.ioFailed) {
        std::fprintf(stderr, "skybrant-cli: %s\n", outcome.ioError.c_str());
        return kExitFailed;
    }
    return outcome.failedLines > 0 ? kExitFailed : kExitOk;
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
                       "Give the own station, then the other station, each as eight fields:\n"
                       "latitude degrees, minutes, seconds, N or S, then longitude degrees,\n"
                       "minutes, seconds, E or W. Degrees are at most 90 (latitude) or 180\n"
                       "(longitude), minutes and seconds at most 60, with no minutes or seconds\n"
                       "above 0 at 90 or 180 degrees. Hemisphere letters may be in either case.\n"
                       "\n"
                       "Example:\n"
                       "  skybrant-cli 51 30 0 N 0 7 0 W 40 42 0 N 74 0 0 W\n"
                       "  Distance: 5539.2 km\n"
                       "  Beam heading from my station: 288 degrees\n"
                       "  Beam heading from the other station: 51 degrees\n"
                       "\n"
                       "With --batch, each line of standard input holds the sixteen fields of one\n"
                       "pair, and each line of output is \"distance,own_heading,other_heading\"\n"
                       "(a heading is empty when the stations are at the same place or at opposite\n"
                       "points), or \"ERROR: <reason>\" for a line that cannot be used. Blank lines\n"
                       "and lines starting with # are copied through.\n"
                       "  printf '51 30 0 N 0 7 0 W 40 42 0 N 74 0 0 W\\n' | skybrant-cli --batch\n"
                       "  5539.2,288,51\n"
                       "\n"
                       "Exit status: 0 on success, 1 when a pair could not be computed (in batch\n"
                       "mode: any line), or reading or writing failed, 2 on a usage error."));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QCommandLineOption batchOption(QStringLiteral("batch"),
        QStringLiteral("Read pairs from standard input, one per line, and "
                       "write one CSV line per input line."));
    parser.addOption(batchOption);
    parser.addPositionalArgument(QStringLiteral("own"), QStringLiteral("The own station (eight fields)."),
        QStringLiteral("LAD LAM LAS N|S LOD LOM LOS E|W"));
    parser.addPositionalArgument(QStringLiteral("other"), QStringLiteral("The other station (eight fields)."),
        QStringLiteral("LAD LAM LAS N|S LOD LOM LOS E|W"));

    if (!parser.parse(protectNegativeNumbers(QCoreApplication::arguments()))) {
        return usageError(parser.errorText());
    }
    if (parser.isSet(helpOption)) {
        parser.showHelp(kExitOk);
    }
    if (parser.isSet(versionOption)) {
        parser.showVersion();
    }

    const QStringList positional = parser.positionalArguments();
    if (parser.isSet(batchOption)) {
        if (!positional.isEmpty()) {
            return usageError(
                QStringLiteral("--batch reads the pairs from standard input and takes no station fields"));
        }
        return runBatchMode();
    }
    return runOnePair(positional);
}
