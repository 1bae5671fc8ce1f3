#include "form1_controls.h"

#include "clickable_label.h"
#include "form1.h"
#include "keystroke_filter.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <limits>
#include <vector>

namespace skybrant::ui {

namespace {

using enum Control;
using enum Kind;
using enum Station;
using enum validation::Axis;
using enum validation::Unit;

// The window itself: its client area, and the light pink that frames and
// labels take from it.
constexpr Twips kClientArea{0, 0, 7560, 7005};
constexpr QRgb kPink = qRgb(255, 192, 255);
constexpr QRgb kButtonPink = qRgb(255, 128, 255);
constexpr QRgb kYellow = qRgb(255, 255, 0);
constexpr QRgb kLightYellow = qRgb(255, 255, 192);
constexpr QRgb kBlue = qRgb(0, 0, 255);

// Captions keep their wording, spelling and blanks as drawn ("programe",
// "Skybrant" for a beam heading, the blank before " Skybrants"): users know
// the window by them, and the layout tests compare them byte for byte. The
// runs of blanks in the column headings place each word over its box.
// clang-format off
constexpr std::array<ControlRow, kControlCount> kRows{{
    {.id = Frame1, .name = "Frame1", .kind = Frame, .place = {1080, 360, 4935, 855}, .text = "About this programe",
        .tabIndex = 21},
    {.id = Label1, .name = "Label1", .kind = Label, .parent = Frame1, .place = {120, 240, 4695, 495},
        .text = "This programe calculates the best Skybrant for contact another station, and the shortest distance "
                "between two locations.",
        .tabIndex = 22},

    {.id = Frame2, .name = "Frame2", .kind = Frame, .place = {360, 1440, 7095, 975},
        .text = "Data Input for My station", .tabIndex = 23},
    {.id = Label3, .name = "Label3", .kind = Label, .parent = Frame2, .place = {1080, 240, 2295, 255},
        .text = "Deg.      Min.      Sec.    N/S", .tabIndex = 25},
    {.id = Label4, .name = "Label4", .kind = Label, .parent = Frame2, .place = {4560, 240, 2175, 255},
        .text = "Deg.      Min.      Sec.    E / W", .tabIndex = 26},
    {.id = Label2, .name = "Label2", .kind = Label, .parent = Frame2, .place = {120, 480, 735, 255},
        .text = "Latitude :", .tabIndex = 24, .buddy = txtLAD1},
    {.id = txtLAD1, .name = "txtLAD1", .kind = Entry, .parent = Frame2, .place = {960, 480, 495, 285}, .text = " ",
        .tabIndex = 1, .accessibleName = "Own station latitude degrees",
        .description = "Whole degrees of latitude, at most 90", .coordinate = {Own, {Latitude, Degrees}},
        .saved = settings::kOwnLatitudeDegrees},
    {.id = txtLAM1, .name = "txtLAM1", .kind = Entry, .parent = Frame2, .place = {1560, 480, 495, 285}, .text = " ",
        .tabIndex = 2, .accessibleName = "Own station latitude minutes",
        .description = "Whole minutes of latitude, at most 60", .coordinate = {Own, {Latitude, Minutes}},
        .saved = settings::kOwnLatitudeMinutes},
    {.id = txtLAS1, .name = "txtLAS1", .kind = Entry, .parent = Frame2, .place = {2160, 480, 495, 285}, .text = " ",
        .tabIndex = 3, .accessibleName = "Own station latitude seconds",
        .description = "Whole seconds of latitude, at most 60", .coordinate = {Own, {Latitude, Seconds}},
        .saved = settings::kOwnLatitudeSeconds},
    // Screen readers on Linux take a combo box's text as its name, so the
    // hemisphere boxes also say what they are in their description.
    {.id = cmbNS1, .name = "cmbNS1", .kind = Hemisphere, .parent = Frame2, .place = {2760, 480, 495, 315}, .text = "N",
        .tabIndex = 4, .secondItem = "S", .accessibleName = "Own station latitude hemisphere",
        .description = "Own station latitude hemisphere: N for north or S for south",
        .saved = settings::kOwnLatitudeHemisphere},
    {.id = Label5, .name = "Label5", .kind = Label, .parent = Frame2, .place = {3600, 480, 855, 255},
        .text = "Longitude :", .tabIndex = 27, .buddy = txtLOD1},
    {.id = txtLOD1, .name = "txtLOD1", .kind = Entry, .parent = Frame2, .place = {4440, 480, 615, 285}, .text = " ",
        .tabIndex = 5, .accessibleName = "Own station longitude degrees",
        .description = "Whole degrees of longitude, at most 180", .coordinate = {Own, {Longitude, Degrees}},
        .saved = settings::kOwnLongitudeDegrees},
    {.id = txtLOM1, .name = "txtLOM1", .kind = Entry, .parent = Frame2, .place = {5160, 480, 495, 285}, .text = " ",
        .tabIndex = 6, .accessibleName = "Own station longitude minutes",
        .description = "Whole minutes of longitude, at most 60", .coordinate = {Own, {Longitude, Minutes}},
        .saved = settings::kOwnLongitudeMinutes},
    {.id = txtLOS1, .name = "txtLOS1", .kind = Entry, .parent = Frame2, .place = {5760, 480, 495, 285}, .text = " ",
        .tabIndex = 7, .accessibleName = "Own station longitude seconds",
        .description = "Whole seconds of longitude, at most 60", .coordinate = {Own, {Longitude, Seconds}},
        .saved = settings::kOwnLongitudeSeconds},
    {.id = cmbEW1, .name = "cmbEW1", .kind = Hemisphere, .parent = Frame2, .place = {6360, 480, 495, 315}, .text = "E",
        .tabIndex = 8, .secondItem = "W", .accessibleName = "Own station longitude hemisphere",
        .description = "Own station longitude hemisphere: E for east or W for west",
        .saved = settings::kOwnLongitudeHemisphere},

    {.id = Frame3, .name = "Frame3", .kind = Frame, .place = {360, 2640, 7095, 975},
        .text = "Data Input for the other station", .tabIndex = 28},
    {.id = Label7, .name = "Label7", .kind = Label, .parent = Frame3, .place = {960, 240, 2295, 255},
        .text = "Deg.       Min.      Sec.     N/S", .tabIndex = 30},
    {.id = Label9, .name = "Label9", .kind = Label, .parent = Frame3, .place = {4680, 240, 2055, 255},
        .text = "Deg.      Min.     Sec.   E/ W", .tabIndex = 32},
    {.id = Label6, .name = "Label6", .kind = Label, .parent = Frame3, .place = {120, 480, 735, 255},
        .text = "Latitude :", .tabIndex = 29, .buddy = txtLAD2},
    {.id = txtLAD2, .name = "txtLAD2", .kind = Entry, .parent = Frame3, .place = {960, 480, 495, 285}, .text = " ",
        .tabIndex = 9, .accessibleName = "Other station latitude degrees",
        .description = "Whole degrees of latitude, at most 90", .coordinate = {Other, {Latitude, Degrees}}},
    {.id = txtLAM2, .name = "txtLAM2", .kind = Entry, .parent = Frame3, .place = {1560, 480, 495, 285}, .text = " ",
        .tabIndex = 10, .accessibleName = "Other station latitude minutes",
        .description = "Whole minutes of latitude, at most 60", .coordinate = {Other, {Latitude, Minutes}}},
    {.id = txtLAS2, .name = "txtLAS2", .kind = Entry, .parent = Frame3, .place = {2160, 480, 495, 285}, .text = " ",
        .tabIndex = 11, .accessibleName = "Other station latitude seconds",
        .description = "Whole seconds of latitude, at most 60", .coordinate = {Other, {Latitude, Seconds}}},
    {.id = cmbNS2, .name = "cmbNS2", .kind = Hemisphere, .parent = Frame3, .place = {2760, 480, 495, 315}, .text = "N",
        .tabIndex = 12, .secondItem = "S", .accessibleName = "Other station latitude hemisphere",
        .description = "Other station latitude hemisphere: N for north or S for south"},
    {.id = Label8, .name = "Label8", .kind = Label, .parent = Frame3, .place = {3480, 480, 855, 255},
        .text = "Longitude :", .tabIndex = 31, .buddy = txtLOD2},
    {.id = txtLOD2, .name = "txtLOD2", .kind = Entry, .parent = Frame3, .place = {4440, 480, 615, 285}, .text = " ",
        .tabIndex = 13, .accessibleName = "Other station longitude degrees",
        .description = "Whole degrees of longitude, at most 180", .coordinate = {Other, {Longitude, Degrees}}},
    {.id = txtLOM2, .name = "txtLOM2", .kind = Entry, .parent = Frame3, .place = {5160, 480, 495, 285}, .text = " ",
        .tabIndex = 14, .accessibleName = "Other station longitude minutes",
        .description = "Whole minutes of longitude, at most 60", .coordinate = {Other, {Longitude, Minutes}}},
    {.id = txtLOS2, .name = "txtLOS2", .kind = Entry, .parent = Frame3, .place = {5760, 480, 495, 285}, .text = " ",
        .tabIndex = 15, .accessibleName = "Other station longitude seconds",
        .description = "Whole seconds of longitude, at most 60", .coordinate = {Other, {Longitude, Seconds}}},
    {.id = cmbEW2, .name = "cmbEW2", .kind = Hemisphere, .parent = Frame3, .place = {6360, 480, 495, 315}, .text = "E",
        .tabIndex = 16, .secondItem = "W", .accessibleName = "Other station longitude hemisphere",
        .description = "Other station longitude hemisphere: E for east or W for west"},

    {.id = Command1, .name = "Command1", .kind = Button, .place = {360, 4920, 1575, 735}, .text = "Press",
        .tabIndex = 17, .background = kButtonPink, .bigBold = true, .accessibleName = "Press",
        .description = "Computes the beam headings and the distance"},

    {.id = Frame4, .name = "Frame4", .kind = Frame, .place = {3000, 4080, 4215, 1815}, .text = " Skybrants",
        .tabIndex = 33},
    {.id = Label10, .name = "Label10", .kind = Label, .parent = Frame4, .place = {240, 360, 1695, 255},
        .text = "My Skybrant =", .tabIndex = 35, .buddy = txtBA},
    {.id = txtBA, .name = "txtBA", .kind = Result, .parent = Frame4, .place = {2040, 360, 735, 360}, .text = " ",
        .tabIndex = 18, .background = kYellow, .bigBold = true,
        .accessibleName = "Beam heading from my station, degrees",
        .description = "Whole degrees clockwise from north, from my station towards the other station"},
    {.id = Label11Degrees, .name = "Label11", .kind = Link, .parent = Frame4, .place = {3000, 360, 855, 255},
        .text = "Degrees", .tabIndex = 34, .index = 0},
    // The nine blanks carry "other station" onto the label's second line.
    {.id = Label12, .name = "Label12", .kind = Label, .parent = Frame4, .place = {120, 1080, 1695, 495},
        .text = "Skybrant of the         other station", .tabIndex = 36, .breakAtBlanks = true, .buddy = txtAB},
    {.id = txtAB, .name = "txtAB", .kind = Result, .parent = Frame4, .place = {2040, 1080, 735, 285}, .text = " ",
        .tabIndex = 19, .background = kLightYellow, .accessibleName = "Beam heading from the other station, degrees",
        .description = "Whole degrees clockwise from north, from the other station back towards mine"},
    {.id = Label13, .name = "Label13", .kind = Label, .parent = Frame4, .place = {3000, 1080, 855, 375},
        .text = "Degrees", .tabIndex = 37},

    {.id = Frame5, .name = "Frame5", .kind = Frame, .place = {3120, 6120, 4215, 735}, .text = "Distance",
        .tabIndex = 38},
    {.id = Label14, .name = "Label14", .kind = Label, .parent = Frame5, .place = {120, 240, 2535, 255},
        .text = "Distance between two stations =", .tabIndex = 39, .buddy = txtAB3},
    {.id = txtAB3, .name = "txtAB3", .kind = Result, .parent = Frame5, .place = {2520, 240, 975, 285}, .text = " ",
        .tabIndex = 20, .background = kLightYellow, .accessibleName = "Distance between the two stations, kilometres",
        .description = "Great-circle distance to one decimal"},
    {.id = Label15, .name = "Label15", .kind = Label, .parent = Frame5, .place = {3600, 240, 495, 255}, .text = "km",
        .tabIndex = 40},

    // Tab index 0, but a label takes no focus, so the entries come first.
    {.id = Label11Credit, .name = "Label11", .kind = Link, .place = {360, 6480, 1680, 255},
        .text = SKYBRANT_CREDIT_TEXT, .tabIndex = 0, .textColour = kBlue, .handCursor = true,
        .toolTip = "About Skybrant (F1)", .accessibleName = SKYBRANT_CREDIT_TEXT,
        .description = "Opens the about page; the help key (F1) does the same",
        .index = 1},
}};
// clang-format on

constexpr bool rowsInControlOrder()
{
    for (std::size_t i = 0; i < kRows.size(); ++i) {
        if (static_cast<std::size_t>(kRows[i].id) != i) {
            return false;
        }
    }
    return true;
}
static_assert(rowsInControlOrder(), "each row stands at its control's place");

// Every number of the layout is a multiple of 15 twips, so the pixels are
// exact; Qt scales them for high-density screens.
QRect pixels(const Twips& t)
{
    constexpr int kTwipsPerPixel = 15;
    return {t.left / kTwipsPerPixel, t.top / kTwipsPerPixel, t.width / kTwipsPerPixel, t.height / kTwipsPerPixel};
}

void setColour(QWidget* w, QPalette::ColorRole role, QRgb colour)
{
    QPalette p = w->palette();
    p.setColor(role, QColor::fromRgb(colour));
    w->setPalette(p);
}

QLineEdit* textBox(const ControlRow& row, QWidget* parent)
{
    auto* t = new QLineEdit(parent);
    t->setMaxLength(std::numeric_limits<int>::max());  // any length, not Qt's default 32767
    t->setText(QString::fromUtf8(row.text));
    t->setReadOnly(row.kind == Result);
    return t;
}

QComboBox* hemisphereBox(const ControlRow& row, QWidget* parent)
{
    auto* c = new QComboBox(parent);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    // Without a completer the box matches its items case-sensitively when
    // editing finishes, so a shown "s" or "w" (pasted, or restored) stays as
    // it is when the focus passes through, instead of turning into "S" or
    // "W" and so into the other hemisphere. Nothing is typed here to complete.
    c->setCompleter(nullptr);
    c->addItem(QString::fromUtf8(row.text));
    c->addItem(QString::fromUtf8(row.secondItem));
    // The first item's text, without picking an item.
    c->setCurrentIndex(-1);
    c->setEditText(QString::fromUtf8(row.text));
    return c;
}

QLabel* label(const ControlRow& row, QWidget* parent)
{
    QLabel* l = row.kind == Link ? new ClickableLabel(row.index, parent) : new QLabel(parent);
    l->setTextFormat(Qt::PlainText);
    l->setText(QString::fromUtf8(row.text));
    l->setWordWrap(true);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

// The caption's run of blanks was sized for the wider blanks of the font the
// layout was drawn with, to push the rest onto the second line. Blanks here
// are narrower, so the text area ends where the longer of the two lines
// does, and the label wraps at the blanks whatever their width.
void breakAtBlanks(QLabel* l)
{
    const QString caption = l->text();
    const qsizetype blanks = caption.indexOf(QLatin1String("  "));
    const QFontMetrics metrics = l->fontMetrics();
    const int lines = std::max(
        metrics.horizontalAdvance(caption.left(blanks)), metrics.horizontalAdvance(caption.mid(blanks).trimmed()));
    l->setContentsMargins(0, 0, std::max(0, l->width() - lines - 1), 0);
}

}  // namespace

const std::array<ControlRow, kControlCount>& controlRows()
{
    return kRows;
}

QWidget* Form1::makeControl(const ControlRow& row, QWidget* parent)
{
    switch (row.kind) {
    case Frame: {
        auto* f = new QGroupBox(QString::fromUtf8(row.text), parent);
        f->setStyle(classicStyle_.get());
        return f;
    }
    case Button: {
        auto* b = new QPushButton(QString::fromUtf8(row.text), parent);
        b->setAutoDefault(true);  // Enter on the focused button presses it
        b->setStyle(classicStyle_.get());
        connect(b, &QPushButton::clicked, this, &Form1::Command1_Click);
        return b;
    }
    case Label:
        return label(row, parent);
    case Link: {
        QLabel* l = label(row, parent);
        connect(static_cast<ClickableLabel*>(l), &ClickableLabel::clicked, this, &Form1::Label11_Click);
        return l;
    }
    case Entry: {
        QLineEdit* t = textBox(row, parent);
        // textChanged also fires for text the program sets, at once and
        // nested inside setText: the range checks rely on that.
        connect(t, &QLineEdit::textChanged, this, [this, box = row.id] { boxChanged(box); });
        t->installEventFilter(new KeystrokeFilter(t, [this](char16_t& c) { coordinateKeyPress(c); }));
        return t;
    }
    case Result:
        return textBox(row, parent);
    case Hemisphere: {
        QComboBox* c = hemisphereBox(row, parent);
        auto* filter = new KeystrokeFilter(c, &Form1::hemisphereKeyPress);
        // Keys reach the combo first and may be passed on to its edit field.
        c->installEventFilter(filter);
        c->lineEdit()->installEventFilter(filter);
        return c;
    }
    }
    return nullptr;
}

void Form1::buildControls()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Skybrant"));
    resize(pixels(kClientArea).size());
    setColour(this, QPalette::Window, kPink);
    setAutoFillBackground(true);
    // The platform's family at the small size the layout was drawn for;
    // its condensed face, where it has one, keeps the captions inside their
    // fixed places.
    QFont font = this->font();
    font.setPointSize(8);
    font.setStretch(QFont::Condensed);
    setFont(font);

    std::vector<const ControlRow*> tabOrder;
    for (const ControlRow& row : kRows) {
        QWidget* w = makeControl(row, row.parent ? control<QWidget>(*row.parent) : this);
        widgets_[static_cast<std::size_t>(row.id)] = w;
        w->setObjectName(QLatin1String(row.name));
        w->setGeometry(pixels(row.place));
        if (row.breakAtBlanks) {
            breakAtBlanks(static_cast<QLabel*>(w));
        }
        if (row.background != 0) {
            setColour(w, row.kind == Button ? QPalette::Button : QPalette::Base, row.background);
        }
        if (row.textColour != 0) {
            setColour(w, QPalette::WindowText, row.textColour);
        }
        if (row.bigBold) {
            QFont f = w->font();
            f.setPointSize(12);
            f.setBold(true);
            w->setFont(f);
        }
        if (row.handCursor) {
            w->setCursor(Qt::PointingHandCursor);
        }
        w->setToolTip(QString::fromUtf8(row.toolTip));
        w->setAccessibleName(QString::fromUtf8(row.accessibleName));
        w->setAccessibleDescription(QString::fromUtf8(row.description));
        if (w->focusPolicy() != Qt::NoFocus) {
            tabOrder.push_back(&row);
        }
    }
    for (const ControlRow& row : kRows) {
        if (row.buddy) {
            control<QLabel>(row.id)->setBuddy(control<QWidget>(*row.buddy));
        }
    }
    // Tab walks the entries station by station, then the button and results.
    std::ranges::sort(tabOrder, {}, &ControlRow::tabIndex);
    for (std::size_t i = 0; i + 1 < tabOrder.size(); ++i) {
        setTabOrder(control<QWidget>(tabOrder[i]->id), control<QWidget>(tabOrder[i + 1]->id));
    }
}

}  // namespace skybrant::ui
