#pragma once

namespace skybrant::cluster {

// Telnet's commands taken out of what a cluster sends, so that only its
// text is read: IAC with a command (and the option of WILL to DONT), a
// sub-negotiation from IAC SB to IAC SE whole, and IAC IAC as the byte 255.
class TelnetBytes {
public:
    // Whether c is text; false for a byte of a command.
    bool isText(unsigned char c);
    // A new connection starts outside any command.
    void reset() { state_ = State::Text; }

private:
    enum class State { Text, Command, Option, Sub, SubCommand };
    State state_ = State::Text;
};

}  // namespace skybrant::cluster
