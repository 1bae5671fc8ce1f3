// The own station as the command line reads it from the window's settings
// file, without Qt.

#include "settings/ini_line.h"
#include "settings/own_station.h"
#include "settings/settings_read.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace skybrant::settings;

namespace {

// A folder of its own, removed with what it holds.
class TempFolder {
public:
    TempFolder()
    {
        std::string name = "/tmp/skybrant-own-XXXXXX";
        EXPECT_NE(::mkdtemp(name.data()), nullptr);
        path_ = name;
    }
    ~TempFolder() { std::system(("rm -rf '" + path_ + "'").c_str()); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    TempFolder(TempFolder&&) = delete;
    TempFolder& operator=(TempFolder&&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
};

void write(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

const std::string kSaved = "[Latitude]\nDegree=51\nMinute=30\nN/S=N\nSecond=0\n\n[Longitude]\nDegree=0\nE/W=W\n"
                           "Minute=7\nSecond=0\n";

TEST(SavedOwnStation, ReadsWhatTheWindowWouldTake)
{
    struct Case {
        const char* name;
        std::string bytes;
        const char* text;  // nullptr: not usable
        const char* why = "";  // the end of the sentence after the path
    };
    const Case cases[] = {
        {"as the window saves it", kSaved, "51 30 0 N 0 7 0 W"},
        {"hand-edited: BOM, CRLF, blanks, quotes, comments",
            "\xEF\xBB\xBF; mine\r\n[Longitude]\r\n Degree = 0 \r\nMinute=\"7\"\r\nSecond=0\r\nE/W= W\r\n"
            "[Latitude]\r\nDegree=51\r\nMinute=30\r\nSecond=0\r\nN/S=N\r\n",
            "51 30 0 N 0 7 0 W"},
        {"Unicode blanks around keys",
            "[Latitude]\n\xC2\xA0"
            "Degree\xE3\x80\x80=51\nMinute=0\nSecond=0\nN/S=S\n"
            "[Longitude]\nDegree=\xE2\x80\x8A"
            "10\xC2\x85\nMinute=0\nSecond=0\nE/W=E\n",
            "51 0 0 S 10 0 0 E"},
        {"the last of a repeated key", kSaved + "[Latitude]\nDegree=52\n", "52 30 0 N 0 7 0 W"},
        {"a blank box reads 0",
            "[Latitude]\nDegree=51\nMinute=\" \"\nSecond=0\nN/S=N\n[Longitude]\nDegree=0\n"
            "Minute=7\nSecond=0\nE/W=W\n",
            "51 0 0 N 0 7 0 W"},
        {"no file", "", nullptr, ": give it with --from or as the first station"},
        {"only other features' keys", "[Map]\nUnit=mi\n", nullptr, ": give it with --from or as the first station"},
        {"a window closed before anything was typed",
            "[Latitude]\nDegree=\" \"\nMinute=\" \"\nSecond=\" \"\nN/S=N\n"
            "[Longitude]\nDegree=\" \"\nMinute=\" \"\nSecond=\" \"\nE/W=E\n",
            nullptr, ": give it with --from or as the first station"},
        {"a key missing", "[Latitude]\nDegree=51\nSecond=0\nN/S=N\n[Longitude]\nDegree=0\nMinute=7\nSecond=0\nE/W=W\n",
            nullptr, " is not usable: key [Latitude] Minute is missing"},
        {"degrees past the limit",
            "[Latitude]\nDegree=95\nMinute=0\nSecond=0\nN/S=N\n[Longitude]\nDegree=0\n"
            "Minute=7\nSecond=0\nE/W=W\n",
            nullptr, " is not usable: key [Latitude] Degree holds \"95\": at most 90 is allowed"},
        {"minutes beside 180 degrees",
            "[Latitude]\nDegree=1\nMinute=0\nSecond=0\nN/S=N\n[Longitude]\nDegree=180\n"
            "Minute=7\nSecond=0\nE/W=W\n",
            nullptr, " is not usable: key [Longitude] Minute holds \"7\": at most 0 is allowed with 180 degrees"},
        {"a number beyond 32 bits",
            "[Latitude]\nDegree=1\nMinute=0\nSecond=99999999999\nN/S=N\n[Longitude]\n"
            "Degree=1\nMinute=7\nSecond=0\nE/W=W\n",
            nullptr, " is not usable: key [Latitude] Second holds \"99999999999\": at most 60 is allowed"},
        {"not what the box takes",
            "[Latitude]\nDegree=-5\nMinute=0\nSecond=0\nN/S=N\n[Longitude]\nDegree=0\n"
            "Minute=7\nSecond=0\nE/W=W\n",
            nullptr, " is not usable: key [Latitude] Degree holds \"-5\", which is not a whole number"},
        {"a letter the list does not hold",
            "[Latitude]\nDegree=1\nMinute=0\nSecond=0\nN/S=s\n[Longitude]\n"
            "Degree=0\nMinute=7\nSecond=0\nE/W=W\n",
            nullptr, " is not usable: key [Latitude] N/S holds \"s\": N or S is allowed"},
        {"a control character is shown escaped",
            "[Latitude]\nDegree=1\nMinute=0\nSecond=0\nN/S=N\n[Longitude]\n"
            "Degree=0\nMinute=7\nSecond=0\nE/W=\x1b[2J\n",
            nullptr, " is not usable: key [Longitude] E/W holds \"\\x1B[2J\": E or W is allowed"},
        {"a line that cannot be read", kSaved + "[Rotator]\nName=Jos\xe9\n", nullptr,
            " could not be read in full: line 13 is not UTF-8 text"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TempFolder folder;
        const std::string path = folder.path() + "/Skybrant.ini";
        if (!c.bytes.empty()) {
            write(path, c.bytes);
        }
        const SavedOwnStation saved = readSavedOwnStation(path);
        if (c.text != nullptr) {
            ASSERT_TRUE(saved.entry.has_value()) << saved.why;
            EXPECT_EQ(saved.text, c.text);
            EXPECT_TRUE(saved.why.empty());
        } else {
            EXPECT_FALSE(saved.entry.has_value());
            EXPECT_TRUE(saved.why.ends_with(c.why)) << saved.why;
            EXPECT_NE(saved.why.find(path), std::string::npos) << saved.why;
            EXPECT_EQ(saved.noneSaved, saved.why.starts_with("no own station is saved in ")) << saved.why;
        }
    }
}

TEST(SavedOwnStation, GivesThePositionTheWindowWould)
{
    const TempFolder folder;
    const std::string path = folder.path() + "/Skybrant.ini";
    write(path, kSaved);
    const SavedOwnStation saved = readSavedOwnStation(path);
    ASSERT_TRUE(saved.entry.has_value()) << saved.why;
    EXPECT_DOUBLE_EQ(saved.position.latDegrees, 51.5);
    EXPECT_NEAR(saved.position.lonDegrees, -7.0 / 60, 1e-12);
    EXPECT_EQ(saved.position.latUnits, skybrant::positionFromEntry(*saved.entry).latUnits);
}

// Never waits on a named pipe, never opens a device, never reads a flood.
TEST(SavedOwnStation, RefusesWhatIsNoSettingsFile)
{
    struct Case {
        const char* name;
        void (*make)(const std::string& path);
        const char* why;
    };
    const Case cases[] = {
        {"a named pipe", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); },
            "could not be read: it is a named pipe, not a regular file"},
        {"a folder", [](const std::string& p) { ASSERT_EQ(::mkdir(p.c_str(), 0700), 0); },
            "could not be read: it is a folder, not a regular file"},
        {"a device through a symlink", [](const std::string& p) { ASSERT_EQ(::symlink("/dev/null", p.c_str()), 0); },
            "could not be read: it is a device, not a regular file"},
        {"larger than 1 MiB", [](const std::string& p) { write(p, kSaved + std::string(kMaxSettingsFileSize, ';')); },
            "could not be read: it is larger than 1 MiB, which no settings file of Skybrant is"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TempFolder folder;
        const std::string path = folder.path() + "/Skybrant.ini";
        c.make(path);
        const SavedOwnStation saved = readSavedOwnStation(path);
        EXPECT_FALSE(saved.entry.has_value());
        EXPECT_FALSE(saved.noneSaved);
        EXPECT_TRUE(saved.why.ends_with(c.why)) << saved.why;
    }
}

TEST(SettingsFilePath, FollowsTheConfigurationHome)
{
    struct Case {
        const char* name;
        const char* configHome;  // nullptr: unset
        const char* home;
        const char* path;
    };
    const Case cases[] = {
        {"an absolute configuration home", "/tmp/cfg", "/home/op", "/tmp/cfg/Skybrant/Skybrant.ini"},
        {"unset", nullptr, "/home/op", "/home/op/.config/Skybrant/Skybrant.ini"},
        {"empty", "", "/home/op", "/home/op/.config/Skybrant/Skybrant.ini"},
        {"relative, which names no one file", "cfg", "/home/op", "/home/op/.config/Skybrant/Skybrant.ini"},
    };
    const char* savedConfig = std::getenv("XDG_CONFIG_HOME");
    const std::optional<std::string> keepConfig = savedConfig ? std::optional<std::string>(savedConfig) : std::nullopt;
    const std::string keepHome = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.configHome != nullptr) {
            ::setenv("XDG_CONFIG_HOME", c.configHome, 1);
        } else {
            ::unsetenv("XDG_CONFIG_HOME");
        }
        ::setenv("HOME", c.home, 1);
        EXPECT_EQ(settingsFilePath(kOwnStationApplication), c.path);
    }
    if (keepConfig) {
        ::setenv("XDG_CONFIG_HOME", keepConfig->c_str(), 1);
    } else {
        ::unsetenv("XDG_CONFIG_HOME");
    }
    ::setenv("HOME", keepHome.c_str(), 1);
}

}  // namespace
