#pragma once

#include <QString>

#include <memory>
#include <optional>

namespace skybrant::settings {

// The per-user store of texts, addressed by application, section and key.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // The stored text, or defaultValue when the value is absent.
    virtual QString get(
        const QString& application, const QString& section, const QString& key, const QString& defaultValue) = 0;
    // Creates or overwrites the value; it reaches the disk at commit().
    virtual void save(const QString& application, const QString& section, const QString& key, const QString& value) = 0;
    // Writes what was saved, and leaves every other value as it stands.
    // On failure returns false and says why, naming the file, in error.
    virtual bool commit(QString& error) = 0;
    // Why the stored values of an application could not all be read, naming
    // the file and saying what happens next; empty when they could (an
    // absent file is no problem).
    virtual std::optional<QString> readProblem(const QString& application) = 0;
};

// The real store: one INI file per application,
// $XDG_CONFIG_HOME/<application>/<application>.ini (~/.config by default).
// A commit replaces the file atomically, keeping its comments and the
// sections and keys it did not save.
std::unique_ptr<SettingsStore> makeIniSettingsStore();

}  // namespace skybrant::settings
