// Typing, editing shortcuts, pastes and input methods in the window's boxes:
// what a keystroke leaves in the box, and when "Type only Numbers" shows.

#include "form1_fixture.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>

namespace skybrant::ui {
namespace {

const QString kTypeOnly = QStringLiteral("Type only Numbers");

TEST_F(Form1Test, KeystrokesInCoordinateBoxes)
{
    struct Case {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int messages;
        const char* after;  // the box held "12" with the cursor at its end
    };
    const Case cases[] = {
        {"digit", Qt::Key_3, Qt::NoModifier, 0, "123"},
        {"keypad digit", Qt::Key_3, Qt::KeypadModifier, 0, "123"},
        {"period", Qt::Key_Period, Qt::NoModifier, 1, "12"},
        {"minus", Qt::Key_Minus, Qt::NoModifier, 1, "12"},
        {"blank", Qt::Key_Space, Qt::NoModifier, 1, "12"},
        {"letter", Qt::Key_A, Qt::NoModifier, 1, "12"},
        {"capital letter", Qt::Key_A, Qt::ShiftModifier, 1, "12"},
        {"Enter", Qt::Key_Return, Qt::NoModifier, 1, "12"},
        {"keypad Enter", Qt::Key_Enter, Qt::KeypadModifier, 1, "12"},
        {"Escape", Qt::Key_Escape, Qt::NoModifier, 1, "12"},
        {"Backspace", Qt::Key_Backspace, Qt::NoModifier, 0, "1"},
        {"arrow", Qt::Key_Left, Qt::NoModifier, 0, "12"},
        {"Home", Qt::Key_Home, Qt::NoModifier, 0, "12"},
        {"function key", Qt::Key_F2, Qt::NoModifier, 0, "12"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QLineEdit* e = edit("txtLOD2");
        e->setText(QStringLiteral("12"));
        e->setFocus();
        e->end(false);
        sink.shown.clear();
        QTest::keyClick(e, c.key, c.modifiers);
        EXPECT_EQ(messages(), QStringList(c.messages, kTypeOnly));
        EXPECT_EQ(e->text(), QLatin1String(c.after));
    }
}

// Delete types no character: it removes digits, and the change handling
// runs on what is left. Backspace passes silently even in an empty box.
TEST_F(Form1Test, DeleteAndBackspaceEditWithoutAMessage)
{
    QLineEdit* e = edit("txtLAD2");
    e->setText(QStringLiteral("45"));
    e->setFocus();
    e->home(false);
    QTest::keyClick(e, Qt::Key_Delete);
    EXPECT_EQ(e->text(), "5");
    EXPECT_EQ(form->otherStored().latDegrees, 5);

    e->setText(QString());
    QTest::keyClick(e, Qt::Key_Backspace);
    EXPECT_EQ(e->text(), "");
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
    EXPECT_EQ(messages(), QStringList{QStringLiteral(" Latitude is always less than 90 degrees")});
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

TEST_F(Form1Test, ResultBoxesCannotBeTypedInto)
{
    for (const char* name : {"txtBA", "txtAB", "txtAB3"}) {
        SCOPED_TRACE(name);
        QLineEdit* e = edit(name);
        e->setFocus();
        QTest::keyClicks(e, QStringLiteral("12x"));
        QTest::keyClick(e, Qt::Key_Backspace);
        EXPECT_EQ(e->text(), " ");
    }
    EXPECT_TRUE(sink.shown.empty());
}

}  // namespace
}  // namespace skybrant::ui
