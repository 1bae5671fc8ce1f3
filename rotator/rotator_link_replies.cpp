// The replies the live link reads: each exchange's answer taken apart, and
// what a reply outside the protocol breaks.

#include "core/utf8.h"
#include "rotator_link.h"
#include "rotator_protocol.h"

#include <string_view>

namespace skybrant::rotctl {

namespace {

QString fromStd(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

bool RotatorLink::takeReply(const std::string& line, std::optional<QString>& broken)
{
    const Exchange exchange = *inFlight_;
    switch (exchange.kind) {
    case Kind::DumpState:
        return takeLimits(line, broken);
    case Kind::Position:
        return takePosition(line, broken);
    case Kind::Turn:
        if (const auto refusal = turnRefusal(line, where().toStdString(), exchange.azimuth)) {
            if (!rprtCode(line)) {
                broken = fromStd(*refusal);
                return false;
            }
            report(fromStd(*refusal));
            emit turnRefused(exchange.azimuth);
            return true;
        }
        emit turnAccepted(exchange.azimuth);
        return true;
    case Kind::Stop:
    case Kind::Park:
        return takeStopOrPark(exchange, line, broken);
    }
    return true;
}

bool RotatorLink::takeLimits(const std::string& line, std::optional<QString>& broken)
{
    if (range_) {
        // The limits came with "done"; the extended form ends with RPRT.
        if (!rprtCode(line)) {
            broken = QStringLiteral("the rotator at %1 sent %2 after its limits instead of RPRT")
                         .arg(where(), fromStd(quote(line, kShownBytes)));
        }
        return rprtCode(line).has_value();
    }
    switch (dumpState_.take(line)) {
    case DumpStateReader::Status::More:
        return false;
    case DumpStateReader::Status::Done:
        range_ = dumpState_.range();
        emit rangeChanged(*range_);
        return rprtCode(line).has_value();
    case DumpStateReader::Status::Beyond:
    case DumpStateReader::Status::Stray:
        broken = QStringLiteral("the rotator at %1 sent %2").arg(where(), fromStd(dumpState_.problem()));
        return false;
    case DumpStateReader::Status::Failed:
        report(QStringLiteral("the rotator at %1 did not give its azimuth limits: %2")
                   .arg(where(), fromStd(dumpState_.problem())));
        return true;
    }
    return true;
}

bool RotatorLink::takePosition(const std::string& line, std::optional<QString>& broken)
{
    if (!replyAzimuth_) {
        if (const auto code = rprtCode(line); code && *code != 0) {
            report(QStringLiteral("the rotator at %1 could not report its position: %2")
                       .arg(where(), fromStd(codeText(*code))));
            return true;
        }
    }
    const PositionPart part = replyAzimuth_ ? PositionPart::Elevation : PositionPart::Azimuth;
    const Reading reading = positionReading(line, part, where().toStdString());
    if (!reading.degrees) {
        broken = fromStd(reading.problem);
        return false;
    }
    if (!replyAzimuth_) {
        replyAzimuth_ = reading.degrees;
        return false;
    }
    azimuth_ = replyAzimuth_;
    elevation_ = reading.degrees;
    emit azimuthChanged(*azimuth_);
    return true;
}

bool RotatorLink::takeStopOrPark(const Exchange& exchange, const std::string& line, std::optional<QString>& broken)
{
    const bool stopping = exchange.kind == Kind::Stop;
    const auto code = rprtCode(line);
    if (!code) {
        broken = QStringLiteral("the rotator at %1 answered %2 with %3 instead of RPRT")
                     .arg(where(), commandName(exchange), fromStd(quote(line, kShownBytes)));
        return false;
    }
    if (*code != 0) {
        report(QStringLiteral("the rotator at %1 refused to %2: %3")
                   .arg(where(), stopping ? QStringLiteral("stop") : QStringLiteral("park"), fromStd(codeText(*code))));
        emit haltRefused();
    } else if (stopping) {
        emit stopAccepted();
    } else {
        emit parkAccepted();
    }
    return true;
}

}  // namespace skybrant::rotctl
