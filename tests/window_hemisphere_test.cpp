// The four hemisphere boxes: their text changes only by a pick from their
// lists, and whatever they show is read at the press.

#include "form1_fixture.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>

namespace skybrant::ui {
namespace {

TEST_F(Form1Test, HemisphereBoxesTakeNoTyping)
{
    QComboBox* c = combo("cmbNS1");
    c->setFocus();
    for (const Qt::Key key : {Qt::Key_S, Qt::Key_W, Qt::Key_Backspace, Qt::Key_Space, Qt::Key_Return}) {
        SCOPED_TRACE(QKeySequence(key).toString().toStdString());
        QTest::keyClick(c, key);
        QTest::keyClick(c->lineEdit(), key);
        EXPECT_EQ(c->currentText(), "N");
    }
    EXPECT_EQ(c->count(), 2);
    EXPECT_TRUE(sink.shown.empty());

    QInputMethodEvent ime;
    ime.setCommitString(QStringLiteral("S"));
    QApplication::sendEvent(c->lineEdit(), &ime);
    EXPECT_EQ(c->currentText(), "N");

    // Picking still works, and Delete can still empty the text.
    c->setCurrentIndex(1);
    EXPECT_EQ(c->currentText(), "S");
    c->lineEdit()->home(false);
    QTest::keyClick(c->lineEdit(), Qt::Key_Delete);
    EXPECT_EQ(c->currentText(), "");
    EXPECT_TRUE(sink.shown.empty());
}

// Whatever a hemisphere box shows at the press is used, picked or not;
// blanks around the letter do not matter.
TEST_F(Form1Test, HemisphereChangeIsUsedAtTheNextPress)
{
    struct Case {
        const char* name;
        const char* box;
        const char* text;  // picked when it is an item, else set as it is
        const char *distance, *forward, *back;
    };
    const Case cases[] = {
        {"as entered", nullptr, nullptr, "5539.2", "288", "51"},
        {"the other station picked east", "cmbEW2", "E", "5554.4", "72", "309"},
        {"the own station south with blanks", "cmbNS1", " S ", "12413.4", "308", "140"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        enter("1", "51 30 0 N 0 7 0 W");
        enter("2", "40 42 0 N 74 0 0 W");
        if (c.box != nullptr) {
            QComboBox* box = combo(c.box);
            const int item = box->findText(QLatin1String(c.text));
            if (item >= 0) {
                box->setCurrentIndex(item);
            } else {
                box->setEditText(QLatin1String(c.text));
            }
        }
        press();
        EXPECT_EQ(edit("txtAB3")->text(), c.distance);
        EXPECT_EQ(edit("txtBA")->text(), c.forward);
        EXPECT_EQ(edit("txtAB")->text(), c.back);
    }
}

// A lower-case "s" or "w" (from a paste, or restored from a hand-edited
// settings file) is not in the lists: it stays as it is when the focus only
// passes through its box, and counts as north and east.
TEST_F(Form1Test, LowerCaseHemisphereSurvivesFocusPassingThrough)
{
    enum class Source { Pasted, Restored };
    enum class Passing { Tab, Click };
    struct Case {
        const char* name;
        Source source;
        Passing passing;
    };
    const Case cases[] = {
        {"pasted, tabbed through", Source::Pasted, Passing::Tab},
        {"pasted, clicked in and out", Source::Pasted, Passing::Click},
        {"restored, tabbed through", Source::Restored, Passing::Tab},
        {"restored, clicked in and out", Source::Restored, Passing::Click},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        form = std::make_unique<Form1>(&sink);
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        enter("1", "10 0 0 N 20 0 0 E");
        enter("2", "30 0 0 N 40 0 0 E");
        const std::pair<const char*, const char*> lowerCase[] = {{"cmbNS1", "s"}, {"cmbEW1", "w"}};
        for (const auto& [name, text] : lowerCase) {
            QComboBox* box = combo(name);
            if (c.source == Source::Pasted) {
                QApplication::clipboard()->setText(QLatin1String(text));
                box->lineEdit()->setFocus();
                box->lineEdit()->selectAll();
                QTest::keyClick(box->lineEdit(), Qt::Key_V, Qt::ControlModifier);
            } else {
                box->setEditText(QLatin1String(text));
            }
            ASSERT_EQ(box->currentText(), QLatin1String(text));
        }
        press();
        EXPECT_EQ(edit("txtAB3")->text(), "3022.8");

        // The focus walks through each box and out again.
        if (c.passing == Passing::Tab) {
            for (const char* before : {"txtLAS1", "txtLOS1"}) {
                edit(before)->setFocus();
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            }
        } else {
            for (const char* name : {"cmbNS1", "cmbEW1"}) {
                QTest::mouseClick(combo(name)->lineEdit(), Qt::LeftButton);
                QTest::mouseClick(edit("txtLAD2"), Qt::LeftButton);
            }
        }
        EXPECT_EQ(combo("cmbNS1")->currentText(), "s");
        EXPECT_EQ(combo("cmbEW1")->currentText(), "w");
        press();
        EXPECT_EQ(edit("txtAB3")->text(), "3022.8");
        EXPECT_EQ(edit("txtBA")->text(), "40");
        EXPECT_EQ(edit("txtAB")->text(), "227");
        EXPECT_TRUE(sink.shown.empty());
    }
}

}  // namespace
}  // namespace skybrant::ui
