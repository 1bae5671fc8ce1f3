// skybrant-cli run as a user would, with the own station the window saved
// in a settings home of its own: never the real ~/.config.

#include "settings/settings_store.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
};

CliRun runCli(const QString& configHome, const QStringList& args)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
    env.insert(QStringLiteral("HOME"), configHome);
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(SKYBRANT_CLI_PATH), args);
    EXPECT_TRUE(p.waitForStarted());
    p.closeWriteChannel();
    EXPECT_TRUE(p.waitForFinished(60000));
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

// Saves the own station through the window's own store.
void saveAsTheWindow(const QString& configHome, const QStringList& values)
{
    const QByteArray kept = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", configHome.toUtf8());
    const char* keys[][2] = {{"Latitude", "Degree"}, {"Latitude", "Minute"}, {"Latitude", "Second"},
        {"Latitude", "N/S"}, {"Longitude", "Degree"}, {"Longitude", "Minute"}, {"Longitude", "Second"},
        {"Longitude", "E/W"}};
    auto store = skybrant::settings::makeIniSettingsStore();
    for (int i = 0; i < 8; ++i) {
        store->save(QStringLiteral("Skybrant"), QLatin1String(keys[i][0]), QLatin1String(keys[i][1]), values[i]);
    }
    QString error;
    EXPECT_TRUE(store->commit(error)) << error.toStdString();
    qputenv("XDG_CONFIG_HOME", kept);
}

TEST(CliOwnStation, TakesTheStationTheWindowSaved)
{
    const QStringList london{QStringLiteral("51"), QStringLiteral("30"), QStringLiteral("0"), QStringLiteral("N"),
        QStringLiteral("0"), QStringLiteral("7"), QStringLiteral("0"), QStringLiteral("W")};
    QStringList tooFar = london;
    tooFar[0] = QStringLiteral("95");
    struct Case {
        const char* name;
        QStringList saved;  // empty: nothing saved
        QByteArray appended;  // added to the saved file by hand
        QStringList args;
        int exitCode;
        const char* out;  // a line stdout holds; nullptr: stdout is empty
        const char* err;  // what stderr holds after the path; nullptr: stderr is empty
    };
    const Case cases[] = {
        {"the saved station stands in", london, {}, {QStringLiteral("FN20")}, 0, "Distance: 5618.3 km",
            "/Skybrant/Skybrant.ini: 51 30 0 N 0 7 0 W\n"},
        {"--to alone", london, {}, {QStringLiteral("--to"), QStringLiteral("FN20")}, 0, "Distance: 5618.3 km",
            "/Skybrant/Skybrant.ini: 51 30 0 N 0 7 0 W\n"},
        {"--from wins", london, {}, {QStringLiteral("--from"), QStringLiteral("JO01"), QStringLiteral("FN20")}, 0,
            "Distance: 5690.9 km", nullptr},
        {"none saved", {}, {}, {QStringLiteral("FN20")}, 2, nullptr,
            "/Skybrant/Skybrant.ini: give it with --from or as the first station\n"},
        {"a line that cannot be read", london, "[Rotator]\nName=Jos\xe9\n", {QStringLiteral("FN20")}, 1, nullptr,
            "/Skybrant/Skybrant.ini could not be read in full: line 13 is not UTF-8 text\n"},
        {"a key past its limit", tooFar, {}, {QStringLiteral("FN20")}, 1, nullptr,
            "/Skybrant/Skybrant.ini is not usable: key [Latitude] Degree holds \"95\": at most 90 is allowed\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QTemporaryDir home;
        ASSERT_TRUE(home.isValid());
        const QString file = home.path() + QStringLiteral("/Skybrant/Skybrant.ini");
        if (!c.saved.isEmpty()) {
            saveAsTheWindow(home.path(), c.saved);
        }
        if (!c.appended.isEmpty()) {
            QFile f(file);
            ASSERT_TRUE(f.open(QIODevice::Append));
            f.write(c.appended);
        }
        QByteArray before;
        if (QFile f(file); f.open(QIODevice::ReadOnly)) {
            before = f.readAll();
        }
        const CliRun run = runCli(home.path(), c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err.toStdString();
        if (c.out == nullptr) {
            EXPECT_EQ(run.out, QString());
        } else {
            EXPECT_TRUE(run.out.contains(QLatin1String(c.out))) << run.out.toStdString();
        }
        if (c.err == nullptr) {
            EXPECT_EQ(run.err, QString());
        } else {
            EXPECT_TRUE(run.err.startsWith(QStringLiteral("skybrant-cli: "))) << run.err.toStdString();
            EXPECT_TRUE(run.err.contains(home.path() + QLatin1String(c.err))) << run.err.toStdString();
            EXPECT_EQ(run.err.count(u'\n'), run.exitCode == 2 ? 2 : 1) << run.err.toStdString();
        }
        // Read, never written: the file stays as it was, or stays absent.
        QFile after(file);
        if (before.isEmpty()) {
            EXPECT_FALSE(after.exists());
        } else {
            ASSERT_TRUE(after.open(QIODevice::ReadOnly));
            EXPECT_EQ(after.readAll(), before);
        }
        EXPECT_EQ(QDir(home.path() + QStringLiteral("/Skybrant")).entryList(QDir::Files | QDir::Hidden).size(),
            before.isEmpty() ? 0 : 1);
    }
}

}  // namespace
