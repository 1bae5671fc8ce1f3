#include "rotator/rotator_address.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using skybrant::rotctl::parseRotatorAddress;
using skybrant::rotctl::RotatorAddress;
using skybrant::rotctl::rotatorAddressText;
using skybrant::rotctl::shownAddress;

namespace {

TEST(RotatorAddress, ReadsHostAndPortAndExplainsBadForms)
{
    struct Case {
        std::string text;
        std::string host;  // empty: the text must be refused
        std::uint16_t port;
        std::string complaint;
    };
    const std::vector<Case> cases{
        {"127.0.0.1:4533", "127.0.0.1", 4533, ""},
        {"[::1]:4533", "::1", 4533, ""},
        {"rotor-2.example.org:1", "rotor-2.example.org", 1, ""},
        {"localhost:65535", "localhost", 65535, ""},
        {"", "", 0, "empty"},
        // Hamlib's port when none is given, as rotctl takes it.
        {"localhost", "localhost", 4533, ""},
        {"192.0.2.7", "192.0.2.7", 4533, ""},
        {"::1", "::1", 4533, ""},
        {"[::1]", "::1", 4533, ""},
        {"fe80::1%eth0", "fe80::1%eth0", 4533, ""},
        {"[fe80::1%eth0]:4534", "fe80::1%eth0", 4534, ""},
        // A bare IPv6 address is all host: its last group is not a port.
        {"::1:4533", "::1:4533", 4533, ""},
        {"localhost:", "", 0, "has no port"},
        {"[::1]:", "", 0, "has no port"},
        {"[fe80::1%]:4533", "", 0, "not an IPv6 address"},
        {"1::2::3", "", 0, "goes in brackets"},
        {"::1:4533:", "", 0, "has no port"},
        {std::string("::1\0:4533", 9), "", 0, "goes in brackets"},
        {":4533", "", 0, "has no host"},
        {"[]:4533", "", 0, "has no host"},
        {"[::1]4533", "", 0, "\":PORT\""},
        {"[::1", "", 0, "no ']'"},
        {"[rotor]:4533", "", 0, "not an IPv6 address"},
        {"host:0", "", 0, "from 1 to 65535"},
        {"host:65536", "", 0, "from 1 to 65535"},
        {"host:99999999999999999999", "", 0, "from 1 to 65535"},
        {"host:-1", "", 0, "from 1 to 65535"},
        {"host:+4533", "", 0, "from 1 to 65535"},
        {"host:0x11d5", "", 0, "from 1 to 65535"},
        {"host:4533 ", "", 0, "from 1 to 65535"},
        {"ro tor:4533", "", 0, "characters a host name cannot hold"},
        {std::string("ro\0\n\x1b:4533", 10), "", 0, R"("ro\x00\x0A\x1B:4533")"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        RotatorAddress address{"untouched", 7};
        std::string error;
        const bool parsed = parseRotatorAddress(c.text, address, error);
        if (!c.host.empty()) {
            EXPECT_TRUE(parsed) << error;
            EXPECT_EQ(address.host, c.host);
            EXPECT_EQ(address.port, c.port);
        } else {
            EXPECT_FALSE(parsed);
            EXPECT_NE(error.find(c.complaint), std::string::npos) << error;
            EXPECT_NE(error.find("HOST:PORT"), std::string::npos) << error;
            EXPECT_EQ(address.host, "untouched");
        }
    }
}

TEST(RotatorAddress, WritesTheAddressBackAsItIsTyped)
{
    struct Case {
        const char* name;
        RotatorAddress address;
        std::string text;
    };
    const std::vector<Case> cases{
        {"IPv4", {"127.0.0.1", 4533}, "127.0.0.1:4533"},
        {"name", {"rotor-2.example.org", 1}, "rotor-2.example.org:1"},
        {"IPv6 in brackets", {"::1", 65535}, "[::1]:65535"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(rotatorAddressText(c.address), c.text);
        EXPECT_EQ(shownAddress(c.address), c.text) << "short enough to show whole";
        RotatorAddress back;
        std::string error;
        ASSERT_TRUE(parseRotatorAddress(c.text, back, error)) << error;
        EXPECT_EQ(back.host, c.address.host);
        EXPECT_EQ(back.port, c.address.port);
    }
}

TEST(RotatorAddress, ALongHostIsNamedInPartAndOneTooLongIsRefused)
{
    struct Case {
        const char* name;
        std::size_t length;
        bool read;
    };
    for (const Case& c : {Case{"the longest a resolver takes", 253, true}, Case{"a byte more", 254, false},
             Case{"a flood", 100000, false}}) {
        SCOPED_TRACE(c.name);
        const std::string host(c.length, 'a');
        RotatorAddress address;
        std::string error;
        EXPECT_EQ(parseRotatorAddress(host + ":4533", address, error), c.read) << error.substr(0, 300);
        if (c.read) {
            EXPECT_EQ(shownAddress(address), "\"" + std::string(60, 'a') + "\"...");
        } else {
            EXPECT_NE(error.find("longer than the 253 a host name can have"), std::string::npos) << error;
            EXPECT_LT(error.size(), 300U);
        }
    }
}

}  // namespace
