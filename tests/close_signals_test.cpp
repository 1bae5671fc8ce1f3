// Ending the window from outside: SIGTERM, SIGINT and SIGHUP, whatever box
// is open, and the display server going away. Each runs the real program as
// a child process and holds it to deadlines.

#include "app_process.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include <functional>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace skybrant::testing {
namespace {

constexpr int kStart = 2000 * kSlower;  // to the window or its first message
constexpr int kEnd = 2000 * kSlower;  // from a signal to the end

using CloseSignalsTest = AppProcessTest;

const QByteArray kStation = "[Latitude]\nDegree=91\nMinute=10\nSecond=20\nN/S=S\n\n"
                            "[Longitude]\nDegree=30\nMinute=40\nSecond=50\nE/W=W\n";

TEST_F(CloseSignalsTest, EachSignalClosesTheShownWindowAndSaves)
{
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(strsignal(signal));
        writeIni("[Latitude]\nDegree=7\n");
        auto app = start();
        ASSERT_FALSE(app->waitForLine("shown", kStart).isEmpty());
        ASSERT_TRUE(app->endsWithin(signal, kEnd));
        EXPECT_EQ(app->process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(app->process.exitCode(), 0);
        const settings::IniDocument doc = saved();
        EXPECT_EQ(value(doc, "Latitude", "Degree"), "7");
        EXPECT_EQ(value(doc, "Longitude", "E/W"), "");
    }
}

// A signal while a message of the load is open: the box closes, the program
// ends, and the file holds exactly what it should.
TEST_F(CloseSignalsTest, SignalDuringALoadMessageEndsTheProgram)
{
    const auto makeNode = [](const QString& path) {
        return ::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0600, makedev(1, 5)) == 0;
    };
    const auto isNode = [](const QString& path) {
        struct stat st { };
        return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISCHR(st.st_mode);
    };
    struct Case {
        const char* name;
        int signal;
        std::function<bool(CloseSignalsTest&)> prepare;  // false: cannot here
        const char* message;
        std::function<void(CloseSignalsTest&)> check;
    };
    const Case cases[] = {
        {"a named pipe in place of the file", SIGTERM,
            [](CloseSignalsTest& t) { return ::mkfifo(QFile::encodeName(t.iniPath()).constData(), 0600) == 0; },
            "it is a named pipe, not a regular file. Skybrant starts without them and saves a regular file in its "
            "place.",
            [](CloseSignalsTest& t) {
                // A pipe holds nothing: the save puts the station in its place.
                EXPECT_TRUE(QFileInfo(t.iniPath()).isFile());
                EXPECT_EQ(value(t.saved(), "Longitude", "E/W"), "");
            }},
        {"a symlink to a device node", SIGINT,
            [&makeNode](CloseSignalsTest& t) {
                const QString node = t.home.path() + QStringLiteral("/zero");
                return makeNode(node) && QFile::link(node, t.iniPath());
            },
            "it is a device, not a regular file",
            [&isNode](CloseSignalsTest& t) {
                EXPECT_TRUE(isNode(t.home.path() + QStringLiteral("/zero")));
                EXPECT_TRUE(QFileInfo(t.iniPath()).isSymLink());
            }},
        {"a device node as the file", SIGHUP, [&makeNode](CloseSignalsTest& t) { return makeNode(t.iniPath()); },
            "it is a device, not a regular file", [&isNode](CloseSignalsTest& t) { EXPECT_TRUE(isNode(t.iniPath())); }},
        {"a range message half way through the restore", SIGHUP,
            [](CloseSignalsTest& t) {
                t.writeIni(kStation + "; the map's\n[Map]\nZoom=4\n");
                return true;
            },
            " Latitude is always less than 90 degrees",
            [](CloseSignalsTest& t) {
                // The box shown was reset; the entries not yet shown keep
                // their stored values.
                QByteArray expected = kStation + "; the map's\n[Map]\nZoom=4\n";
                expected.replace("Degree=91", "Degree=");
                EXPECT_EQ(t.iniBytes(), expected);
            }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(iniPath());
        if (!c.prepare(*this)) {
            ADD_FAILURE() << "could not prepare: " << std::strerror(errno);
            continue;
        }
        auto app = start();
        const QByteArray message = app->waitForLine("message", kStart);
        EXPECT_TRUE(message.contains(c.message)) << message.toStdString();
        ASSERT_TRUE(app->endsWithin(c.signal, kEnd));
        EXPECT_EQ(app->process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(app->process.exitCode(), 0);
        c.check(*this);
    }
}

TEST_F(CloseSignalsTest, HugeFileIsReportedAtOnceWithoutReadingIt)
{
    {
        QFile f(iniPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        const QByteArray block(1 << 20, 'x');
        for (int i = 0; i < 100; ++i) {
            ASSERT_EQ(f.write(block), block.size());
        }
    }
    QElapsedTimer clock;
    clock.start();
    auto app = start();
    const QByteArray message = app->waitForLine("message", 1000 * kSlower);
    EXPECT_LT(clock.elapsed(), 1000 * kSlower);
    EXPECT_TRUE(message.contains("larger than 1 MiB")) << message.toStdString();
    EXPECT_TRUE(message.contains(iniPath().toUtf8())) << message.toStdString();
    QFile status(QStringLiteral("/proc/%1/status").arg(app->process.processId()));
    ASSERT_TRUE(status.open(QIODevice::ReadOnly));
    const auto peak =
        QRegularExpression(QStringLiteral("VmHWM:\\s*(\\d+) kB")).match(QString::fromLatin1(status.readAll()));
    ASSERT_TRUE(peak.hasMatch());
    EXPECT_LT(peak.captured(1).toLongLong(), 100 * 1024 * kSlower);
    ASSERT_TRUE(app->endsWithin(SIGTERM, kEnd));
    // Nothing could be read, so nothing replaces it.
    EXPECT_EQ(QFileInfo(iniPath()).size(), qint64{100} << 20);
    const QByteArray err = app->process.readAllStandardError();
    EXPECT_FALSE(err.contains("could not be saved")) << err.toStdString();
}

TEST_F(CloseSignalsTest, FailedSaveOnASignalIsToldOnStandardErrorAndEnds)
{
    // A settings home whose name would set a terminal's title, with a file
    // where the Skybrant folder should be.
    const QString odd = home.path() + QStringLiteral("/odd\x1b]0;x\x07home");
    ASSERT_TRUE(QDir().mkpath(odd));
    QFile blocker(odd + QStringLiteral("/Skybrant"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QProcessEnvironment env = environment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), odd);
    Child app(env);
    ASSERT_FALSE(app.waitForLine("shown", kStart).isEmpty());
    ASSERT_TRUE(app.endsWithin(SIGTERM, kEnd));
    EXPECT_EQ(app.process.exitCode(), 0);
    const QByteArray err = app.process.readAllStandardError();
    const QByteArray shownPath = home.path().toUtf8() + "/odd\\x1B]0;x\\x07home/Skybrant/Skybrant.ini";
    EXPECT_TRUE(err.contains("skybrant: The settings could not be saved to " + shownPath)) << err.toStdString();
    EXPECT_TRUE(err.contains("is a file, not a folder")) << err.toStdString();
    EXPECT_FALSE(err.contains('\x1b'));
    EXPECT_FALSE(err.contains('\x07'));
}

// The X server dying ends the program without a close request; the own
// station is saved all the same, once.
TEST_F(CloseSignalsTest, DisplayGoingAwaySavesTheStation)
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty()) {
        GTEST_SKIP() << "Xvfb is not installed (package xvfb)";
    }
    // Xvfb picks a free display and writes its number to a file.
    const QString numberFile = home.path() + QStringLiteral("/display");
    QProcess server;
    server.start(QStringLiteral("sh"),
        {QStringLiteral("-c"), QStringLiteral("exec \"$0\" -displayfd 3 -nolisten tcp 3>\"$1\""), xvfb, numberFile});
    ASSERT_TRUE(server.waitForStarted(5000));
    QByteArray number;
    const QDeadlineTimer serverUp(10000);
    while (!number.endsWith('\n') && !serverUp.hasExpired() && server.state() == QProcess::Running) {
        server.waitForFinished(20);
        QFile f(numberFile);
        number = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    ASSERT_TRUE(number.endsWith('\n')) << server.readAllStandardError().toStdString();

    writeIni("; kept\n[Latitude]\nDegree=7\n");
    QProcessEnvironment env = environment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("DISPLAY"), u':' + QString::fromLatin1(number.trimmed()));
    if (env.contains(QStringLiteral("ASAN_OPTIONS"))) {
        // Under the sanitizers: the X keyboard library's strndup reads past
        // its own buffers, and the desktop libraries leave memory behind
        // when the platform calls exit() - neither is this program's.
        env.insert(QStringLiteral("ASAN_OPTIONS"),
            env.value(QStringLiteral("ASAN_OPTIONS")) + QStringLiteral(":strict_string_checks=0:detect_leaks=0"));
    }
    Child app(env);
    ASSERT_FALSE(app.waitForLine("shown", kStart * 2).isEmpty());
    ::kill(static_cast<pid_t>(server.processId()), SIGKILL);
    ASSERT_TRUE(server.waitForFinished(5000));
    ASSERT_TRUE(app.process.waitForFinished(kEnd));
    EXPECT_EQ(iniBytes(),
        "; kept\n[Latitude]\nDegree=7\nMinute=\nN/S=\nSecond=\n\n[Longitude]\nDegree=\nE/W=\nMinute=\nSecond=\n");
}

}  // namespace
}  // namespace skybrant::testing
