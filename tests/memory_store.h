#pragma once

// The settings in memory, as the window tests keep them.

#include "settings/settings_store.h"

#include <QString>

#include <map>
#include <optional>
#include <utility>

namespace skybrant::testing {

// The settings in memory.
class MemoryStore final : public settings::SettingsStore {
public:
    QString get(const QString& /*application*/, const QString& section, const QString& key,
        const QString& defaultValue) override
    {
        const auto it = values.find({section, key});
        return it == values.end() ? defaultValue : it->second;
    }
    void save(const QString& /*application*/, const QString& section, const QString& key, const QString& value) override
    {
        // As the real store: a kept line stays while its substitute is saved.
        const auto keptLine = kept.find({section, key});
        if (keptLine != kept.end() && keptLine->second == value) {
            return;
        }
        kept.erase({section, key});
        values[{section, key}] = value;
    }
    bool commit(QString& error) override
    {
        if (failCommit) {
            error = QStringLiteral("cannot write /nowhere/Skybrant.ini");
        }
        return !failCommit;
    }
    std::optional<QString> readProblem(const QString& /*application*/) override { return std::nullopt; }
    void keepUntilChanged(
        const QString& /*application*/, const QString& section, const QString& key, const QString& substitute) override
    {
        kept.insert_or_assign({section, key}, substitute);
    }

    std::map<std::pair<QString, QString>, QString> values;
    std::map<std::pair<QString, QString>, QString> kept;
    bool failCommit = false;
};

}  // namespace skybrant::testing
