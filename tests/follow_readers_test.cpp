// The datagram readers of the programs followed: what each takes, what it
// lets pass quietly, and what it refuses.

#include "follow/js8call_message.h"
#include "follow/rotor_command.h"
#include "follow/wsjtx_message.h"
#include "wsjtx_fake.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

using namespace skybrant;
using namespace skybrant::follow;
using fake::bytesOf;

struct WsjtxCase {
    const char* name;
    std::string datagram;
    bool read;  // a message of the protocol at all
    std::uint32_t type;
    std::optional<std::string> call;
    std::optional<std::string> grid;
};

TEST(WsjtxReader, ReadsStatusAndLetsOthersPass)
{
    const std::string status = fake::status("VK2ABC", "QF56").text();
    std::string badMagic = status;
    badMagic[0] = '\0';
    const WsjtxCase cases[] = {
        {"WSJT-X's whole Status", status, true, 1, "VK2ABC", "QF56"},
        {"JTDX's Status, other fields after the grid", fake::jtdxStatus("K1ABC", "FN42").text(), true, 1, "K1ABC",
            "FN42"},
        {"Status ending right after the grid", fake::statusUpToGrid("W1AW", "").text(), true, 1, "W1AW", ""},
        {"Status with null call and grid",
            fake::WsjtxDatagram(1)
                .number(0, 8)
                .utf8("FT8")
                .null()
                .utf8("")
                .utf8("FT8")
                .flag(false)
                .flag(false)
                .flag(false)
                .u32(0)
                .u32(0)
                .utf8("G4ABC")
                .utf8("JO01")
                .null()
                .text(),
            true, 1, "", ""},
        {"Status cut inside the grid", status.substr(0, fake::statusUpToGrid("VK2ABC", "QF56").text().size() - 1), true,
            1, std::nullopt, std::nullopt},
        {"Status cut after its id", fake::WsjtxDatagram(1).text(), true, 1, std::nullopt, std::nullopt},
        {"schema 2", fake::WsjtxDatagram(0, "WSJT-X", 2).text(), true, 0, std::nullopt, std::nullopt},
        {"Heartbeat", fake::heartbeat().text(), true, 0, std::nullopt, std::nullopt},
        {"Decode", fake::decode("CQ VK2ABC QF56").text(), true, 2, std::nullopt, std::nullopt},
        {"Close", fake::close().text(), true, 6, std::nullopt, std::nullopt},
        {"a type of the future", fake::WsjtxDatagram(99).utf8("anything").text(), true, 99, std::nullopt, std::nullopt},
        {"schema 1", fake::WsjtxDatagram(1, "WSJT-X", 1).text(), false, 0, std::nullopt, std::nullopt},
        {"wrong magic", badMagic, false, 0, std::nullopt, std::nullopt},
        {"cut inside the id", status.substr(0, 14), false, 0, std::nullopt, std::nullopt},
        {"id longer than the datagram",
            fake::WsjtxDatagram(0, "").text().substr(0, 12) + std::string("\x7f\xff\xff\xff", 4), false, 0,
            std::nullopt, std::nullopt},
        {"empty", "", false, 0, std::nullopt, std::nullopt},
        {"over 64 KiB", status + std::string(kMaxDatagram, 'x'), false, 0, std::nullopt, std::nullopt},
    };
    for (const WsjtxCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto message = readWsjtx(bytesOf(c.datagram));
        ASSERT_EQ(message.has_value(), c.read);
        if (!message) {
            continue;
        }
        EXPECT_EQ(message->type, c.type);
        EXPECT_EQ(message->dxCall, c.call);
        EXPECT_EQ(message->dxGrid, c.grid);
    }
}

struct Js8Case {
    const char* name;
    std::string datagram;
    std::optional<Js8Message::Kind> kind;
    std::string call;
    std::string grid;
};

TEST(Js8callReader, ReadsStatusAndSpots)
{
    using Kind = Js8Message::Kind;
    const Js8Case cases[] = {
        {"selected call",
            R"({"type":"STATION.STATUS","value":"","params":{"DIAL":14078000,"FREQ":14079500,"OFFSET":1500,)"
            R"("SELECTED":"vk2abc","SPEED":0,"_ID":-1}})",
            Kind::Status, "VK2ABC", ""},
        {"nothing selected", R"({"type":"STATION.STATUS","params":{"SELECTED":""}})", Kind::Status, "", ""},
        {"spot with its grid, blank before it",
            R"({"type":"RX.SPOT","value":"","params":{"CALL":"K1ABC","GRID":" FN42","SNR":-5}})", Kind::Spot, "K1ABC",
            "FN42"},
        {"spot without a grid", R"({"type":"RX.SPOT","params":{"CALL":"K1ABC"}})", Kind::Spot, "K1ABC", ""},
        {"grid not a string", R"({"type":"RX.SPOT","params":{"CALL":"K1ABC","GRID":5}})", Kind::Spot, "K1ABC", ""},
        {"another type", R"({"type":"RX.ACTIVITY","params":{}})", Kind::Other, "", ""},
        {"no params", R"({"type":"STATION.STATUS"})", Kind::Status, "", ""},
        {"type not a string", R"({"type":5})", std::nullopt, "", ""},
        {"an array", R"([1,2])", std::nullopt, "", ""},
        {"not JSON", "STATION.STATUS", std::nullopt, "", ""},
        {"cut short", R"({"type":"RX.SPOT","params":{"CALL":"K1)", std::nullopt, "", ""},
        {"deeply nested", std::string(20000, '[') + std::string(20000, ']'), std::nullopt, "", ""},
    };
    for (const Js8Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto message = readJs8call(bytesOf(c.datagram));
        ASSERT_EQ(message.has_value(), c.kind.has_value());
        if (!message) {
            continue;
        }
        EXPECT_EQ(message->kind, *c.kind);
        EXPECT_EQ(message->call, c.call);
        EXPECT_EQ(message->grid, c.grid);
    }
}

TEST(Js8callReader, SpotsKeepTheLastGridOfEachCallWithinTheirBound)
{
    Js8Spots spots;
    spots.take({Js8Message::Kind::Spot, "K1ABC", "FN42"});
    spots.take({Js8Message::Kind::Spot, "K1ABC", "FN31"});
    spots.take({Js8Message::Kind::Spot, "K1ABC", ""});
    EXPECT_EQ(spots.gridOf("K1ABC"), "FN31");
    EXPECT_EQ(spots.gridOf("W1AW"), "");
    for (std::size_t i = 0; i < 3 * Js8Spots::kMaxSpots; ++i) {
        spots.take({Js8Message::Kind::Spot, "X" + std::to_string(i), "JO01"});
    }
    EXPECT_EQ(spots.gridOf("K1ABC"), "");
    EXPECT_EQ(spots.gridOf("X" + std::to_string(3 * Js8Spots::kMaxSpots - 1)), "JO01");
}

struct RotorCase {
    const char* name;
    std::string datagram;
    std::optional<RotorCommand::Kind> kind;
    double heading = 0;  // commandHeading's
    std::string rotor{};
    std::string locator{};
};

TEST(RotorCommands, ReadN1mmAndPstRotator)
{
    using Kind = RotorCommand::Kind;
    const RotorCase n1mm[] = {
        {"turn",
            "<N1MMRotor><rotor>Beam</rotor><goazi>55.0</goazi><offset>0.0</offset>"
            "<bidirectional>0</bidirectional><freqband>14</freqband></N1MMRotor>",
            Kind::Turn, 55, "Beam"},
        {"with an XML declaration and an offset",
            "<?xml version=\"1.0\"?>\r\n<N1MMRotor><rotor>Tower 2</rotor><goazi>350</goazi><offset>20"
            "</offset></N1MMRotor>",
            Kind::Turn, 10, "Tower 2"},
        {"bidirectional, the end within 0..180",
            "<N1MMRotor><rotor>Dipole</rotor><goazi>290</goazi><bidirectional>1</bidirectional></N1MMRotor>",
            Kind::Turn, 110, "Dipole"},
        {"stop", "<N1MMRotor><stop><rotor>Beam</rotor><freqband>14</freqband></stop></N1MMRotor>", Kind::Stop, 0,
            "Beam"},
        {"heading past 360", "<N1MMRotor><rotor>Beam</rotor><goazi>361</goazi></N1MMRotor>", std::nullopt},
        {"heading not a number", "<N1MMRotor><rotor>Beam</rotor><goazi>nan</goazi></N1MMRotor>", std::nullopt},
        {"no heading", "<N1MMRotor><rotor>Beam</rotor></N1MMRotor>", std::nullopt},
        {"flag not 0 or 1", "<N1MMRotor><rotor>B</rotor><goazi>5</goazi><bidirectional>2</bidirectional></N1MMRotor>",
            std::nullopt},
        {"rotor name with a control character", "<N1MMRotor><rotor>B\x1b[2J</rotor><goazi>5</goazi></N1MMRotor>",
            std::nullopt},
        {"unclosed", "<N1MMRotor><rotor>Beam</rotor><goazi>55</goazi>", std::nullopt},
        {"PstRotator's text", "<PST><AZIMUTH>55</AZIMUTH></PST>", std::nullopt},
    };
    for (const RotorCase& c : n1mm) {
        SCOPED_TRACE(c.name);
        const auto command = readN1mm(bytesOf(c.datagram));
        ASSERT_EQ(command.has_value(), c.kind.has_value());
        if (command) {
            EXPECT_EQ(command->kind, *c.kind);
            EXPECT_DOUBLE_EQ(commandHeading(*command), c.heading);
            EXPECT_EQ(command->rotor, c.rotor);
        }
    }
    const RotorCase pst[] = {
        {"azimuth", "<PST><AZIMUTH>123.4</AZIMUTH></PST>", Kind::Turn, 123.4},
        {"stop", "<PST><STOP>1</STOP></PST>", Kind::Stop},
        {"park", "<PST><PARK>1</PARK></PST>", Kind::Park},
        {"locator", "<PST><QRA>JO31jg</QRA></PST>", Kind::Locator, 0, "", "JO31jg"},
        {"ask", "<PST>AZ?</PST>", Kind::Ask},
        {"ask with a line end", "<PST>AZ?</PST>\r\n", Kind::Ask},
        {"stop 0 asks nothing", "<PST><STOP>0</STOP></PST>", std::nullopt},
        {"azimuth below 0", "<PST><AZIMUTH>-5</AZIMUTH></PST>", std::nullopt},
        {"azimuth empty", "<PST><AZIMUTH></AZIMUTH></PST>", std::nullopt},
        {"empty locator", "<PST><QRA> </QRA></PST>", std::nullopt},
        {"other element", "<PST><ELEVATION>10</ELEVATION></PST>", std::nullopt},
        {"N1MM's text", "<N1MMRotor><rotor>B</rotor><goazi>5</goazi></N1MMRotor>", std::nullopt},
    };
    for (const RotorCase& c : pst) {
        SCOPED_TRACE(c.name);
        const auto command = readPst(bytesOf(c.datagram));
        ASSERT_EQ(command.has_value(), c.kind.has_value());
        if (command) {
            EXPECT_EQ(command->kind, *c.kind);
            EXPECT_DOUBLE_EQ(commandHeading(*command), c.heading);
            EXPECT_EQ(command->locator, c.locator);
        }
    }
}

TEST(RotorCommands, PositionReportsInTheLoggersWords)
{
    const struct {
        double heading;
        const char* n1mm;
        const char* pst;
    } cases[] = {
        {146, "Beam @ 1460", "AZ:146\r"},
        {146.04, "Beam @ 1460", "AZ:146\r"},
        {0, "Beam @ 0", "AZ:0\r"},
        {359.99, "Beam @ 0", "AZ:0\r"},
        {-71, "Beam @ 2890", "AZ:289\r"},
        {420, "Beam @ 600", "AZ:60\r"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.heading);
        EXPECT_EQ(n1mmPosition("Beam", c.heading), c.n1mm);
        EXPECT_EQ(pstPosition(c.heading), c.pst);
    }
}

}  // namespace
