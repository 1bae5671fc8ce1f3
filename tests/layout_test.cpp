// The window checked against its layout: names, captions, initial texts,
// places in twips (15 to a pixel), colours, fonts and the tab order.

#include "form1_fixture.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace skybrant::ui {
namespace {

struct Control {
    const char* parent;  // "Form1" for the window itself
    const char* name;
    const char* kind;  // frame, label, text, combo, button
    const char* text;  // caption, or initial text
    int left, top, width, height;
};

const Control kControls[] = {
    {"Form1", "Frame1", "frame", "About this programe", 1080, 360, 4935, 855},
    {"Frame1", "Label1", "label",
        "This programe calculates the best Skybrant for contact another station, and the shortest distance between "
        "two locations.",
        120, 240, 4695, 495},
    {"Form1", "Frame2", "frame", "Data Input for My station", 360, 1440, 7095, 975},
    {"Frame2", "Label3", "label", "Deg.      Min.      Sec.    N/S", 1080, 240, 2295, 255},
    {"Frame2", "Label4", "label", "Deg.      Min.      Sec.    E / W", 4560, 240, 2175, 255},
    {"Frame2", "Label2", "label", "Latitude :", 120, 480, 735, 255},
    {"Frame2", "txtLAD1", "text", " ", 960, 480, 495, 285}, {"Frame2", "txtLAM1", "text", " ", 1560, 480, 495, 285},
    {"Frame2", "txtLAS1", "text", " ", 2160, 480, 495, 285}, {"Frame2", "cmbNS1", "combo", "N", 2760, 480, 495, 315},
    {"Frame2", "Label5", "label", "Longitude :", 3600, 480, 855, 255},
    {"Frame2", "txtLOD1", "text", " ", 4440, 480, 615, 285}, {"Frame2", "txtLOM1", "text", " ", 5160, 480, 495, 285},
    {"Frame2", "txtLOS1", "text", " ", 5760, 480, 495, 285}, {"Frame2", "cmbEW1", "combo", "E", 6360, 480, 495, 315},
    {"Form1", "Frame3", "frame", "Data Input for the other station", 360, 2640, 7095, 975},
    {"Frame3", "Label7", "label", "Deg.       Min.      Sec.     N/S", 960, 240, 2295, 255},
    {"Frame3", "Label9", "label", "Deg.      Min.     Sec.   E/ W", 4680, 240, 2055, 255},
    {"Frame3", "Label6", "label", "Latitude :", 120, 480, 735, 255},
    {"Frame3", "txtLAD2", "text", " ", 960, 480, 495, 285}, {"Frame3", "txtLAM2", "text", " ", 1560, 480, 495, 285},
    {"Frame3", "txtLAS2", "text", " ", 2160, 480, 495, 285}, {"Frame3", "cmbNS2", "combo", "N", 2760, 480, 495, 315},
    {"Frame3", "Label8", "label", "Longitude :", 3480, 480, 855, 255},
    {"Frame3", "txtLOD2", "text", " ", 4440, 480, 615, 285}, {"Frame3", "txtLOM2", "text", " ", 5160, 480, 495, 285},
    {"Frame3", "txtLOS2", "text", " ", 5760, 480, 495, 285}, {"Frame3", "cmbEW2", "combo", "E", 6360, 480, 495, 315},
    {"Form1", "Command1", "button", "Press", 360, 4920, 1575, 735},
    {"Form1", "Frame4", "frame", " Skybrants", 3000, 4080, 4215, 1815},
    {"Frame4", "Label10", "label", "My Skybrant =", 240, 360, 1695, 255},
    {"Frame4", "txtBA", "text", " ", 2040, 360, 735, 360},
    {"Frame4", "Label11", "label", "Degrees", 3000, 360, 855, 255},
    {"Frame4", "Label12", "label", "Skybrant of the         other station", 120, 1080, 1695, 495},
    {"Frame4", "txtAB", "text", " ", 2040, 1080, 735, 285},
    {"Frame4", "Label13", "label", "Degrees", 3000, 1080, 855, 375},
    {"Form1", "Frame5", "frame", "Distance", 3120, 6120, 4215, 735},
    {"Frame5", "Label14", "label", "Distance between two stations =", 120, 240, 2535, 255},
    {"Frame5", "txtAB3", "text", " ", 2520, 240, 975, 285}, {"Frame5", "Label15", "label", "km", 3600, 240, 495, 255},
    {"Form1", "Label11", "label", nullptr, 360, 6480, 1680, 255},  // the credit line; its text is ours
};

QRect fromTwips(const Control& c)
{
    return {c.left / 15, c.top / 15, c.width / 15, c.height / 15};
}

QWidget* findControl(QWidget* form, const Control& c)
{
    QWidget* parent =
        QLatin1String(c.parent) == QLatin1String("Form1") ? form : form->findChild<QWidget*>(QLatin1String(c.parent));
    if (parent == nullptr) {
        return nullptr;
    }
    return parent->findChild<QWidget*>(QLatin1String(c.name), Qt::FindDirectChildrenOnly);
}

QString textOf(QWidget* w)
{
    if (auto* f = qobject_cast<QGroupBox*>(w)) {
        return f->title();
    }
    if (auto* l = qobject_cast<QLabel*>(w)) {
        return l->text();
    }
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        return e->text();
    }
    if (auto* c = qobject_cast<QComboBox*>(w)) {
        return c->currentText();
    }
    if (auto* b = qobject_cast<QPushButton*>(w)) {
        return b->text();
    }
    return {};
}

bool isKind(QWidget* w, const char* kind)
{
    const QLatin1String k(kind);
    return (k == QLatin1String("frame") && qobject_cast<QGroupBox*>(w) != nullptr) ||
        (k == QLatin1String("label") && qobject_cast<QLabel*>(w) != nullptr) ||
        (k == QLatin1String("text") && qobject_cast<QLineEdit*>(w) != nullptr) ||
        (k == QLatin1String("combo") && qobject_cast<QComboBox*>(w) != nullptr) ||
        (k == QLatin1String("button") && qobject_cast<QPushButton*>(w) != nullptr);
}

TEST_F(Form1Test, EveryControlHasItsNameTextAndPlace)
{
    EXPECT_EQ(form->objectName(), "Form1");
    EXPECT_EQ(form->windowTitle(), "Skybrant");
    EXPECT_EQ(form->size(), QSize(7560 / 15, 7005 / 15));
    EXPECT_FALSE(form->windowIcon().isNull());
    for (const Control& c : kControls) {
        SCOPED_TRACE(std::string(c.parent) + "/" + c.name);
        QWidget* w = findControl(form.get(), c);
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(isKind(w, c.kind));
        EXPECT_EQ(w->geometry(), fromTwips(c));
        if (c.text != nullptr) {
            EXPECT_EQ(textOf(w), QString::fromUtf8(c.text));
        }
        if (auto* l = qobject_cast<QLabel*>(w)) {
            EXPECT_TRUE(l->wordWrap());
            EXPECT_EQ(l->textFormat(), Qt::PlainText);
        }
        if (auto* cb = qobject_cast<QComboBox*>(w)) {
            EXPECT_TRUE(cb->isEditable());
            EXPECT_EQ(cb->insertPolicy(), QComboBox::NoInsert);
            ASSERT_EQ(cb->count(), 2);
            EXPECT_EQ(cb->itemText(0), QString::fromUtf8(c.text));
            EXPECT_EQ(cb->itemText(1), QLatin1String(c.text[0] == 'N' ? "S" : "W"));
            EXPECT_EQ(cb->currentIndex(), -1);  // the text is set, no item picked
        }
    }
    auto* const credit = form->findChild<QLabel*>(QStringLiteral("Label11"), Qt::FindDirectChildrenOnly);
    ASSERT_NE(credit, nullptr);
    EXPECT_FALSE(credit->text().trimmed().isEmpty());
    EXPECT_EQ(credit->cursor().shape(), Qt::PointingHandCursor);
}

TEST_F(Form1Test, ColoursAndFonts)
{
    const QColor pink(255, 192, 255);
    EXPECT_EQ(form->palette().color(QPalette::Window), pink);
    EXPECT_TRUE(form->autoFillBackground());
    for (const Control& c : kControls) {
        SCOPED_TRACE(std::string(c.parent) + "/" + c.name);
        QWidget* w = findControl(form.get(), c);
        ASSERT_NE(w, nullptr);
        if (isKind(w, "frame") || isKind(w, "label")) {
            EXPECT_EQ(w->palette().color(QPalette::Window), pink);
        }
    }
    const auto color = [&](const char* name, QPalette::ColorRole role) {
        return form->findChild<QWidget*>(QLatin1String(name))->palette().color(role);
    };
    EXPECT_EQ(color("Command1", QPalette::Button), QColor(255, 128, 255));
    EXPECT_EQ(color("txtBA", QPalette::Base), QColor(255, 255, 0));
    EXPECT_EQ(color("txtAB", QPalette::Base), QColor(255, 255, 192));
    EXPECT_EQ(color("txtAB3", QPalette::Base), QColor(255, 255, 192));
    auto* const credit = form->findChild<QLabel*>(QStringLiteral("Label11"), Qt::FindDirectChildrenOnly);
    EXPECT_EQ(credit->palette().color(QPalette::WindowText), QColor(0, 0, 255));

    for (const char* name : {"Command1", "txtBA"}) {
        SCOPED_TRACE(name);
        const QFont f = form->findChild<QWidget*>(QLatin1String(name))->font();
        EXPECT_EQ(f.pointSize(), 12);
        EXPECT_TRUE(f.bold());
    }
    for (const char* name : {"txtAB", "txtAB3", "txtLAD1", "Label1", "cmbNS1"}) {
        SCOPED_TRACE(name);
        const QFont f = form->findChild<QWidget*>(QLatin1String(name))->font();
        EXPECT_EQ(f.pointSize(), 8);
        EXPECT_FALSE(f.bold());
    }
    for (const char* name : {"txtBA", "txtAB", "txtAB3"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(edit(name)->isReadOnly());
    }
}

TEST_F(Form1Test, FocusStartsAtLatitudeDegreesAndTabWalksTheEntries)
{
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    EXPECT_EQ(QApplication::focusWidget(), edit("txtLAD1"));
    const char* order[] = {
        "txtLAD1",
        "txtLAM1",
        "txtLAS1",
        "cmbNS1",
        "txtLOD1",
        "txtLOM1",
        "txtLOS1",
        "cmbEW1",
        "txtLAD2",
        "txtLAM2",
        "txtLAS2",
        "cmbNS2",
        "txtLOD2",
        "txtLOM2",
        "txtLOS2",
        "cmbEW2",
        "Command1",
        "txtBA",
        "txtAB",
        "txtAB3",
        "txtLAD1",
    };
    const auto focusedName = [] {
        QWidget* f = QApplication::focusWidget();
        // An editable combo's edit field stands for its combo.
        if (f != nullptr && qobject_cast<QComboBox*>(f->parentWidget()) != nullptr) {
            f = f->parentWidget();
        }
        return f != nullptr ? f->objectName() : QString();
    };
    for (std::size_t i = 1; i < std::size(order); ++i) {
        SCOPED_TRACE(std::string("after ") + order[i - 1]);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(focusedName(), QLatin1String(order[i]));
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(focusedName(), "txtAB3");
    EXPECT_TRUE(sink.shown.empty());
}

TEST_F(Form1Test, ControlsKeepTheirPlacesWhenTheWindowIsResized)
{
    const QRect before = edit("txtLOS2")->geometry();
    const QRect frameBefore = form->findChild<QWidget*>(QStringLiteral("Frame5"))->geometry();
    form->resize(900, 700);
    QApplication::processEvents();
    EXPECT_EQ(edit("txtLOS2")->geometry(), before);
    EXPECT_EQ(form->findChild<QWidget*>(QStringLiteral("Frame5"))->geometry(), frameBefore);
    form->resize(200, 150);
    QApplication::processEvents();
    EXPECT_EQ(edit("txtLOS2")->geometry(), before);
}

}  // namespace
}  // namespace skybrant::ui

namespace skybrant::ui {
namespace {

// Columns of each line of text a label shows, read from its pixels: one
// entry per band of rows that holds ink, with the band's leftmost and
// rightmost inked column.
std::vector<std::pair<int, int>> inkedLines(QLabel* label)
{
    const QImage image = label->grab().toImage();
    const QColor background = label->palette().color(QPalette::Window);
    const auto inked = [&](int x, int y) {
        const QColor c = image.pixelColor(x, y);
        return std::abs(c.red() - background.red()) + std::abs(c.green() - background.green()) +
            std::abs(c.blue() - background.blue()) >
            150;
    };
    std::vector<std::pair<int, int>> lines;
    bool inLine = false;
    for (int y = 0; y < image.height(); ++y) {
        int left = image.width();
        int right = -1;
        for (int x = 0; x < image.width(); ++x) {
            if (inked(x, y)) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
        if (right < 0) {
            inLine = false;
            continue;
        }
        if (!inLine) {
            lines.emplace_back(left, right);
            inLine = true;
        }
        lines.back() = {std::min(lines.back().first, left), std::max(lines.back().second, right)};
    }
    return lines;
}

// The nine blanks of "Skybrant of the         other station" carry "other
// station" onto the second line, whatever the width of a blank.
TEST_F(Form1Test, OtherStationLabelBreaksAtItsBlanks)
{
    auto* label = form->findChild<QLabel*>(QStringLiteral("Label12"));
    ASSERT_NE(label, nullptr);
    const QFontMetrics metrics = label->fontMetrics();
    const auto lines = inkedLines(label);
    ASSERT_EQ(lines.size(), 2U);
    // The first line ends with "the"; the second holds both words.
    EXPECT_LE(lines[0].second, metrics.horizontalAdvance(QStringLiteral("Skybrant of the")) + 1);
    EXPECT_GE(lines[1].second, metrics.horizontalAdvance(QStringLiteral("other station")) - 4);
}

}  // namespace
}  // namespace skybrant::ui
