// Runs the built programs as separate processes: the window's saved station
// across runs, several programs saving at once, and the crash test of the
// settings file.

#include "app_process.h"

#include <QElapsedTimer>
#include <QLockFile>
#include <QThread>

#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <unistd.h>

namespace skybrant::testing {
namespace {

using AppTest = AppProcessTest;

// Starts the window, waits until it is shown, and ends it with signal.
void runAndSignal(AppTest& t, int signal)
{
    auto app = t.start();
    ASSERT_FALSE(app->waitForLine("shown", 20000).isEmpty());
    ASSERT_TRUE(app->endsWithin(signal, 20000));
    EXPECT_EQ(app->process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(app->process.exitCode(), 0);
}

TEST_F(AppTest, HandEditedFileKeepsItsCommentsAndOtherFeaturesAcrossRuns)
{
    // Comments, a key above any section, blanks around a value, and the
    // sections of other features: all stay where they are.
    writeIni("; written by hand\nTheme=dark\n[Latitude]\nDegree = 7\nMinute=30\nN/S=S\n"
             "# the map's own\n[Map]\nZoom=5\n[Longitude]\nE/W=W\nDegree=15\n");
    runAndSignal(*this, SIGTERM);
    const QByteArray expected = "; written by hand\nTheme=dark\n[Latitude]\nDegree = 7\nMinute=30\nN/S=S\nSecond=\n"
                                "# the map's own\n[Map]\nZoom=5\n[Longitude]\nE/W=W\nDegree=15\nMinute=\nSecond=\n";
    EXPECT_EQ(iniBytes(), expected);

    // The next run reads what this one wrote, and saves it unchanged.
    runAndSignal(*this, SIGINT);
    EXPECT_EQ(iniBytes(), expected);
}

TEST_F(AppTest, NoDisplayIsExplained)
{
    QProcess app;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        env.remove(QLatin1String(name));
    }
    app.setProcessEnvironment(env);
    app.start(QStringLiteral(SKYBRANT_APP_PATH), {});
    ASSERT_TRUE(app.waitForFinished(20000));
    EXPECT_NE(app.exitCode(), 0);
    const QByteArray err = app.readAllStandardError();
    EXPECT_TRUE(err.contains("xvfb-run make run")) << err.toStdString();
    EXPECT_TRUE(err.contains("skybrant-cli")) << err.toStdString();
}

TEST_F(AppTest, KilledSaveLeavesTheOldFileOrTheNewOne)
{
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> delay(1, 60);
    for (int attempt = 0; attempt < 12; ++attempt) {
        SCOPED_TRACE(attempt);
        QProcess writer;
        writer.setProcessEnvironment(environment());
        writer.start(QStringLiteral(SETTINGS_WRITER_PATH), {});
        ASSERT_TRUE(writer.waitForReadyRead(20000)) << writer.readAllStandardError().toStdString();
        QThread::msleep(static_cast<unsigned long>(delay(rng)));
        writer.kill();  // SIGKILL: no chance to finish what it writes
        ASSERT_TRUE(writer.waitForFinished(20000));

        const settings::IniDocument doc = saved();
        const QString first = value(doc, "Latitude", "Degree");
        EXPECT_FALSE(first.isEmpty());
        for (const char* section : {"Latitude", "Longitude"}) {
            for (const char* key : {"Degree", "Minute", "Second"}) {
                EXPECT_EQ(value(doc, section, key), first) << section << "/" << key;
            }
        }
    }
}

// Two windows on the same file, each with its own station, closed at the
// same moment: the file is always the whole of one of them, and the other
// feature's section is kept.
TEST_F(AppTest, TwoProgramsClosingAtOnceLeaveOneWholeFile)
{
    const auto station = [](int n) {
        return QStringLiteral("[Latitude]\nDegree=%1\nMinute=%1\nN/S=S\nSecond=%1\n\n"
                              "[Longitude]\nDegree=%1\nE/W=W\nMinute=%1\nSecond=%1\n\n[Map]\nZoom=5\n")
            .arg(n)
            .toUtf8();
    };
    for (int round = 0; round < 50; ++round) {
        SCOPED_TRACE(round);
        writeIni(station(1));
        auto first = start();
        ASSERT_FALSE(first->waitForLine("shown", 20000).isEmpty());
        writeIni(station(2));
        auto second = start();
        ASSERT_FALSE(second->waitForLine("shown", 20000).isEmpty());
        ::kill(static_cast<pid_t>(first->process.processId()), SIGTERM);
        ::kill(static_cast<pid_t>(second->process.processId()), SIGTERM);
        ASSERT_TRUE(first->process.waitForFinished(20000));
        ASSERT_TRUE(second->process.waitForFinished(20000));
        const QByteArray bytes = iniBytes();
        EXPECT_TRUE(bytes == station(1) || bytes == station(2)) << bytes.toStdString();
        EXPECT_TRUE(QDir(folder()).entryList(QDir::Files).size() == 1)
            << QDir(folder()).entryList().join(u' ').toStdString();
    }
}

// Whatever stands in the lock's place, or holds the lock, a close waits at
// most a moment for it and saves.
TEST_F(AppTest, LocksNeverDelayTheCloseBeyondASecond)
{
    const QString lockPath = iniPath() + QStringLiteral(".lock");
    struct Case {
        const char* name;
        std::function<void()> prepare;
    };
    int heldLock = -1;
    const Case cases[] = {
        {"a folder named as the old lock file", [&] { ASSERT_TRUE(QDir().mkpath(lockPath)); }},
        {"an old lock file naming another host",
            [&] {
                QFile f(lockPath);
                ASSERT_TRUE(f.open(QIODevice::WriteOnly));
                f.write("4242\nSkybrant\nsomewhere-else\n");
            }},
        {"an empty old lock file",
            [&] {
                QFile f(lockPath);
                ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            }},
        {"another program holding the folder's lock",
            [&] {
                heldLock = ::open(QFile::encodeName(folder()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
                ASSERT_EQ(::flock(heldLock, LOCK_EX), 0);
            }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeIni("[Latitude]\nDegree=7\n");
        auto app = start();
        ASSERT_FALSE(app->waitForLine("shown", 20000).isEmpty());
        c.prepare();
        QElapsedTimer clock;
        clock.start();
        ASSERT_TRUE(app->endsWithin(SIGTERM, 20000));
        EXPECT_LT(clock.elapsed(), 1000);
        EXPECT_EQ(value(saved(), "Longitude", "E/W"), "");
        QDir(lockPath).removeRecursively();
        QFile::remove(lockPath);
        if (heldLock >= 0) {
            ::close(heldLock);
            heldLock = -1;
        }
    }
}

// skybrant --map: the map window alone, ended each way a user or the
// system ends it, leaving the saved station (and the hand-edited file) as
// they were.
TEST_F(AppTest, MapAloneShowsTheMapAndEndsCleanly)
{
    const QByteArray ini = "; my station\n[Latitude]\nDegree=51\nMinute=30\nSecond=0\nN/S=N\n"
                           "[Longitude]\nDegree=0\nMinute=7\nSecond=0\nE/W=W\n[Map]\nUnit=mi\n";
    struct Case {
        const char* name;
        int signal;  // 0: the start-up probe quits it
    };
    const Case cases[] = {
        {"SIGTERM", SIGTERM},
        {"SIGINT", SIGINT},
        {"SIGHUP", SIGHUP},
        {"quit from inside", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeIni(ini);
        QProcessEnvironment env = environment();
        if (c.signal == 0) {
            env.insert(QStringLiteral("SKYBRANT_STARTUP_PROBE"), QStringLiteral("quit"));
        }
        Child app(env, {QStringLiteral("--map")});
        const QByteArray shown = app.waitForLine("shown", 20000);
        EXPECT_TRUE(shown.endsWith(" MapWindow")) << shown.toStdString();
        if (c.signal != 0) {
            ASSERT_TRUE(app.endsWithin(c.signal, 20000));
        } else {
            ASSERT_TRUE(app.process.waitForFinished(20000));
        }
        EXPECT_EQ(app.process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(app.process.exitCode(), 0);
        EXPECT_EQ(iniBytes(), ini);
    }
    // The calculator says which window it is too.
    auto window = start();
    EXPECT_TRUE(window->waitForLine("shown", 20000).endsWith(" Form1"));
    EXPECT_TRUE(window->endsWithin(SIGTERM, 20000));
}

}  // namespace
}  // namespace skybrant::testing
