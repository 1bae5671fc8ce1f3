#include "follow_settings.h"

#include "settings_store.h"

#include <array>
#include <cmath>

namespace skybrant::settings {

namespace {

const QString kSection = QStringLiteral("Follow");
const QString kMode = QStringLiteral("Mode");
const QString kThreshold = QStringLiteral("Threshold");
const QString kInterval = QStringLiteral("Interval");
const QString kLongPath = QStringLiteral("LongPath");
const QString kSource = QStringLiteral("Source");

constexpr std::array<const char*, 3> kModes{"off", "show", "turn"};
constexpr std::array<const char*, 4> kSources{"wsjtx", "js8call", "n1mm", "pst"};

QStringList listOf(const QString& text)
{
    QStringList items;
    for (const QString& item : text.split(u',', Qt::SkipEmptyParts)) {
        if (!item.trimmed().isEmpty()) {
            items << item.trimmed();
        }
    }
    return items;
}

// Reads one key: an empty line is the default; read() false keeps the
// default and the line unread.
template <typename Read>
void readKey(SettingsStore& store, FollowSettings& settings, const QString& key, const QString& substitute, Read read)
{
    const QString text = store.get(kApplication, kSection, key, {}).trimmed();
    if (text.isEmpty() || read(text)) {
        return;
    }
    settings.unread.push_back(key);
    store.keepUntilChanged(kApplication, kSection, key, substitute);
}

QString modeText(follow::FollowMode mode)
{
    return QLatin1String(kModes.at(static_cast<std::size_t>(mode)));
}

}  // namespace

FollowSettings loadFollowSettings(SettingsStore& store)
{
    FollowSettings settings;
    follow::FollowOptions& rules = settings.rules;
    readKey(store, settings, kMode, modeText(rules.mode), [&](const QString& text) {
        for (std::size_t i = 0; i < kModes.size(); ++i) {
            if (text.compare(QLatin1String(kModes.at(i)), Qt::CaseInsensitive) == 0) {
                rules.mode = static_cast<follow::FollowMode>(i);
                return true;
            }
        }
        return false;
    });
    readKey(store, settings, kThreshold, QString::number(rules.thresholdDegrees), [&](const QString& text) {
        bool ok = false;
        const double value = text.toDouble(&ok);
        if (!ok || !std::isfinite(value) || value < 0 || value > kMaxThresholdDegrees) {
            return false;
        }
        rules.thresholdDegrees = value;
        return true;
    });
    readKey(store, settings, kInterval, QString::number(rules.interval.count()), [&](const QString& text) {
        bool ok = false;
        const int value = text.toInt(&ok);
        if (!ok || value < 0 || value > kMaxIntervalSeconds) {
            return false;
        }
        rules.interval = std::chrono::seconds(value);
        return true;
    });
    readKey(store, settings, kLongPath, QStringLiteral("false"), [&](const QString& text) {
        const bool yes = text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
        rules.longPath = yes;
        return yes || text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0;
    });
    readKey(store, settings, kSource, settings.source, [&](const QString& text) {
        for (const char* source : kSources) {
            if (text == QLatin1String(source)) {
                settings.source = text;
                return true;
            }
        }
        return false;
    });
    // Addresses are checked where they are used, with a sentence there.
    settings.listen = store.get(kApplication, kSection, QStringLiteral("Listen"), {}).trimmed();
    settings.forwards = listOf(store.get(kApplication, kSection, QStringLiteral("Forward"), {}));
    settings.allowed = listOf(store.get(kApplication, kSection, QStringLiteral("Allow"), {}));
    return settings;
}

bool saveFollowSettings(SettingsStore& store, const FollowSettings& settings, QString& error)
{
    const auto put = [&](const QString& key, const QString& value) { store.save(kApplication, kSection, key, value); };
    put(kMode, modeText(settings.rules.mode));
    put(kThreshold, QString::number(settings.rules.thresholdDegrees, 'g', 10));
    put(kInterval, QString::number(settings.rules.interval.count()));
    put(kLongPath, settings.rules.longPath ? QStringLiteral("true") : QStringLiteral("false"));
    put(kSource, settings.source);
    put(QStringLiteral("Listen"), settings.listen);
    put(QStringLiteral("Forward"), settings.forwards.join(u','));
    put(QStringLiteral("Allow"), settings.allowed.join(u','));
    return store.commit(error);
}

QString unreadFollowText(SettingsStore& store, const FollowSettings& settings)
{
    QStringList sentences;
    for (const QString& key : settings.unread) {
        sentences << notUnderstood(
            kSection, key, store.get(kApplication, kSection, key, {}), QStringLiteral("following setting"));
    }
    return sentences.join(u' ');
}

}  // namespace skybrant::settings
