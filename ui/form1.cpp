#include "form1.h"

#include "aim/rotator_service.h"
#include "author_link.h"
#include "core/report.h"
#include "core/report_text.h"
#include "map_window.h"
#include "rotator_panel.h"
#include "settings/own_station_store.h"
#include "settings/rotator_settings.h"
#include "settings/settings_store.h"
#include "validation/box_reader.h"
#include "validation/keystroke.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QIcon>
#include <QLineEdit>
#include <QLocale>
#include <QShortcut>
#include <QStyle>
#include <QStyleFactory>
#include <QTimer>

#include <optional>
#include <vector>

namespace skybrant::ui {

namespace {

// The copies built into the program, in every size the desktop asks for.
QIcon builtInIcon()
{
    QIcon icon;
    for (const int size : {32, 48, 128, 256}) {
        icon.addFile(QStringLiteral(":/skybrant/skybrant-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

QString toQString(std::u16string_view text)
{
    return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

// The stored whole number a coordinate box fills, and the degrees of the
// same station and coordinate that its limit checks read.
std::int32_t& storedField(StationEntry& s, validation::BoxRole role)
{
    using enum validation::Unit;
    const bool lat = role.axis == validation::Axis::Latitude;
    switch (role.unit) {
    case Minutes:
        return lat ? s.latMinutes : s.lonMinutes;
    case Seconds:
        return lat ? s.latSeconds : s.lonSeconds;
    case Degrees:
        break;
    }
    return lat ? s.latDegrees : s.lonDegrees;
}

}  // namespace

Form1::Form1(MessageSink* sink, settings::SettingsStore* store, QWidget* parent)
    : QWidget(parent), sink_(sink), store_(store)
{
    if (sink_ == nullptr) {
        ownedSink_ = std::make_unique<MessageBoxSink>(this);
        sink_ = ownedSink_.get();
    }
    setWindowIcon(builtInIcon());
    // Frames with the caption set into the top edge of an etched border, and
    // the button in its own flat colour, as the classic style draws them;
    // other controls keep the desktop's style.
    classicStyle_.reset(QStyleFactory::create(QStringLiteral("Windows")));
    buildControls();
    // The credit line opens its page from the keyboard too, with the
    // desktop's help key, leaving the tab order of the entries as it is.
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, [this] { Label11_Click(1); });
    // The map from the window's own context menu (a right-click outside the
    // boxes, which keep theirs) or F2.
    auto* map = new QAction(QStringLiteral("Map"), this);
    map->setObjectName(QStringLiteral("mapAction"));
    map->setShortcut(QKeySequence(Qt::Key_F2));
    map->setShortcutContext(Qt::WindowShortcut);
    connect(map, &QAction::triggered, this, &Form1::openMap);
    addAction(map);
    // With a rotator saved, the menu also turns the antenna to the heading
    // shown; without one it says nothing of rotators.
    turnAntenna_ = new QAction(this);
    turnAntenna_->setObjectName(QStringLiteral("turnAntennaAction"));
    turnAntenna_->setVisible(false);
    connect(turnAntenna_, &QAction::triggered, this, [this] {
        openMap();
        map_->rotatorService().turnWhenConnected(turnAntenna_->data().toInt());
    });
    addAction(turnAntenna_);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    control<QWidget>(Control::txtLAD1)->setFocus();
}

Form1::~Form1()
{
    // The frames and the button draw with classicStyle_, which goes with the
    // members: let them go first, each with what it holds.
    for (const ControlRow& row : controlRows()) {
        if (!row.parent && (row.kind == Kind::Frame || row.kind == Kind::Button)) {
            delete control<QWidget>(row.id);
        }
    }
}

void Form1::showMessage(std::u16string_view text)
{
    sink_->showMessage(toQString(text));
}

void Form1::resetBox(Control box, std::u16string_view text)
{
    // Intended nesting: replacing the text runs this box's change handling
    // again before setText returns. The inner run reads the reset text ("" or
    // "00", which passes every check) and stores 0; only then does the outer
    // run show its message, so the box is already reset behind it.
    control<QLineEdit>(box)->setText(toQString(text));
    const CoordinateRole& c = rowOf(box).coordinate;
    storedField(station(c.station), c.role) = 0;
}

void Form1::boxChanged(Control box)
{
    const CoordinateRole& c = rowOf(box).coordinate;
    std::int32_t& stored = storedField(station(c.station), c.role);
    const std::int32_t& degrees = storedField(station(c.station), {c.role.axis, validation::Unit::Degrees});
    const QString text = control<QLineEdit>(box)->text();
    const validation::BoxReading reading =
        validation::readBox({reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())});
    // A number beyond 32 bits is not stored; the reset below stores 0.
    if (!reading.outOfRange) {
        stored = reading.value;
    }
    // The messages keep their blanks and spelling as users have always seen
    // them (validation/range_checks.h).
    if (const auto v = validation::firstViolation(c.role, reading, degrees)) {
        resetBox(box, v->resetText);
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
    const StationEntry own = enteredStation(Station::Own);
    const StationEntry other = enteredStation(Station::Other);

    ReportOptions options;
    options.decimalSeparator = QLocale().decimalPoint().toStdString();
    const Report r = makeReport(positionFromEntry(own), positionFromEntry(other), options);
    // No heading shows as one blank, the text the boxes start with.
    const auto shown = [&options](const Figure& figure) {
        return figure.shown ? QString::fromStdString(figureText(figure, options.decimalSeparator))
                            : QStringLiteral(" ");
    };
    control<QLineEdit>(Control::txtAB3)->setText(shown(r.distance));
    control<QLineEdit>(Control::txtBA)->setText(shown(r.ownToOther));
    control<QLineEdit>(Control::txtAB)->setText(shown(r.otherToOwn));
    pressed_ = true;
    mapFollows();
    const std::string_view note = geometryNote(r.result.geometry);
    if (!note.empty()) {
        sink_->showMessage(QString::fromUtf8(note.data(), static_cast<qsizetype>(note.size())));
    }
}

StationEntry Form1::enteredStation(Station s) const
{
    const bool own = s == Station::Own;
    StationEntry entry = own ? own_ : other_;
    entry.latHemisphere = controlText(own ? Control::cmbNS1 : Control::cmbNS2).toStdString();
    entry.lonHemisphere = controlText(own ? Control::cmbEW1 : Control::cmbEW2).toStdString();
    return entry;
}

void Form1::mapFollows()
{
    if (map_ == nullptr) {
        return;
    }
    map_->setOwn(onTheGlobe(positionFromEntry(enteredStation(Station::Own))));
    map_->setOther(
        pressed_ ? std::optional(onTheGlobe(positionFromEntry(enteredStation(Station::Other)))) : std::nullopt);
}

MapWindow* Form1::mapWindow() const
{
    return map_;
}

void Form1::openMap()
{
    if (map_ == nullptr) {
        map_ = new MapWindow(store_, this);
        map_->setAttribute(Qt::WA_DeleteOnClose);
        mapFollows();
    }
    map_->show();
    map_->raise();
    map_->activateWindow();
}

// Both members of the Label11 group, the "Degrees" beside the own heading and
// the credit line, open the author's page: the index is not looked at, as
// users of the program have always been able to click either.
// NOLINTNEXTLINE(readability-convert-member-functions-to-static): wired like every handler
void Form1::Label11_Click(int /*index*/)
{
    // Whether the desktop managed to open it is the desktop's business.
    QDesktopServices::openUrl(authorPageUrl());
}

QString Form1::controlText(Control id) const
{
    if (rowOf(id).kind == Kind::Hemisphere) {
        return control<QComboBox>(id)->currentText();
    }
    return control<QLineEdit>(id)->text();
}

void Form1::setControlText(Control id, const QString& text)
{
    if (rowOf(id).kind == Kind::Hemisphere) {
        control<QComboBox>(id)->setEditText(text);
    } else {
        control<QLineEdit>(id)->setText(text);
    }
}

void Form1::Form_Load()
{
    if (store_ == nullptr) {
        return;
    }
    const settings::OwnStationTexts saved = settings::loadOwnStation(*store_);
    for (std::size_t k = 0; k < kOwnStationBoxes.size(); ++k) {
        // A close request during a message of an earlier entry ends the
        // load: the entries not yet shown keep their stored values.
        if (saved_) {
            return;
        }
        ++restored_;
        // Each assignment is a change of the box: its checks run now, in
        // this order, degrees before minutes and seconds.
        setControlText(kOwnStationBoxes.at(k), saved.texts.at(k));
    }
    if (const auto problem = store_->readProblem(settings::kApplication); problem && !saved_) {
        sink_->showMessage(*problem);
    }
}

void Form1::Form_QueryUnload()
{
    if (store_ == nullptr || saved_) {
        return;
    }
    saved_ = true;
    // Only the entries the load has put in their boxes: the user could not
    // have changed the others, whose stored values stay as they are.
    std::vector<QString> texts;
    for (std::size_t k = 0; k < restored_; ++k) {
        texts.push_back(controlText(kOwnStationBoxes.at(k)));
    }
    QString error;
    if (!settings::saveOwnStation(*store_, texts, error) && !error.isEmpty()) {
        alsoOnStandardError(error);
        sink_->showMessage(error);
    }
}

void Form1::prepareContextMenu()
{
    std::optional<int> heading;
    if (store_ != nullptr && !settings::loadRotatorOptions(*store_).address.isEmpty()) {
        bool ok = false;
        const int shown = control<QLineEdit>(Control::txtBA)->text().trimmed().toInt(&ok);
        if (ok && shown >= 0 && shown <= 360) {
            heading = shown;
        }
    }
    turnAntenna_->setVisible(heading.has_value());
    if (heading) {
        turnAntenna_->setText(QStringLiteral("Turn the antenna to %1 degrees").arg(*heading));
        turnAntenna_->setData(*heading);
    }
}

bool Form1::event(QEvent* event)
{
    if (event->type() == QEvent::ContextMenu) {
        prepareContextMenu();
    }
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

}  // namespace skybrant::ui
