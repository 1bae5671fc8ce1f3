#include "form1.h"

#include "author_link.h"
#include "clickable_label.h"
#include "core/compute.h"
#include "keystroke_filter.h"
#include "settings/settings_store.h"
#include "validation/box_reader.h"
#include "validation/keystroke.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QStyleFactory>
#include <QTimer>

#include <limits>

namespace skybrant::ui {

namespace {

using validation::Axis;
using validation::Unit;

// Positions and sizes are kept in twips, 15 to a pixel.
constexpr int kTwipsPerPixel = 15;

QRect twips(int left, int top, int width, int height)
{
    return {left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel, height / kTwipsPerPixel};
}

const QColor kPink(255, 192, 255);
const QColor kButtonPink(255, 128, 255);
const QColor kYellow(255, 255, 0);
const QColor kLightYellow(255, 255, 192);
const QColor kBlue(0, 0, 255);

template <typename W>
W* place(QWidget* parent, const char* name, const QRect& geometry)
{
    auto* w = new W(parent);
    w->setObjectName(QLatin1String(name));
    w->setGeometry(geometry);
    return w;
}

void setUpLabel(QLabel* l, const QString& text)
{
    l->setTextFormat(Qt::PlainText);
    l->setText(text);
    l->setWordWrap(true);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

QLabel* label(QWidget* parent, const char* name, const char* text, const QRect& geometry)
{
    auto* l = place<QLabel>(parent, name, geometry);
    setUpLabel(l, QString::fromUtf8(text));
    return l;
}

QLineEdit* textBox(QWidget* parent, const char* name, const QRect& geometry)
{
    auto* t = place<QLineEdit>(parent, name, geometry);
    t->setMaxLength(std::numeric_limits<int>::max());  // any length, not Qt's default 32767
    t->setText(QStringLiteral(" "));
    return t;
}

QLineEdit* resultBox(QWidget* parent, const char* name, const QRect& geometry, const QColor& background)
{
    auto* t = textBox(parent, name, geometry);
    t->setReadOnly(true);
    QPalette p = t->palette();
    p.setColor(QPalette::Base, background);
    t->setPalette(p);
    return t;
}

QComboBox* combo(QWidget* parent, const char* name, const char* first, const char* second, const QRect& geometry)
{
    auto* c = place<QComboBox>(parent, name, geometry);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->addItem(QString::fromLatin1(first));
    c->addItem(QString::fromLatin1(second));
    // The first item's text, without picking an item.
    c->setCurrentIndex(-1);
    c->setEditText(QString::fromLatin1(first));
    return c;
}

// Both members of the Label11 group share one name and one click handler.
ClickableLabel* linkLabel(int index, QWidget* parent, const char* text, const QRect& geometry)
{
    auto* l = new ClickableLabel(index, parent);
    l->setObjectName(QStringLiteral("Label11"));
    l->setGeometry(geometry);
    setUpLabel(l, QString::fromUtf8(text));
    return l;
}

void makeBigBold(QWidget* w)
{
    QFont f = w->font();
    f.setPointSize(12);
    f.setBold(true);
    w->setFont(f);
}

// The copies built into the program, in every size the desktop asks for.
QIcon builtInIcon()
{
    QIcon icon;
    for (const int size : {32, 48, 128, 256}) {
        icon.addFile(QStringLiteral(":/skybrant/skybrant-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

}  // namespace

Form1::Form1(MessageSink* sink, settings::SettingsStore* store, UrlOpener* opener, QWidget* parent)
    : QWidget(parent), sink_(sink), store_(store), opener_(opener)
{
    if (sink_ == nullptr) {
        ownedSink_ = std::make_unique<MessageBoxSink>(this);
        sink_ = ownedSink_.get();
    }
    if (opener_ == nullptr) {
        ownedOpener_ = std::make_unique<DesktopUrlOpener>();
        opener_ = ownedOpener_.get();
    }
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Skybrant"));
    setWindowIcon(builtInIcon());
    resize(twips(0, 0, 7560, 7005).size());

    QPalette p = palette();
    p.setColor(QPalette::Window, kPink);
    setPalette(p);
    setAutoFillBackground(true);
    // The platform's family at the small size the layout was drawn for;
    // its condensed face, where it has one, keeps the captions inside their
    // fixed places.
    QFont f = font();
    f.setPointSize(8);
    f.setStretch(QFont::Condensed);
    setFont(f);
    // Frames with the caption set into the top edge of an etched border, and
    // the button in its own flat colour, as the classic style draws them;
    // other controls keep the desktop's style.
    classicStyle_.reset(QStyleFactory::create(QStringLiteral("Windows")));

    buildControls();
    wireHandlers();
    boxes_[LAD1].edit->setFocus();
}

Form1::~Form1()
{
    // The frames and the button draw with classicStyle_, which goes with the
    // members: let them go first.
    qDeleteAll(findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly));
    delete command1_;
}

QGroupBox* Form1::frame(QWidget* parent, const char* name, const char* title, const QRect& geometry)
{
    auto* f = place<QGroupBox>(parent, name, geometry);
    f->setTitle(QString::fromUtf8(title));
    if (classicStyle_) {
        f->setStyle(classicStyle_.get());
    }
    return f;
}

void Form1::buildControls()
{
    QGroupBox* frame1 = frame(this, "Frame1", "About this programe", twips(1080, 360, 4935, 855));
    label(frame1, "Label1",
        "This programe calculates the best Skybrant for contact another station, and the shortest distance "
        "between two locations.",
        twips(120, 240, 4695, 495));

    // The two entry frames differ only in their names, captions and a few
    // label positions.
    struct EntryFrame {
        const char* frame;
        const char* caption;
        int top;
        const char *latHeading, *lonHeading, *latLabel, *lonLabel;
        const char *latHeadingText, *lonHeadingText;
        QRect latHeadingRect, lonHeadingRect, lonLabelRect;
        const char* names[6];
        const char *ns, *ew;
    };
    const EntryFrame entries[2] = {
        {"Frame2", "Data Input for My station", 1440, "Label3", "Label4", "Label2", "Label5",
            "Deg.      Min.      Sec.    N/S", "Deg.      Min.      Sec.    E / W", twips(1080, 240, 2295, 255),
            twips(4560, 240, 2175, 255), twips(3600, 480, 855, 255),
            {"txtLAD1", "txtLAM1", "txtLAS1", "txtLOD1", "txtLOM1", "txtLOS1"}, "cmbNS1", "cmbEW1"},
        {"Frame3", "Data Input for the other station", 2640, "Label7", "Label9", "Label6", "Label8",
            "Deg.       Min.      Sec.     N/S", "Deg.      Min.     Sec.   E/ W", twips(960, 240, 2295, 255),
            twips(4680, 240, 2055, 255), twips(3480, 480, 855, 255),
            {"txtLAD2", "txtLAM2", "txtLAS2", "txtLOD2", "txtLOM2", "txtLOS2"}, "cmbNS2", "cmbEW2"},
    };
    const int boxLefts[6] = {960, 1560, 2160, 4440, 5160, 5760};
    const int boxWidths[6] = {495, 495, 495, 615, 495, 495};
    QComboBox* combos[2][2] = {};
    for (int s = 0; s < 2; ++s) {
        const EntryFrame& e = entries[s];
        QGroupBox* fr = frame(this, e.frame, e.caption, twips(360, e.top, 7095, 975));
        label(fr, e.latHeading, e.latHeadingText, e.latHeadingRect);
        label(fr, e.lonHeading, e.lonHeadingText, e.lonHeadingRect);
        label(fr, e.latLabel, "Latitude :", twips(120, 480, 735, 255));
        label(fr, e.lonLabel, "Longitude :", e.lonLabelRect);
        StationEntry& station = s == 0 ? own_ : other_;
        std::int32_t* fields[6] = {&station.latDegrees, &station.latMinutes, &station.latSeconds, &station.lonDegrees,
            &station.lonMinutes, &station.lonSeconds};
        for (int i = 0; i < 6; ++i) {
            CoordinateBox& b = boxes_[(static_cast<std::size_t>(s) * 6) + static_cast<std::size_t>(i)];
            b.edit = textBox(fr, e.names[i], twips(boxLefts[i], 480, boxWidths[i], 285));
            b.role = {i < 3 ? Axis::Latitude : Axis::Longitude, static_cast<Unit>(i % 3)};
            b.stored = fields[i];
            b.degrees = fields[i < 3 ? 0 : 3];
        }
        combos[s][0] = combo(fr, e.ns, "N", "S", twips(2760, 480, 495, 315));
        combos[s][1] = combo(fr, e.ew, "E", "W", twips(6360, 480, 495, 315));
    }
    cmbNS1_ = combos[0][0];
    cmbEW1_ = combos[0][1];
    cmbNS2_ = combos[1][0];
    cmbEW2_ = combos[1][1];

    command1_ = place<QPushButton>(this, "Command1", twips(360, 4920, 1575, 735));
    command1_->setText(QStringLiteral("Press"));
    command1_->setAutoDefault(true);  // Enter on the focused button presses it
    QPalette bp = command1_->palette();
    bp.setColor(QPalette::Button, kButtonPink);
    command1_->setPalette(bp);
    makeBigBold(command1_);
    if (classicStyle_) {
        command1_->setStyle(classicStyle_.get());
    }

    QGroupBox* frame4 = frame(this, "Frame4", " Skybrants", twips(3000, 4080, 4215, 1815));
    label(frame4, "Label10", "My Skybrant =", twips(240, 360, 1695, 255));
    txtBA_ = resultBox(frame4, "txtBA", twips(2040, 360, 735, 360), kYellow);
    makeBigBold(txtBA_);
    label11_[0] = linkLabel(0, frame4, "Degrees", twips(3000, 360, 855, 255));
    label(frame4, "Label12", "Skybrant of the         other station", twips(120, 1080, 1695, 495));
    txtAB_ = resultBox(frame4, "txtAB", twips(2040, 1080, 735, 285), kLightYellow);
    label(frame4, "Label13", "Degrees", twips(3000, 1080, 855, 375));

    QGroupBox* frame5 = frame(this, "Frame5", "Distance", twips(3120, 6120, 4215, 735));
    label(frame5, "Label14", "Distance between two stations =", twips(120, 240, 2535, 255));
    txtAB3_ = resultBox(frame5, "txtAB3", twips(2520, 240, 975, 285), kLightYellow);
    label(frame5, "Label15", "km", twips(3600, 240, 495, 255));

    label11_[1] = linkLabel(1, this, "", twips(360, 6480, 1680, 255));
    label11_[1]->setText(creditText());
    QPalette lp = label11_[1]->palette();
    lp.setColor(QPalette::WindowText, kBlue);
    label11_[1]->setPalette(lp);
    label11_[1]->setCursor(Qt::PointingHandCursor);

    describeForAssistiveTools();

    // Tab walks the entries station by station, then the button and results.
    QWidget* order[] = {
        boxes_[LAD1].edit,
        boxes_[LAM1].edit,
        boxes_[LAS1].edit,
        cmbNS1_,
        boxes_[LOD1].edit,
        boxes_[LOM1].edit,
        boxes_[LOS1].edit,
        cmbEW1_,
        boxes_[LAD2].edit,
        boxes_[LAM2].edit,
        boxes_[LAS2].edit,
        cmbNS2_,
        boxes_[LOD2].edit,
        boxes_[LOM2].edit,
        boxes_[LOS2].edit,
        cmbEW2_,
        command1_,
        txtBA_,
        txtAB_,
        txtAB3_,
    };
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
        setTabOrder(order[i], order[i + 1]);
    }
}

void Form1::describeForAssistiveTools()
{
    struct Description {
        const char* control;
        const char* name;
        const char* description;
    };
    // Linux screen readers take a combo box's text as its name, so the
    // hemisphere boxes also say what they are in their description.
    static constexpr Description kDescriptions[] = {
        {"txtLAD1", "Own station latitude degrees", "Whole degrees of latitude, at most 90"},
        {"txtLAM1", "Own station latitude minutes", "Whole minutes of latitude, at most 60"},
        {"txtLAS1", "Own station latitude seconds", "Whole seconds of latitude, at most 60"},
        {"cmbNS1", "Own station latitude hemisphere", "Own station latitude hemisphere: N for north or S for south"},
        {"txtLOD1", "Own station longitude degrees", "Whole degrees of longitude, at most 180"},
        {"txtLOM1", "Own station longitude minutes", "Whole minutes of longitude, at most 60"},
        {"txtLOS1", "Own station longitude seconds", "Whole seconds of longitude, at most 60"},
        {"cmbEW1", "Own station longitude hemisphere", "Own station longitude hemisphere: E for east or W for west"},
        {"txtLAD2", "Other station latitude degrees", "Whole degrees of latitude, at most 90"},
        {"txtLAM2", "Other station latitude minutes", "Whole minutes of latitude, at most 60"},
        {"txtLAS2", "Other station latitude seconds", "Whole seconds of latitude, at most 60"},
        {"cmbNS2", "Other station latitude hemisphere",
            "Other station latitude hemisphere: N for north or S for south"},
        {"txtLOD2", "Other station longitude degrees", "Whole degrees of longitude, at most 180"},
        {"txtLOM2", "Other station longitude minutes", "Whole minutes of longitude, at most 60"},
        {"txtLOS2", "Other station longitude seconds", "Whole seconds of longitude, at most 60"},
        {"cmbEW2", "Other station longitude hemisphere",
            "Other station longitude hemisphere: E for east or W for west"},
        {"Command1", "Press", "Computes the beam headings and the distance"},
        {"txtBA", "Beam heading from my station, degrees",
            "Whole degrees clockwise from north, from my station towards the other station"},
        {"txtAB", "Beam heading from the other station, degrees",
            "Whole degrees clockwise from north, from the other station back towards mine"},
        {"txtAB3", "Distance between the two stations, kilometres", "Great-circle distance to one decimal"},
    };
    for (const Description& d : kDescriptions) {
        auto* w = findChild<QWidget*>(QLatin1String(d.control));
        w->setAccessibleName(QString::fromLatin1(d.name));
        w->setAccessibleDescription(QString::fromLatin1(d.description));
    }
    // Each caption labels the box it stands before.
    static constexpr std::pair<const char*, const char*> kBuddies[] = {
        {"Label2", "txtLAD1"},
        {"Label5", "txtLOD1"},
        {"Label6", "txtLAD2"},
        {"Label8", "txtLOD2"},
        {"Label10", "txtBA"},
        {"Label12", "txtAB"},
        {"Label14", "txtAB3"},
    };
    for (const auto& [label, box] : kBuddies) {
        findChild<QLabel*>(QLatin1String(label))->setBuddy(findChild<QWidget*>(QLatin1String(box)));
    }

    // The credit line opens its page from the keyboard too, with the
    // desktop's help key, leaving the tab order of the entries as it is.
    QLabel* credit = label11_[1];
    credit->setAccessibleName(credit->text());
    credit->setAccessibleDescription(QStringLiteral("Opens the about page; the help key (F1) does the same"));
    credit->setToolTip(QStringLiteral("About Skybrant (F1)"));
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, [this] { Label11_Click(1); });
}

void Form1::wireHandlers()
{
    using ChangeHandler = void (Form1::*)();
    using KeyHandler = void (Form1::*)(char16_t&);
    static constexpr ChangeHandler kChange[kBoxCount] = {
        &Form1::txtLAD1_Change,
        &Form1::txtLAM1_Change,
        &Form1::txtLAS1_Change,
        &Form1::txtLOD1_Change,
        &Form1::txtLOM1_Change,
        &Form1::txtLOS1_Change,
        &Form1::txtLAD2_Change,
        &Form1::txtLAM2_Change,
        &Form1::txtLAS2_Change,
        &Form1::txtLOD2_Change,
        &Form1::txtLOM2_Change,
        &Form1::txtLOS2_Change,
    };
    static constexpr KeyHandler kKey[kBoxCount] = {
        &Form1::txtLAD1_KeyPress,
        &Form1::txtLAM1_KeyPress,
        &Form1::txtLAS1_KeyPress,
        &Form1::txtLOD1_KeyPress,
        &Form1::txtLOM1_KeyPress,
        &Form1::txtLOS1_KeyPress,
        &Form1::txtLAD2_KeyPress,
        &Form1::txtLAM2_KeyPress,
        &Form1::txtLAS2_KeyPress,
        &Form1::txtLOD2_KeyPress,
        &Form1::txtLOM2_KeyPress,
        &Form1::txtLOS2_KeyPress,
    };
    for (std::size_t i = 0; i < kBoxCount; ++i) {
        QLineEdit* edit = boxes_[i].edit;
        // textChanged also fires for text the program sets, at once and
        // nested inside setText: the range checks rely on that.
        connect(edit, &QLineEdit::textChanged, this, kChange[i]);
        const KeyHandler key = kKey[i];
        edit->installEventFilter(new KeystrokeFilter(edit, [this, key](char16_t& code) { (this->*key)(code); }));
    }

    const std::pair<QComboBox*, KeyHandler> hemispheres[] = {
        {cmbNS1_, &Form1::cmbNS1_KeyPress},
        {cmbEW1_, &Form1::cmbEW1_KeyPress},
        {cmbNS2_, &Form1::cmbNS2_KeyPress},
        {cmbEW2_, &Form1::cmbEW2_KeyPress},
    };
    for (const auto& [box, key] : hemispheres) {
        auto* filter = new KeystrokeFilter(box, [this, key = key](char16_t& code) { (this->*key)(code); });
        // Keys reach the combo first and may be passed on to its edit field.
        box->installEventFilter(filter);
        box->lineEdit()->installEventFilter(filter);
    }

    connect(command1_, &QPushButton::clicked, this, &Form1::Command1_Click);
    for (ClickableLabel* l : label11_) {
        connect(l, &ClickableLabel::clicked, this, &Form1::Label11_Click);
    }
}

namespace {

QString toQString(std::u16string_view text)
{
    return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

}  // namespace

void Form1::showMessage(std::u16string_view text)
{
    sink_->showMessage(toQString(text));
}

void Form1::resetBox(CoordinateBox& box, std::u16string_view text)
{
    // Replacing the text runs this box's change handling again, nested,
    // which stores the reset text's value (0).
    box.edit->setText(toQString(text));
    *box.stored = 0;
}

void Form1::boxChanged(Box box)
{
    CoordinateBox& b = boxes_[box];
    const QString text = b.edit->text();
    const validation::BoxReading reading =
        validation::readBox({reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())});
    // A number beyond 32 bits is not stored; the reset below stores 0.
    if (!reading.outOfRange) {
        *b.stored = reading.value;
    }
    if (const auto v = validation::firstViolation(b.role, reading, *b.degrees)) {
        resetBox(b, v->resetText);
        showMessage(v->message);
    }
}

void Form1::coordinateKeyPress(char16_t& keyAscii)
{
    if (!validation::coordinateKeyAccepted(keyAscii)) {
        keyAscii = 0;
        showMessage(validation::kTypeOnlyNumbers);
    }
}

void Form1::hemisphereKeyPress(char16_t& keyAscii)
{
    if (!validation::hemisphereKeyAccepted(keyAscii)) {
        keyAscii = 0;
    }
}

void Form1::Command1_Click()
{
    // Hemispheres are whatever their boxes show at the press.
    StationEntry own = own_;
    StationEntry other = other_;
    own.latHemisphere = cmbNS1_->currentText().toStdString();
    own.lonHemisphere = cmbEW1_->currentText().toStdString();
    other.latHemisphere = cmbNS2_->currentText().toStdString();
    other.lonHemisphere = cmbEW2_->currentText().toStdString();

    const ComputedTexts t = computeTexts(own, other, QLocale().decimalPoint().toStdString());
    const auto shown = [](const std::string& text) {
        return text.empty() ? QStringLiteral(" ") : QString::fromStdString(text);
    };
    txtAB3_->setText(shown(t.distance));
    txtBA_->setText(shown(t.ownToOther));
    txtAB_->setText(shown(t.otherToOwn));
    const std::string_view note = geometryNote(t.result.geometry);
    if (!note.empty()) {
        sink_->showMessage(QString::fromUtf8(note.data(), static_cast<qsizetype>(note.size())));
    }
}

void Form1::Label11_Click(int /*index*/)
{
    // Either member of the group opens the page; the outcome is not ours.
    opener_->open(authorPageUrl());
}

namespace {

const QString kApplication = QStringLiteral("Skybrant");

// The own station's entries as they are kept, in the order they are
// restored and saved.
struct SavedEntry {
    const char* section;
    const char* key;
    const char* control;
};
constexpr SavedEntry kSavedEntries[] = {
    {"Latitude", "Degree", "txtLAD1"},
    {"Latitude", "Minute", "txtLAM1"},
    {"Latitude", "Second", "txtLAS1"},
    {"Latitude", "N/S", "cmbNS1"},
    {"Longitude", "Degree", "txtLOD1"},
    {"Longitude", "Minute", "txtLOM1"},
    {"Longitude", "Second", "txtLOS1"},
    {"Longitude", "E/W", "cmbEW1"},
};

}  // namespace

QString Form1::controlText(const char* name) const
{
    if (const auto* box = findChild<QComboBox*>(QLatin1String(name))) {
        return box->currentText();
    }
    return findChild<QLineEdit*>(QLatin1String(name))->text();
}

void Form1::setControlText(const char* name, const QString& text)
{
    if (auto* box = findChild<QComboBox*>(QLatin1String(name))) {
        box->setEditText(text);
    } else {
        findChild<QLineEdit*>(QLatin1String(name))->setText(text);
    }
}

void Form1::Form_Load()
{
    if (store_ == nullptr) {
        return;
    }
    for (const SavedEntry& e : kSavedEntries) {
        const QString text = store_->get(kApplication, QLatin1String(e.section), QLatin1String(e.key), QString());
        // Each assignment is a change of the box: its checks run now, in
        // this order, degrees before minutes and seconds.
        setControlText(e.control, text);
    }
    if (const auto problem = store_->readProblem(kApplication)) {
        sink_->showMessage(*problem +
            QStringLiteral(" Skybrant starts with empty boxes and saves your station "
                           "there again when you close it."));
    }
}

void Form1::Form_QueryUnload()
{
    if (store_ == nullptr || saved_) {
        return;
    }
    saved_ = true;
    for (const SavedEntry& e : kSavedEntries) {
        store_->save(kApplication, QLatin1String(e.section), QLatin1String(e.key), controlText(e.control));
    }
    QString error;
    if (!store_->commit(error)) {
        sink_->showMessage(error);
    }
}

bool Form1::event(QEvent* event)
{
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::Paint && !themeIconAsked_) {
        themeIconAsked_ = true;
        // The icon theme's, as installed with the program, may be replaced
        // by the user's theme. Reading the themes takes longer than drawing
        // the whole window, so it waits until the window has been drawn.
        QTimer::singleShot(0, this,
            [this] { setWindowIcon(QIcon::fromTheme(QStringLiteral("org.skybrant.Skybrant"), windowIcon())); });
    }
    return handled;
}

void Form1::closeEvent(QCloseEvent* event)
{
    Form_QueryUnload();
    event->accept();
}

void Form1::txtLAD1_Change()
{
    boxChanged(LAD1);
}

void Form1::txtLAM1_Change()
{
    boxChanged(LAM1);
}

void Form1::txtLAS1_Change()
{
    boxChanged(LAS1);
}

void Form1::txtLOD1_Change()
{
    boxChanged(LOD1);
}

void Form1::txtLOM1_Change()
{
    boxChanged(LOM1);
}

void Form1::txtLOS1_Change()
{
    boxChanged(LOS1);
}

void Form1::txtLAD2_Change()
{
    boxChanged(LAD2);
}

void Form1::txtLAM2_Change()
{
    boxChanged(LAM2);
}

void Form1::txtLAS2_Change()
{
    boxChanged(LAS2);
}

void Form1::txtLOD2_Change()
{
    boxChanged(LOD2);
}

void Form1::txtLOM2_Change()
{
    boxChanged(LOM2);
}

void Form1::txtLOS2_Change()
{
    boxChanged(LOS2);
}

void Form1::txtLAD1_KeyPress(char16_t& keyAscii)
{
    coordinateKeyPress(keyAscii);
}

void Form1::txtLAM1_KeyPress(char16_t& keyAscii)
{
    coordinateKeyPress(keyAscii);
}

void Form1::txtLAS1_KeyPress(char16_t& keyAscii)
{
    coordinateKeyPress(keyAscii);
}

void Form1::txtLOD1_KeyPress(char16_t& keyAscii)
{
    coordinateKeyPress(keyAscii);
}

void Form1::txtLOM1_KeyPress(char16_t& keyAscii)
{
    coordinateKeyPress(keyAscii);
}

void Form1::txtLOS1_KeyPress(char16_t& keyAscii)
{
    coordinateKeyPress(keyAscii);
}

void Form1::txtLAD2_KeyPress(char16_t& keyAscii)
{
    coordinateKeyPress(keyAscii);
}

void Form1::txtLAM2_KeyPress(char16_t& keyAscii)
{
    coordinateKeyPress(keyAscii);
}

void Form1::txtLAS2_KeyPress(char16_t& keyAscii)
{
    coordinateKeyPress(keyAscii);
}

void Form1::txtLOD2_KeyPress(char16_t& keyAscii)
{
    coordinateKeyPress(keyAscii);
}

void Form1::txtLOM2_KeyPress(char16_t& keyAscii)
{
    coordinateKeyPress(keyAscii);
}

void Form1::txtLOS2_KeyPress(char16_t& keyAscii)
{
    coordinateKeyPress(keyAscii);
}

// The hemisphere handlers stay members so that every handler wires alike.
// NOLINTNEXTLINE(readability-convert-member-functions-to-static)
void Form1::cmbNS1_KeyPress(char16_t& keyAscii)
{
    hemisphereKeyPress(keyAscii);
}

// NOLINTNEXTLINE(readability-convert-member-functions-to-static)
void Form1::cmbEW1_KeyPress(char16_t& keyAscii)
{
    hemisphereKeyPress(keyAscii);
}

// NOLINTNEXTLINE(readability-convert-member-functions-to-static)
void Form1::cmbNS2_KeyPress(char16_t& keyAscii)
{
    hemisphereKeyPress(keyAscii);
}

// NOLINTNEXTLINE(readability-convert-member-functions-to-static)
void Form1::cmbEW2_KeyPress(char16_t& keyAscii)
{
    hemisphereKeyPress(keyAscii);
}

}  // namespace skybrant::ui
