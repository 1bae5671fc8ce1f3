#include "rotor_command.h"

#include "wsjtx_message.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

namespace skybrant::follow {

namespace {

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::optional<std::string_view> datagramText(std::span<const std::byte> datagram)
{
    if (datagram.size() > kMaxDatagram) {
        return std::nullopt;
    }
    return trimmed({reinterpret_cast<const char*>(datagram.data()), datagram.size()});
}

// What stands between <name> and </name> in text, the first such element;
// names as the loggers write them, in their case.
std::optional<std::string_view> element(std::string_view text, std::string_view name)
{
    const std::string open = "<" + std::string(name) + ">";
    const std::string close = "</" + std::string(name) + ">";
    const auto start = text.find(open);
    if (start == std::string_view::npos) {
        return std::nullopt;
    }
    const auto from = start + open.size();
    const auto end = text.find(close, from);
    if (end == std::string_view::npos) {
        return std::nullopt;
    }
    return text.substr(from, end - from);
}

std::optional<double> number(std::string_view text, double low, double high)
{
    text = trimmed(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(value) ||
        value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

// A rotor name as a report names it: printable ASCII, at most 64 bytes.
std::optional<std::string> rotorName(std::string_view text)
{
    text = trimmed(text);
    if (text.size() > 64 || !std::ranges::all_of(text, [](char c) { return c >= ' ' && c <= '~'; })) {
        return std::nullopt;
    }
    return std::string(text);
}

// What the datagram's outer element holds, when it is one.
std::optional<std::string_view> datagramBody(std::span<const std::byte> datagram, std::string_view name)
{
    const auto text = datagramText(datagram);
    return text ? element(*text, name) : std::nullopt;
}

}  // namespace

std::optional<RotorCommand> readN1mm(std::span<const std::byte> datagram)
{
    const auto body = datagramBody(datagram, "N1MMRotor");
    if (!body) {
        return std::nullopt;
    }
    RotorCommand command;
    if (const auto stop = element(*body, "stop")) {
        const auto rotor = rotorName(element(*stop, "rotor").value_or(""));
        if (!rotor) {
            return std::nullopt;
        }
        command.kind = RotorCommand::Kind::Stop;
        command.rotor = *rotor;
        return command;
    }
    const auto rotor = rotorName(element(*body, "rotor").value_or(""));
    const auto goazi = element(*body, "goazi");
    const auto heading = goazi ? number(*goazi, 0, 360) : std::nullopt;
    if (!rotor || !heading) {
        return std::nullopt;
    }
    command.rotor = *rotor;
    command.heading = *heading;
    if (const auto offset = element(*body, "offset")) {
        const auto value = number(*offset, -360, 360);
        if (!value) {
            return std::nullopt;
        }
        command.offset = *value;
    }
    if (const auto both = element(*body, "bidirectional")) {
        const auto flag = trimmed(*both);
        if (flag != "0" && flag != "1") {
            return std::nullopt;
        }
        command.bidirectional = flag == "1";
    }
    return command;
}

std::optional<RotorCommand> readPst(std::span<const std::byte> datagram)
{
    const auto body = datagramBody(datagram, "PST");
    if (!body) {
        return std::nullopt;
    }
    RotorCommand command;
    if (trimmed(*body) == "AZ?") {
        command.kind = RotorCommand::Kind::Ask;
        return command;
    }
    if (const auto azimuth = element(*body, "AZIMUTH")) {
        const auto heading = number(*azimuth, 0, 360);
        if (!heading) {
            return std::nullopt;
        }
        command.heading = *heading;
        return command;
    }
    if (const auto stop = element(*body, "STOP"); stop && trimmed(*stop) == "1") {
        command.kind = RotorCommand::Kind::Stop;
        return command;
    }
    if (const auto park = element(*body, "PARK"); park && trimmed(*park) == "1") {
        command.kind = RotorCommand::Kind::Park;
        return command;
    }
    if (const auto qra = element(*body, "QRA")) {
        const auto locator = trimmed(*qra);
        if (locator.empty() || locator.size() > 10) {
            return std::nullopt;
        }
        command.kind = RotorCommand::Kind::Locator;
        command.locator = std::string(locator);
        return command;
    }
    return std::nullopt;
}

namespace {

// A reading outside 0..360 (a rotator's -71 or 420) as the heading it points along.
long wholeUnits(double heading, double perDegree)
{
    double wrapped = std::fmod(heading, 360.0);
    if (wrapped < 0) {
        wrapped += 360;
    }
    const auto turn = std::lround(360 * perDegree);
    return std::lround(wrapped * perDegree) % turn;
}

}  // namespace

std::string n1mmPosition(const std::string& rotor, double heading)
{
    return rotor + " @ " + std::to_string(wholeUnits(heading, 10));
}

std::string pstPosition(double heading)
{
    return "AZ:" + std::to_string(wholeUnits(heading, 1)) + "\r";
}

double commandHeading(const RotorCommand& command)
{
    double heading = std::fmod(command.heading + command.offset, 360.0);
    if (heading < 0) {
        heading += 360;
    }
    if (command.bidirectional && heading >= 180) {
        heading -= 180;
    }
    return heading;
}

}  // namespace skybrant::follow
