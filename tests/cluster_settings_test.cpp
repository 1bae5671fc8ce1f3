// The [Cluster] section: what is saved comes back, and a time that cannot
// be read stays in the file as written until the user sets one.

#include "settings/cluster_settings.h"
#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace skybrant::settings {
namespace {

// The store's texts in memory, with the kept lines the real store keeps.
class MemoryStore : public SettingsStore {
public:
    QString get(
        const QString& application, const QString& section, const QString& key, const QString& defaultValue) override
    {
        const auto found = values.find(application + u'/' + section + u'/' + key);
        return found == values.end() ? defaultValue : found->second;
    }
    void save(const QString& application, const QString& section, const QString& key, const QString& value) override
    {
        const QString name = application + u'/' + section + u'/' + key;
        if (kept.contains(name) && value == kept.at(name)) {
            return;
        }
        kept.erase(name);
        values[name] = value;
    }
    bool commit(QString&) override { return true; }
    std::optional<QString> readProblem(const QString&) override { return std::nullopt; }
    void keepUntilChanged(
        const QString& application, const QString& section, const QString& key, const QString& substitute) override
    {
        kept[application + u'/' + section + u'/' + key] = substitute;
    }

    std::map<QString, QString> values;
    std::map<QString, QString> kept;
};

TEST(ClusterSettingsTest, SavesAndReadsBack)
{
    MemoryStore store;
    EXPECT_EQ(loadClusterOptions(store), ClusterOptions{});
    ClusterOptions options;
    options.address = QStringLiteral("dxc.example.org:7300");
    options.callsign = QStringLiteral("DL1ABC");
    options.spotMinutes = 45;
    QString error;
    ASSERT_TRUE(saveClusterOptions(store, options, error));
    EXPECT_EQ(loadClusterOptions(store), options);
    EXPECT_EQ(store.values.at(QStringLiteral("Skybrant/Cluster/Address")), QStringLiteral("dxc.example.org:7300"));
}

TEST(ClusterSettingsTest, KeepsATimeItCannotRead)
{
    for (const char* text : {"0", "-5", "1441", "half an hour", "30.5"}) {
        MemoryStore store;
        store.values[QStringLiteral("Skybrant/Cluster/SpotMinutes")] = QString::fromLatin1(text);
        const ClusterOptions options = loadClusterOptions(store);
        EXPECT_EQ(options.spotMinutes, kDefaultSpotMinutes) << text;
        ASSERT_TRUE(options.unreadSpotMinutes.has_value()) << text;
        EXPECT_FALSE(unreadText(options).isEmpty()) << text;
        QString error;
        ASSERT_TRUE(saveClusterOptions(store, options, error));
        EXPECT_EQ(store.values.at(QStringLiteral("Skybrant/Cluster/SpotMinutes")), QString::fromLatin1(text)) << text;
    }
    MemoryStore store;
    store.values[QStringLiteral("Skybrant/Cluster/SpotMinutes")] = QStringLiteral(" 1440 ");
    EXPECT_EQ(loadClusterOptions(store).spotMinutes, 1440);
    EXPECT_TRUE(unreadText(loadClusterOptions(store)).isEmpty());
}

}  // namespace
}  // namespace skybrant::settings
