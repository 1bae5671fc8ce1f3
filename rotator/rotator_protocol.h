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

// "P 288.00 45.00\n": turn to a finite azimuth, the elevation kept where
// the rotator last reported it (an az/el rotator would otherwise drop its
// antenna), 0 when no report is known.
std::string turnCommand(double azimuthDegrees, std::optional<double> elevationDegrees);
// "p\n": ask for the position, answered with azimuth and elevation lines.
inline constexpr std::string_view kPositionCommand = "p\n";
// Stop turning, and turn to the park position; each answered with RPRT.
inline constexpr std::string_view kStopCommand = "S\n";
inline constexpr std::string_view kParkCommand = "K\n";

// The azimuth as a message shows it: "288" for 288.00, "6.5" for 6.50.
std::string shownAzimuth(double azimuthDegrees);

// One reply is a few lines (Hamlib 4.5's "+\dump_state" is 11); these caps
// leave room for newer versions and bound what a flooding daemon costs.
inline constexpr std::size_t kMaxReplyLines = 200;
inline constexpr std::size_t kMaxReplyBytes = std::size_t{64} * 1024;
// So the line caps alone keep a reply within its bytes.
static_assert(kMaxReplyLines * (kMaxReplyLine + 1) <= kMaxReplyBytes);

enum class LineStatus {
    Complete,  // line holds the next reply line
    Incomplete,  // no "\n" yet; wait for more
    TooLong,  // more than kMaxReplyLine bytes before a "\n"
    TooManyLines,  // the reply would go past kMaxReplyLines lines
};

// What the daemon sent, taken a line at a time by offset, so that a flood
// of short lines costs time in proportion to its size, and counted against
// the caps of one reply.
class ReplyLines {
public:
    void append(std::string_view bytes);
    // Counts the lines and bytes of the next reply afresh.
    void startReply() { lines_ = 0; }
    // Takes the next line without its "\n" or "\r\n"; on anything but
    // Complete, line and the buffer are left as they were.
    LineStatus take(std::string& line);
    // What has not been taken yet.
    std::string_view rest() const { return std::string_view(buffer_).substr(offset_); }
    void clear();

private:
    std::string buffer_;
    std::size_t offset_ = 0;
    std::size_t lines_ = 0;
};

// "sent a line of over 256 bytes", "sent over 200 lines in one reply":
// what a status other than Complete or Incomplete says of the daemon.
std::string overflowText(LineStatus status);

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
    // The daemon's error code in place of the azimuth: it cannot tell.
    std::optional<int> refusal;
};
// One line of the reply to "p"; a number outside -360..720 is not a
// position.
Reading positionReading(std::string_view reply, PositionPart part, std::string_view where);

}  // namespace skybrant::rotctl
