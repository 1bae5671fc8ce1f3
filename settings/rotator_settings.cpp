#include "rotator_settings.h"

#include "rotator/rotator_limits.h"
#include "rotator_offset.h"
#include "settings_store.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace skybrant::settings {

namespace {

const QString kSection = QString::fromLatin1(kRotatorOffset.section);
const QString kOffset = QString::fromLatin1(kRotatorOffset.key);
const QString kMinAzimuth = QStringLiteral("MinAzimuth");
const QString kMaxAzimuth = QStringLiteral("MaxAzimuth");
const QString kBeamWidth = QStringLiteral("BeamWidth");

std::optional<double> number(const QString& text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> limit(const QString& text)
{
    const auto value = number(text);
    return value && rotctl::withinProtocol(*value) ? value : std::nullopt;
}

QString numberText(std::optional<double> value)
{
    return value ? QString::number(*value, 'g', 10) : QString();
}

QString presetKey(std::size_t index, const char* what)
{
    return QStringLiteral("Preset%1%2").arg(index + 1).arg(QLatin1String(what));
}

QString settingName(RotatorSetting setting)
{
    switch (setting) {
    case RotatorSetting::Offset:
        return QStringLiteral("mast offset");
    case RotatorSetting::Range:
        return QStringLiteral("range");
    case RotatorSetting::BeamWidth:
        return QStringLiteral("beam width");
    }
    return {};
}

}  // namespace

std::optional<double> beamWidthFromText(const QString& text)
{
    if (text.trimmed().isEmpty()) {
        return kDefaultBeamWidth;
    }
    const auto width = number(text);
    return width && *width >= kNarrowestBeam && *width <= kWidestBeam ? width : std::nullopt;
}

RotatorOptions loadRotatorOptions(SettingsStore& store)
{
    const auto get = [&](const QString& key) { return store.get(kApplication, kSection, key, {}); };
    RotatorOptions options;
    options.address = get(QStringLiteral("Address")).trimmed();
    // Read as the command line reads it: an empty line is no offset saved.
    const QString offsetText = get(kOffset);
    if (const auto offset = offsetFromText(offsetText.trimmed().toStdString())) {
        options.offset = *offset;
    } else {
        options.unread.push_back({RotatorSetting::Offset, kOffset, offsetText});
    }
    // Both limits or neither, the lower first; a pair that makes no range
    // is kept as it is, both lines.
    const QString minText = get(kMinAzimuth);
    const QString maxText = get(kMaxAzimuth);
    options.minAzimuth = limit(minText);
    options.maxAzimuth = limit(maxText);
    if (!options.minAzimuth || !options.maxAzimuth || *options.minAzimuth >= *options.maxAzimuth) {
        options.minAzimuth.reset();
        options.maxAzimuth.reset();
        for (const auto& [key, text] : {std::pair{kMinAzimuth, minText}, std::pair{kMaxAzimuth, maxText}}) {
            if (!text.trimmed().isEmpty()) {
                options.unread.push_back({RotatorSetting::Range, key, text});
            }
        }
    }
    const QString widthText = get(kBeamWidth);
    if (const auto width = beamWidthFromText(widthText)) {
        options.beamWidth = *width;
    } else {
        options.unread.push_back({RotatorSetting::BeamWidth, kBeamWidth, widthText});
    }
    for (std::size_t i = 0; i < kRotatorPresets; ++i) {
        options.presets.at(i) = {get(presetKey(i, "Name")), get(presetKey(i, "Target")).trimmed()};
    }
    // The store keeps each such line while what is saved in its place is
    // what was read in its place.
    const RotatorOptions defaults;
    for (const UnreadLine& line : options.unread) {
        QString substitute;
        if (line.setting == RotatorSetting::Offset) {
            substitute = numberText(defaults.offset);
        } else if (line.setting == RotatorSetting::BeamWidth) {
            substitute = numberText(defaults.beamWidth);
        }
        store.keepUntilChanged(kApplication, kSection, line.key, substitute);
    }
    return options;
}

bool saveRotatorOptions(SettingsStore& store, const RotatorOptions& options, QString& error)
{
    const auto put = [&](const QString& key, const QString& value) { store.save(kApplication, kSection, key, value); };
    put(QStringLiteral("Address"), options.address);
    put(kOffset, numberText(options.offset));
    put(kMinAzimuth, numberText(options.minAzimuth));
    put(kMaxAzimuth, numberText(options.maxAzimuth));
    put(kBeamWidth, numberText(options.beamWidth));
    for (std::size_t i = 0; i < kRotatorPresets; ++i) {
        put(presetKey(i, "Name"), options.presets.at(i).name);
        put(presetKey(i, "Target"), options.presets.at(i).target);
    }
    return store.commit(error);
}

void settingChanged(RotatorOptions& options, RotatorSetting setting)
{
    std::erase_if(options.unread, [&](const UnreadLine& line) { return line.setting == setting; });
}

QString unreadText(const RotatorOptions& options)
{
    QStringList sentences;
    for (const UnreadLine& line : options.unread) {
        sentences << notUnderstood(kSection, line.key, line.value, settingName(line.setting));
    }
    return sentences.join(u' ');
}

}  // namespace skybrant::settings
