#include "map_window.h"

#include "core/callsign.h"
#include "core/country_files.h"
#include "core/locator.h"
#include "core/report.h"
#include "core/report_text.h"
#include "core/station_reader.h"
#include "core/sun.h"
#include "core/sun_texts.h"
#include "form1_controls.h"
#include "map_view.h"
#include "message_sink.h"
#include "rotator_panel.h"
#include "settings/settings_store.h"
#include "station_lookup.h"
#include "validation/box_reader.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

#include <chrono>
#include <cmath>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace skybrant::ui {

namespace {

const QString kApplication = QStringLiteral("Skybrant");
const QString kSection = QStringLiteral("Map");

using std::chrono::sys_seconds;

QString fromStd(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString degreesText(double value, char positive, char negative)
{
    return QStringLiteral("%1\u00b0 %2").arg(std::abs(value), 0, 'f', 4).arg(QChar(value < 0 ? negative : positive));
}

// At the point of the globe a latitude past a pole stands for, as the
// figures, the locator and the sun take it.
QString placeText(const Position& typed)
{
    const Position p = onTheGlobe(typed);
    return QStringLiteral("%1, %2  %3")
        .arg(degreesText(p.latDegrees, 'N', 'S'), degreesText(p.lonDegrees, 'E', 'W'), fromStd(locatorOf(p, 6)));
}

// A figure of the report as skybrant-cli writes it, with its unit.
QString distanceText(const Figure& distance, DistanceUnit unit)
{
    return fromStd(figureText(distance)) + u' ' + fromStd(unitSymbol(unit));
}

QString headingText(const Figure& heading)
{
    return fromStd(figureText(heading)) + QStringLiteral("\u00b0");
}

// Sunrise and sunset today (UTC), with the local clock when the offset is
// known, in skybrant-cli's words and at its point of the globe.
QString sunText(sys_seconds now, const Position& p, std::optional<double> utcOffsetHours)
{
    const auto today = std::chrono::year_month_day(std::chrono::floor<std::chrono::days>(now));
    const SunTexts utc = sunTexts(p, today);
    if (utc.sunrise == utc.sunset && !utc.sunrise.empty() && utc.sunrise.find(':') == std::string::npos) {
        return fromStd(utc.sunrise);  // polar day or polar night
    }
    std::optional<SunTexts> local;
    if (utcOffsetHours) {
        local = sunTexts(p, today, std::chrono::seconds(std::lround(*utcOffsetHours * 3600)));
    }
    const auto at = [](const std::string& time, const std::string* localTime) -> QString {
        if (time.empty()) {
            return QStringLiteral("not today");
        }
        QString text = fromStd(time) + QStringLiteral(" UTC");
        if (localTime != nullptr) {
            text += QStringLiteral(" (%1 local)").arg(fromStd(*localTime));
        }
        return text;
    };
    return QStringLiteral("rises %1, sets %2")
        .arg(at(utc.sunrise, local ? &local->sunrise : nullptr), at(utc.sunset, local ? &local->sunset : nullptr));
}

}  // namespace

Position savedOwnStation(settings::SettingsStore* store)
{
    StationEntry entry;
    if (store == nullptr) {
        return positionFromEntry(entry);
    }
    for (const ControlRow& row : controlRows()) {
        if (row.saved.section == nullptr) {
            continue;
        }
        const QString text =
            store->get(kApplication, QLatin1String(row.saved.section), QLatin1String(row.saved.key), {});
        if (row.kind == Kind::Hemisphere) {
            (row.id == Control::cmbNS1 ? entry.latHemisphere : entry.lonHemisphere) = text.toStdString();
            continue;
        }
        const validation::BoxRole role = row.coordinate.role;
        const bool lat = role.axis == validation::Axis::Latitude;
        const validation::BoxReading reading = validation::readBox(
            {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())});
        const std::int32_t degrees = lat ? entry.latDegrees : entry.lonDegrees;
        // What the window would refuse on loading counts as 0, as there.
        const std::int32_t value =
            reading.outOfRange || validation::firstViolation(role, reading, degrees) ? 0 : reading.value;
        switch (role.unit) {
        case validation::Unit::Degrees:
            (lat ? entry.latDegrees : entry.lonDegrees) = value;
            break;
        case validation::Unit::Minutes:
            (lat ? entry.latMinutes : entry.lonMinutes) = value;
            break;
        case validation::Unit::Seconds:
            (lat ? entry.latSeconds : entry.lonSeconds) = value;
            break;
        }
    }
    return onTheGlobe(positionFromEntry(entry));
}

std::unique_ptr<MapWindow> openMapAlone(settings::SettingsStore* store)
{
    auto map = std::make_unique<MapWindow>(store);
    map->setOwn(savedOwnStation(store));
    if (store != nullptr) {
        if (const auto problem = store->readProblem(kApplication)) {
            map->tell(*problem);
        }
    }
    return map;
}

MapWindow::MapWindow(settings::SettingsStore* store, QWidget* parent) : QWidget(parent, Qt::Window), store_(store)
{
    setObjectName(QStringLiteral("MapWindow"));
    setWindowTitle(QStringLiteral("Skybrant map"));
    resize(1280, 760);
    auto* layout = new QHBoxLayout(this);
    view_ = new MapView(this);
    view_->setObjectName(QStringLiteral("map"));
    view_->setAccessibleName(QStringLiteral("Map centred on the own station"));
    layout->addWidget(view_, 1);
    callsigns_ = new CallsignLookup(this);
    auto* panel = new QWidget(this);
    panel->setMaximumWidth(380);
    layout->addWidget(panel);
    buildPanel(panel);
    rotator_ = new RotatorPanel(store_, this);
    rotator_->setMaximumWidth(360);
    layout->addWidget(rotator_);
    rotator_->onNeedle = [this](std::optional<double> bearing) { view_->setNeedle(bearing); };
    // A preset's station is read as the field reads the other station.
    rotator_->stationHeading = [this](const QString& text, QString& error) -> std::optional<double> {
        StationRead read;
        if (!readStation(text, read)) {
            error = read.error;
            return std::nullopt;
        }
        const GreatCircleResult r = solvePositions(own_, read.position);
        if (!r.hasHeadings()) {
            error = fromStd(geometryNote(r.geometry));
            return std::nullopt;
        }
        return roundHeading(r.headingOwnToOther);
    };
    loadOptions();
    showPointer(std::nullopt);

    view_->onHover = [this](const std::optional<Position>& p) { showPointer(p); };
    view_->onClick = [this](const Position& p) {
        callsigns_->cancel();
        otherName_.clear();
        otherUtcOffset_.reset();
        setOther(p);
    };
    // The greyline follows the clock, redrawn as each minute begins. A
    // coarse timer could fire seconds early and draw the old minute again.
    minute_.setSingleShot(true);
    minute_.setTimerType(Qt::PreciseTimer);
    connect(&minute_, &QTimer::timeout, this, &MapWindow::tick);
    tick();
    auto* fullScreen = new QShortcut(QKeySequence(Qt::Key_F11), this);
    connect(fullScreen, &QShortcut::activated, this, [this] { isFullScreen() ? showNormal() : showFullScreen(); });
    setOwn(own_);
    field_->setFocus();
}

MapWindow::~MapWindow() = default;

void MapWindow::buildPanel(QWidget* panel)
{
    auto* form = new QFormLayout(panel);
    const auto figure = [&](const char* name, const QString& label, const QString& accessible) {
        auto* value = new QLabel(panel);
        value->setObjectName(QLatin1String(name));
        value->setAccessibleName(accessible);
        value->setWordWrap(true);
        // Reachable with Tab, so a screen reader reads each figure.
        value->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        value->setFocusPolicy(Qt::StrongFocus);
        form->addRow(label, value);
        return value;
    };
    field_ = new QLineEdit(panel);
    field_->setObjectName(QStringLiteral("otherField"));
    field_->setAccessibleName(QStringLiteral("Other station"));
    field_->setPlaceholderText(QStringLiteral("JO01, 40.7 -74, 8 fields or a callsign"));
    field_->setToolTip(QStringLiteral("The other station: a locator such as JO01, LAT LON in decimal degrees, "
                                      "LAD LAM LAS N|S LOD LOM LOS E|W, or a callsign such as G4ABC"));
    show_ = new QPushButton(QStringLiteral("Show"), panel);
    show_->setObjectName(QStringLiteral("show"));
    auto* entry = new QHBoxLayout;
    entry->addWidget(field_, 1);
    entry->addWidget(show_);
    form->addRow(QStringLiteral("Other station:"), entry);
    connect(field_, &QLineEdit::returnPressed, this, [this] { takeOtherText(field_->text()); });
    connect(show_, &QPushButton::clicked, this, [this] { takeOtherText(field_->text()); });

    problem_ = new QLabel(panel);
    problem_->setObjectName(QStringLiteral("problem"));
    problem_->setAccessibleName(QStringLiteral("Problem"));
    problem_->setWordWrap(true);
    problem_->setStyleSheet(QStringLiteral("color: #c00000"));
    problem_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    form->addRow(problem_);

    ownText_ = figure("ownStation", QStringLiteral("Own station:"), QStringLiteral("Own station"));
    otherText_ = figure("otherStation", QStringLiteral("Other station:"), QStringLiteral("Other station position"));
    heading_ = figure("heading", QStringLiteral("Beam heading:"), QStringLiteral("Beam heading to the other station"));
    backHeading_ =
        figure("backHeading", QStringLiteral("Heading back:"), QStringLiteral("Beam heading from the other station"));
    shortPath_ = figure("shortPath", QStringLiteral("Short path:"), QStringLiteral("Short path distance"));
    longPath_ = figure("longPath", QStringLiteral("Long path:"), QStringLiteral("Long path distance and heading"));
    ownSun_ = figure("ownSun", QStringLiteral("Sun at own:"), QStringLiteral("Sunrise and sunset at the own station"));
    otherSun_ =
        figure("otherSun", QStringLiteral("Sun at other:"), QStringLiteral("Sunrise and sunset at the other station"));
    pointer_ = figure(
        "pointer", QStringLiteral("Pointer:"), QStringLiteral("Bearing, distance and locator under the pointer"));

    unit_ = new QComboBox(panel);
    unit_->setObjectName(QStringLiteral("unit"));
    unit_->setAccessibleName(QStringLiteral("Distance unit"));
    for (const DistanceUnit u : {DistanceUnit::Kilometres, DistanceUnit::StatuteMiles, DistanceUnit::NauticalMiles}) {
        unit_->addItem(fromStd(unitSymbol(u)), static_cast<int>(u));
    }
    form->addRow(QStringLiteral("Unit:"), unit_);
    rings_ = new QCheckBox(QStringLiteral("Distance rings"), panel);
    rings_->setObjectName(QStringLiteral("rings"));
    rings_->setChecked(true);
    form->addRow(rings_);
    images_ = new QCheckBox(QStringLiteral("Earth images"), panel);
    images_->setObjectName(QStringLiteral("images"));
    images_->setChecked(true);
    form->addRow(images_);

    connect(unit_, &QComboBox::currentIndexChanged, this, [this] {
        view_->setUnit(unit());
        showFigures();
        saveOptions();
    });
    connect(rings_, &QCheckBox::toggled, this, [this](bool on) {
        view_->setRings(on);
        saveOptions();
    });
    connect(images_, &QCheckBox::toggled, this, [this](bool on) {
        view_->setImagesShown(on);
        showProblem(on ? view_->imagesNote() : QString());
        saveOptions();
    });
    showProblem(view_->imagesNote());
}

DistanceUnit MapWindow::unit() const
{
    return static_cast<DistanceUnit>(unit_->currentData().toInt());
}

void MapWindow::loadOptions()
{
    if (store_ == nullptr) {
        return;
    }
    loadingOptions_ = true;
    QStringList notes;
    // A value not understood is shown as its default and kept in the file
    // as written until the user changes that setting.
    const auto read = [&](const QString& key, const QString& fallback, const QString& setting, auto understood) {
        const QString text = store_->get(kApplication, kSection, key, fallback);
        if (!understood(text)) {
            store_->keepUntilChanged(kApplication, kSection, key, fallback);
            notes << settings::notUnderstood(kSection, key, text, setting);
        }
    };
    const QString km = fromStd(unitSymbol(DistanceUnit::Kilometres));
    read(QStringLiteral("Unit"), km, QStringLiteral("distance unit"), [this](const QString& text) {
        const auto u = unitFromTypedSymbol(text.trimmed().toStdString());
        unit_->setCurrentIndex(unit_->findData(static_cast<int>(u.value_or(DistanceUnit::Kilometres))));
        return u.has_value();
    });
    const auto flag = [](QCheckBox* box) {
        return [box](const QString& text) {
            const QString t = text.trimmed();
            box->setChecked(t != QLatin1String("false"));
            return t == QLatin1String("true") || t == QLatin1String("false");
        };
    };
    read(QStringLiteral("Rings"), QStringLiteral("true"), QStringLiteral("distance rings"), flag(rings_));
    read(QStringLiteral("Images"), QStringLiteral("true"), QStringLiteral("earth images"), flag(images_));
    loadingOptions_ = false;
    for (const QString& note : notes) {
        tell(note);
    }
}

void MapWindow::saveOptions()
{
    if (store_ == nullptr || loadingOptions_) {
        return;
    }
    const auto flag = [](bool on) { return on ? QStringLiteral("true") : QStringLiteral("false"); };
    store_->save(kApplication, kSection, QStringLiteral("Unit"), fromStd(unitSymbol(unit())));
    store_->save(kApplication, kSection, QStringLiteral("Rings"), flag(rings_->isChecked()));
    store_->save(kApplication, kSection, QStringLiteral("Images"), flag(images_->isChecked()));
    QString error;
    if (!store_->commit(error) && !error.isEmpty()) {
        alsoOnStandardError(error);
        showProblem(error);
    }
}

void MapWindow::tell(const QString& text)
{
    showProblem(problem_->text().isEmpty() ? text : problem_->text() + u'\n' + text);
}

void MapWindow::setOwn(const Position& own)
{
    own_ = own;
    view_->setOwn(own);
    showFigures();
}

void MapWindow::setOther(const std::optional<Position>& other)
{
    other_ = other;
    if (other) {
        const QString label = otherName_.isEmpty() ? fromStd(locatorOf(*other, 6)) : otherName_.section(u',', 0, 0);
        view_->setOther(OtherStation{*other, label});
    } else {
        view_->setOther(std::nullopt);
    }
    showFigures();
}

bool MapWindow::readStation(const QString& text, StationRead& read)
{
    const std::string typed = text.toStdString();
    const std::vector<std::string_view> tokens = stationTokens(typed);
    std::optional<CountryFileSource> file;
    if (auto files = callsigns_->files()) {
        file.emplace(std::string(), std::move(files));
    }
    StationReader reader({file ? &*file : nullptr, false});
    skybrant::Station station;
    std::string error;
    if (reader.readOne(tokens, Side::Other, station, error) == ReadResult::Ok) {
        read.position = station.position;
        if (station.call) {
            read.name = fromStd(station.call->call + ", " + station.call->entity);
            read.utcOffset = station.call->utcOffsetHours;
        }
        return true;
    }
    // One word that is no locator nor number may be a callsign or prefix:
    // the country file is read first, off the window's thread.
    if (!file && tokens.size() == 1 && !looksNumeric(tokens.front())) {
        read.call = fromStd(tokens.front().starts_with('@') ? tokens.front().substr(1) : tokens.front());
    }
    read.error = fromStd(error);
    return false;
}

bool MapWindow::takeOtherText(const QString& text)
{
    // What is typed now takes the place of a callsign still being looked up.
    callsigns_->cancel();
    StationRead read;
    if (readStation(text, read)) {
        takeStation(read);
        return true;
    }
    if (!read.call.isEmpty()) {
        showProblem(QStringLiteral("Looking up %1 in the country file\u2026").arg(read.call.toUpper()));
        // Without the file, a word that is no call in shape was most likely
        // a mistyped locator, and is refused in the reader's words.
        const bool callShaped = text.trimmed().startsWith(u'@') || isCallsignShaped(read.call.toStdString());
        callsigns_->ask(read.call, [this, text, callShaped, why = read.error](const CallsignPlace& place) {
            if (callsigns_->files()) {
                takeOtherText(text);
            } else {
                showProblem(callShaped ? place.error : why);
            }
        });
        return true;
    }
    showProblem(read.error);
    return false;
}

void MapWindow::takeStation(const StationRead& read)
{
    otherName_ = read.name;
    otherUtcOffset_ = read.utcOffset;
    showProblem(QString());
    setOther(read.position);
}

void MapWindow::showProblem(const QString& text)
{
    problem_->setText(text);
    problem_->setVisible(!text.isEmpty());
}

void MapWindow::showFigures()
{
    ownText_->setText(placeText(own_));
    const QString none = QStringLiteral("\u2014");
    if (!other_) {
        for (QLabel* l : {otherText_, heading_, backHeading_, shortPath_, longPath_, otherSun_}) {
            l->setText(none);
        }
        rotator_->setPathHeadings(std::nullopt, std::nullopt);
        showSun();
        return;
    }
    otherText_->setText(
        otherName_.isEmpty() ? placeText(*other_) : otherName_ + QStringLiteral("\n") + placeText(*other_));
    // The figures of skybrant-cli's report, in its words.
    ReportOptions options;
    options.unit = unit();
    options.longPath = true;
    const Report report = makeReport(own_, *other_, options);
    const auto distance = [&options](const Figure& f) { return distanceText(f, options.unit); };
    const auto heading = headingText;
    shortPath_->setText(distance(report.distance));
    if (report.result.hasHeadings()) {
        heading_->setText(heading(report.ownToOther));
        backHeading_->setText(heading(report.otherToOwn));
        longPath_->setText(QStringLiteral("%1 at %2").arg(distance(report.longDistance), heading(report.longHeading)));
        rotator_->setPathHeadings(report.ownToOther.value, report.longHeading.value);
    } else {
        heading_->setText(fromStd(geometryNote(report.result.geometry)));
        backHeading_->setText(none);
        longPath_->setText(report.longDistance.shown ? distance(report.longDistance) : none);
        rotator_->setPathHeadings(std::nullopt, std::nullopt);
    }
    showSun();
}

void MapWindow::showSun()
{
    const sys_seconds t = now();
    ownSun_->setText(sunText(t, own_, std::nullopt));
    otherSun_->setText(other_ ? sunText(t, *other_, otherUtcOffset_) : QStringLiteral("\u2014"));
}

void MapWindow::showPointer(const std::optional<Position>& position)
{
    if (!position) {
        pointer_->setText(QStringLiteral("\u2014"));
        return;
    }
    ReportOptions options;
    options.unit = unit();
    const Report r = makeReport(own_, *position, options);
    pointer_->setText(QStringLiteral("%1  %2  %3")
                          .arg(r.ownToOther.shown ? headingText(r.ownToOther) : QStringLiteral("\u2014"),
                              distanceText(r.distance, options.unit), fromStd(locatorOf(*position, 6))));
}

void MapWindow::setClock(Clock clock)
{
    clock_ = std::move(clock);
    tick();
}

sys_seconds MapWindow::now() const
{
    return std::chrono::floor<std::chrono::seconds>(clock_());
}

void MapWindow::tick()
{
    const auto at = clock_();
    const auto minute = std::chrono::floor<std::chrono::minutes>(at);
    // A timer that fired a moment early finds the old minute here, and is
    // set again for the moment left.
    minute_.start(std::chrono::ceil<std::chrono::milliseconds>(minute + std::chrono::minutes(1) - at));
    view_->setNightTime(minute);
    showSun();
}

}  // namespace skybrant::ui
