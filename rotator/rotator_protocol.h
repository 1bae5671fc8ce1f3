#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// rotctld's plain protocol as skybrant-cli speaks it: the commands it sends
// and what it makes of each reply line, with no sockets involved.
namespace skybrant::rotctl {

// rotctld's replies are a few bytes; anything longer is not the protocol.
inline constexpr std::size_t kMaxReplyLine = 256;
// How much of a stray reply a message quotes: enough to recognise it, too
// little for a flood to fill the screen.
inline constexpr std::size_t kShownBytes = 60;

// A wait as messages give it: "2 s", "0.3 s", "1.25 s" (whole milliseconds,
// no locale in the way).
std::string secondsText(std::chrono::milliseconds time);

// "P 288.00 0.00\n": turn to a finite azimuth at elevation 0.
std::string turnCommand(double azimuthDegrees);
// "p\n": ask for the position, answered with azimuth and elevation lines.
inline constexpr std::string_view kPositionCommand = "p\n";
// Stop turning, and turn to the park position; each answered with RPRT.
inline constexpr std::string_view kStopCommand = "S\n";
inline constexpr std::string_view kParkCommand = "K\n";

// The azimuth as a message shows it: "288" for 288.00, "6.5" for 6.50.
std::string shownAzimuth(double azimuthDegrees);

enum class LineStatus {
    Complete,  // line holds the first reply line, taken off pending
    Incomplete,  // no "\n" yet; wait for more
    TooLong,  // more than kMaxReplyLine bytes before a "\n"
};
// Takes the first reply line off the front of pending, without its "\n" or
// "\r\n".
LineStatus takeLine(std::string& pending, std::string& line);

// The code of an "RPRT <code>" line; nothing for any other line.
std::optional<int> rprtCode(std::string_view line);

// "RPRT -9 (Command rejected by the rig)": the code and, for one of Hamlib's
// error codes, what it means.
std::string codeText(int code);

// What the reply to the turn says: nothing when the turn was accepted,
// otherwise the sentence for the operator. where is "HOST:PORT".
std::optional<std::string> turnRefusal(std::string_view reply, std::string_view where, double azimuthDegrees);

enum class PositionPart { Azimuth, Elevation };

struct Reading {
    std::optional<double> degrees;
    std::string problem;  // the sentence for the operator when there is no number
};
// One line of the reply to "p"; a number outside -360..720 is not a
// position.
Reading positionReading(std::string_view reply, PositionPart part, std::string_view where);

}  // namespace skybrant::rotctl
