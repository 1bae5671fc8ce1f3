// The range checks as the window runs them on every change of a coordinate
// box: what the box and its stored whole number hold afterwards, and which
// message shows, when.

#include "form1_fixture.h"

namespace skybrant::ui {
namespace {

// The window's messages, blanks and spelling as they have always been.
const QString kLatDeg = QStringLiteral(" Latitude is always less than 90 degrees");
const QString kLonDeg = QStringLiteral(" Longitude is always less than 180 degrees");
const QString kLatLimit = QStringLiteral("Latitude is not greater than 90 ");
const QString kLonLimit = QStringLiteral("Longtude is not greater than 180 ");
const QString kMinutes = QStringLiteral("Number of minites less than 60");
const QString kSeconds = QStringLiteral("Number of seconds less than 60");

// The stored whole number of a box, by its name ("txtLOM2").
std::int32_t storedOf(const Form1& form, const char* box)
{
    const StationEntry& s = box[6] == '1' ? form.ownStored() : form.otherStored();
    const std::int32_t stored[] = {s.latDegrees, s.latMinutes, s.latSeconds, s.lonDegrees, s.lonMinutes, s.lonSeconds};
    return stored[(box[4] == 'O' ? 3 : 0) + (box[5] == 'D' ? 0 : box[5] == 'M' ? 1 : 2)];
}

// Typing one character too many: the box is reset before the message shows,
// so the user sees the corrected box behind it.
TEST_F(Form1Test, TypingPastALimitResetsTheBoxBeforeTheMessage)
{
    struct Case {
        const char* name;
        const char* degreesBox;  // set first, or null
        const char* degrees;
        const char* box;
        const char* typed;  // into the emptied box, one key at a time
        QString message;
        const char* reset;
    };
    const Case cases[] = {
        {"latitude degrees past 90", nullptr, nullptr, "txtLAD1", "91", kLatDeg, ""},
        {"longitude degrees past 180", nullptr, nullptr, "txtLOD1", "181", kLonDeg, ""},
        {"minutes at 180 degrees longitude", "txtLOD2", "180", "txtLOM2", "7", kLonLimit, "00"},
        {"seconds at 90 degrees latitude", "txtLAD1", "90", "txtLAS1", "1", kLatLimit, "00"},
        {"minutes above 60", "txtLAD1", "45", "txtLAM1", "75", kMinutes, ""},
        {"seconds above 60", nullptr, nullptr, "txtLOS2", "61", kSeconds, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        form = std::make_unique<Form1>(&sink);
        sink.shown.clear();
        if (c.degreesBox != nullptr) {
            edit(c.degreesBox)->setText(QLatin1String(c.degrees));
        }
        edit(c.box)->setText(QString());
        sink.watched = edit(c.box);
        type(c.box, QLatin1String(c.typed));
        ASSERT_EQ(messages(), QStringList{c.message});
        EXPECT_EQ(sink.shown[0].watchedText, QLatin1String(c.reset));  // already reset while the message shows
        EXPECT_EQ(edit(c.box)->text(), QLatin1String(c.reset));
        EXPECT_EQ(storedOf(*form, c.box), 0);
    }
}

TEST_F(Form1Test, EveryChangeIsCheckedAgainstItsBoxsRange)
{
    struct Case {
        const char* name;
        const char* degreesBox;  // set first, or null
        const char* degrees;
        const char* box;
        const char* text;
        QString message;  // empty: accepted
        const char* after;
        std::int32_t stored;
    };
    const Case cases[] = {
        {"latitude degrees at 90", nullptr, nullptr, "txtLAD1", "90", {}, "90", 90},
        {"latitude degrees past 90", nullptr, nullptr, "txtLAD2", "91", kLatDeg, "", 0},
        {"longitude degrees at 180", nullptr, nullptr, "txtLOD1", "180", {}, "180", 180},
        {"longitude degrees past 180", nullptr, nullptr, "txtLOD2", "181", kLonDeg, "", 0},
        {"minutes at 60", nullptr, nullptr, "txtLAM2", "60", {}, "60", 60},
        {"minutes past 60", nullptr, nullptr, "txtLAM2", "61", kMinutes, "", 0},
        {"seconds past 60", nullptr, nullptr, "txtLOS1", "61", kSeconds, "", 0},
        {"negative degrees", nullptr, nullptr, "txtLAD1", "-45", {}, "-45", -45},
        {"seconds at 90 latitude", "txtLAD1", "90", "txtLAS1", "1", kLatLimit, "00", 0},
        {"seconds past 60 at 90 latitude", "txtLAD1", "90", "txtLAS1", "99", kLatLimit, "00", 0},
        {"minutes past 60 at 180 longitude", "txtLOD2", "180", "txtLOM2", "75", kLonLimit, "00", 0},
        {"zero seconds at 90 latitude", "txtLAD1", "90", "txtLAS1", "0", {}, "0", 0},
        {"minutes at 60 below 90 latitude", "txtLAD1", "89", "txtLAM1", "60", {}, "60", 60},
        {"seconds at 60 below 180 longitude", "txtLOD1", "179", "txtLOS1", "60", {}, "60", 60},
        {"the other station's degrees at 90", "txtLAD2", "90", "txtLAM1", "30", {}, "30", 30},
        {"latitude at 90, longitude minutes", "txtLAD1", "90", "txtLOM1", "30", {}, "30", 30},
        // Beyond the 32-bit range: the box's own range message.
        {"huge latitude degrees", nullptr, nullptr, "txtLAD1", "99999999999", kLatDeg, "", 0},
        {"huge negative longitude degrees", nullptr, nullptr, "txtLOD2", "-99999999999", kLonDeg, "", 0},
        {"minutes past every double", nullptr, nullptr, "txtLAM1", "1e400", kMinutes, "", 0},
        {"huge seconds", nullptr, nullptr, "txtLOS2", "10000000000", kSeconds, "", 0},
        // Pasted text that is not plain digits.
        {"digits then letters", nullptr, nullptr, "txtLAD2", "12abc", {}, "12abc", 12},
        {"letters only", nullptr, nullptr, "txtLAD2", "abc", {}, "abc", 0},
        {"a fraction rounding down", nullptr, nullptr, "txtLAD2", "2.5", {}, "2.5", 2},
        {"a fraction rounding up", nullptr, nullptr, "txtLAD2", "3.5", {}, "3.5", 4},
        {"blanks between digits", nullptr, nullptr, "txtLAD2", " 4 5", {}, " 4 5", 45},
        {"double zero", nullptr, nullptr, "txtLAD2", "00", {}, "00", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        form = std::make_unique<Form1>(&sink);
        sink.shown.clear();
        if (c.degreesBox != nullptr) {
            edit(c.degreesBox)->setText(QLatin1String(c.degrees));
        }
        edit(c.box)->setText(QLatin1String(c.text));
        const QStringList expected = c.message.isEmpty() ? QStringList{} : QStringList{c.message};
        EXPECT_EQ(messages(), expected);
        EXPECT_EQ(edit(c.box)->text(), QLatin1String(c.after));
        EXPECT_EQ(storedOf(*form, c.box), c.stored);
    }
}

// A box is checked when it changes, against the degrees stored then.
TEST_F(Form1Test, DegreesChangedLaterDoNotRecheckMinutes)
{
    edit("txtLAM1")->setText(QStringLiteral("30"));
    edit("txtLAD1")->setText(QStringLiteral("90"));
    EXPECT_TRUE(sink.shown.empty());
    EXPECT_EQ(form->ownStored().latMinutes, 30);
    EXPECT_EQ(form->ownStored().latDegrees, 90);
}

}  // namespace
}  // namespace skybrant::ui
