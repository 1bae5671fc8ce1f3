#include "rotator_aim.h"

#include "core/angles.h"
#include "rotator/rotator_limits.h"

#include <QRegularExpression>

#include <cmath>

namespace skybrant::ui {

namespace {

QString degrees(double value)
{
    return QStringLiteral("%1\u00b0").arg(std::lround(value));
}

std::optional<double> number(const QString& text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok && std::isfinite(value) ? std::optional(value) : std::nullopt;
}

}  // namespace

rotctl::TurnRange RotatorAim::turnRange() const
{
    rotctl::GivenLimits typed;
    if (override_) {
        typed = {override_->min, override_->max};
    }
    return rotctl::turnRange(typed, daemonRange_);
}

QString RotatorAim::rangeSource() const
{
    switch (turnRange().source) {
    case rotctl::RangeSource::Options:
    case rotctl::RangeSource::Combined:
        return QStringLiteral("as typed");
    case rotctl::RangeSource::Rotator:
        return QStringLiteral("from the rotator");
    case rotctl::RangeSource::Assumed:
        break;
    }
    return QStringLiteral("until the rotator gives its own");
}

std::optional<double> RotatorAim::azimuthFor(double shownHeading, QString& problem) const
{
    const double heading = rotctl::sentHeading(shownHeading);
    const double wanted = heading + offset_;
    const rotctl::TurnRange r = turnRange();
    const auto azimuth = rotctl::turnAzimuth(wanted, r, azimuth_);
    if (!azimuth) {
        problem = QStringLiteral("the rotator cannot reach %1 (azimuth %2): its range is %3")
                      .arg(degrees(heading), QString::number(wrap360(wanted), 'g', 6),
                          QString::fromStdString(rotctl::rangeText(r.range)));
    }
    return azimuth;
}

std::optional<double> RotatorAim::heading() const
{
    if (!azimuth_) {
        return std::nullopt;
    }
    return wrap360(*azimuth_ - offset_);
}

void RotatorAim::startTurn(double azimuth, double shownHeading)
{
    target_ = azimuth;
    targetHeading_ = rotctl::sentHeading(shownHeading);
}

bool RotatorAim::arrived() const
{
    return target_ && azimuth_ && rotctl::arrivedAt(*azimuth_, *target_);
}

QString RotatorAim::progressText() const
{
    if (!target_) {
        return {};
    }
    if (arrived()) {
        return QStringLiteral("At %1").arg(degrees(targetHeading_));
    }
    if (!azimuth_) {
        return QStringLiteral("Turning to %1").arg(degrees(targetHeading_));
    }
    return QStringLiteral("Turning to %1: %2 to go")
        .arg(degrees(targetHeading_), degrees(std::abs(*target_ - *azimuth_)));
}

std::optional<rotctl::AzimuthRange> parseRange(const QString& text)
{
    static const QRegularExpression pattern(
        QStringLiteral(R"(^\s*([-+]?[0-9]+(?:\.[0-9]*)?)\s*(?:\.\.|to|\s)\s*([-+]?[0-9]+(?:\.[0-9]*)?)\s*$)"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    const auto low = number(match.captured(1));
    const auto high = number(match.captured(2));
    if (!low || !high || *low >= *high || !rotctl::withinProtocol(*low) || !rotctl::withinProtocol(*high)) {
        return std::nullopt;
    }
    return rotctl::AzimuthRange{*low, *high};
}

std::optional<double> parseHeading(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral(R"(^\s*([0-9]+(?:\.[0-9]*)?)\s*\x{00B0}?\s*$)"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    const auto value = number(match.captured(1));
    if (!value || *value > 360) {
        return std::nullopt;
    }
    return value;
}

}  // namespace skybrant::ui
