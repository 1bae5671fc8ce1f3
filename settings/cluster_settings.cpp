#include "cluster_settings.h"

#include "settings_store.h"

#include <QStringList>

namespace skybrant::settings {

namespace {

const QString kSection = QStringLiteral("Cluster");
const QString kSpotMinutes = QStringLiteral("SpotMinutes");
const QString kConnect = QStringLiteral("Connect");

}  // namespace

ClusterOptions loadClusterOptions(SettingsStore& store)
{
    const auto get = [&](const QString& key) { return store.get(kApplication, kSection, key, {}); };
    ClusterOptions options;
    options.address = get(QStringLiteral("Address")).trimmed();
    options.callsign = get(QStringLiteral("Callsign")).trimmed();
    const QString minutesText = get(kSpotMinutes);
    if (!minutesText.trimmed().isEmpty()) {
        bool ok = false;
        const int minutes = minutesText.trimmed().toInt(&ok);
        if (ok && minutes >= 1 && minutes <= kMaxSpotMinutes) {
            options.spotMinutes = minutes;
        } else {
            options.unreadSpotMinutes = minutesText;
            store.keepUntilChanged(kApplication, kSection, kSpotMinutes, QString::number(kDefaultSpotMinutes));
        }
    }
    const QString connect = get(kConnect).trimmed();
    if (connect == QLatin1String("true") || connect == QLatin1String("false")) {
        options.connect = connect == QLatin1String("true");
    } else if (!connect.isEmpty()) {
        options.unreadConnect = get(kConnect);
        store.keepUntilChanged(kApplication, kSection, kConnect, QStringLiteral("false"));
    }
    return options;
}

bool saveClusterOptions(SettingsStore& store, const ClusterOptions& options, QString& error)
{
    const auto put = [&](const QString& key, const QString& value) { store.save(kApplication, kSection, key, value); };
    put(QStringLiteral("Address"), options.address);
    put(QStringLiteral("Callsign"), options.callsign);
    put(kSpotMinutes, QString::number(options.spotMinutes));
    put(kConnect, options.connect ? QStringLiteral("true") : QStringLiteral("false"));
    return store.commit(error);
}

QString unreadText(const ClusterOptions& options)
{
    QStringList texts;
    if (options.unreadSpotMinutes) {
        texts << notUnderstood(
            kSection, kSpotMinutes, *options.unreadSpotMinutes, QStringLiteral("time a spot is shown"));
    }
    if (options.unreadConnect) {
        texts << notUnderstood(
            kSection, kConnect, *options.unreadConnect, QStringLiteral("connection to the cluster at start"));
    }
    return texts.join(u'\n');
}

}  // namespace skybrant::settings
