#include "telnet_bytes.h"

namespace skybrant::cluster {

namespace {

constexpr unsigned char kIac = 255;
constexpr unsigned char kSe = 240;
constexpr unsigned char kSb = 250;
constexpr unsigned char kWill = 251;
constexpr unsigned char kDont = 254;

}  // namespace

bool TelnetBytes::isText(unsigned char c)
{
    switch (state_) {
    case State::Text:
        if (c == kIac) {
            state_ = State::Command;
            return false;
        }
        return true;
    case State::Command:
        if (c == kIac) {
            state_ = State::Text;
            return true;
        }
        state_ = c == kSb ? State::Sub : (c >= kWill && c <= kDont ? State::Option : State::Text);
        return false;
    case State::Option:
        state_ = State::Text;
        return false;
    case State::Sub:
        state_ = c == kIac ? State::SubCommand : State::Sub;
        return false;
    case State::SubCommand:
        // IAC IAC is a byte of the sub-negotiation; IAC SE ends it.
        state_ = c == kSe ? State::Text : State::Sub;
        return false;
    }
    return false;
}

}  // namespace skybrant::cluster
