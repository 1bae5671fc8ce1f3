#include "log_settings.h"

#include "settings_store.h"

#include <QRegularExpression>
#include <QStringList>

namespace skybrant::settings {

namespace {

const QString kSection = QStringLiteral("Log");
const QString kFile = QStringLiteral("File");
const QString kBand = QStringLiteral("Band");
const QString kMode = QStringLiteral("Mode");

// A band as ADIF names them ("20m", "70cm", "2190m"), and a mode as the
// log writes it ("FT8", "SSB", "MFSK", "PSK31").
bool bandLike(const QString& text)
{
    static const QRegularExpression band(
        QStringLiteral("^[0-9]+(\\.[0-9]+)?(m|cm|mm)$"), QRegularExpression::CaseInsensitiveOption);
    return band.match(text).hasMatch();
}

bool modeLike(const QString& text)
{
    static const QRegularExpression mode(QStringLiteral("^[A-Za-z0-9][A-Za-z0-9-]{0,19}$"));
    return mode.match(text).hasMatch();
}

// A filter as saved: empty for all, else the value when it is understood;
// else none, the line kept as written until the user picks another.
std::optional<QString> readFilter(
    SettingsStore& store, const QString& key, bool (*understood)(const QString&), std::optional<QString>& unread)
{
    const QString text = store.get(kApplication, kSection, key, {});
    const QString value = text.trimmed();
    if (value.isEmpty() || understood(value)) {
        return value;
    }
    unread = text;
    store.keepUntilChanged(kApplication, kSection, key, QString());
    return std::nullopt;
}

}  // namespace

LogOptions loadLogOptions(SettingsStore& store)
{
    LogOptions options;
    options.file = store.get(kApplication, kSection, kFile, {});
    options.band = readFilter(store, kBand, bandLike, options.unreadBand).value_or(QString());
    options.mode = readFilter(store, kMode, modeLike, options.unreadMode).value_or(QString());
    return options;
}

bool saveLogOptions(SettingsStore& store, const LogOptions& options, QString& error)
{
    store.save(kApplication, kSection, kFile, options.file);
    store.save(kApplication, kSection, kBand, options.band);
    store.save(kApplication, kSection, kMode, options.mode);
    return store.commit(error);
}

QString unreadText(const LogOptions& options)
{
    QStringList lines;
    if (options.unreadBand) {
        lines << notUnderstood(kSection, kBand, *options.unreadBand, QStringLiteral("band shown"));
    }
    if (options.unreadMode) {
        lines << notUnderstood(kSection, kMode, *options.unreadMode, QStringLiteral("mode shown"));
    }
    return lines.join(QLatin1Char(' '));
}

}  // namespace skybrant::settings
