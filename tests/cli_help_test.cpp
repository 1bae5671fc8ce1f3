// skybrant-cli's --help, --version and man page, as a user meets them.

#include "cli_run.h"

#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cerrno>
#include <cstring>

namespace {

using skybrant::testing::cli;
using skybrant::testing::CliRun;

TEST(Cli, HelpAndManPageShowEveryOptionWithAnExample)
{
    const CliRun help = cli({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* word : {"Usage:", "--batch", "--version", "LAD LAM LAS N|S LOD LOM LOS E|W", "Exit status"}) {
        SCOPED_TRACE(word);
        EXPECT_TRUE(help.out.contains(QString::fromUtf8(word)));
    }
    QFile manPage(QStringLiteral(SKYBRANT_MAN_PAGE));
    ASSERT_TRUE(manPage.open(QIODevice::ReadOnly));
    // roff writes each hyphen of an option as \-.
    const QString man = QString::fromUtf8(manPage.readAll()).replace(QStringLiteral("\\-"), QStringLiteral("-"));
    const QString examples = help.out.section(QStringLiteral("Examples:"), 1).section(QStringLiteral("Options:"), 0, 0);
    for (const char* option : {"--from", "--to", "--locator", "--long-path", "--units", "--ellipsoid", "--rotate",
             "--timeout", "--json", "--batch"}) {
        SCOPED_TRACE(option);
        const QString name = QString::fromUtf8(option);
        EXPECT_TRUE(help.out.contains(QStringLiteral("  ") + name)) << option << " is not in the option list";
        EXPECT_TRUE(examples.contains(name + u' ') || examples.contains(name + u'\n'))
            << option << " has no example in --help";
        EXPECT_TRUE(man.contains(QStringLiteral(".B ") + name) || man.contains(QStringLiteral(".BI ") + name) ||
            man.contains(QStringLiteral(".BR ") + name))
            << option << " is not in the man page";
    }
    // Every option --help lists has its entry in the man page.
    const QString optionList =
        help.out.section(QStringLiteral("\nOptions:\n"), 1).section(QStringLiteral("\n\n"), 0, 0);
    for (const QString& entry : optionList.split(u'\n')) {
        const QString name = entry.trimmed().section(u' ', 0, 0);
        if (name.startsWith(QStringLiteral("--"))) {
            EXPECT_TRUE(
                man.contains(QStringLiteral(".B ") + name + u'\n') || man.contains(QStringLiteral(".BI ") + name))
                << name.toStdString() << " is in --help but not in the man page";
        }
    }
    // Only the help this program gives is offered.
    EXPECT_FALSE(help.out.contains(u"--help-all"));
    const CliRun version = cli({QStringLiteral("--version")});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.startsWith(u"skybrant-cli "));
}

// The usage line names the program, not the path it was started by.
TEST(Cli, UsageLineNamesTheProgram)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString link = folder.filePath(QStringLiteral("beam"));
    ASSERT_TRUE(QFile::link(QStringLiteral(SKYBRANT_CLI_PATH), link));
    struct Case {
        const char* name;
        QString program;
        QString option;
    };
    const Case cases[] = {
        {"by its full path", QStringLiteral(SKYBRANT_CLI_PATH), QStringLiteral("--help")},
        {"through a link of another name", link, QStringLiteral("--help")},
        {"by the short option", QStringLiteral(SKYBRANT_CLI_PATH), QStringLiteral("-h")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QProcess p;
        p.start(c.program, {c.option});
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), 0);
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        EXPECT_TRUE(out.startsWith(u"Usage: skybrant-cli [options] OWN OTHER\n"))
            << out.section(u'\n', 0, 0).toStdString();
    }
}

// --help and --version tell when their text could not be written, as the
// figures do.
TEST(Cli, HelpAndVersionReportAFailedWrite)
{
    // A private "full" device node (char 1:7) in a folder of our own.
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString node = folder.filePath(QStringLiteral("full"));
    ASSERT_EQ(::mknod(QFile::encodeName(node).constData(), S_IFCHR | 0600, makedev(1, 7)), 0) << std::strerror(errno);
    for (const char* option : {"--help", "-h", "--version", "-v"}) {
        SCOPED_TRACE(option);
        QProcess p;
        p.setStandardOutputFile(node);
        p.start(QStringLiteral(SKYBRANT_CLI_PATH), {QString::fromLatin1(option)});
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), 1);
        const QString err = QString::fromUtf8(p.readAllStandardError());
        EXPECT_TRUE(err.startsWith(u"skybrant-cli: cannot write the output: ")) << err.toStdString();
    }
}

}  // namespace
