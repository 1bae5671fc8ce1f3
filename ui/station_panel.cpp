#include "station_panel.h"

#include "aim/station_text.h"
#include "core/locator.h"
#include "core/magnetic.h"
#include "core/report_text.h"
#include "core/sun_texts.h"
#include "station_lookup.h"
#include "std_text.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cmath>
#include <string>
#include <string_view>
#include <utility>

namespace skybrant::ui {

namespace {

using std::chrono::sys_seconds;

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

// The text the field takes back for a place clicked on the map.
QString fieldText(const Position& p)
{
    return QStringLiteral("%1 %2").arg(p.latDegrees, 0, 'f', 4).arg(p.lonDegrees, 0, 'f', 4);
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

// "288° true, 289° magnetic (declination 1.2° W)": the heading as the map
// shows it and as a compass at the own station shows it today; on the lines
// below, why the compass or the model may not be trusted.
QString headingLine(const Report& report, std::chrono::year_month_day today)
{
    const MagneticField field = magneticFieldAt(report.own, today);
    const double magnetic = roundHeading(magneticHeading(report.result.headingOwnToOther, field.declination));
    QString line = QStringLiteral("%1 true, %2\u00b0 magnetic (declination %3)")
                       .arg(headingText(report.ownToOther))
                       .arg(magnetic, 0, 'f', 0)
                       .arg(fromStd(declinationText(field.declination)));
    if (const std::string_view note = compassZoneNote(field.zone); !note.empty()) {
        line += QStringLiteral("\nA compass at the own station %1.").arg(fromStd(note));
    }
    if (field.outOfDate) {
        line += u'\n' + fromStd(outOfDateNote());
    }
    return line;
}

// "UTC-5", "UTC+5:30".
QString offsetText(double hours)
{
    const long minutes = std::lround(std::abs(hours) * 60);
    QString text = QStringLiteral("UTC%1%2").arg(QChar(hours < 0 ? u'-' : u'+')).arg(minutes / 60);
    if (minutes % 60 != 0) {
        text += QStringLiteral(":%1").arg(minutes % 60, 2, 10, QLatin1Char('0'));
    }
    return text;
}

// Sunrise and sunset today (UTC), with the station's clock when it is
// known; a station the country file places only about puts the country's
// clock, named as such.
QString sunText(sys_seconds now, const Position& p, const aim::OtherStation* station)
{
    const auto today = std::chrono::year_month_day(std::chrono::floor<std::chrono::days>(now));
    const SunTexts utc = sunTexts(p, today);
    if (utc.sunrise == utc.sunset && !utc.sunrise.empty() && utc.sunrise.find(':') == std::string::npos) {
        return fromStd(utc.sunrise);  // polar day or polar night
    }
    std::optional<SunTexts> local;
    QString clock;
    if (station != nullptr && station->utcOffsetHours) {
        const double hours = *station->utcOffsetHours;
        local = sunTexts(p, today, std::chrono::seconds(std::lround(hours * 3600)));
        clock = station->approximate ? QStringLiteral("at ") + offsetText(hours) : QStringLiteral("local");
    }
    const auto at = [&clock](const std::string& time, const std::string* localTime) -> QString {
        if (time.empty()) {
            return QStringLiteral("not today");
        }
        QString text = fromStd(time) + QStringLiteral(" UTC");
        if (localTime != nullptr) {
            text += QStringLiteral(" (%1 %2)").arg(fromStd(*localTime), clock);
        }
        return text;
    };
    return QStringLiteral("rises %1, sets %2")
        .arg(at(utc.sunrise, local ? &local->sunrise : nullptr), at(utc.sunset, local ? &local->sunset : nullptr));
}

}  // namespace

StationPanel::StationPanel(aim::AimingModel& model, CallsignLookup& callsigns, Clock clock, QWidget* parent)
    : QWidget(parent), model_(model), callsigns_(callsigns), clock_(std::move(clock))
{
    form_ = new QFormLayout(this);
    const auto figure = [this](const char* name, const QString& label, const QString& accessible) {
        auto* value = new QLabel(this);
        value->setObjectName(QLatin1String(name));
        value->setAccessibleName(accessible);
        value->setWordWrap(true);
        value->setTextFormat(Qt::PlainText);
        // Reachable with Tab, so a screen reader reads each figure.
        value->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        value->setFocusPolicy(Qt::StrongFocus);
        form_->addRow(label, value);
        return value;
    };
    field_ = new QLineEdit(this);
    field_->setObjectName(QStringLiteral("otherField"));
    field_->setMinimumWidth(160);
    field_->setAccessibleName(QStringLiteral("Other station"));
    field_->setPlaceholderText(QStringLiteral("JO01, 40.7 -74, 8 fields or a callsign"));
    field_->setToolTip(QStringLiteral("The other station: a locator such as JO01, LAT LON in decimal degrees, "
                                      "LAD LAM LAS N|S LOD LOM LOS E|W, or a callsign such as G4ABC"));
    show_ = new QPushButton(QStringLiteral("Show"), this);
    show_->setObjectName(QStringLiteral("show"));
    auto* entry = new QHBoxLayout;
    entry->addWidget(field_, 1);
    entry->addWidget(show_);
    form_->addRow(QStringLiteral("Other station:"), entry);
    connect(field_, &QLineEdit::returnPressed, this, [this] { takeOtherText(field_->text()); });
    connect(show_, &QPushButton::clicked, this, [this] { takeOtherText(field_->text()); });

    problem_ = new QLabel(this);
    problem_->setObjectName(QStringLiteral("problem"));
    problem_->setAccessibleName(QStringLiteral("Problem"));
    problem_->setWordWrap(true);
    problem_->setTextFormat(Qt::PlainText);
    problem_->setStyleSheet(QStringLiteral("color: #c00000"));
    problem_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    problem_->hide();
    form_->addRow(problem_);

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

    subscription_ = model_.subscribe([this](unsigned changes) { show(changes); });
    showFigures();
    showPointer(std::nullopt);
}

StationPanel::~StationPanel()
{
    model_.unsubscribe(subscription_);
}

bool StationPanel::takeOtherText(const QString& text)
{
    // What is typed now takes the place of a callsign still being looked up.
    callsigns_.cancel();
    const aim::StationText read = aim::readStationText(text.toStdString(), callsigns_.files(), aim::Source::Typed);
    if (read.station) {
        showProblem({});
        shownText_ = text;
        model_.request(aim::SetOther{read.station});
        return true;
    }
    if (!read.call.empty()) {
        const QString call = fromStd(read.call).toUpper();
        showProblem(QStringLiteral("Looking up %1 in the country file\u2026").arg(call));
        // Without the file, a word that is no call in shape was most likely
        // a mistyped locator, and is refused in the reader's words.
        callsigns_.ask(call, [this, text, read](const CallsignPlace& place) {
            if (callsigns_.files()) {
                takeOtherText(text);
            } else {
                showProblem(read.callShaped ? place.error : fromStd(read.error));
            }
        });
        return true;
    }
    showProblem(fromStd(read.error));
    return false;
}

void StationPanel::cancelTyping()
{
    field_->setText(shownText_);
}

void StationPanel::showProblem(const QString& text)
{
    problem_->setText(text);
    problem_->setVisible(!text.isEmpty());
}

void StationPanel::tell(const QString& text)
{
    showProblem(problem_->text().isEmpty() ? text : problem_->text() + u'\n' + text);
}

void StationPanel::show(unsigned changes)
{
    if ((changes & aim::OtherChanged) != 0U) {
        const auto& other = model_.other();
        // A place clicked on the map is in the field, as if typed, and the
        // problem of what was typed before is gone.
        if (other && other->source == aim::Source::Clicked) {
            callsigns_.cancel();
            shownText_ = fieldText(other->position);
            field_->setText(shownText_);
            showProblem({});
        }
    }
    if ((changes & (aim::OwnChanged | aim::OtherChanged | aim::UnitChanged)) != 0U) {
        showFigures();
    }
}

void StationPanel::showFigures()
{
    ownText_->setText(placeText(model_.own()));
    const QString none = QStringLiteral("\u2014");
    const auto& other = model_.other();
    const auto& report = model_.report();
    if (!other || !report) {
        for (QLabel* l : {otherText_, heading_, backHeading_, shortPath_, longPath_, otherSun_}) {
            l->setText(none);
        }
        showClockFigures();
        return;
    }
    QString name = fromStd(other->name);
    if (other->approximate) {
        name += QStringLiteral(", about: the country's reference point");
    }
    otherText_->setText(name.isEmpty() ? placeText(other->position) : name + u'\n' + placeText(other->position));
    // The figures of skybrant-cli's report, in its words.
    const DistanceUnit unit = model_.unit();
    const auto distance = [unit](const Figure& f) { return distanceText(f, unit); };
    shortPath_->setText(distance(report->distance));
    if (report->result.hasHeadings()) {
        backHeading_->setText(headingText(report->otherToOwn));
        longPath_->setText(
            QStringLiteral("%1 at %2").arg(distance(report->longDistance), headingText(report->longHeading)));
    } else {
        heading_->setText(fromStd(geometryNote(report->result.geometry)));
        backHeading_->setText(none);
        longPath_->setText(report->longDistance.shown ? distance(report->longDistance) : none);
    }
    showClockFigures();
}

void StationPanel::showClockFigures()
{
    const sys_seconds t = clock_();
    const auto& other = model_.other();
    const auto& report = model_.report();
    if (other && report && report->result.hasHeadings()) {
        heading_->setText(headingLine(*report, std::chrono::year_month_day(std::chrono::floor<std::chrono::days>(t))));
    }
    ownSun_->setText(sunText(t, model_.own(), nullptr));
    otherSun_->setText(other ? sunText(t, other->position, &*other) : QStringLiteral("\u2014"));
}

void StationPanel::showPointer(const std::optional<Position>& position)
{
    if (!position) {
        pointer_->setText(QStringLiteral("\u2014"));
        return;
    }
    ReportOptions options;
    options.unit = model_.unit();
    const Report r = makeReport(model_.own(), *position, options);
    pointer_->setText(QStringLiteral("%1  %2  %3")
                          .arg(r.ownToOther.shown ? headingText(r.ownToOther) : QStringLiteral("\u2014"),
                              distanceText(r.distance, options.unit), fromStd(locatorOf(*position, 6))));
}

}  // namespace skybrant::ui
