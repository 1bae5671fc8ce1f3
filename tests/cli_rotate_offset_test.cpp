// skybrant-cli --rotate with the mast offset: the one the map window saved,
// or --offset in its place, against the real dummy rotctld.

#include "rotator_peers.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

namespace {

using skybrant::testing::Rotctld;

struct CliResult {
    int exitCode = -1;
    QString out;
    QString err;
};

// The command line with a settings home of its own, holding saved when given.
CliResult cliWithSettings(const QStringList& args, const std::optional<QByteArray>& saved)
{
    QTemporaryDir home;
    EXPECT_TRUE(home.isValid());
    if (saved) {
        EXPECT_TRUE(QDir(home.path()).mkpath(QStringLiteral("Skybrant")));
        QFile file(home.filePath(QStringLiteral("Skybrant/Skybrant.ini")));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(*saved);
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(SKYBRANT_CLI_PATH), args);
    EXPECT_TRUE(p.waitForFinished(60000));
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

TEST(CliRotateOffset, TheSavedOffsetOrTheOneGivenIsAddedToTheHeading)
{
    SKIP_WITHOUT_ROTCTLD();
    struct Case {
        const char* name;
        QStringList daemonOptions;
        std::optional<QByteArray> saved;
        QStringList options;
        int exitCode;
        const char* said;  // in the output, or for a failure on the error stream
    };
    const QByteArray ownStation = "[Latitude]\nDegree=51\n";
    const Case cases[] = {
        {"none saved: the heading as it is", {"-C", "min_az=0,max_az=450"}, std::nullopt, {}, 0,
            "to azimuth 289 (beam heading 289 degrees"},
        {"the saved offset among other keys", {"-C", "min_az=0,max_az=450"},
            ownStation + "[Rotator]\nAddress=localhost:4533\nOffset=-9.5\n", {}, 0,
            "to azimuth 279.5 (beam heading 289 degrees"},
        {"--offset in place of the saved one", {"-C", "min_az=0,max_az=450"}, "[Rotator]\nOffset=20\n",
            {"--offset", "10.04"}, 0, "to azimuth 299 (beam heading 289 degrees"},
        {"the offset turns the least within the range", {"-C", "min_az=-180,max_az=180"}, "[Rotator]\nOffset=100\n", {},
            0, "to azimuth 29 (beam heading 289 degrees"},
        {"the offset takes the turn out of the range", {"-C", "min_az=0,max_az=290"}, std::nullopt, {"--offset", "5"},
            5, "cannot reach 289\u00b0 (azimuth 294): its range is 0..290"},
        {"a saved offset not understood stops the turn", {}, "[Rotator]\nOffset=NaN\n", {}, 1,
            "Skybrant.ini is not understood: key [Rotator] Offset holds \"NaN\", which is not a number of degrees "
            "from -180 to 180; give the offset with --offset"},
        {"a settings file that cannot be read stops the turn", {}, "[Rotator]\nOffset=1\n[Map\n", {}, 1,
            "could not be read in full: line 3"},
        {"--offset beyond half a turn", {}, std::nullopt, {"--offset", "180.1"}, 2,
            "is not a number of degrees from -180 to 180"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rotctld daemon(c.daemonOptions);
        ASSERT_TRUE(daemon.accepting());
        const CliResult r = cliWithSettings(
            QStringList{"JO01", "FN20xr", "--rotate", QStringLiteral("127.0.0.1:%1").arg(daemon.port)} + c.options,
            c.saved);
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err.toStdString();
        EXPECT_TRUE((c.exitCode == 0 ? r.out : r.err).contains(QString::fromUtf8(c.said)))
            << r.out.toStdString() << r.err.toStdString();
    }
}

}  // namespace
