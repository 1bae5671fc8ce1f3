#pragma once
// The rows of skybrant-cli's option table for what reaches out of the
// program: a rotator to turn, and another program to follow.

#include "option_help.h"

#include <array>

namespace skybrant::cli {

inline constexpr std::array kReachingOptionRows{
    OptionHelp{.name = "rotate",
        .kind = ValueKind::Address,
        .valueName = "host[:port]",
        .conflicts = "batch",
        .conflictsWhy = "turns to one pair's heading",
        .help = "Turn the rotator of a Hamlib rotctld at this address (port 4533 when none is given) to the beam "
                "heading: --rotate localhost, --rotate [::1]:4533.",
        .manDetails = "The figures are computed first; then the rotator of the\n"
                      ".BR rotctld (1)\n"
                      "listening there is turned to the beam heading from the own station (the\n"
                      "long-path heading with\n"
                      ".BR \\-\\-long-path ),\n"
                      "keeping the elevation the rotator reports.\n"
                      "The daemon is asked for its azimuth range and position first, and the\n"
                      "azimuth sent is the one within that range that points the same way and\n"
                      "turns the least: 289 is sent as \\-71 to a rotator limited to \\-180..180,\n"
                      "and a heading shown as 360 as 0.\n"
                      "When the daemon cannot tell its range, 0..360 is taken, the heading sent\n"
                      "as it is, and a note says so.\n"
                      "Without\n"
                      ".B \\-\\-wait\n"
                      "the program ends once the turn has started.\n"
                      "An IPv6 address goes in brackets.\n"
                      "No other address is ever contacted."},
    OptionHelp{.name = "timeout",
        .kind = ValueKind::Seconds,
        .valueName = "seconds",
        .defaultValue = "2",
        .needs = "rotate",
        .needsWhy = "is the wait for the rotator",
        .help = "Seconds to wait for the rotator once its name is looked up, at most 3600 (default 2): --timeout 5.",
        .manDetails = "The wait covers the whole exchange once a host name has been looked up\n"
                      "(the system's resolver keeps its own time limits); the value is above 0:\n"
                      ".BR \"\\-\\-rotate [::1]:4533 \\-\\-timeout 5\" .\n"
                      "With\n"
                      ".BR \\-\\-wait ,\n"
                      "each reading of the position has this long again."},
    OptionHelp{.name = "min-az",
        .kind = ValueKind::Degrees,
        .valueName = "degrees",
        .needs = "rotate",
        .needsWhy = "limits the rotator",
        .help = "The lowest azimuth the rotator turns to, in place of what its daemon says: --min-az -180.",
        .manDetails = "With\n"
                      ".BR \\-\\-max-az ,\n"
                      "the daemon is not asked at all:\n"
                      ".BR \"\\-\\-rotate localhost:4533 \\-\\-min-az 0 \\-\\-max-az 450\" ."},
    OptionHelp{.name = "max-az",
        .kind = ValueKind::Degrees,
        .valueName = "degrees",
        .needs = "rotate",
        .needsWhy = "limits the rotator",
        .help = "The highest azimuth the rotator turns to, in place of what its daemon says: --max-az 450.",
        .manDetails = "Both limits are from {lowest-azimuth} to {highest-azimuth}."},
    OptionHelp{.name = "offset",
        .kind = ValueKind::Offset,
        .valueName = "degrees",
        .needs = "rotate",
        .needsWhy = "is the rotator's",
        .help = "What the rotator reads with the antenna pointing north, from -180 to 180 to a tenth of a degree, in "
                "place of the mast offset the map window saved: --offset -12.5.",
        .manDetails = "The azimuth sent is the beam heading plus the offset.\n"
                      "Without this option the offset saved by the map window's rotator panel is\n"
                      "applied (none saved is 0); a saved offset that cannot be read stops the\n"
                      "turn before the rotator is asked, naming the file:\n"
                      ".BR \"\\-\\-rotate localhost:4533 \\-\\-offset 0\" ."},
    OptionHelp{.name = "wait",
        .needs = "rotate",
        .needsWhy = "waits for the rotator",
        .help = "Wait until the rotator is within {arrived-degrees} degrees of the azimuth sent, stands still short of "
                "it, or the "
                "--wait-timeout ends.",
        .manDetails = "The position is read twice a second; on a terminal a line on the error\n"
                      "stream shows it as it changes.\n"
                      "Standing still for 5 s short of the azimuth ends the wait with status 5,\n"
                      "the wait running out with status 4; the rotator is left to carry on.\n"
                      "The last position read is reported either way:\n"
                      ".BR \"\\-\\-rotate localhost:4533 \\-\\-wait\" ."},
    OptionHelp{.name = "wait-timeout",
        .kind = ValueKind::Seconds,
        .valueName = "seconds",
        .defaultValue = "120",
        .needs = "wait",
        .needsWhy = "is how long --wait waits",
        .help = "How long --wait waits for the rotator to arrive, at most 3600 (default 120): --wait-timeout 300.",
        .manDetails = "Counted from when the rotator accepts the turn."},
    OptionHelp{.name = "follow",
        .kind = ValueKind::Program,
        .valueName = "wsjtx|js8call|n1mm|pst",
        .conflicts = "batch",
        .conflictsWhy = "listens for another program until interrupted",
        .help = "Follow another program until interrupted (Ctrl+C): the station picked in WSJT-X or JTDX (wsjtx) or "
                "JS8Call (js8call), or the rotor commands of N1MM Logger+ (n1mm) or of a logger speaking PstRotator's "
                "protocol (pst); one line per event, with --rotate turning the rotator.",
        .manDetails = "The own station comes from\n"
                      ".B \\-\\-from\n"
                      "or the one the window saved.\n"
                      "WSJT-X and JTDX send their Status messages to UDP 127.0.0.1:2237 by default\n"
                      "(Settings, Reporting, UDP Server); the DX call and DX grid picked there are\n"
                      "followed, the grid placing the station (a 4-character square also shows the\n"
                      "headings its edges span), the country file when there is no grid.\n"
                      "JS8Call's UDP API (port 2242) names the selected call; its grid is the one\n"
                      "last spotted with it.\n"
                      "A turn is made only when the call or grid changes, the new heading is more\n"
                      "than 5 degrees (the short way round) from where the antenna was turned, and\n"
                      "10 s have passed since the last turn; a pick within them waits for their end.\n"
                      "N1MM Logger+ sends its rotor commands to UDP 12040 and gets the position back\n"
                      "on UDP 13010 of its host, as\n"
                      ".BR \"Beam @ 1460\" ;\n"
                      "a logger using PstRotator's protocol sends to UDP 12000 and gets\n"
                      ".B AZ:146\n"
                      "back on the next port.\n"
                      "SIGINT or SIGTERM end the run with status 0:\n"
                      ".BR \"skybrant\\-cli \\-\\-follow wsjtx \\-\\-from JO01mm \\-\\-rotate localhost\" ."},
    OptionHelp{.name = "listen",
        .kind = ValueKind::Endpoint,
        .valueName = "address:port",
        .needs = "follow",
        .needsWhy = "is where --follow listens",
        .help = "Where --follow listens, in place of the program's own loopback port: --listen 239.255.0.1:2237 "
                "joins that multicast group on the loopback interface.",
        .manDetails = "A unicast port is taken by one listener alone: a second program listening\n"
                      "there silently gets some of the datagrams. Give WSJT-X a multicast group\n"
                      "(such as 239.255.0.1), which every listener receives, or keep its port and\n"
                      "pass the datagrams on with\n"
                      ".BR \\-\\-forward ."},
    OptionHelp{.name = "forward",
        .kind = ValueKind::Endpoint,
        .valueName = "address:port",
        .needs = "follow",
        .needsWhy = "passes on what --follow receives",
        .help = "Send every datagram taken on, byte for byte, to this address too, such as a logger's: "
                "--forward 127.0.0.1:2238; may be given more than once.",
        .repeatable = true},
    OptionHelp{.name = "allow",
        .kind = ValueKind::Host,
        .valueName = "address",
        .needs = "follow",
        .needsWhy = "names a sender --follow takes",
        .help = "Take datagrams from this address too (only loopback is taken otherwise): --allow 192.168.1.20; may "
                "be given more than once.",
        .manDetails = "Each sender refused is named once on standard error.",
        .repeatable = true},
};

}  // namespace skybrant::cli
