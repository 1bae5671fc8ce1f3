// The [Follow] section: what each saved line is read as, lines that cannot
// be read kept as written, and a save read back the same.

#include "settings/follow_settings.h"
#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <set>

namespace {

using namespace skybrant;
using namespace skybrant::settings;

class MemoryStore final : public SettingsStore {
public:
    QString get(const QString& /*application*/, const QString& section, const QString& key,
        const QString& defaultValue) override
    {
        const auto it = values.find(section + u'/' + key);
        return it == values.end() ? defaultValue : it->second;
    }
    void save(const QString& /*application*/, const QString& section, const QString& key, const QString& value) override
    {
        values[section + u'/' + key] = value;
    }
    bool commit(QString& /*error*/) override { return true; }
    std::optional<QString> readProblem(const QString& /*application*/) override { return std::nullopt; }
    void keepUntilChanged(const QString& /*application*/, const QString& section, const QString& key,
        const QString& /*substitute*/) override
    {
        kept.insert(section + u'/' + key);
    }

    std::map<QString, QString> values;
    std::set<QString> kept;
};

TEST(FollowSettings, EachLineReadOrKeptAsWritten)
{
    const struct {
        const char* name;
        const char* key;
        const char* value;
        bool read;
        std::function<bool(const FollowSettings&)> holds;
    } cases[] = {
        {"mode show", "Mode", "show", true, [](const auto& s) { return s.rules.mode == follow::FollowMode::Show; }},
        {"mode in capitals", "Mode", "OFF", true,
            [](const auto& s) { return s.rules.mode == follow::FollowMode::Off; }},
        {"mode turn", "Mode", "turn", true, [](const auto& s) { return s.rules.mode == follow::FollowMode::Turn; }},
        {"unknown mode is off", "Mode", "spin", false,
            [](const auto& s) { return s.rules.mode == follow::FollowMode::Off; }},
        {"threshold", "Threshold", "2.5", true, [](const auto& s) { return s.rules.thresholdDegrees == 2.5; }},
        {"threshold past a half turn", "Threshold", "181", false,
            [](const auto& s) { return s.rules.thresholdDegrees == 5; }},
        {"threshold not a number", "Threshold", "nan", false,
            [](const auto& s) { return s.rules.thresholdDegrees == 5; }},
        {"interval", "Interval", "30", true, [](const auto& s) { return s.rules.interval.count() == 30; }},
        {"negative interval", "Interval", "-1", false, [](const auto& s) { return s.rules.interval.count() == 10; }},
        {"long path", "LongPath", "true", true, [](const auto& s) { return s.rules.longPath; }},
        {"long path neither", "LongPath", "yes", false, [](const auto& s) { return !s.rules.longPath; }},
        {"source", "Source", "js8call", true, [](const auto& s) { return s.source == u"js8call"; }},
        {"unknown source", "Source", "fldigi", false, [](const auto& s) { return s.source == u"wsjtx"; }},
        {"forwards", "Forward", " 127.0.0.1:2238, ,127.0.0.1:2239", true,
            [](const auto& s) {
                return s.forwards == QStringList{"127.0.0.1:2238", "127.0.0.1:2239"};
            }},
        {"empty line is the default", "Threshold", "  ", true,
            [](const auto& s) { return s.rules.thresholdDegrees == 5; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryStore store;
        store.values[QStringLiteral("Follow/") + QLatin1String(c.key)] = QLatin1String(c.value);
        const FollowSettings settings = loadFollowSettings(store);
        EXPECT_TRUE(c.holds(settings));
        EXPECT_EQ(settings.unread.empty(), c.read);
        EXPECT_EQ(store.kept.empty(), c.read);
        EXPECT_EQ(unreadFollowText(store, settings).isEmpty(), c.read);
    }
}

TEST(FollowSettings, ASaveIsReadBackTheSame)
{
    MemoryStore store;
    FollowSettings settings;
    settings.rules = {follow::FollowMode::Show, 12.5, std::chrono::seconds(45), true};
    settings.source = QStringLiteral("pst");
    settings.listen = QStringLiteral("239.255.0.1:2237");
    settings.forwards = {QStringLiteral("127.0.0.1:2238")};
    settings.allowed = {QStringLiteral("192.168.1.20"), QStringLiteral("192.168.1.21")};
    QString error;
    ASSERT_TRUE(saveFollowSettings(store, settings, error));
    EXPECT_EQ(loadFollowSettings(store), settings);
    EXPECT_EQ(loadFollowSettings(*std::make_unique<MemoryStore>()), FollowSettings{});
}

}  // namespace
