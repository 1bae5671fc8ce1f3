#include "map/azimuthal_map.h"
#include "map/earth_images.h"

#include "core/locator.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
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

// skybrant-cli with no display at all: the map must not need one.
CliRun cli(const QStringList& arguments, const QString& program = QStringLiteral(SKYBRANT_CLI_PATH))
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
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
    for (const auto& [from, to] : {std::pair{QStringLiteral(SKYBRANT_CLI_PATH), alone},
             std::pair{QStringLiteral(SKYBRANT_CLI_FULL_PATH), dir.filePath(QStringLiteral("skybrant-cli-full"))}}) {
        ASSERT_TRUE(QFile::copy(from, to));
        ASSERT_TRUE(QFile::setPermissions(to, QFile::ReadOwner | QFile::ExeOwner));
    }
    const QString png = dir.filePath(QStringLiteral("m.png"));
    const CliRun run = cli({"JO01", "FN20", "--map", png}, alone);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.startsWith("Distance: 5690.9 km\n")) << run.out.toStdString();
    EXPECT_TRUE(run.err.contains("ERROR: cannot draw maps: skybrant-cli-map.so is not installed"))
        << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(png));
    EXPECT_EQ(cli({"JO01", "FN20"}, alone).exitCode, 0);
}

TEST(CliMap, TimesAccepted)
{
    const QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const char* time :
        {"2026-06-21T20:00Z", "2026-06-21T20:00:30Z", "2026-06-21 20:00", "2026-06-21T22:00+02:00", "now", "none"}) {
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
