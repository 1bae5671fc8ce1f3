// The window's handlers by the names of its events: each acts on its own
// box, as the wired events do.

#include "form1_fixture.h"

#include <QSignalBlocker>

namespace skybrant::ui {
namespace {

TEST_F(Form1Test, EachNamedHandlerActsOnItsOwnBox)
{
    struct Box {
        const char* name;
        void (Form1::*change)();
        void (Form1::*keyPress)(char16_t&);
        std::int32_t (*stored)(const Form1&);
    };
    const Box boxes[] = {
        {"txtLAD1", &Form1::txtLAD1_Change, &Form1::txtLAD1_KeyPress,
            [](const Form1& f) { return f.ownStored().latDegrees; }},
        {"txtLAM1", &Form1::txtLAM1_Change, &Form1::txtLAM1_KeyPress,
            [](const Form1& f) { return f.ownStored().latMinutes; }},
        {"txtLAS1", &Form1::txtLAS1_Change, &Form1::txtLAS1_KeyPress,
            [](const Form1& f) { return f.ownStored().latSeconds; }},
        {"txtLOD1", &Form1::txtLOD1_Change, &Form1::txtLOD1_KeyPress,
            [](const Form1& f) { return f.ownStored().lonDegrees; }},
        {"txtLOM1", &Form1::txtLOM1_Change, &Form1::txtLOM1_KeyPress,
            [](const Form1& f) { return f.ownStored().lonMinutes; }},
        {"txtLOS1", &Form1::txtLOS1_Change, &Form1::txtLOS1_KeyPress,
            [](const Form1& f) { return f.ownStored().lonSeconds; }},
        {"txtLAD2", &Form1::txtLAD2_Change, &Form1::txtLAD2_KeyPress,
            [](const Form1& f) { return f.otherStored().latDegrees; }},
        {"txtLAM2", &Form1::txtLAM2_Change, &Form1::txtLAM2_KeyPress,
            [](const Form1& f) { return f.otherStored().latMinutes; }},
        {"txtLAS2", &Form1::txtLAS2_Change, &Form1::txtLAS2_KeyPress,
            [](const Form1& f) { return f.otherStored().latSeconds; }},
        {"txtLOD2", &Form1::txtLOD2_Change, &Form1::txtLOD2_KeyPress,
            [](const Form1& f) { return f.otherStored().lonDegrees; }},
        {"txtLOM2", &Form1::txtLOM2_Change, &Form1::txtLOM2_KeyPress,
            [](const Form1& f) { return f.otherStored().lonMinutes; }},
        {"txtLOS2", &Form1::txtLOS2_Change, &Form1::txtLOS2_KeyPress,
            [](const Form1& f) { return f.otherStored().lonSeconds; }},
    };
    for (const Box& b : boxes) {
        SCOPED_TRACE(b.name);
        {
            // The text changes unheard; only the named handler reads it.
            const QSignalBlocker quiet(edit(b.name));
            edit(b.name)->setText(QStringLiteral("7"));
        }
        EXPECT_EQ(b.stored(*form), 0);
        (form.get()->*b.change)();
        EXPECT_EQ(b.stored(*form), 7);
        char16_t letter = u'a';
        (form.get()->*b.keyPress)(letter);
        EXPECT_EQ(letter, 0);
        char16_t digit = u'5';
        (form.get()->*b.keyPress)(digit);
        EXPECT_EQ(digit, u'5');
    }
    EXPECT_EQ(messages(), QStringList(std::size(boxes), QStringLiteral("Type only Numbers")));
    for (void (Form1::*keyPress)(char16_t&) :
        {&Form1::cmbNS1_KeyPress, &Form1::cmbEW1_KeyPress, &Form1::cmbNS2_KeyPress, &Form1::cmbEW2_KeyPress}) {
        char16_t letter = u'S';
        (form.get()->*keyPress)(letter);
        EXPECT_EQ(letter, 0);
    }
}

}  // namespace
}  // namespace skybrant::ui
