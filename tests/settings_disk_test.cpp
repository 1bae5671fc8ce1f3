// A settings file on a full disk: the save fails, says why, and the file
// stays as it was, byte for byte, both in the store and in the program
// ending on a signal.

#include "app_process.h"
#include "private_mount.h"
#include "settings/settings_store.h"

#include <QDir>

namespace skybrant::testing {
namespace {

class FullDiskTest : public AppProcessTest {
protected:
    void SetUp() override
    {
        AppProcessTest::SetUp();
        savedHome = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    }
    void TearDown() override
    {
        unmount();
        qputenv("XDG_CONFIG_HOME", savedHome);
    }
    void unmount()
    {
        if (mounted) {
            EXPECT_EQ(::umount2(QFile::encodeName(folder()).constData(), MNT_DETACH), 0);
            mounted = false;
        }
    }

    // The settings folder on a tmpfs of 64 KiB holding bytes as the file,
    // filled up to leave bytes free.
    void fullDisk(const QByteArray& bytes, off_t leave)
    {
        if (const auto why = mountPrivateTmpfs(folder(), 64)) {
            GTEST_SKIP() << *why;
        }
        mounted = true;
        writeIni(bytes);
        ASSERT_TRUE(fillUpTo(folder(), leave));
    }

    // The folder's names but the filler's: a save's temporary file gone.
    QStringList files() const
    {
        QStringList names = QDir(folder()).entryList(QDir::Files | QDir::Hidden);
        names.removeAll(QStringLiteral("filler"));
        return names;
    }

    QByteArray savedHome;
    bool mounted = false;
};

// A file as the program writes it, of about the given size.
QByteArray settingsOfSize(int size)
{
    QByteArray bytes = "[Latitude]\nDegree=51\nMinute=30\nSecond=0\nN/S=N\n\n"
                       "[Longitude]\nDegree=0\nMinute=7\nSecond=0\nE/W=W\n\n[Notes]\n";
    for (int i = 0; bytes.size() < size; ++i) {
        bytes += "Note" + QByteArray::number(i) + "=kept by the user, and never cut short\n";
    }
    return bytes;
}

TEST_F(FullDiskTest, SaveFailsSaysWhyAndLeavesTheFileWhole)
{
    struct Case {
        const char* name;
        int size;
        off_t leave;
    };
    const Case cases[] = {
        {"nothing free, a small file", 165, 0},
        {"one page free, a file of three", 12258, 4096},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        unmount();
        const QByteArray before = settingsOfSize(c.size);
        fullDisk(before, c.leave);
        if (IsSkipped()) {
            return;
        }
        const auto store = settings::makeIniSettingsStore();
        store->save(
            QStringLiteral("Skybrant"), QStringLiteral("Latitude"), QStringLiteral("Degree"), QStringLiteral("52"));
        QString error;
        EXPECT_FALSE(store->commit(error));
        EXPECT_TRUE(error.startsWith(QStringLiteral("The settings could not be saved to ") + iniPath()))
            << error.toStdString();
        EXPECT_TRUE(error.contains(QStringLiteral("No space left on device"))) << error.toStdString();
        EXPECT_EQ(iniBytes(), before);
        EXPECT_EQ(files(), QStringList{QStringLiteral("Skybrant.ini")});
    }
}

TEST_F(FullDiskTest, SignalOnAFullDiskEndsTellingStandardError)
{
    const QByteArray before = settingsOfSize(165);
    fullDisk(before, 0);
    if (IsSkipped()) {
        return;
    }
    Child app(environment());
    ASSERT_FALSE(app.waitForLine("shown", 2000 * kSlower).isEmpty());
    ASSERT_TRUE(app.endsWithin(SIGTERM, 2000 * kSlower));
    EXPECT_EQ(app.process.exitCode(), 0);
    const QByteArray err = app.process.readAllStandardError();
    EXPECT_TRUE(err.contains("skybrant: The settings could not be saved to " + iniPath().toUtf8()))
        << err.toStdString();
    EXPECT_TRUE(err.contains("No space left on device")) << err.toStdString();
    EXPECT_EQ(iniBytes(), before);
    EXPECT_EQ(files(), QStringList{QStringLiteral("Skybrant.ini")});
}

}  // namespace
}  // namespace skybrant::testing
