#include "form1_fixture.h"

#include "core/compute.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTimer>

namespace skybrant::ui {
namespace {

const QString kLatDeg = QStringLiteral(" Latitude is always less than 90 degrees");
const QString kLonDeg = QStringLiteral(" Longitude is always less than 180 degrees");
const QString kLatLimit = QStringLiteral("Latitude is not greater than 90 ");
const QString kLonLimit = QStringLiteral("Longtude is not greater than 180 ");
const QString kMinutes = QStringLiteral("Number of minites less than 60");
const QString kSeconds = QStringLiteral("Number of seconds less than 60");
const QString kTypeOnly = QStringLiteral("Type only Numbers");

TEST_F(Form1Test, TypingPastTheDegreesLimitClearsTheBoxBeforeTheMessage)
{
    type("txtLAD1", "9");
    EXPECT_EQ(form->ownStored().latDegrees, 9);
    sink.watched = edit("txtLAD1");
    type("txtLAD1", "1");
    ASSERT_EQ(sink.shown.size(), 1U);
    EXPECT_EQ(sink.shown[0].message, kLatDeg);
    EXPECT_EQ(sink.shown[0].watchedText, "");  // already reset while the message shows
    EXPECT_EQ(edit("txtLAD1")->text(), "");
    EXPECT_EQ(form->ownStored().latDegrees, 0);
}

TEST_F(Form1Test, MinutesAtTheLongitudeLimitResetToDoubleZeroWithOneMessage)
{
    edit("txtLOD2")->setText(QStringLiteral("180"));
    edit("txtLOM2")->setText(QString());
    sink.watched = edit("txtLOM2");
    type("txtLOM2", "7");
    ASSERT_EQ(messages(), QStringList{kLonLimit});
    EXPECT_EQ(sink.shown[0].watchedText, "00");
    EXPECT_EQ(edit("txtLOM2")->text(), "00");
    EXPECT_EQ(form->otherStored().lonMinutes, 0);

    // Above 60 at the limit: still only the limit message.
    edit("txtLOM2")->setText(QStringLiteral("75"));
    EXPECT_EQ(messages(), (QStringList{kLonLimit, kLonLimit}));
}

TEST_F(Form1Test, MinutesAboveSixtyClearTheBox)
{
    edit("txtLAD1")->setText(QStringLiteral("45"));
    edit("txtLAM1")->setText(QString());
    sink.watched = edit("txtLAM1");
    type("txtLAM1", "7");
    EXPECT_TRUE(sink.shown.empty());
    type("txtLAM1", "5");
    ASSERT_EQ(messages(), QStringList{kMinutes});
    EXPECT_EQ(sink.shown[0].watchedText, "");
    EXPECT_EQ(form->ownStored().latMinutes, 0);
}

TEST_F(Form1Test, EveryChangeIsCheckedAgainstItsBoxsRange)
{
    struct Case {
        const char* degreesBox;  // set first, or null
        const char* degrees;
        const char* box;
        const char* text;
        QString message;  // empty: accepted
        const char* after;
        std::int32_t stored;
    };
    const Case cases[] = {
        {nullptr, nullptr, "txtLAD1", "90", {}, "90", 90},
        {nullptr, nullptr, "txtLAD2", "91", kLatDeg, "", 0},
        {nullptr, nullptr, "txtLOD1", "180", {}, "180", 180},
        {nullptr, nullptr, "txtLOD2", "181", kLonDeg, "", 0},
        {nullptr, nullptr, "txtLAM2", "60", {}, "60", 60},
        {nullptr, nullptr, "txtLAM2", "61", kMinutes, "", 0},
        {nullptr, nullptr, "txtLOS1", "61", kSeconds, "", 0},
        {nullptr, nullptr, "txtLAD1", "-45", {}, "-45", -45},
        {"txtLAD1", "90", "txtLAS1", "1", kLatLimit, "00", 0},
        {"txtLAD1", "90", "txtLAS1", "99", kLatLimit, "00", 0},
        {"txtLAD1", "90", "txtLAS1", "0", {}, "0", 0},
        {"txtLAD1", "89", "txtLAM1", "60", {}, "60", 60},
        {"txtLOD1", "179", "txtLOS1", "60", {}, "60", 60},
        {"txtLAD2", "90", "txtLAM1", "30", {}, "30", 30},  // the other station's degrees
        {"txtLAD1", "90", "txtLOM1", "30", {}, "30", 30},  // latitude degrees, longitude minutes
        // Beyond the 32-bit range: the box's own range message.
        {nullptr, nullptr, "txtLAD1", "99999999999", kLatDeg, "", 0},
        {nullptr, nullptr, "txtLOD2", "-99999999999", kLonDeg, "", 0},
        {nullptr, nullptr, "txtLAM1", "1e400", kMinutes, "", 0},
        {nullptr, nullptr, "txtLOS2", "10000000000", kSeconds, "", 0},
        // Pasted text that is not plain digits.
        {nullptr, nullptr, "txtLAD2", "12abc", {}, "12abc", 12},
        {nullptr, nullptr, "txtLAD2", "abc", {}, "abc", 0},
        {nullptr, nullptr, "txtLAD2", "2.5", {}, "2.5", 2},
        {nullptr, nullptr, "txtLAD2", "3.5", {}, "3.5", 4},
        {nullptr, nullptr, "txtLAD2", " 4 5", {}, " 4 5", 45},
        {nullptr, nullptr, "txtLAD2", "00", {}, "00", 0},
    };
    for (const auto& c : cases) {
        form = std::make_unique<Form1>(&sink);
        sink.shown.clear();
        if (c.degreesBox != nullptr) {
            edit(c.degreesBox)->setText(QLatin1String(c.degrees));
        }
        edit(c.box)->setText(QLatin1String(c.text));
        const QStringList expected = c.message.isEmpty() ? QStringList{} : QStringList{c.message};
        EXPECT_EQ(messages(), expected) << c.box << " " << c.text;
        EXPECT_EQ(edit(c.box)->text(), QLatin1String(c.after)) << c.box << " " << c.text;
        const StationEntry& s = c.box[6] == '1' ? form->ownStored() : form->otherStored();
        const std::int32_t stored[] = {
            s.latDegrees, s.latMinutes, s.latSeconds, s.lonDegrees, s.lonMinutes, s.lonSeconds};
        const int index = (c.box[4] == 'O' ? 3 : 0) + (c.box[5] == 'D' ? 0 : c.box[5] == 'M' ? 1 : 2);
        EXPECT_EQ(stored[index], c.stored) << c.box << " " << c.text;
    }
}

TEST_F(Form1Test, DegreesChangedLaterDoNotRecheckMinutes)
{
    edit("txtLAM1")->setText(QStringLiteral("30"));
    edit("txtLAD1")->setText(QStringLiteral("90"));
    EXPECT_TRUE(sink.shown.empty());
    EXPECT_EQ(form->ownStored().latMinutes, 30);
    EXPECT_EQ(form->ownStored().latDegrees, 90);
}

TEST_F(Form1Test, KeystrokesInCoordinateBoxes)
{
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int messages;
        const char* after;  // the box held "12" with the cursor at its end
    };
    const Case cases[] = {
        {Qt::Key_3, Qt::NoModifier, 0, "123"},
        {Qt::Key_3, Qt::KeypadModifier, 0, "123"},
        {Qt::Key_Period, Qt::NoModifier, 1, "12"},
        {Qt::Key_Minus, Qt::NoModifier, 1, "12"},
        {Qt::Key_Space, Qt::NoModifier, 1, "12"},
        {Qt::Key_A, Qt::NoModifier, 1, "12"},
        {Qt::Key_A, Qt::ShiftModifier, 1, "12"},
        {Qt::Key_Return, Qt::NoModifier, 1, "12"},
        {Qt::Key_Enter, Qt::KeypadModifier, 1, "12"},
        {Qt::Key_Escape, Qt::NoModifier, 1, "12"},
        {Qt::Key_Backspace, Qt::NoModifier, 0, "1"},
        {Qt::Key_Left, Qt::NoModifier, 0, "12"},
        {Qt::Key_Home, Qt::NoModifier, 0, "12"},
        {Qt::Key_F2, Qt::NoModifier, 0, "12"},
    };
    for (const auto& c : cases) {
        QLineEdit* e = edit("txtLOD2");
        e->setText(QStringLiteral("12"));
        e->setFocus();
        e->end(false);
        sink.shown.clear();
        QTest::keyClick(e, c.key, c.modifiers);
        EXPECT_EQ(static_cast<int>(sink.shown.size()), c.messages) << c.key;
        for (const auto& s : sink.shown) {
            EXPECT_EQ(s.message, kTypeOnly);
        }
        EXPECT_EQ(e->text(), QLatin1String(c.after)) << c.key;
    }

    // Delete is no character: it removes digits, and the change handling runs.
    QLineEdit* e = edit("txtLAD2");
    e->setText(QStringLiteral("45"));
    e->home(false);
    sink.shown.clear();
    QTest::keyClick(e, Qt::Key_Delete);
    EXPECT_EQ(e->text(), "5");
    EXPECT_EQ(form->otherStored().latDegrees, 5);
    EXPECT_TRUE(sink.shown.empty());

    // Backspace in an empty box passes silently.
    e->setText(QString());
    QTest::keyClick(e, Qt::Key_Backspace);
    EXPECT_TRUE(sink.shown.empty());
}

TEST_F(Form1Test, EditingShortcutsAreCommandsAndPasteGoesThroughTheChecks)
{
    QLineEdit* e = edit("txtLAD1");
    e->setFocus();
    QApplication::clipboard()->setText(QStringLiteral("12abc"));
    e->selectAll();
    QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(e->text(), "12abc");
    EXPECT_EQ(form->ownStored().latDegrees, 12);
    EXPECT_TRUE(sink.shown.empty());

    QTest::keyClick(e, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(e->selectedText(), "12abc");
    QTest::keyClick(e, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(e->text(), "");
    EXPECT_EQ(QApplication::clipboard()->text(), "12abc");
    QTest::keyClick(e, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(e->text(), "12abc");
    EXPECT_TRUE(sink.shown.empty());

    QApplication::clipboard()->setText(QStringLiteral("95"));
    e->selectAll();
    QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(messages(), QStringList{kLatDeg});
    EXPECT_EQ(e->text(), "");
}

TEST_F(Form1Test, LongPastesAreKeptWhole)
{
    QLineEdit* e = edit("txtLOS2");
    e->setFocus();
    QApplication::clipboard()->setText(QStringLiteral("5") + QString(99999, u'x'));
    e->selectAll();
    QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(e->text().size(), 100000);
    EXPECT_EQ(form->otherStored().lonSeconds, 5);
    EXPECT_TRUE(sink.shown.empty());
}

TEST_F(Form1Test, InputMethodTextIsFilteredLikeTyping)
{
    QLineEdit* e = edit("txtLOD1");
    e->setFocus();
    QInputMethodEvent digits;
    digits.setCommitString(QStringLiteral("7"));
    QApplication::sendEvent(e, &digits);
    EXPECT_EQ(e->text(), " 7");
    EXPECT_EQ(form->ownStored().lonDegrees, 7);

    QInputMethodEvent accented;
    accented.setCommitString(QStringLiteral("\u00e9"));
    QApplication::sendEvent(e, &accented);
    EXPECT_EQ(e->text(), " 7");
    EXPECT_EQ(messages(), QStringList{kTypeOnly});
}

TEST_F(Form1Test, PressShowsTheWorkedExamples)
{
    struct Case {
        const char *own, *other, *distance, *forward, *back;
    };
    const Case cases[] = {
        {"51 30 0 N 0 7 0 W", "40 42 0 N 74 0 0 W", "5539.2", "288", "51"},
        {"51 30 0 N 0 7 0 W", "33 51 0 S 151 12 0 E", "16892.3", "61", "319"},
        {"33 51 0 S 151 12 0 E", "35 41 0 N 139 41 0 E", "7778.2", "350", "170"},
        {"10 0 0 N 20 0 0 E", "30 0 0 N 20 0 0 E", "2210.9", "0", "180"},  // same meridian
        {"0 0 0 N 10 0 0 E", "0 0 0 N 20 0 0 E", "1105.5", "90", "270"},  // both on the equator
    };
    for (const auto& c : cases) {
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
    QTest::keyClick(button, Qt::Key_Return);
    EXPECT_EQ(edit("txtAB3")->text(), "5539.2");
    edit("txtAB3")->setText(QStringLiteral(" "));
    QTest::keyClick(button, Qt::Key_Space);
    EXPECT_EQ(edit("txtAB3")->text(), "5539.2");
}

TEST_F(Form1Test, ResultBoxesCannotBeTypedInto)
{
    for (const char* name : {"txtBA", "txtAB", "txtAB3"}) {
        QLineEdit* e = edit(name);
        e->setFocus();
        QTest::keyClicks(e, QStringLiteral("12x"));
        QTest::keyClick(e, Qt::Key_Backspace);
        EXPECT_EQ(e->text(), " ") << name;
    }
    EXPECT_TRUE(sink.shown.empty());
}

TEST_F(Form1Test, EitherMemberOfTheCreditGroupOpensTheAuthorsPage)
{
    const auto labels = form->findChildren<QLabel*>(QStringLiteral("Label11"));
    ASSERT_EQ(labels.size(), 2);
    for (QLabel* l : labels) {
        SCOPED_TRACE(l->text().toStdString());
        urls.recorder.opened.clear();
        QTest::mouseClick(l, Qt::LeftButton);
        ASSERT_EQ(urls.recorder.opened.size(), 1U);
        EXPECT_TRUE(urls.recorder.opened[0].toString().endsWith(u"about.html"));
    }
    EXPECT_TRUE(sink.shown.empty());
}

}  // namespace
}  // namespace skybrant::ui

namespace skybrant::ui {
namespace {

TEST(MessageBoxSink, ShowsAModalBoxTitledSkybrantWithOneOkButton)
{
    QWidget parent;
    MessageBoxSink sink(&parent);
    QString title;
    QString text;
    int buttons = -1;
    bool modal = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        buttons = static_cast<int>(box->buttons().size());
        modal = box->isModal();
        box->button(QMessageBox::Ok)->click();
    });
    sink.showMessage(QStringLiteral("Type only Numbers"));  // returns once dismissed
    EXPECT_EQ(title, "Skybrant");
    EXPECT_EQ(text, "Type only Numbers");
    EXPECT_EQ(buttons, 1);
    EXPECT_TRUE(modal);
}

}  // namespace
}  // namespace skybrant::ui
