// The press: the three results the window shows for two stations as the
// user enters them.

#include "form1_fixture.h"

#include <QLocale>

namespace skybrant::ui {
namespace {

TEST_F(Form1Test, PressShowsTheWorkedExamples)
{
    struct Case {
        const char *name, *own, *other, *distance, *forward, *back;
    };
    const Case cases[] = {
        {"London to New York", "51 30 0 N 0 7 0 W", "40 42 0 N 74 0 0 W", "5539.2", "288", "51"},
        {"London to Sydney", "51 30 0 N 0 7 0 W", "33 51 0 S 151 12 0 E", "16892.3", "61", "319"},
        {"Sydney to Tokyo", "33 51 0 S 151 12 0 E", "35 41 0 N 139 41 0 E", "7778.2", "350", "170"},
        {"same meridian", "10 0 0 N 20 0 0 E", "30 0 0 N 20 0 0 E", "2210.9", "0", "180"},
        {"both on the equator", "0 0 0 N 10 0 0 E", "0 0 0 N 20 0 0 E", "1105.5", "90", "270"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        enter("1", c.own);
        enter("2", c.other);
        press();
        EXPECT_EQ(edit("txtAB3")->text(), c.distance);
        EXPECT_EQ(edit("txtBA")->text(), c.forward);
        EXPECT_EQ(edit("txtAB")->text(), c.back);
        press();  // again: the same texts
        EXPECT_EQ(edit("txtBA")->text(), c.forward);
    }
    EXPECT_TRUE(sink.shown.empty());
}

TEST_F(Form1Test, NoHeadingShowsBlanksAndANoteAfterTheResults)
{
    sink.watched = edit("txtAB3");
    press();  // untouched boxes: both stations at 0 N 0 E
    EXPECT_EQ(edit("txtAB3")->text(), "0");
    EXPECT_EQ(edit("txtBA")->text(), " ");
    EXPECT_EQ(edit("txtAB")->text(), " ");
    ASSERT_EQ(sink.shown.size(), 1U);
    EXPECT_EQ(sink.shown[0].watchedText, "0");
    EXPECT_TRUE(sink.shown[0].message.contains(u"same place"));

    enter("1", "10 0 0 N 20 0 0 E");
    enter("2", "10 0 0 S 160 0 0 W");
    press();
    EXPECT_EQ(edit("txtAB3")->text(), "19898.2");
    EXPECT_EQ(edit("txtBA")->text(), " ");
    ASSERT_EQ(sink.shown.size(), 2U);
    EXPECT_EQ(sink.shown[1].watchedText, "19898.2");
}

TEST_F(Form1Test, DistanceUsesTheLocaleSeparator)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    enter("1", "51 30 0 N 0 7 0 W");
    enter("2", "40 42 0 N 74 0 0 W");
    press();
    QLocale::setDefault(saved);
    EXPECT_EQ(edit("txtAB3")->text(), "5539,2");
    EXPECT_EQ(edit("txtBA")->text(), "288");
}

TEST_F(Form1Test, EnterOrSpaceOnTheButtonPressesIt)
{
    enter("1", "51 30 0 N 0 7 0 W");
    enter("2", "40 42 0 N 74 0 0 W");
    auto* button = form->findChild<QPushButton*>(QStringLiteral("Command1"));
    button->setFocus();
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Space}) {
        SCOPED_TRACE(QKeySequence(key).toString().toStdString());
        edit("txtAB3")->setText(QStringLiteral(" "));
        QTest::keyClick(button, key);
        EXPECT_EQ(edit("txtAB3")->text(), "5539.2");
    }
}

}  // namespace
}  // namespace skybrant::ui
