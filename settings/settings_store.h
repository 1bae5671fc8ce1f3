#pragma once

#include "own_station.h"

#include <QString>

#include <memory>
#include <optional>

namespace skybrant::settings {

// The application whose one file every feature keeps its sections in.
inline const QString kApplication = QString::fromLatin1(kOwnStationApplication);

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
    // On failure returns false and says why, naming the file, in error;
    // error stays empty when the user has been told already, by
    // readProblem, that the file is left alone until it can be read.
    virtual bool commit(QString& error) = 0;
    // Why the stored values of an application could not all be read, naming
    // the file and saying what happens next; empty when they could (an
    // absent file is no problem).
    virtual std::optional<QString> readProblem(const QString& application) = 0;
    // A stored value its feature did not understand, and read as
    // substitute: saving substitute there leaves the line as written, and
    // only a save of another value (the user changed that setting)
    // replaces it. Values standing only on lines that could not be read
    // are kept so by the store itself.
    virtual void keepUntilChanged(
        const QString& application, const QString& section, const QString& key, const QString& substitute) = 0;
};

// What a feature says, once, of a stored value it does not understand:
// the line, quoted as far as it is safe to show, and the setting that
// replaces it.
QString notUnderstood(const QString& section, const QString& key, const QString& value, const QString& setting);

// The real store: one INI file per application,
// $XDG_CONFIG_HOME/<application>/<application>.ini (~/.config when it is
// unset or not an absolute path; see settingsFilePath).
// A commit replaces the file atomically, keeping its comments and the
// sections and keys it did not save.
std::unique_ptr<SettingsStore> makeIniSettingsStore();

}  // namespace skybrant::settings
