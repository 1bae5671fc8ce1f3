#include "log_places.h"

#include "core/callsign_station.h"
#include "core/qso_station.h"
#include "core/station_reader.h"
#include "map/band_colours.h"
#include "std_text.h"

#include <QStringList>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <set>

namespace skybrant::ui {

namespace {

std::string lowered(std::string text)
{
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

std::string raised(std::string text)
{
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

// Collects the placed QSOs and the problems of one reading.
class SliceSink final : public AdifSink {
public:
    SliceSink(LogSlice& slice, const std::string& countryFile, std::shared_ptr<const CountryFiles> files)
        : slice_(slice),
          source_(files ? CountryFileSource(countryFile, std::move(files)) : CountryFileSource(countryFile)),
          reader_({&source_, false})
    {
    }

    void qso(const AdifQso& qso) override
    {
        std::string error;
        if (!readQsoStations(reader_, qso, stations_, error)) {
            problem(AdifProblem{qso.record, qso.offset, error});
            return;
        }
        slice_.qsos.push_back(PlacedQso{
            stations_.other.position, qso.call, lowered(qso.band), raised(qso.mode), qso.qsoDate, qso.timeOn});
    }

    void problem(const AdifProblem& problem) override
    {
        if (slice_.problems++ == 0) {
            slice_.firstProblem = problem;
        }
    }

private:
    LogSlice& slice_;
    CountryFileSource source_;
    StationReader reader_;
    QsoStations stations_;
};

// When a QSO was made, as a number that sorts in time: YYYYMMDDHHMMSS,
// digits missing or not digits read as 0.
std::uint64_t whenOf(const PlacedQso& qso)
{
    std::uint64_t when = 0;
    const auto append = [&when](const std::string& text, std::size_t digits) {
        for (std::size_t i = 0; i < digits; ++i) {
            const char c = i < text.size() ? text[i] : '0';
            when = when * 10 + (c >= '0' && c <= '9' ? static_cast<std::uint64_t>(c - '0') : 0);
        }
    };
    append(qso.date, 8);
    append(qso.time, 6);
    return when;
}

// A filter in the case the QSOs are kept in, made once per look at the log
// rather than once per QSO.
LogFilter keptCase(const LogFilter& filter)
{
    return {lowered(filter.band), raised(filter.mode)};
}

// filter: in the case the QSOs are kept in.
bool passes(const PlacedQso& qso, const LogFilter& filter)
{
    return (filter.band.empty() || filter.band == qso.band) && (filter.mode.empty() || filter.mode == qso.mode);
}

// A band's wavelength in millimetres; none for a name that is no length.
std::optional<double> wavelength(const std::string& band)
{
    double number = 0;
    const auto [end, error] = std::from_chars(band.data(), band.data() + band.size(), number);
    if (error != std::errc() || number <= 0) {
        return std::nullopt;
    }
    const std::string unit(end, band.data() + band.size());
    if (unit == "m") {
        return number * 1000;
    }
    if (unit == "cm") {
        return number * 10;
    }
    if (unit == "mm") {
        return number;
    }
    return std::nullopt;
}

// "20231205" and "2031" as "2023-12-05 20:31".
QString shownWhen(const PlacedQso& qso)
{
    QString text = fromStd(qso.date);
    if (text.size() == 8) {
        text = text.left(4) + QLatin1Char('-') + text.mid(4, 2) + QLatin1Char('-') + text.mid(6);
    }
    if (qso.time.size() >= 4) {
        text += QLatin1Char(' ') + fromStd(qso.time.substr(0, 2)) + QLatin1Char(':') + fromStd(qso.time.substr(2, 2));
    }
    return text;
}

constexpr std::size_t kCallsNamed = 4;

}  // namespace

LogSlice readLogSlice(
    const std::string& path, AdifResume from, const std::string& countryFile, std::shared_ptr<const CountryFiles> files)
{
    LogSlice slice;
    SliceSink sink(slice, countryFile, std::move(files));
    slice.read = readAdifFile(path, from, sink, false);
    return slice;
}

void WorkedPlaces::clear()
{
    qsos_.clear();
    places_.clear();
    placeAt_.clear();
}

void WorkedPlaces::add(std::vector<PlacedQso> qsos)
{
    // Grown by at least half: a log that grows a QSO at a time is not
    // copied whole for each one.
    const std::size_t needed = qsos_.size() + qsos.size();
    if (needed > qsos_.capacity()) {
        qsos_.reserve(std::max(needed, qsos_.capacity() + qsos_.capacity() / 2));
    }
    for (PlacedQso& qso : qsos) {
        const auto key = std::make_pair(qso.position.latUnits, qso.position.lonUnits);
        auto [at, added] = placeAt_.try_emplace(key, places_.size());
        if (added) {
            places_.push_back(Place{qso.position, {}});
        }
        places_[at->second].qsos.push_back(qsos_.size());
        qsos_.push_back(std::move(qso));
    }
}

std::vector<std::string> WorkedPlaces::bands() const
{
    std::set<std::string> seen;
    for (const PlacedQso& qso : qsos_) {
        if (!qso.band.empty()) {
            seen.insert(qso.band);
        }
    }
    std::vector<std::string> list(seen.begin(), seen.end());
    std::stable_sort(list.begin(), list.end(), [](const std::string& a, const std::string& b) {
        const auto la = wavelength(a);
        const auto lb = wavelength(b);
        if (la && lb) {
            return *la > *lb;
        }
        return la.has_value() && !lb.has_value();
    });
    return list;
}

std::vector<std::string> WorkedPlaces::modes() const
{
    std::set<std::string> seen;
    for (const PlacedQso& qso : qsos_) {
        if (!qso.mode.empty()) {
            seen.insert(qso.mode);
        }
    }
    return {seen.begin(), seen.end()};
}

const PlacedQso* WorkedPlaces::latest(std::size_t place, const LogFilter& filter) const
{
    if (place >= places_.size()) {
        return nullptr;
    }
    const LogFilter kept = keptCase(filter);
    const PlacedQso* best = nullptr;
    std::uint64_t bestWhen = 0;
    for (const std::size_t index : places_[place].qsos) {
        const PlacedQso& qso = qsos_[index];
        if (!passes(qso, kept)) {
            continue;
        }
        // The later in the log of two at the same minute.
        const std::uint64_t when = whenOf(qso);
        if (best == nullptr || when >= bestWhen) {
            best = &qso;
            bestWhen = when;
        }
    }
    return best;
}

std::vector<MapPoint> WorkedPlaces::points(const LogFilter& filter, std::vector<std::size_t>& places) const
{
    struct Shown {
        std::size_t place;
        const PlacedQso* latest;
        std::uint64_t when;
    };
    const LogFilter kept = keptCase(filter);
    std::vector<Shown> shown;
    shown.reserve(places_.size());
    for (std::size_t i = 0; i < places_.size(); ++i) {
        if (const PlacedQso* qso = latest(i, kept)) {
            shown.push_back(Shown{i, qso, whenOf(*qso)});
        }
    }
    std::stable_sort(shown.begin(), shown.end(), [](const Shown& a, const Shown& b) { return a.when > b.when; });
    std::vector<MapPoint> points;
    points.reserve(shown.size());
    places.clear();
    places.reserve(shown.size());
    for (const Shown& s : shown) {
        points.push_back(MapPoint{places_[s.place].position, bandColour(s.latest->band), 1, fromStd(s.latest->call)});
        places.push_back(s.place);
    }
    return points;
}

QString WorkedPlaces::tip(std::size_t place, const LogFilter& filter) const
{
    const PlacedQso* last = latest(place, filter);
    if (last == nullptr) {
        return {};
    }
    // The calls, the latest worked first, each once.
    const LogFilter kept = keptCase(filter);
    std::vector<std::string> calls;
    std::set<std::string> seen;
    const std::vector<std::size_t>& list = places_[place].qsos;
    for (std::size_t i = list.size(); i-- > 0;) {
        const PlacedQso& qso = qsos_[list[i]];
        if (passes(qso, kept) && seen.insert(qso.call).second) {
            calls.push_back(qso.call);
        }
    }
    QStringList named;
    for (std::size_t i = 0; i < std::min(calls.size(), kCallsNamed); ++i) {
        named << fromStd(calls[i]);
    }
    QString text = named.join(QStringLiteral(", "));
    if (calls.size() > kCallsNamed) {
        text += QStringLiteral(" and %1 more").arg(calls.size() - kCallsNamed);
    }
    QStringList details{fromStd(last->call)};
    for (const std::string* field : {&last->band, &last->mode}) {
        if (!field->empty()) {
            details << fromStd(*field);
        }
    }
    const QString when = shownWhen(*last);
    if (!when.isEmpty()) {
        details << when;
    }
    return text + QStringLiteral("\nLatest: ") + details.join(QLatin1Char(' '));
}

}  // namespace skybrant::ui
