// The aiming model and the antenna's policy without any widget: requests
// from several sources, the notifications they give, and the status lines
// worked out from the antenna's state.

#include "aim/aiming_model.h"
#include "aim/antenna.h"
#include "aim/station_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using namespace skybrant;
using namespace skybrant::aim;
using rotctl::AzimuthRange;

TEST(AntennaPolicy, SendsTheEquivalentAzimuthThatTurnsTheLeast)
{
    struct Case {
        const char* name;
        std::optional<AzimuthRange> range;  // the daemon's; none while it has not said
        double offset;
        std::optional<double> at;  // the rotator's reading
        double heading;  // as shown
        std::optional<double> sent;
    };
    const Case cases[] = {
        {"plain turn", AzimuthRange{0, 360}, 0, 10, 288, 288},
        {"north shown as 360 is sent as 0", AzimuthRange{0, 360}, 0, 100, 360, 0},
        {"west in -180..180 goes the short way", AzimuthRange{-180, 180}, 0, 0, 270, -90},
        {"east in -180..180", AzimuthRange{-180, 180}, 0, 0, 90, 90},
        {"0..450 from 400 keeps past north", AzimuthRange{0, 450}, 0, 400, 10, 370},
        {"0..450 from 20 stays low", AzimuthRange{0, 450}, 0, 20, 10, 10},
        {"offset added to what is sent", AzimuthRange{0, 360}, 0 + 15, 0, 100, 115},
        {"offset wraps past north", AzimuthRange{0, 360}, 20, 0, 350, 10},
        {"offset in -180..180", AzimuthRange{-180, 180}, -10, 0, 5, -5},
        {"no reading: from the middle", AzimuthRange{0, 450}, 0, std::nullopt, 45, 45},
        {"outside a narrow range", AzimuthRange{0, 90}, 0, 0, 180, std::nullopt},
        // Until the daemon says, any rotator takes 0 up to 360, never 360 itself.
        {"no range yet: north as 0 from 350", std::nullopt, 0, 350, 360, 0},
        {"no range yet: the plain azimuth", std::nullopt, 20, 0, 350, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Antenna aim;
        aim.setDaemonRange(c.range);
        aim.setOffset(c.offset);
        aim.setAzimuth(c.at);
        std::string problem;
        const auto sent = aim.azimuthFor(c.heading, problem);
        ASSERT_EQ(sent.has_value(), c.sent.has_value()) << problem;
        if (c.sent) {
            EXPECT_NEAR(*sent, *c.sent, 1e-9);
            EXPECT_TRUE(problem.empty());
        } else {
            EXPECT_EQ(problem, "the rotator cannot reach 180\u00b0 (azimuth 180): its range is 0..90");
        }
    }
}

// Each status line is worked out from the antenna as it is now, so none
// contradicts the reading beside it.
TEST(AntennaPolicy, StatusFollowsTheAntennaNotWhatWasLastSaid)
{
    Antenna aim;
    EXPECT_EQ(aim.range().max, 360);
    EXPECT_EQ(aim.rangeSource(), "until the rotator gives its own");
    aim.setDaemonRange(AzimuthRange{-180, 180});
    EXPECT_EQ(aim.rangeSource(), "from the rotator");
    aim.setOverride(AzimuthRange{0, 450});
    EXPECT_EQ(aim.range().max, 450);
    EXPECT_EQ(aim.rangeSource(), "as typed");

    EXPECT_FALSE(aim.heading());
    aim.setOffset(10);
    aim.setAzimuth(5);
    EXPECT_NEAR(*aim.heading(), 355, 1e-9) << "the offset taken off what is shown";
    EXPECT_EQ(aim.statusText(), "");

    struct Step {
        const char* name;
        void (*act)(Antenna&);
        const char* status;
        bool arrived;
    };
    const Step steps[] = {
        {"a turn sent", [](Antenna& a) { a.startTurn(110, 100); }, "Turning to 100\u00b0: 105\u00b0 to go", false},
        {"within 2 degrees", [](Antenna& a) { a.setAzimuth(108.1); }, "At 100\u00b0", true},
        {"the offset changed: the turn was for the old one", [](Antenna& a) { a.setOffset(20); }, "", false},
        {"a stop sent", [](Antenna& a) { a.stopSent(); }, "Stopping", false},
        {"stopped where it reads", [](Antenna& a) { a.stopAccepted(); }, "Stopped at 88\u00b0", false},
        {"coasting on after the stop", [](Antenna& a) { a.setAzimuth(111); }, "Stopped at 91\u00b0", false},
        {"a turn refused",
            [](Antenna& a) {
                a.startTurn(300, 280);
                a.turnRefused(300);
            },
            "", false},
        {"parking", [](Antenna& a) { a.parkSent(); }, "Parking", false},
        {"on its way", [](Antenna& a) { a.setAzimuth(50); }, "Parking", false},
        {"one still reading", [](Antenna& a) { a.setAzimuth(20); }, "Parking", false},
        {"still", [](Antenna& a) { a.setAzimuth(20); }, "Parking", false},
        {"still again: parked", [](Antenna& a) { a.setAzimuth(20); }, "Parked at 0\u00b0", false},
        {"a turn waiting for the rotator", [](Antenna& a) { a.waitToTurn(61); },
            "Waiting for the rotator to answer, then turning to 61\u00b0 (Stop cancels)", false},
        {"the connection lost: the wait stays", [](Antenna& a) { a.lost(); },
            "Waiting for the rotator to answer, then turning to 61\u00b0 (Stop cancels)", false},
        {"given up", [](Antenna& a) { a.forget(); }, "", false},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        step.act(aim);
        EXPECT_EQ(aim.statusText(), step.status);
        EXPECT_EQ(aim.arrived(), step.arrived);
    }
    EXPECT_FALSE(aim.heading()) << "nothing known once the connection went";
}

TEST(AntennaPolicy, ReadsTypedRangesAndHeadings)
{
    struct RangeCase {
        const char* text;
        std::optional<std::pair<double, double>> range;
    };
    for (const RangeCase& c :
        {RangeCase{"-180..180", std::pair{-180.0, 180.0}}, RangeCase{" 0 .. 450 ", std::pair{0.0, 450.0}},
            RangeCase{"0 450", std::pair{0.0, 450.0}}, RangeCase{"-90 to 270.5", std::pair{-90.0, 270.5}},
            RangeCase{"180..-180", std::nullopt}, RangeCase{"10..10", std::nullopt}, RangeCase{"-400..0", std::nullopt},
            RangeCase{"0..1e9", std::nullopt}, RangeCase{"north..south", std::nullopt}, RangeCase{"", std::nullopt},
            RangeCase{"0..90..180", std::nullopt}}) {
        SCOPED_TRACE(c.text);
        const auto range = parseRange(c.text);
        ASSERT_EQ(range.has_value(), c.range.has_value());
        if (range) {
            EXPECT_EQ(range->min, c.range->first);
            EXPECT_EQ(range->max, c.range->second);
        }
    }
    struct HeadingCase {
        const char* text;
        std::optional<double> heading;
    };
    for (const HeadingCase& c :
        {HeadingCase{"288", 288}, HeadingCase{" 45.5 ", 45.5}, HeadingCase{"360", 360}, HeadingCase{"90\u00b0", 90},
            HeadingCase{"361", std::nullopt}, HeadingCase{"-5", std::nullopt}, HeadingCase{"JO01", std::nullopt},
            HeadingCase{"40.7 -74", std::nullopt}, HeadingCase{"nan", std::nullopt}, HeadingCase{"", std::nullopt}}) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(parseHeading(c.text), c.heading);
    }
}

// Stands in for the rotator service: takes the model's antenna requests
// and answers as a rotator would.
class FakeRotator final : public RotatorControl {
public:
    explicit FakeRotator(AimingModel& model) : model_(model) { model_.setRotatorControl(this); }
    ~FakeRotator() override { model_.setRotatorControl(nullptr); }
    FakeRotator(const FakeRotator&) = delete;
    FakeRotator& operator=(const FakeRotator&) = delete;

    void turnTo(double shownHeading) override
    {
        asked.push_back("turn " + std::to_string(std::lround(shownHeading)));
        std::string problem;
        const auto azimuth = model_.antenna().azimuthFor(shownHeading, problem);
        if (!azimuth) {
            model_.changeRotator([&](RotatorStatus& s) { s.problem = problem; });
            return;
        }
        model_.changeAntenna([&](Antenna& a) { a.startTurn(*azimuth, shownHeading); });
    }
    void stop() override
    {
        asked.emplace_back("stop");
        model_.changeAntenna([](Antenna& a) { a.stopSent(); });
    }
    void park() override
    {
        asked.emplace_back("park");
        model_.changeAntenna([](Antenna& a) { a.parkSent(); });
    }

    std::vector<std::string> asked;

private:
    AimingModel& model_;
};

OtherStation station(double lat, double lon, Source source)
{
    OtherStation other;
    other.position = positionFromDegrees(lat, lon);
    other.label = "place";
    other.source = source;
    return other;
}

TEST(AimingModelRequests, SourcesMeetAtOneDoorAndEachChangeIsToldOnce)
{
    AimingModel model;
    FakeRotator rotator(model);
    model.changeAntenna([](Antenna& a) {
        a.setDaemonRange(AzimuthRange{0, 360});
        a.setAzimuth(0);
    });
    std::vector<unsigned> told;
    int reentered = 0;
    const int first = model.subscribe([&](unsigned changes) { told.push_back(changes); });
    // A view that asks for something while being told: told after, not inside.
    bool asking = false;
    model.subscribe([&](unsigned changes) {
        if (asking) {
            ++reentered;
        }
        if ((changes & OtherChanged) != 0U && model.other() && model.other()->source == Source::Clicked) {
            asking = true;
            model.request(TurnAlong{false, Source::Clicked});
            asking = false;
        }
    });
    const Position london = positionFromDegrees(51.5, -0.1167);

    struct Step {
        const char* name;
        Request request;
        std::vector<unsigned> told;  // in order, by the first listener
        std::optional<double> shortPath;
        const char* status;
        std::vector<std::string> asked;  // of the rotator, so far
    };
    const Step steps[] = {
        {"own station", SetOwn{london}, {OwnChanged}, std::nullopt, "", {}},
        {"the same own station again", SetOwn{london}, {}, std::nullopt, "", {}},
        {"typed", SetOther{station(40.7, -74, Source::Typed)}, {OtherChanged}, 288, "", {}},
        {"a turn along the short path", TurnAlong{false, Source::Typed}, {AntennaChanged}, 288,
            "Turning to 288\u00b0: 288\u00b0 to go", {"turn 288"}},
        {"clicked, and the view turns to it", SetOther{station(-33.9, 18.4, Source::Clicked)},
            {OtherChanged, AntennaChanged}, 165, "Turning to 165\u00b0: 165\u00b0 to go", {"turn 288", "turn 165"}},
        {"a preset's heading", TurnTo{45, Source::Preset}, {AntennaChanged}, 165, "Turning to 45\u00b0: 45\u00b0 to go",
            {"turn 288", "turn 165", "turn 45"}},
        {"stop", Stop{Source::Typed}, {AntennaChanged}, 165, "Stopping", {"turn 288", "turn 165", "turn 45", "stop"}},
        {"miles", SetUnit{DistanceUnit::StatuteMiles}, {UnitChanged}, 165, "Stopping",
            {"turn 288", "turn 165", "turn 45", "stop"}},
        {"no other station: nothing to turn to", SetOther{std::nullopt}, {OtherChanged}, std::nullopt, "Stopping",
            {"turn 288", "turn 165", "turn 45", "stop"}},
        {"a path without a station", TurnAlong{true, Source::Typed}, {RotatorChanged}, std::nullopt, "Stopping",
            {"turn 288", "turn 165", "turn 45", "stop"}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        told.clear();
        model.request(step.request);
        EXPECT_EQ(told, step.told);
        EXPECT_EQ(model.pathHeading(false), step.shortPath);
        EXPECT_EQ(model.antenna().statusText(), step.status);
        EXPECT_EQ(rotator.asked, step.asked);
    }
    EXPECT_EQ(reentered, 0) << "a listener was told inside its own request";
    EXPECT_EQ(model.rotator().problem, "No heading to turn to: put the other station on the map first");
    EXPECT_EQ(model.lastAntennaSource(), Source::Typed);
    model.unsubscribe(first);
    told.clear();
    model.request(SetOwn{positionFromDegrees(0, 0)});
    EXPECT_TRUE(told.empty());
}

TEST(AimingModelRequests, ACallsignAtItsCountrysReferencePointIsOnlyAbout)
{
    // A station the reader places itself stays exact; without a country
    // file a callsign is a word to look up, never a place.
    struct Case {
        const char* name;
        const char* typed;
        bool placed;
        const char* call;  // to look up
        bool callShaped;
    };
    const Case cases[] = {
        {"locator", "FN31pr", true, "", false},
        {"degrees", "41.7 -72.7", true, "", false},
        {"callsign without the file", "W1AW", false, "W1AW", true},
        {"marked callsign", "@GB22GE", false, "GB22GE", true},
        {"mistyped locator", "JOAA", false, "JOAA", false},
        {"nonsense", "1 2 3", false, "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const StationText read = readStationText(c.typed, nullptr, Source::Typed);
        EXPECT_EQ(read.station.has_value(), c.placed) << read.error;
        if (read.station) {
            EXPECT_FALSE(read.station->approximate);
            EXPECT_FALSE(read.station->utcOffsetHours);
        }
        EXPECT_EQ(read.call, c.call);
        EXPECT_EQ(read.callShaped, c.callShaped);
    }
}

}  // namespace
