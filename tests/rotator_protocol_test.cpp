#include "rotator/rotator_protocol.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace rotctl = skybrant::rotctl;

namespace {

TEST(RotatorProtocol, TurnCommandHasTwoPlacesAndMessagesShowTheAzimuthShort)
{
    struct Case {
        const char* name;
        double azimuth;
        std::optional<double> elevation;  // as last reported
        std::string command;
        std::string shown;
    };
    const std::vector<Case> cases{
        {"whole degrees", 288, 0.0, "P 288.00 0.00\n", "288"},
        {"a half", 6.5, 0.0, "P 6.50 0.00\n", "6.5"},
        {"rounded to two places", 288.004, 0.0, "P 288.00 0.00\n", "288"},
        {"two places kept", 12.25, 0.0, "P 12.25 0.00\n", "12.25"},
        {"zero", 0, 0.0, "P 0.00 0.00\n", "0"},
        {"negative", -71, 0.0, "P -71.00 0.00\n", "-71"},
        {"the elevation kept", 288, 45.0, "P 288.00 45.00\n", "288"},
        {"a negative elevation kept", 10, -0.25, "P 10.00 -0.25\n", "10"},
        {"no elevation known", 10, std::nullopt, "P 10.00 0.00\n", "10"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(rotctl::turnCommand(c.azimuth, c.elevation), c.command);
        EXPECT_EQ(rotctl::shownAzimuth(c.azimuth), c.shown);
    }
}

TEST(RotatorProtocol, TakesOneReplyLineAtATime)
{
    struct Case {
        const char* name;
        std::string pending;
        rotctl::LineStatus status;
        std::string line;  // when complete
        std::string left;  // not taken afterwards
    };
    const std::string longest(rotctl::kMaxReplyLine, 'A');
    const std::vector<Case> cases{
        {"one line", "RPRT 0\n", rotctl::LineStatus::Complete, "RPRT 0", ""},
        {"carriage return dropped", "1.5\r\n-0.25\r\n", rotctl::LineStatus::Complete, "1.5", "-0.25\r\n"},
        {"empty line", "\nx", rotctl::LineStatus::Complete, "", "x"},
        {"no newline yet", "RPR", rotctl::LineStatus::Incomplete, "", "RPR"},
        {"nothing yet", "", rotctl::LineStatus::Incomplete, "", ""},
        {"longest line allowed", longest + "\n", rotctl::LineStatus::Complete, longest, ""},
        {"one byte too long", longest + "A\n", rotctl::LineStatus::TooLong, "", longest + "A\n"},
        {"too long without newline", longest + "A", rotctl::LineStatus::TooLong, "", longest + "A"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        rotctl::ReplyLines replies;
        replies.append(c.pending);
        std::string line = "untouched";
        EXPECT_EQ(replies.take(line), c.status);
        EXPECT_EQ(line, c.status == rotctl::LineStatus::Complete ? c.line : "untouched");
        EXPECT_EQ(replies.rest(), c.left);
    }
}

TEST(RotatorProtocol, OneReplyHoldsAtMostItsCapOfLines)
{
    struct Case {
        const char* name;
        std::size_t lines;  // of "x\n", all arrived at once
        bool newReply;  // the next command sent after the first kMaxReplyLines
        std::size_t taken;
        rotctl::LineStatus last;
    };
    const std::size_t cap = rotctl::kMaxReplyLines;
    const Case cases[] = {
        {"Hamlib 4.5's state", 11, false, 11, rotctl::LineStatus::Incomplete},
        {"up to the cap", cap, false, cap, rotctl::LineStatus::Incomplete},
        {"a line over", cap + 1, false, cap, rotctl::LineStatus::TooManyLines},
        {"a flood", 100000, false, cap, rotctl::LineStatus::TooManyLines},
        {"the next reply counts afresh", cap + 1, true, cap + 1, rotctl::LineStatus::Incomplete},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rotctl::ReplyLines replies;
        std::string flood;
        for (std::size_t i = 0; i < c.lines; ++i) {
            flood += "x\n";
        }
        replies.append(flood);
        std::size_t taken = 0;
        std::string line;
        rotctl::LineStatus status = rotctl::LineStatus::Complete;
        while ((status = replies.take(line)) == rotctl::LineStatus::Complete) {
            ++taken;
            if (c.newReply && taken == cap) {
                replies.startReply();
            }
        }
        EXPECT_EQ(taken, c.taken);
        EXPECT_EQ(status, c.last);
        EXPECT_EQ(replies.rest().size(), (c.lines - taken) * 2);
    }
    EXPECT_EQ(rotctl::overflowText(rotctl::LineStatus::TooManyLines), "sent over 200 lines in one reply");
}

TEST(RotatorProtocol, LinesArrivingInPiecesComeOutWhole)
{
    // A reply split anywhere, and new bytes after part was taken.
    const std::string bytes = "dump_state:\nMinimum Azimuth: -180\r\nRPRT 0\n";
    for (std::size_t split = 0; split <= bytes.size(); ++split) {
        SCOPED_TRACE(split);
        rotctl::ReplyLines replies;
        std::vector<std::string> lines;
        std::string line;
        replies.append(std::string_view(bytes).substr(0, split));
        while (replies.take(line) == rotctl::LineStatus::Complete) {
            lines.push_back(line);
        }
        replies.append(std::string_view(bytes).substr(split));
        while (replies.take(line) == rotctl::LineStatus::Complete) {
            lines.push_back(line);
        }
        EXPECT_EQ(lines, (std::vector<std::string>{"dump_state:", "Minimum Azimuth: -180", "RPRT 0"}));
        EXPECT_TRUE(replies.rest().empty());
    }
}

TEST(RotatorProtocol, EveryHamlibErrorCodeIsNamed)
{
    struct Case {
        const char* name;
        int code;
        std::string text;
    };
    const std::vector<Case> cases{
        {"RIG_EINVAL", -1, "RPRT -1 (Invalid parameter)"},
        {"RIG_ERJCTED", -9, "RPRT -9 (Command rejected by the rig)"},
        {"RIG_EDOM", -17, "RPRT -17 (Argument out of domain of func)"},
        {"RIG_EDEPRECATED", -18, "RPRT -18 (Function deprecated)"},
        {"RIG_ESECURITY", -19, "RPRT -19 (Security error)"},
        {"RIG_EPOWER", -20, "RPRT -20 (Rig not powered on)"},
        {"RIG_ELIMIT", -21, "RPRT -21 (Limit exceeded)"},
        {"RIG_EACCESS", -22, "RPRT -22 (Access denied)"},
        {"past Hamlib's codes", -23, "RPRT -23"},
        {"the lowest int", INT_MIN, "RPRT -2147483648"},
        {"success", 0, "RPRT 0"},
        {"positive", 5, "RPRT 5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(rotctl::codeText(c.code), c.text);
    }
    // Each of Hamlib's codes has a meaning of its own.
    std::set<std::string> meanings;
    for (int code = -1; code >= -22; --code) {
        SCOPED_TRACE(code);
        const std::string text = rotctl::codeText(code);
        const auto open = text.find(" (");
        ASSERT_NE(open, std::string::npos) << text;
        EXPECT_TRUE(meanings.insert(text.substr(open)).second) << text;
    }
}

TEST(RotatorProtocol, RepliesAreReadOrExplained)
{
    struct Case {
        const char* name;
        std::string reply;
        std::string refusal;  // of the turn; empty when accepted
    };
    const std::vector<Case> turnCases{
        {"accepted", "RPRT 0", ""},
        {"refused with a code", "RPRT -1", "the rotator at h:1 refused azimuth 6.5: RPRT -1 (Invalid parameter)"},
        {"unknown code", "RPRT -42", "refused azimuth 6.5: RPRT -42"},
        {"not RPRT", "OK", "the rotator at h:1 answered the turn with \"OK\" instead of RPRT"},
        {"RPRT without a code", "RPRT", "answered the turn with \"RPRT\""},
        {"RPRT with more after the code", "RPRT 0 0", "answered the turn with \"RPRT 0 0\""},
        {"code with a plus", "RPRT +0", "answered the turn with \"RPRT +0\""},
    };
    for (const auto& c : turnCases) {
        SCOPED_TRACE(c.name);
        const auto refusal = rotctl::turnRefusal(c.reply, "h:1", 6.5);
        if (c.refusal.empty()) {
            EXPECT_FALSE(refusal) << *refusal;
        } else {
            ASSERT_TRUE(refusal);
            EXPECT_NE(refusal->find(c.refusal), std::string::npos) << *refusal;
        }
    }

    struct PositionCase {
        const char* name;
        std::string reply;
        rotctl::PositionPart part;
        double degrees;  // when problem is empty
        std::string problem;
    };
    using rotctl::PositionPart;
    const std::vector<PositionCase> positionCases{
        {"azimuth", "288.000000", PositionPart::Azimuth, 288, ""},
        {"negative elevation", "-0.25", PositionPart::Elevation, -0.25, ""},
        {"word", "north", PositionPart::Azimuth, 0,
            "the rotator at h:1 reported \"north\" as its azimuth, which is not a number"},
        {"decimal comma", "1,00", PositionPart::Azimuth, 0, "reported \"1,00\" as its azimuth"},
        {"not a number", "nan", PositionPart::Elevation, 0, "reported \"nan\" as its elevation"},
        {"infinity", "inf", PositionPart::Azimuth, 0, "reported \"inf\" as its azimuth"},
        {"error in place of the azimuth", "RPRT -5", PositionPart::Azimuth, 0,
            "the rotator at h:1 could not report its position: RPRT -5 (Communication timed out)"},
        {"error in place of the elevation", "RPRT -5", PositionPart::Elevation, 0,
            "reported \"RPRT -5\" as its elevation"},
        {"blank", "", PositionPart::Azimuth, 0, "reported \"\" as its azimuth"},
        {"far beyond any turn", "1e308", PositionPart::Azimuth, 0,
            "reported \"1e308\" as its azimuth, outside the protocol's -360..720"},
        {"just below the lowest", "-360.01", PositionPart::Azimuth, 0, "outside the protocol's -360..720"},
        {"lowest", "-360", PositionPart::Azimuth, -360, ""},
        {"highest", "720", PositionPart::Azimuth, 720, ""},
        {"elevation far out", "-1e6", PositionPart::Elevation, 0, "as its elevation, outside"},
    };
    for (const auto& c : positionCases) {
        SCOPED_TRACE(c.name);
        const auto reading = rotctl::positionReading(c.reply, c.part, "h:1");
        if (c.problem.empty()) {
            ASSERT_TRUE(reading.degrees) << reading.problem;
            EXPECT_EQ(*reading.degrees, c.degrees);
        } else {
            EXPECT_FALSE(reading.degrees);
            EXPECT_NE(reading.problem.find(c.problem), std::string::npos) << reading.problem;
        }
    }
}

}  // namespace
