// Runs the built programs as separate processes: the window under the
// offscreen platform, and the crash test of the settings file.

#include "settings/ini_format.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <random>

namespace {

class AppTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(home.isValid()); }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
        env.insert(QStringLiteral("SKYBRANT_STARTUP_PROBE"), QStringLiteral("1"));
        return env;
    }

    QString iniPath() const { return home.path() + QStringLiteral("/Skybrant/Skybrant.ini"); }

    QSettings::SettingsMap saved() const
    {
        QFile f(iniPath());
        QSettings::SettingsMap map;
        QString error;
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_TRUE(skybrant::settings::readIni(f.readAll(), map, error)) << error.toStdString();
        return map;
    }

    // Starts the window, waits until it is shown, and ends it with signal.
    void runAndSignal(int signal)
    {
        QProcess app;
        app.setProcessEnvironment(environment());
        app.start(QStringLiteral(SKYBRANT_APP_PATH), {});
        ASSERT_TRUE(app.waitForStarted());
        QByteArray out;
        while (!out.contains("shown") && app.waitForReadyRead(20000)) {
            out += app.readAllStandardOutput();
        }
        ASSERT_TRUE(out.contains("shown")) << app.readAllStandardError().toStdString();
        ::kill(static_cast<pid_t>(app.processId()), signal);
        ASSERT_TRUE(app.waitForFinished(20000));
        EXPECT_EQ(app.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(app.exitCode(), 0);
    }

    QTemporaryDir home;
};

TEST_F(AppTest, TerminatedWindowSavesAndTheNextRunReadsIt)
{
    QDir().mkpath(home.path() + QStringLiteral("/Skybrant"));
    {
        QFile f(iniPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("; written by hand\n[Latitude]\nDegree = 7\nMinute=30\nN/S=S\n[Longitude]\nE/W=W\nDegree=15\n");
    }
    runAndSignal(SIGTERM);
    // Saved again, in the program's own layout, with every entry present.
    QFile f(iniPath());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray first = f.readAll();
    EXPECT_FALSE(first.contains("written by hand"));
    QSettings::SettingsMap map = saved();
    EXPECT_EQ(map.value(QStringLiteral("Latitude/Degree")).toString(), "7");
    EXPECT_EQ(map.value(QStringLiteral("Latitude/Second")).toString(), "");
    EXPECT_EQ(map.size(), 8);

    // The next run reads what this one wrote, and saves it again on SIGINT.
    runAndSignal(SIGINT);
    map = saved();
    EXPECT_EQ(map.value(QStringLiteral("Latitude/Degree")).toString(), "7");
    EXPECT_EQ(map.value(QStringLiteral("Latitude/Minute")).toString(), "30");
    EXPECT_EQ(map.value(QStringLiteral("Latitude/N/S")).toString(), "S");
    EXPECT_EQ(map.value(QStringLiteral("Longitude/E/W")).toString(), "W");
    EXPECT_EQ(map.value(QStringLiteral("Longitude/Degree")).toString(), "15");
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
        QProcess writer;
        writer.setProcessEnvironment(environment());
        writer.start(QStringLiteral(SETTINGS_WRITER_PATH), {});
        ASSERT_TRUE(writer.waitForReadyRead(20000))
            << writer.readAllStandardError().toStdString() << " state " << writer.state() << " attempt " << attempt;
        QThread::msleep(static_cast<unsigned long>(delay(rng)));
        writer.kill();  // SIGKILL: no chance to finish what it writes
        ASSERT_TRUE(writer.waitForFinished(20000));

        const QSettings::SettingsMap map = saved();
        ASSERT_EQ(map.size(), 8) << "attempt " << attempt;
        const QString first = map.first().toString();
        EXPECT_FALSE(first.isEmpty());
        for (const QVariant& v : map) {
            EXPECT_EQ(v.toString(), first) << "attempt " << attempt;
        }
    }
}

}  // namespace
