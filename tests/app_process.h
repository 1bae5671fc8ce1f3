#pragma once

// Runs the built window as a child process under the offscreen platform,
// with its own settings folder, and waits for what it says on standard
// output ("shown" when the window is drawn, "message <text>" when a message
// box opens), always with a deadline.

#include "settings/ini_document.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <memory>

namespace skybrant::testing {

// Sanitizers make everything slower; the deadlines stretch with them.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kSlower = 4;
#else
constexpr int kSlower = 1;
#endif

class AppProcessTest : public ::testing::Test {
public:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        ASSERT_TRUE(QDir().mkpath(folder()));
    }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
        env.insert(QStringLiteral("SKYBRANT_STARTUP_PROBE"), QStringLiteral("1"));
        return env;
    }

    QString folder() const { return home.path() + QStringLiteral("/Skybrant"); }
    QString iniPath() const { return folder() + QStringLiteral("/Skybrant.ini"); }

    void writeIni(const QByteArray& bytes) const
    {
        QFile f(iniPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }

    QByteArray iniBytes() const
    {
        QFile f(iniPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    settings::IniDocument saved() const
    {
        settings::IniDocument doc = settings::IniDocument::parse(iniBytes());
        EXPECT_TRUE(doc.problems().isEmpty()) << doc.problems().join(u'\n').toStdString();
        return doc;
    }

    static QString value(const settings::IniDocument& doc, const char* section, const char* key)
    {
        return doc.value(QLatin1String(section), QLatin1String(key)).value_or(QStringLiteral("<absent>"));
    }

    // The window as a child process, and what it has printed so far.
    class Child {
    public:
        explicit Child(const QProcessEnvironment& env)
        {
            process.setProcessEnvironment(env);
            process.start(QStringLiteral(SKYBRANT_APP_PATH), {});
            EXPECT_TRUE(process.waitForStarted(5000));
        }

        // The program with its command-line arguments.
        Child(const QProcessEnvironment& env, const QStringList& arguments)
        {
            process.setProcessEnvironment(env);
            process.start(QStringLiteral(SKYBRANT_APP_PATH), arguments);
            EXPECT_TRUE(process.waitForStarted(5000));
        }

        // Waits up to ms for a line of standard output starting with
        // prefix; returns that line, or an empty text (and a failure).
        QByteArray waitForLine(const char* prefix, int ms)
        {
            const QDeadlineTimer deadline(ms);
            for (;;) {
                out += process.readAllStandardOutput();
                for (const QByteArray& line : out.split('\n')) {
                    if (line.startsWith(prefix)) {
                        return line;
                    }
                }
                if (deadline.hasExpired() || process.state() == QProcess::NotRunning) {
                    ADD_FAILURE() << "no \"" << prefix << "\" within " << ms << " ms; output: " << out.toStdString()
                                  << " errors: " << process.readAllStandardError().toStdString();
                    return {};
                }
                process.waitForReadyRead(static_cast<int>(std::max<qint64>(deadline.remainingTime(), 1)));
            }
        }

        // Sends signal, by the child's PID, and waits up to ms for it to end.
        bool endsWithin(int signal, int ms)
        {
            ::kill(static_cast<pid_t>(process.processId()), signal);
            const bool ended = process.waitForFinished(ms);
            if (!ended) {
                process.kill();
                process.waitForFinished(5000);
            }
            return ended;
        }

        QProcess process;
        QByteArray out;
    };

    std::unique_ptr<Child> start() const { return std::make_unique<Child>(environment()); }
    std::unique_ptr<Child> start(const QStringList& arguments) const
    {
        return std::make_unique<Child>(environment(), arguments);
    }

    QTemporaryDir home;
};

}  // namespace skybrant::testing
