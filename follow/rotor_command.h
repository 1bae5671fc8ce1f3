#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>

// The rotor datagrams loggers send to the program that turns their antenna:
// N1MM Logger+'s <N1MMRotor> XML and PstRotator's <PST> commands, and the
// position reports each expects back.
namespace skybrant::follow {

struct RotorCommand {
    enum class Kind {
        Turn,  // to heading (degrees, plus offset)
        Stop,
        Park,
        Locator,  // to the beam heading of locator
        Ask,  // PstRotator's AZ?: report the position
    };
    Kind kind = Kind::Turn;
    std::string rotor;  // N1MM's rotor name, kept for the report
    double heading = 0;  // 0..360
    double offset = 0;  // N1MM's offset of this antenna, -360..360
    // N1MM's bidirectional antenna: either end of the beam serves.
    bool bidirectional = false;
    std::string locator;
};

// <N1MMRotor><rotor>NAME</rotor><goazi>55.0</goazi><offset>0.0</offset>
// <bidirectional>0</bidirectional>...</N1MMRotor> to turn, and <N1MMRotor>
// <stop><rotor>NAME</rotor></stop></N1MMRotor> to stop. Nothing for any
// other text, a heading outside 0..360 or a number that is not one.
std::optional<RotorCommand> readN1mm(std::span<const std::byte> datagram);

// <PST><AZIMUTH>123.4</AZIMUTH></PST>, <PST><STOP>1</STOP></PST>,
// <PST><PARK>1</PARK></PST>, <PST><QRA>JO31jg</QRA></PST>, <PST>AZ?</PST>.
std::optional<RotorCommand> readPst(std::span<const std::byte> datagram);

// N1MM's position report, as its own rotor program sends it: "Beam @ 1460"
// for 146 degrees (tenths of a degree, whole).
std::string n1mmPosition(const std::string& rotor, double heading);

// PstRotator's answer to AZ?: "AZ:123\r".
std::string pstPosition(double heading);

// The heading a command asks the antenna to point along, 0 up to 360: the
// heading plus the offset, and for a bidirectional antenna the end of the
// beam within 0 up to 180.
double commandHeading(const RotorCommand& command);

}  // namespace skybrant::follow
