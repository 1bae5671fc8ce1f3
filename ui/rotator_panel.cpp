#include "rotator_panel.h"

#include "core/utf8.h"
#include "message_sink.h"
#include "rotator/rotator_address.h"
#include "rotator/rotator_limits.h"
#include "rotator/rotator_protocol.h"
#include "rotator_presets.h"
#include "settings/settings_store.h"

#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

#include <cmath>
#include <string>

namespace skybrant::ui {

namespace {

using State = rotctl::RotatorLink::State;

const QString kDefaultAddress = QStringLiteral("127.0.0.1:4533");

QString degrees(double value)
{
    return QStringLiteral("%1\u00b0").arg(std::lround(value));
}

QString fromStd(const std::string& text)
{
    return QString::fromStdString(text);
}

// Typed text in a message, quoted and cut short as every hostile text is.
QString quoted(const QString& text)
{
    return fromStd(quote(text.toStdString(), rotctl::kShownBytes));
}

QLabel* figure(QWidget* parent, const char* name, const QString& accessible)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setAccessibleName(accessible);
    label->setWordWrap(true);
    // Reachable with Tab, so a screen reader reads it.
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    label->setFocusPolicy(Qt::StrongFocus);
    return label;
}

QPushButton* button(QWidget* parent, const char* name, const QString& text, const QString& accessible)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setAccessibleName(accessible);
    b->setAutoDefault(false);
    return b;
}

}  // namespace

RotatorPanel::RotatorPanel(settings::SettingsStore* store, QWidget* parent)
    : QGroupBox(QStringLiteral("Rotator"), parent), store_(store)
{
    setObjectName(QStringLiteral("rotatorPanel"));
    if (store_ != nullptr) {
        options_ = settings::loadRotatorOptions(*store_);
    }
    aim_.setOffset(options_.offset);
    if (options_.minAzimuth && options_.maxAzimuth) {
        aim_.setOverride(rotctl::AzimuthRange{*options_.minAzimuth, *options_.maxAzimuth});
    }
    build();
    // Said once; the lines stay in the file until their setting is changed.
    showProblem(settings::unreadText(options_));

    connect(&link_, &rotctl::RotatorLink::stateChanged, this, [this](State state) {
        if (state == State::Connected) {
            showProblem({});
        } else {
            aim_.setAzimuth(std::nullopt);
            aim_.setDaemonRange(std::nullopt);
            aim_.endTurn();
            lastStop_.clear();
        }
        showState();
        showPosition();
        showRange();
    });
    connect(&link_, &rotctl::RotatorLink::azimuthChanged, this, [this](double azimuth) {
        aim_.setAzimuth(azimuth);
        showPosition();
        // A turn asked for before the connection goes once the range and
        // the position are known.
        if (waitingHeading_) {
            const double heading = *waitingHeading_;
            waitingHeading_.reset();
            turnTo(heading);
        }
    });
    connect(&link_, &rotctl::RotatorLink::rangeChanged, this, [this](rotctl::AzimuthRange range) {
        aim_.setDaemonRange(range);
        showRange();
    });
    // A turn asked for after the stop or park was sent stands.
    connect(&link_, &rotctl::RotatorLink::stopAccepted, this, [this] {
        if (!aim_.targetAzimuth()) {
            const auto heading = aim_.heading();
            lastStop_ = heading ? QStringLiteral("Stopped at %1").arg(degrees(*heading)) : QStringLiteral("Stopped");
            showPosition();
        }
    });
    // The problem line says why; the turn or halt shown is not happening.
    connect(&link_, &rotctl::RotatorLink::turnRefused, this, [this](double azimuth) {
        if (aim_.targetAzimuth() == azimuth) {
            aim_.endTurn();
            showPosition();
        }
    });
    connect(&link_, &rotctl::RotatorLink::haltRefused, this, [this] {
        lastStop_.clear();
        showPosition();
    });
    connect(&link_, &rotctl::RotatorLink::problem, this, [this](const QString& text) {
        showProblem(text);
        showState();
    });
    showState();
    showPosition();
    showRange();
}

RotatorPanel::~RotatorPanel() = default;

void RotatorPanel::build()
{
    auto* form = new QFormLayout(this);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);

    address_ = new QLineEdit(options_.address.isEmpty() ? kDefaultAddress : options_.address, this);
    address_->setObjectName(QStringLiteral("rotatorAddress"));
    address_->setAccessibleName(QStringLiteral("Rotator address"));
    address_->setToolTip(
        QStringLiteral("Where Hamlib's rotctld listens: HOST:PORT, [IPv6]:PORT, or HOST alone for port 4533"));
    connect_ = button(this, "rotatorConnect", QStringLiteral("Connect"), QStringLiteral("Connect to the rotator"));
    auto* addressRow = new QHBoxLayout;
    addressRow->addWidget(address_, 1);
    addressRow->addWidget(connect_);
    form->addRow(QStringLiteral("Address:"), addressRow);
    connect(address_, &QLineEdit::returnPressed, this, &RotatorPanel::connectRotator);
    connect(connect_, &QPushButton::clicked, this,
        [this] { link_.state() == State::Disconnected ? connectRotator() : disconnectRotator(); });

    state_ = figure(this, "rotatorState", QStringLiteral("Rotator connection"));
    form->addRow(QStringLiteral("State:"), state_);
    position_ = figure(this, "rotatorPosition", QStringLiteral("Antenna heading"));
    form->addRow(QStringLiteral("Antenna:"), position_);
    progress_ = figure(this, "rotatorProgress", QStringLiteral("Turn in progress"));
    form->addRow(progress_);

    shortButton_ = button(this, "rotatorShortPath", QStringLiteral("Short path"),
        QStringLiteral("Turn the antenna to the other station, short path"));
    shortButton_->setToolTip(QStringLiteral("Ctrl+S"));
    longButton_ = button(this, "rotatorLongPath", QStringLiteral("Long path"),
        QStringLiteral("Turn the antenna to the other station, long path"));
    longButton_->setToolTip(QStringLiteral("Ctrl+L"));
    auto* paths = new QHBoxLayout;
    paths->addWidget(shortButton_);
    paths->addWidget(longButton_);
    form->addRow(paths);
    connect(shortButton_, &QPushButton::clicked, this, &RotatorPanel::turnShortPath);
    connect(longButton_, &QPushButton::clicked, this, &RotatorPanel::turnLongPath);

    heading_ = new QLineEdit(this);
    heading_->setObjectName(QStringLiteral("rotatorHeading"));
    heading_->setAccessibleName(QStringLiteral("Heading to turn to, degrees"));
    heading_->setPlaceholderText(QStringLiteral("degrees, then Enter"));
    form->addRow(QStringLiteral("Turn to:"), heading_);
    connect(heading_, &QLineEdit::returnPressed, this, [this] {
        const auto heading = parseHeading(heading_->text());
        if (!heading) {
            showProblem(
                QStringLiteral("%1 is not a heading: type degrees from 0 to 360").arg(quoted(heading_->text())));
            return;
        }
        turnTo(*heading);
    });

    stop_ = button(this, "rotatorStop", QStringLiteral("Stop"), QStringLiteral("Stop the rotator"));
    stop_->setToolTip(QStringLiteral("Esc"));
    park_ = button(this, "rotatorPark", QStringLiteral("Park"), QStringLiteral("Park the rotator"));
    auto* halt = new QHBoxLayout;
    halt->addWidget(stop_);
    halt->addWidget(park_);
    form->addRow(halt);
    connect(stop_, &QPushButton::clicked, this, &RotatorPanel::stop);
    connect(park_, &QPushButton::clicked, this, &RotatorPanel::park);

    range_ = new QLineEdit(this);
    range_->setObjectName(QStringLiteral("rotatorRange"));
    range_->setAccessibleName(QStringLiteral("Rotator range in place of the rotator's own, MIN..MAX"));
    range_->setToolTip(QStringLiteral("MIN..MAX azimuth, such as -180..180; empty for the rotator's own"));
    if (options_.minAzimuth && options_.maxAzimuth) {
        range_->setText(fromStd(rotctl::rangeText({*options_.minAzimuth, *options_.maxAzimuth})));
    }
    form->addRow(QStringLiteral("Range:"), range_);
    connect(range_, &QLineEdit::editingFinished, this, &RotatorPanel::takeRange);
    rangeNote_ = figure(this, "rotatorRangeNote", QStringLiteral("Rotator range in use"));
    form->addRow(rangeNote_);

    offset_ = new QDoubleSpinBox(this);
    offset_->setObjectName(QStringLiteral("rotatorOffset"));
    offset_->setAccessibleName(QStringLiteral("Mast offset, degrees the rotator reads with the antenna north"));
    offset_->setRange(-rotctl::kLargestOffset, rotctl::kLargestOffset);
    offset_->setDecimals(rotctl::kOffsetDecimals);
    offset_->setSuffix(QStringLiteral("\u00b0"));
    offset_->setValue(options_.offset);
    form->addRow(QStringLiteral("Mast offset:"), offset_);
    connect(offset_, &QDoubleSpinBox::valueChanged, this, [this](double value) {
        options_.offset = rotctl::mastOffset(value).value_or(0);
        aim_.setOffset(options_.offset);
        settings::settingChanged(options_, settings::RotatorSetting::Offset);
        showPosition();
        save();
    });

    auto* presetBox = new QWidget(this);
    buildPresets(presetBox);
    form->addRow(presetBox);

    problem_ = new QLabel(this);
    problem_->setObjectName(QStringLiteral("rotatorProblem"));
    problem_->setAccessibleName(QStringLiteral("Rotator problem"));
    problem_->setWordWrap(true);
    problem_->setStyleSheet(QStringLiteral("color: #c00000"));
    problem_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    problem_->setFocusPolicy(Qt::StrongFocus);
    problem_->hide();
    form->addRow(problem_);

    // The keys work anywhere in the map window.
    QWidget* window = parentWidget() != nullptr ? parentWidget() : this;
    const auto key = [&](const QKeySequence& sequence, auto action) {
        auto* shortcut = new QShortcut(sequence, window);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, action);
    };
    key(QKeySequence(Qt::CTRL | Qt::Key_S), [this] { turnShortPath(); });
    key(QKeySequence(Qt::CTRL | Qt::Key_L), [this] { turnLongPath(); });
    key(QKeySequence(Qt::Key_Escape), [this] { stop(); });
    for (std::size_t i = 0; i < presets_.size(); ++i) {
        key(QKeySequence(Qt::ALT | static_cast<Qt::Key>(Qt::Key_1 + static_cast<int>(i))),
            [this, i] { turnToPreset(i); });
    }
}

void RotatorPanel::buildPresets(QWidget* box)
{
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    for (std::size_t i = 0; i < presets_.size(); ++i) {
        auto* b = button(box, "", {}, {});
        b->setObjectName(QStringLiteral("rotatorPreset%1").arg(i + 1));
        b->setToolTip(QStringLiteral("Alt+%1").arg(i + 1));
        grid->addWidget(b, static_cast<int>(i / 2), static_cast<int>(i % 2));
        connect(b, &QPushButton::clicked, this, [this, i] { turnToPreset(i); });
        presets_.at(i) = b;
    }
    editPresets_ =
        button(box, "rotatorEditPresets", QStringLiteral("Edit presets\u2026"), QStringLiteral("Edit the presets"));
    grid->addWidget(editPresets_, static_cast<int>(presets_.size() / 2), 0, 1, 2);
    connect(editPresets_, &QPushButton::clicked, this, &RotatorPanel::editPresets);
    showPresets();
}

void RotatorPanel::showPresets()
{
    for (std::size_t i = 0; i < presets_.size(); ++i) {
        const settings::RotatorPreset& preset = options_.presets.at(i);
        presets_.at(i)->setText(presetCaption(i, preset));
        presets_.at(i)->setAccessibleName(QStringLiteral("Turn to preset %1, %2")
                                              .arg(i + 1)
                                              .arg(preset.target.isEmpty() ? QStringLiteral("empty") : preset.target));
    }
}

void RotatorPanel::editPresets()
{
    editRotatorPresets(
        this, options_.presets, stationHeading, [this](const RotatorPresets& presets) { setPresets(presets); });
}

void RotatorPanel::setPresets(const std::array<settings::RotatorPreset, settings::kRotatorPresets>& presets)
{
    options_.presets = presets;
    showPresets();
    save();
}

bool RotatorPanel::connected() const
{
    return link_.state() == State::Connected;
}

void RotatorPanel::connectRotator()
{
    rotctl::RotatorAddress address;
    std::string error;
    if (!rotctl::parseRotatorAddress(address_->text().trimmed().toStdString(), address, error)) {
        showProblem(QStringLiteral("%1 is not a rotator address: %2").arg(quoted(address_->text()), fromStd(error)));
        return;
    }
    showProblem({});
    options_.address = fromStd(rotctl::rotatorAddressText(address));
    address_->setText(options_.address);
    save();
    link_.connectTo(address);
}

void RotatorPanel::disconnectRotator()
{
    waitingHeading_.reset();
    link_.disconnectFrom();
}

void RotatorPanel::turnTo(double shownHeading)
{
    if (!connected()) {
        showProblem(QStringLiteral("Not connected to a rotator: press Connect first"));
        return;
    }
    QString problem;
    const auto azimuth = aim_.azimuthFor(shownHeading, problem);
    if (!azimuth) {
        showProblem(problem);
        return;
    }
    showProblem({});
    link_.turnTo(*azimuth);
    aim_.startTurn(*azimuth, shownHeading);
    showPosition();
}

void RotatorPanel::turnWhenConnected(double shownHeading)
{
    if (connected() && aim_.azimuth()) {
        turnTo(shownHeading);
        return;
    }
    waitingHeading_ = shownHeading;
    if (link_.state() == State::Disconnected) {
        connectRotator();
    }
    if (link_.state() == State::Disconnected) {
        waitingHeading_.reset();
    }
}

void RotatorPanel::turnShortPath()
{
    if (!shortPath_) {
        showProblem(QStringLiteral("No heading to turn to: put the other station on the map first"));
        return;
    }
    turnTo(*shortPath_);
}

void RotatorPanel::turnLongPath()
{
    if (!longPath_) {
        showProblem(QStringLiteral("No heading to turn to: put the other station on the map first"));
        return;
    }
    turnTo(*longPath_);
}

void RotatorPanel::stop()
{
    waitingHeading_.reset();
    if (!link_.stop()) {
        showProblem(QStringLiteral("Not connected to a rotator: there is nothing to stop"));
        return;
    }
    aim_.endTurn();
    lastStop_ = QStringLiteral("Stopping");
    showPosition();
}

void RotatorPanel::park()
{
    if (!link_.park()) {
        showProblem(QStringLiteral("Not connected to a rotator: press Connect first"));
        return;
    }
    showProblem({});
    aim_.endTurn();
    lastStop_ = QStringLiteral("Parking");
    showPosition();
}

void RotatorPanel::turnToPreset(std::size_t index)
{
    if (index >= options_.presets.size()) {
        return;
    }
    const settings::RotatorPreset& preset = options_.presets.at(index);
    if (preset.target.isEmpty()) {
        showProblem(QStringLiteral("Preset %1 is empty: set it with Edit presets").arg(index + 1));
        return;
    }
    if (const auto heading = parseHeading(preset.target)) {
        turnTo(*heading);
        return;
    }
    QString error = QStringLiteral("no station reader");
    const auto heading = stationHeading ? stationHeading(preset.target, error) : std::nullopt;
    if (!heading) {
        showProblem(QStringLiteral("Preset %1: %2").arg(index + 1).arg(error));
        return;
    }
    turnTo(*heading);
}

void RotatorPanel::setPathHeadings(std::optional<double> shortPath, std::optional<double> longPath)
{
    shortPath_ = shortPath;
    longPath_ = longPath;
    shortButton_->setText(
        shortPath ? QStringLiteral("Short path %1").arg(degrees(*shortPath)) : QStringLiteral("Short path"));
    longButton_->setText(
        longPath ? QStringLiteral("Long path %1").arg(degrees(*longPath)) : QStringLiteral("Long path"));
}

void RotatorPanel::showState()
{
    const QString where = link_.where();
    switch (link_.state()) {
    case State::Disconnected:
        state_->setText(QStringLiteral("Disconnected"));
        break;
    case State::Connecting:
        state_->setText(QStringLiteral("Connecting to %1").arg(where));
        break;
    case State::Connected:
        state_->setText(QStringLiteral("Connected to %1").arg(where));
        break;
    case State::Reconnecting:
        state_->setText(QStringLiteral("Not connected; trying %1 again in %2 s")
                            .arg(where)
                            .arg(static_cast<double>(link_.nextPause().count()) / 1000.0, 0, 'g', 3));
        break;
    }
    const QColor colour = connected() ? QColor(0, 128, 0) : QColor(192, 0, 0);
    state_->setStyleSheet(QStringLiteral("color: %1").arg(colour.name()));
    connect_->setText(link_.state() == State::Disconnected ? QStringLiteral("Connect") : QStringLiteral("Disconnect"));
    connect_->setAccessibleName(link_.state() == State::Disconnected ? QStringLiteral("Connect to the rotator")
                                                                     : QStringLiteral("Disconnect from the rotator"));
}

void RotatorPanel::showPosition()
{
    const auto heading = aim_.heading();
    if (!heading) {
        position_->setText(QStringLiteral("\u2014"));
    } else {
        QString text = degrees(*heading);
        const double reading = *aim_.azimuth();
        if (std::lround(reading) != std::lround(*heading)) {
            text += QStringLiteral(" (the rotator reads %1)").arg(degrees(reading));
        }
        position_->setText(text);
    }
    const QString progress = aim_.targetAzimuth() ? aim_.progressText() : lastStop_;
    if (aim_.targetAzimuth()) {
        lastStop_.clear();
    }
    progress_->setText(progress);
    progress_->setVisible(!progress.isEmpty());
    progress_->setStyleSheet(aim_.arrived() ? QStringLiteral("color: #008000; font-weight: bold") : QString());
    if (onNeedle) {
        onNeedle(heading);
    }
}

void RotatorPanel::showRange()
{
    const rotctl::AzimuthRange range = aim_.range();
    rangeNote_->setText(QStringLiteral("%1, %2").arg(fromStd(rotctl::rangeText(range)), aim_.rangeSource()));
    range_->setPlaceholderText(QStringLiteral("the rotator's own"));
}

void RotatorPanel::takeRange()
{
    const QString text = range_->text().trimmed();
    std::optional<rotctl::AzimuthRange> range;
    if (!text.isEmpty()) {
        range = parseRange(text);
        if (!range) {
            showProblem(QStringLiteral("%1 is not a range: type MIN..MAX such as -180..180 (within -360..720), "
                                       "or leave it empty for the rotator's own")
                            .arg(quoted(text)));
            return;
        }
        range_->setText(fromStd(rotctl::rangeText(*range)));
    }
    const std::optional<double> min = range ? std::optional(range->min) : std::nullopt;
    const std::optional<double> max = range ? std::optional(range->max) : std::nullopt;
    if (min == options_.minAzimuth && max == options_.maxAzimuth) {
        return;  // only passed through: a saved line kept as it was stays so
    }
    aim_.setOverride(range);
    settings::settingChanged(options_, settings::RotatorSetting::Range);
    options_.minAzimuth = min;
    options_.maxAzimuth = max;
    showRange();
    save();
}

void RotatorPanel::showProblem(const QString& text)
{
    problem_->setText(text);
    problem_->setVisible(!text.isEmpty());
}

void RotatorPanel::save()
{
    if (store_ == nullptr) {
        return;
    }
    QString error;
    if (!settings::saveRotatorOptions(*store_, options_, error) && !error.isEmpty()) {
        alsoOnStandardError(error);
        showProblem(error);
    }
}

}  // namespace skybrant::ui
