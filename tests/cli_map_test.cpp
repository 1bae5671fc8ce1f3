#include "map/azimuthal_map.h"
#include "map/earth_images.h"

#include "core/locator.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <utility>

namespace skybrant {
namespace {

using namespace std::chrono;

struct CliRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// skybrant-cli with no display at all, as from cron or ssh: the map must
// not need one, nor a runtime folder.
CliRun cli(const QStringList& arguments, const QString& program = QStringLiteral(SKYBRANT_CLI_PATH))
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

TEST(CliMap, DrawsTheLibrarysMapAndKeepsTheFigures)
{
    const QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString png = dir.filePath(QStringLiteral("wall.png"));
    const CliRun plain = cli({QStringLiteral("JO01"), QStringLiteral("FN20xr")});
    const CliRun withMap =
        cli({QStringLiteral("JO01"), QStringLiteral("FN20xr"), QStringLiteral("--map"), png, QStringLiteral("--size"),
            QStringLiteral("400"), QStringLiteral("--time"), QStringLiteral("2026-12-21T12:00Z")});
    ASSERT_EQ(withMap.exitCode, 0) << withMap.err.toStdString();
    EXPECT_EQ(withMap.out, plain.out);  // the figures, byte for byte

    const QImage got(png);
    ASSERT_FALSE(got.isNull());
    EXPECT_EQ(got.size(), QSize(400, 400));

    // The same map as the library draws for the same stations and time,
    // the other station labelled with its locator.
    Position own;
    Position other;
    std::string error;
    ASSERT_TRUE(parseLocator("JO01", own, error));
    ASSERT_TRUE(parseLocator("FN20xr", other, error));
    AzimuthalMap map(own, 400, std::make_shared<const EarthImages>(loadEarthImages()));
    map.setNightTime(sys_days{year{2026} / December / 21} + hours{12});
    const QImage expected = map.picture(OtherStation{other, QStringLiteral("FN20xr")});
    EXPECT_EQ(got.convertToFormat(QImage::Format_RGB32), expected);

    // A point of the short path past the other station is the path's colour.
    const QPointF c = map.centrePixel();
    const QPointF at = c + (map.pixelOf(other) - c) * 2.5;
    EXPECT_EQ(got.pixel(static_cast<int>(at.x()), static_cast<int>(at.y())), MapColours::shortPath);
}

TEST(CliMap, SvgAndNoNightSide)
{
    const QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString svg = dir.filePath(QStringLiteral("wall.svg"));
    const CliRun run = cli({QStringLiteral("--from"), QStringLiteral("51.5 -0.12"), QStringLiteral("--to"),
        QStringLiteral("JO01"), QStringLiteral("--map"), svg, QStringLiteral("--time"), QStringLiteral("none")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    QFile file(svg);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("<svg"));
    EXPECT_TRUE(text.contains("viewBox=\"0 0 1024 1024\""));
    EXPECT_TRUE(text.contains("<image"));  // the base
    EXPECT_TRUE(text.contains("JO01"));  // the other station's label as text
}

TEST(CliMap, RefusedRequests)
{
    const QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString png = dir.filePath(QStringLiteral("m.png"));
    struct Case {
        const char* name;
        QStringList arguments;
        int exitCode;
        const char* says;
    };
    const Case cases[] = {
        {"unknown suffix", {"JO01", "FN20", "--map", dir.filePath("m.gif")}, 2, "ends neither in .png nor in .svg"},
        {"no suffix", {"JO01", "FN20", "--map", dir.filePath("m")}, 2, "ends neither in .png nor in .svg"},
        {"size too small", {"JO01", "FN20", "--map", png, "--size", "63"}, 2, "--size: \"63\""},
        {"size too large", {"JO01", "FN20", "--map", png, "--size", "4097"}, 2, "from 64 to 4096"},
        {"size not a number", {"JO01", "FN20", "--map", png, "--size", "1e3"}, 2, "--size: \"1e3\""},
        {"time not a time", {"JO01", "FN20", "--map", png, "--time", "noon"}, 2, "--time: \"noon\""},
        {"date alone", {"JO01", "FN20", "--map", png, "--time", "2026-06-21"}, 2, "--time: \"2026-06-21\""},
        {"before the sun's years", {"JO01", "FN20", "--map", png, "--time", "1900-06-21T12:00Z"}, 2,
            "--time: \"1900-06-21T12:00Z\" is not a UTC date and time from 1901-01-01 to 2099-12-31"},
        {"after the sun's years", {"JO01", "FN20", "--map", png, "--time", "9999-06-21T12:00Z"}, 2,
            "--time: \"9999-06-21T12:00Z\""},
        {"size without map", {"JO01", "FN20", "--size", "512"}, 2, "--size shapes the map and needs --map"},
        {"time without map", {"JO01", "FN20", "--time", "none"}, 2, "--time shapes the map and needs --map"},
        {"with batch", {"--batch", "--map", png}, 2, "cannot go with --batch"},
        {"folder missing", {"JO01", "FN20", "--map", dir.filePath("no/such/m.png")}, 1,
            "ERROR: cannot write the map to"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CliRun run = cli(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_TRUE(run.err.contains(c.says)) << run.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(png));
}

// The map is drawn by a module beside the program; without it the figures
// still stand, and the map says why it is missing.
TEST(CliMap, WithoutItsModuleTheFiguresStand)
{
    const QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString alone = dir.filePath(QStringLiteral("skybrant-cli"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(SKYBRANT_CLI_PATH), alone));
    ASSERT_TRUE(QFile::setPermissions(alone, QFile::ReadOwner | QFile::ExeOwner));
    const QString png = dir.filePath(QStringLiteral("m.png"));
    const CliRun run = cli({"JO01", "FN20", "--map", png}, alone);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.startsWith("Distance: 5690.9 km\n")) << run.out.toStdString();
    EXPECT_TRUE(run.err.contains("ERROR: cannot draw maps: skybrant-cli-map.so is not installed"))
        << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(png));
    EXPECT_EQ(cli({"JO01", "FN20"}, alone).exitCode, 0);
}

// Qt's warnings (QStandardPaths without XDG_RUNTIME_DIR, fonts) are not the
// user's business: a run says only what skybrant-cli has to say, and a
// usage error is found before Qt is loaded at all.
TEST(CliMap, NoWordFromQt)
{
    const QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString png = dir.filePath(QStringLiteral("m.png"));
    const CliRun drawn = cli({"JO01", "FN20", "--map", png, "--size", "64"});
    EXPECT_EQ(drawn.exitCode, 0);
    for (const QByteArray& line : drawn.err.split('\n')) {
        EXPECT_TRUE(line.isEmpty() || line.startsWith("skybrant-cli: ")) << line.toStdString();
    }
    EXPECT_FALSE(drawn.err.contains("XDG_RUNTIME_DIR"));
    const CliRun usage = cli({"--map", png});
    EXPECT_EQ(usage.exitCode, 2);
    EXPECT_TRUE(usage.err.startsWith("skybrant-cli: expected two stations")) << usage.err.toStdString();
    EXPECT_FALSE(usage.err.contains("XDG_RUNTIME_DIR"));
}

// The file is written under the name given, bytes and all.
TEST(CliMap, FileNameKeptAsTheBytesGiven)
{
    const QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QProcess p;
    p.setWorkingDirectory(dir.path());
    // The shell makes the byte, which no QString argument could carry.
    p.start(QStringLiteral("/bin/sh"),
        {QStringLiteral("-c"), QStringLiteral("exec \"$0\" JO01 FN20 --size 64 --map \"$(printf 'm\\377p.png')\""),
            QStringLiteral(SKYBRANT_CLI_PATH)});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const std::string expected = dir.path().toStdString() + "/m\xffp.png";
    struct stat written { };
    EXPECT_EQ(::stat(expected.c_str(), &written), 0);
    EXPECT_GT(written.st_size, 0);
    // Nothing else was written, under a name mended or not; Qt cannot name
    // this file, so it is removed here, not by the folder.
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path().toStdString())) {
        files += entry.is_regular_file() ? 1 : 0;
    }
    EXPECT_EQ(files, 1U);
    ::unlink(expected.c_str());
}

// A pipe that no one reads is refused at once, not waited on.
TEST(CliMap, PipeWithoutReaderIsNoHang)
{
    const QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string pipe = dir.path().toStdString() + "/p.png";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const CliRun run = cli({"JO01", "FN20", "--size", "64", "--map", QString::fromStdString(pipe)});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("ERROR: cannot write the map to")) << run.err.toStdString();
}

TEST(CliMap, TimesAccepted)
{
    const QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const char* time : {"2026-06-21T20:00Z", "2026-06-21T20:00:30Z", "2026-06-21 20:00", "2026-06-21T22:00+02:00",
             "now", "none", "1901-01-01T00:00Z", "2099-12-31T23:59Z"}) {
        SCOPED_TRACE(time);
        const QString png = dir.filePath(QStringLiteral("t.png"));
        const CliRun run = cli({QStringLiteral("JO01"), QStringLiteral("FN20"), QStringLiteral("--map"), png,
            QStringLiteral("--size"), QStringLiteral("64"), QStringLiteral("--time"), QString::fromUtf8(time)});
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(QImage(png).size(), QSize(64, 64));
        QFile::remove(png);
    }
}

}  // namespace
}  // namespace skybrant

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    const QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
