#include "rotator_settings.h"

#include "settings_store.h"

#include <cmath>

namespace skybrant::settings {

namespace {

const QString kApplication = QStringLiteral("Skybrant");
const QString kSection = QStringLiteral("Rotator");

// Beyond a turn either way no rotator reads; such a value is a typing slip.
constexpr double kLargest = 720;

std::optional<double> number(const QString& text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value) || std::abs(value) > kLargest) {
        return std::nullopt;
    }
    return value;
}

QString numberText(std::optional<double> value)
{
    return value ? QString::number(*value, 'g', 10) : QString();
}

QString presetKey(std::size_t index, const char* what)
{
    return QStringLiteral("Preset%1%2").arg(index + 1).arg(QLatin1String(what));
}

}  // namespace

RotatorOptions loadRotatorOptions(SettingsStore& store)
{
    const auto get = [&](const QString& key) { return store.get(kApplication, kSection, key, {}); };
    RotatorOptions options;
    options.address = get(QStringLiteral("Address")).trimmed();
    options.offset = number(get(QStringLiteral("Offset"))).value_or(0);
    options.minAzimuth = number(get(QStringLiteral("MinAzimuth")));
    options.maxAzimuth = number(get(QStringLiteral("MaxAzimuth")));
    // Both limits or neither, the lower first.
    if (!options.minAzimuth || !options.maxAzimuth || *options.minAzimuth >= *options.maxAzimuth) {
        options.minAzimuth.reset();
        options.maxAzimuth.reset();
    }
    for (std::size_t i = 0; i < kRotatorPresets; ++i) {
        options.presets.at(i) = {get(presetKey(i, "Name")), get(presetKey(i, "Target")).trimmed()};
    }
    return options;
}

bool saveRotatorOptions(SettingsStore& store, const RotatorOptions& options, QString& error)
{
    const auto put = [&](const QString& key, const QString& value) { store.save(kApplication, kSection, key, value); };
    put(QStringLiteral("Address"), options.address);
    put(QStringLiteral("Offset"), numberText(options.offset));
    put(QStringLiteral("MinAzimuth"), numberText(options.minAzimuth));
    put(QStringLiteral("MaxAzimuth"), numberText(options.maxAzimuth));
    for (std::size_t i = 0; i < kRotatorPresets; ++i) {
        put(presetKey(i, "Name"), options.presets.at(i).name);
        put(presetKey(i, "Target"), options.presets.at(i).target);
    }
    return store.commit(error);
}

}  // namespace skybrant::settings
