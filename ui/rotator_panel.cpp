#include "rotator_panel.h"

#include "aim/station_text.h"
#include "compass_reading.h"
#include "core/utf8.h"
#include "panel_widgets.h"
#include "rotator/rotator_limits.h"
#include "rotator/rotator_protocol.h"
#include "rotator_presets.h"

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
#include <utility>

namespace skybrant::ui {

namespace {

using Link = aim::RotatorStatus::Link;

QString fromStd(const std::string& text)
{
    return QString::fromStdString(text);
}

// Every label that may show a typed or received text shows it as it is.
QLabel* figure(QWidget* parent, const char* name, const QString& accessible)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setAccessibleName(accessible);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    // Reachable with Tab, so a screen reader reads it.
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    label->setFocusPolicy(Qt::StrongFocus);
    return label;
}

}  // namespace

RotatorPanel::RotatorPanel(aim::AimingModel& model, aim::RotatorService& service, Clock clock, QWidget* parent)
    : QGroupBox(QStringLiteral("Rotator"), parent), model_(model), service_(service), clock_(std::move(clock))
{
    setObjectName(QStringLiteral("rotatorPanel"));
    build();
    subscription_ = model_.subscribe([this](unsigned changes) { show(changes); });
    show(~0U);
}

RotatorPanel::~RotatorPanel()
{
    model_.unsubscribe(subscription_);
}

void RotatorPanel::build()
{
    auto* form = new QFormLayout(this);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);

    address_ = new QLineEdit(service_.addressShown(), this);
    address_->setObjectName(QStringLiteral("rotatorAddress"));
    address_->setAccessibleName(QStringLiteral("Rotator address"));
    address_->setToolTip(
        QStringLiteral("Where Hamlib's rotctld listens: HOST:PORT, [IPv6]:PORT, or HOST alone for port 4533"));
    connect_ = panelButton(this, "rotatorConnect", QStringLiteral("Connect"), QStringLiteral("Connect to the rotator"));
    auto* addressRow = new QHBoxLayout;
    addressRow->addWidget(address_, 1);
    addressRow->addWidget(connect_);
    form->addRow(QStringLiteral("Address:"), addressRow);
    connect(address_, &QLineEdit::returnPressed, this, &RotatorPanel::connectRotator);
    connect(connect_, &QPushButton::clicked, this,
        [this] { model_.rotator().link == Link::Disconnected ? connectRotator() : disconnectRotator(); });

    state_ = figure(this, "rotatorState", QStringLiteral("Rotator connection"));
    form->addRow(QStringLiteral("State:"), state_);
    position_ = figure(this, "rotatorPosition", QStringLiteral("Antenna heading"));
    form->addRow(QStringLiteral("Antenna:"), position_);
    progress_ = figure(this, "rotatorProgress", QStringLiteral("Turn in progress"));
    form->addRow(progress_);
    buildPaths(form);

    range_ = new QLineEdit(this);
    range_->setObjectName(QStringLiteral("rotatorRange"));
    range_->setAccessibleName(QStringLiteral("Rotator range in place of the rotator's own, MIN..MAX"));
    range_->setToolTip(QStringLiteral("MIN..MAX azimuth, such as -180..180; empty for the rotator's own"));
    range_->setPlaceholderText(QStringLiteral("the rotator's own"));
    const settings::RotatorOptions& options = service_.options();
    if (options.minAzimuth && options.maxAzimuth) {
        range_->setText(fromStd(rotctl::rangeText({*options.minAzimuth, *options.maxAzimuth})));
    }
    form->addRow(QStringLiteral("Range:"), range_);
    connect(range_, &QLineEdit::editingFinished, this, [this] {
        if (service_.setRangeText(range_->text()) && !range_->text().trimmed().isEmpty()) {
            range_->setText(fromStd(rotctl::rangeText(model_.antenna().range())));
        }
    });
    rangeNote_ = figure(this, "rotatorRangeNote", QStringLiteral("Rotator range in use"));
    form->addRow(rangeNote_);

    offset_ = new QDoubleSpinBox(this);
    offset_->setObjectName(QStringLiteral("rotatorOffset"));
    offset_->setAccessibleName(QStringLiteral("Mast offset, degrees the rotator reads with the antenna north"));
    offset_->setRange(-rotctl::kLargestOffset, rotctl::kLargestOffset);
    offset_->setDecimals(rotctl::kOffsetDecimals);
    offset_->setSuffix(QStringLiteral("\u00b0"));
    offset_->setValue(options.offset);
    auto* compass = panelButton(this, "rotatorCompass", QStringLiteral("From compass\u2026"),
        QStringLiteral("Set the mast offset from a compass reading"));
    form->addRow(QStringLiteral("Mast offset:"), offset_);
    form->addRow(QString(), compass);
    connect(offset_, &QDoubleSpinBox::valueChanged, this, [this](double value) { service_.setOffset(value); });
    connect(compass, &QPushButton::clicked, this, [this] {
        const auto today = std::chrono::year_month_day(std::chrono::floor<std::chrono::days>(clock_()));
        // Through the field, so that the offset is saved and applied as if typed.
        askCompassReading(
            this, model_.own(), today, [this] { return model_.antenna().azimuth(); },
            [this](double offset) { offset_->setValue(offset); });
    });

    auto* beamWidth = new QDoubleSpinBox(this);
    beamWidth->setObjectName(QStringLiteral("rotatorBeamWidth"));
    beamWidth->setAccessibleName(QStringLiteral("Beam width, degrees between the -3 dB points, drawn on the map"));
    beamWidth->setRange(settings::kNarrowestBeam, settings::kWidestBeam);
    beamWidth->setDecimals(settings::kBeamWidthDecimals);
    beamWidth->setSuffix(QStringLiteral("\u00b0"));
    beamWidth->setValue(options.beamWidth);
    form->addRow(QStringLiteral("Beam width:"), beamWidth);
    connect(beamWidth, &QDoubleSpinBox::valueChanged, this, [this](double value) { service_.setBeamWidth(value); });

    auto* presetBox = new QWidget(this);
    buildPresets(presetBox);
    // The lines above wrap as they grow; the buttons keep their height and
    // the panel scrolls instead.
    presetBox->setMinimumHeight(presetBox->sizeHint().height());
    presetBox->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    form->addRow(presetBox);

    problem_ = figure(this, "rotatorProblem", QStringLiteral("Rotator problem"));
    problem_->setStyleSheet(QStringLiteral("color: #c00000"));
    problem_->hide();
    form->addRow(problem_);
}

void RotatorPanel::buildPaths(QFormLayout* form)
{
    shortButton_ = panelButton(this, "rotatorShortPath", QStringLiteral("Short path"),
        QStringLiteral("Turn the antenna to the other station, short path"));
    shortButton_->setToolTip(QStringLiteral("Ctrl+S"));
    longButton_ = panelButton(this, "rotatorLongPath", QStringLiteral("Long path"),
        QStringLiteral("Turn the antenna to the other station, long path"));
    longButton_->setToolTip(QStringLiteral("Ctrl+L"));
    auto* paths = new QHBoxLayout;
    paths->addWidget(shortButton_);
    paths->addWidget(longButton_);
    form->addRow(paths);
    const auto along = [this](bool longPath) { model_.request(aim::TurnAlong{longPath, aim::Source::Typed}); };
    connect(shortButton_, &QPushButton::clicked, this, [along] { along(false); });
    connect(longButton_, &QPushButton::clicked, this, [along] { along(true); });

    heading_ = new QLineEdit(this);
    heading_->setObjectName(QStringLiteral("rotatorHeading"));
    heading_->setAccessibleName(QStringLiteral("Heading to turn to, degrees"));
    heading_->setPlaceholderText(QStringLiteral("degrees, then Enter"));
    form->addRow(QStringLiteral("Turn to:"), heading_);
    connect(heading_, &QLineEdit::returnPressed, this, [this] {
        const auto heading = aim::parseHeading(heading_->text().toStdString());
        if (!heading) {
            model_.changeRotator([this](aim::RotatorStatus& status) {
                status.problem = quote(heading_->text().toStdString(), rotctl::kShownBytes) +
                    " is not a heading: type degrees from 0 to 360";
            });
            return;
        }
        model_.request(aim::TurnTo{*heading, aim::Source::Typed});
    });

    auto* stop = panelButton(this, "rotatorStop", QStringLiteral("Stop"), QStringLiteral("Stop the rotator"));
    stop->setToolTip(QStringLiteral("Esc"));
    auto* park = panelButton(this, "rotatorPark", QStringLiteral("Park"), QStringLiteral("Park the rotator"));
    auto* halt = new QHBoxLayout;
    halt->addWidget(stop);
    halt->addWidget(park);
    form->addRow(halt);
    connect(stop, &QPushButton::clicked, this, [this] { model_.request(aim::Stop{aim::Source::Typed}); });
    connect(park, &QPushButton::clicked, this, [this] { model_.request(aim::Park{aim::Source::Typed}); });
}

void RotatorPanel::buildPresets(QWidget* box)
{
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    for (std::size_t i = 0; i < presets_.size(); ++i) {
        auto* b = panelButton(box, "", {}, {});
        b->setObjectName(QStringLiteral("rotatorPreset%1").arg(i + 1));
        b->setToolTip(QStringLiteral("Alt+%1").arg(i + 1));
        grid->addWidget(b, static_cast<int>(i / 2), static_cast<int>(i % 2));
        connect(b, &QPushButton::clicked, this, [this, i] { service_.turnToPreset(i); });
        presets_.at(i) = b;
    }
    auto* edit = panelButton(
        box, "rotatorEditPresets", QStringLiteral("Edit presets\u2026"), QStringLiteral("Edit the presets"));
    grid->addWidget(edit, static_cast<int>(presets_.size() / 2), 0, 1, 2);
    connect(edit, &QPushButton::clicked, this, [this] {
        editRotatorPresets(
            this, service_.options().presets,
            [this](const QString& target, std::string& why) { return service_.targetHeading(target, why); },
            [this](const RotatorPresets& presets) { setPresets(presets); });
    });

    // The keys work anywhere in the map window.
    QWidget* window = parentWidget() != nullptr ? parentWidget()->window() : this;
    const auto key = [&](const QKeySequence& sequence, auto action) {
        auto* shortcut = new QShortcut(sequence, window);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, action);
    };
    key(QKeySequence(Qt::CTRL | Qt::Key_S), [this] { model_.request(aim::TurnAlong{false, aim::Source::Typed}); });
    key(QKeySequence(Qt::CTRL | Qt::Key_L), [this] { model_.request(aim::TurnAlong{true, aim::Source::Typed}); });
    for (std::size_t i = 0; i < presets_.size(); ++i) {
        key(QKeySequence(Qt::ALT | static_cast<Qt::Key>(Qt::Key_1 + static_cast<int>(i))),
            [this, i] { service_.turnToPreset(i); });
    }
}

void RotatorPanel::connectRotator()
{
    if (service_.connectTo(address_->text())) {
        address_->setText(service_.options().address);
    }
}

void RotatorPanel::show(unsigned changes)
{
    if ((changes & aim::RotatorChanged) != 0U) {
        showState();
        showPresets();
    }
    if ((changes & (aim::AntennaChanged | aim::RotatorChanged)) != 0U) {
        showAntenna();
    }
    if ((changes & (aim::OwnChanged | aim::OtherChanged | aim::UnitChanged)) != 0U) {
        showPaths();
    }
}

void RotatorPanel::showState()
{
    const aim::RotatorStatus& status = model_.rotator();
    const QString where = fromStd(status.where);
    switch (status.link) {
    case Link::Disconnected:
        state_->setText(QStringLiteral("Disconnected"));
        break;
    case Link::Connecting:
        state_->setText(QStringLiteral("Connecting to %1").arg(where));
        break;
    case Link::Connected:
        state_->setText(QStringLiteral("Connected to %1").arg(where));
        break;
    case Link::Reconnecting:
        state_->setText(QStringLiteral("Not connected; trying %1 again in %2 s")
                            .arg(where)
                            .arg(static_cast<double>(status.nextPause.count()) / 1000.0, 0, 'g', 3));
        break;
    }
    const bool connected = status.link == Link::Connected;
    state_->setStyleSheet(
        QStringLiteral("color: %1").arg(connected ? QStringLiteral("#008000") : QStringLiteral("#c00000")));
    const bool idle = status.link == Link::Disconnected;
    connect_->setText(idle ? QStringLiteral("Connect") : QStringLiteral("Disconnect"));
    connect_->setAccessibleName(
        idle ? QStringLiteral("Connect to the rotator") : QStringLiteral("Disconnect from the rotator"));
    problem_->setText(fromStd(status.problem));
    problem_->setVisible(!status.problem.empty());
}

void RotatorPanel::showAntenna()
{
    const aim::Antenna& antenna = model_.antenna();
    const auto heading = antenna.heading();
    if (!heading) {
        position_->setText(QStringLiteral("\u2014"));
    } else {
        QString text = fromStd(aim::degreesText(*heading));
        const double reading = *antenna.azimuth();
        if (std::lround(reading) != std::lround(*heading)) {
            text += QStringLiteral(" (the rotator reads %1)").arg(fromStd(aim::degreesText(reading)));
        }
        position_->setText(text);
    }
    const QString progress = fromStd(antenna.statusText());
    progress_->setText(progress);
    progress_->setVisible(!progress.isEmpty());
    progress_->setStyleSheet(antenna.arrived() ? QStringLiteral("color: #008000; font-weight: bold") : QString());
    rangeNote_->setText(
        QStringLiteral("%1, %2").arg(fromStd(rotctl::rangeText(antenna.range())), fromStd(antenna.rangeSource())));
}

void RotatorPanel::showPaths()
{
    const auto caption = [](const QString& path, std::optional<double> heading) {
        return heading ? QStringLiteral("%1 %2").arg(path, fromStd(aim::degreesText(*heading))) : path;
    };
    shortButton_->setText(caption(QStringLiteral("Short path"), model_.pathHeading(false)));
    longButton_->setText(caption(QStringLiteral("Long path"), model_.pathHeading(true)));
}

void RotatorPanel::showPresets()
{
    const auto& presets = service_.options().presets;
    for (std::size_t i = 0; i < presets_.size(); ++i) {
        const settings::RotatorPreset& preset = presets.at(i);
        presets_.at(i)->setText(presetCaption(i, preset));
        presets_.at(i)->setAccessibleName(QStringLiteral("Turn to preset %1, %2")
                                              .arg(i + 1)
                                              .arg(preset.target.isEmpty() ? QStringLiteral("empty") : preset.target));
    }
}

}  // namespace skybrant::ui
