#include "own_station_store.h"

#include "settings_store.h"

namespace skybrant::settings {

namespace {

QString section(const IniKey& key)
{
    return QString::fromLatin1(key.section);
}

QString name(const IniKey& key)
{
    return QString::fromLatin1(key.key);
}

std::array<QString, kOwnStationKeys.size()> savedTexts(SettingsStore& store)
{
    std::array<QString, kOwnStationKeys.size()> texts;
    for (std::size_t k = 0; k < texts.size(); ++k) {
        texts.at(k) = store.get(kApplication, section(kOwnStationKeys.at(k)), name(kOwnStationKeys.at(k)), {});
    }
    return texts;
}

WindowLoad windowLoadOf(const std::array<QString, kOwnStationKeys.size()>& texts)
{
    std::array<std::u16string, kOwnStationKeys.size()> wide;
    for (std::size_t k = 0; k < texts.size(); ++k) {
        wide.at(k) = texts.at(k).toStdU16String();
    }
    return windowLoad(wide);
}

}  // namespace

OwnStationTexts loadOwnStation(SettingsStore& store)
{
    OwnStationTexts loaded;
    loaded.texts = savedTexts(store);
    const WindowLoad load = windowLoadOf(loaded.texts);
    for (std::size_t k = 0; k < load.resetTo.size(); ++k) {
        if (load.resetTo.at(k)) {
            loaded.refused.push_back(k);
        }
    }
    return loaded;
}

bool ownStationSaved(SettingsStore& store)
{
    const auto texts = savedTexts(store);
    for (std::size_t k = 0; k < texts.size(); ++k) {
        const IniKey& key = kOwnStationKeys.at(k);
        const bool hemisphere = key.key == kOwnLatitudeHemisphere.key || key.key == kOwnLongitudeHemisphere.key;
        if (!hemisphere && !texts.at(k).trimmed().isEmpty()) {
            return true;
        }
    }
    return false;
}

bool saveOwnStation(SettingsStore& store, std::span<const QString> texts, QString& error)
{
    for (std::size_t k = 0; k < texts.size() && k < kOwnStationKeys.size(); ++k) {
        store.save(kApplication, section(kOwnStationKeys.at(k)), name(kOwnStationKeys.at(k)), texts[k]);
    }
    return store.commit(error);
}

Position savedOwnStationPosition(SettingsStore& store)
{
    return onTheGlobe(positionFromEntry(windowLoadOf(savedTexts(store)).entry));
}

bool saveOwnStation(SettingsStore& store, const Position& position, QString& error)
{
    // Asking for the file's problem makes the store leave a file it could
    // not read alone; the refusal then says that problem.
    const auto problem = store.readProblem(kApplication);
    std::array<QString, kOwnStationKeys.size()> texts;
    const auto written = ownStationTexts(position);
    for (std::size_t k = 0; k < texts.size(); ++k) {
        texts.at(k) = QString::fromStdString(written.at(k));
    }
    if (saveOwnStation(store, texts, error)) {
        return true;
    }
    if (error.isEmpty() && problem) {
        error = *problem;
    }
    return false;
}

}  // namespace skybrant::settings
