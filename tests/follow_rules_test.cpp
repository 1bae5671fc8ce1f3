// When following turns the antenna: a change of call or grid, the
// threshold, the interval, manual commands and park; and the spread of
// headings a square covers.

#include "core/heading_spread.h"
#include "core/locator.h"
#include "follow/follow_rules.h"
#include "follow/followed_station.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using namespace skybrant;
using namespace skybrant::follow;
using Kind = Decision::Kind;
using std::chrono::seconds;

TEST(FollowRules, HeadingDifferenceIsTheShortWayRound)
{
    EXPECT_DOUBLE_EQ(headingDifference(350, 10), 20);
    EXPECT_DOUBLE_EQ(headingDifference(10, 350), 20);
    EXPECT_DOUBLE_EQ(headingDifference(0, 180), 180);
    EXPECT_DOUBLE_EQ(headingDifference(-71, 289), 0);
}

// One pick after another, each with the decision it should get.
struct Step {
    const char* what;
    enum { Pick, Manual, Park, Resume, Due, NotTurned } action;
    int atSecond;
    std::string call{};
    std::string grid{};
    double heading = 0;
    Kind kind = Kind::Repeated;
    std::string text{};
};

void run(FollowRules& rules, const std::vector<Step>& steps)
{
    const Clock::time_point start{};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        const auto now = start + seconds(step.atSecond);
        switch (step.action) {
        case Step::Pick: {
            const Decision d = rules.offer(step.call, step.grid, step.heading, now);
            EXPECT_EQ(d.kind, step.kind);
            EXPECT_EQ(d.text, step.text);
            break;
        }
        case Step::Due: {
            const auto d = rules.due(now);
            ASSERT_EQ(d.has_value(), !step.text.empty());
            if (d) {
                EXPECT_EQ(d->kind, step.kind);
                EXPECT_EQ(d->text, step.text);
            }
            break;
        }
        case Step::Manual:
            rules.manual();
            break;
        case Step::Park:
            rules.park();
            break;
        case Step::Resume:
            rules.resume();
            break;
        case Step::NotTurned:
            rules.notTurned();
            break;
        }
    }
}

TEST(FollowRules, TurnsOnceForEachNewPickBeyondTheThreshold)
{
    FollowRules rules;
    run(rules,
        {
            {"first pick", Step::Pick, 0, "K1ABC", "FN42", 288.6, Kind::Turn, "turn to 289\u00b0"},
            {"same pair again", Step::Pick, 15, "K1ABC", "FN42", 288.6, Kind::Repeated, ""},
            {"2 degrees away", Step::Pick, 30, "W1AW", "FN31", 290.6, Kind::Ignored,
                "ignored: 2\u00b0 from the antenna"},
            {"exactly the threshold", Step::Pick, 45, "W1XYZ", "FN30", 293.6, Kind::Ignored,
                "ignored: 5\u00b0 from the antenna"},
            {"across north, 20 degrees", Step::Pick, 60, "VE1AA", "FN65", 268.6, Kind::Turn, "turn to 269\u00b0"},
            {"within the interval", Step::Pick, 64, "VK2ABC", "QF56", 60, Kind::Waiting, "waiting 6 s"},
            {"not due yet", Step::Due, 69, "", "", 0, Kind::Turn, ""},
            {"due", Step::Due, 70, "", "", 0, Kind::Turn, "turn to 60\u00b0"},
            {"nothing waits after", Step::Due, 90, "", "", 0, Kind::Turn, ""},
        });
}

TEST(FollowRules, ManualCommandsPauseAndParkStops)
{
    FollowRules rules;
    run(rules,
        {
            {"first pick", Step::Pick, 0, "K1ABC", "FN42", 289, Kind::Turn, "turn to 289\u00b0"},
            {"a pick waiting", Step::Pick, 2, "VK2ABC", "QF56", 60, Kind::Waiting, "waiting 8 s"},
            {"operator turns by hand", Step::Manual, 3},
            {"the waiting pick is dropped", Step::Due, 20, "", "", 0, Kind::Turn, ""},
            {"same call, new grid", Step::Pick, 30, "VK2ABC", "QF57", 61, Kind::Paused,
                "paused by a manual command until a new call"},
            {"a new call resumes", Step::Pick, 40, "ZS6ABC", "KG44", 160, Kind::Turn, "turn to 160\u00b0"},
            {"park", Step::Park, 50},
            {"stopped", Step::Pick, 60, "JA1ABC", "PM95", 30, Kind::Stopped, "following stopped by park"},
            {"resumed", Step::Resume, 61},
            {"follows again", Step::Pick, 70, "PY1ABC", "GG87", 230, Kind::Turn, "turn to 230\u00b0"},
        });
}

TEST(FollowRules, ATurnRefusedOnTheWayIsNotCountedAsMade)
{
    FollowRules rules;
    run(rules,
        {
            {"first pick", Step::Pick, 0, "K1ABC", "FN42", 289, Kind::Turn, "turn to 289°"},
            {"a second pick", Step::Pick, 20, "VK2ABC", "QF56", 60, Kind::Turn, "turn to 60°"},
            {"the rotator refuses it", Step::NotTurned, 20},
            // The antenna is still at 289 and no turn was made at 20 s.
            {"the same pick again is tried again", Step::Pick, 21, "VK2ABC", "QF56", 60, Kind::Turn, "turn to 60°"},
            {"refused again", Step::NotTurned, 21},
            {"near where the antenna really is", Step::Pick, 22, "W1AW", "FN31", 291, Kind::Ignored,
                "ignored: 2° from the antenna"},
        });
}

TEST(FollowRules, ModesAndLongPath)
{
    FollowRules show({.mode = FollowMode::Show});
    run(show, {{"show only", Step::Pick, 0, "K1ABC", "FN42", 289, Kind::Show, "show only: 289\u00b0"}});
    FollowRules off({.mode = FollowMode::Off});
    run(off, {{"off", Step::Pick, 0, "K1ABC", "FN42", 289, Kind::Off, "following is off"}});
    FollowRules longPath({.longPath = true});
    run(longPath, {{"the other way", Step::Pick, 0, "K1ABC", "FN42", 289, Kind::Turn, "turn to 109\u00b0"}});
    FollowRules quick({.thresholdDegrees = 1, .interval = seconds(0)});
    run(quick,
        {
            {"first", Step::Pick, 0, "K1ABC", "FN42", 289, Kind::Turn, "turn to 289\u00b0"},
            {"2 degrees is enough", Step::Pick, 0, "W1AW", "FN31", 291, Kind::Turn, "turn to 291\u00b0"},
        });
    FollowRules noHeading;
    EXPECT_EQ(noHeading.offer("G4ABC", "JO01", std::nullopt, {}).text, "ignored: no heading to this station");
}

TEST(FollowedStation, GridWinsOverTheCall)
{
    EXPECT_EQ(stationText("K1ABC", "FN42"), "FN42");
    EXPECT_EQ(stationText("K1ABC", ""), "@K1ABC");
    EXPECT_EQ(stationText("", ""), "");
    EXPECT_EQ(shownField("K1ABC\x1b[2J"), "K1ABC?[2J");
}

TEST(HeadingSpread, ASquareSpansTheHeadingsOverItsEdges)
{
    Position own;
    std::string error;
    ASSERT_TRUE(parseLocator("JO01mm", own, error));
    const struct {
        const char* square;
        long first;
        long last;
    } cases[] = {{"JO02", 307, 51}, {"FN42", 288, 290}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.square);
        const auto spread = squareHeadingSpread(own, c.square);
        ASSERT_TRUE(spread.has_value());
        EXPECT_EQ(std::lround(spread->first), c.first);
        EXPECT_EQ(std::lround(spread->last), c.last);
    }
    EXPECT_FALSE(squareHeadingSpread(own, "JO01").has_value()) << "standing within the square";
    EXPECT_FALSE(squareHeadingSpread(own, "ZZ99").has_value()) << "not a locator";
}

}  // namespace
