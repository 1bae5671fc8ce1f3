#include "follow_panel.h"

#include "aim/station_text.h"
#include "settings/settings_store.h"
#include "station_lookup.h"

#include <QComboBox>
#include <QDateTime>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSocketNotifier>
#include <QTimeZone>

#include <array>
#include <cmath>

namespace skybrant::ui {

namespace {

using follow::FollowMode;
using follow::FollowSource;

QString fromStd(const std::string& text)
{
    return QString::fromStdString(text);
}

QLabel* plainLabel(const char* name, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

// How many of the follower's notes stay shown.
constexpr qsizetype kNotesShown = 3;

}  // namespace

// What the follower does in the window: it reads stations as the field
// does, and asks the model for the other station and the antenna's turns.
class FollowPanel::Actions final : public follow::FollowActions {
public:
    Actions(FollowPanel& panel, FollowSource source) : panel_(panel), source_(source) { }

    follow::FollowEvent station(const std::string& call, const std::string& grid) override
    {
        read_.reset();
        const follow::StationReader read = [this](const std::string& text, Position& station, std::string& error) {
            const auto files = panel_.callsigns_.files();
            if (!files) {
                panel_.callsigns_.prepare();
            }
            aim::StationText found = aim::readStationText(text, files, aim::Source::Program);
            if (!found.station) {
                error = found.error.empty() ? "the country file is not read yet" : found.error;
                return false;
            }
            station = found.station->position;
            read_ = std::move(found.station);
            return true;
        };
        const aim::AimingModel& model = panel_.model_;
        return follow::stationEvent(source_, model.own(), model.unit(), read, call, grid);
    }

    Turned turn(double heading) override
    {
        double shown = std::round(heading);
        shown = shown <= 0 ? 360 : shown;
        panel_.model_.request(aim::TurnTo{shown, aim::Source::Program});
        const aim::Antenna& antenna = panel_.model_.antenna();
        if (antenna.motion() == aim::Motion::Turning && antenna.targetAzimuth()) {
            return {antenna.targetAzimuth(), {}};
        }
        const std::string& problem = panel_.model_.rotator().problem;
        return {std::nullopt, problem.empty() ? "the rotator did not take the turn" : problem};
    }

    std::string command(follow::RotorCommand::Kind kind) override
    {
        if (panel_.model_.rotator().link != aim::RotatorStatus::Link::Connected) {
            return "not connected to a rotator";
        }
        if (kind == follow::RotorCommand::Kind::Park) {
            panel_.model_.request(aim::Park{aim::Source::Program});
        } else {
            panel_.model_.request(aim::Stop{aim::Source::Program});
        }
        return {};
    }

    std::optional<double> position() override { return panel_.model_.antenna().heading(); }

    std::optional<double> aimedAt() override
    {
        const aim::Antenna& antenna = panel_.model_.antenna();
        const auto turning = antenna.turnHeading();
        return turning ? turning : antenna.heading();
    }

    void event(const follow::FollowEvent& event) override
    {
        panel_.show(event);
        if (event.station && read_ && panel_.settings_.rules.mode != FollowMode::Off) {
            aim::OtherStation other = *read_;
            other.position = *event.station;
            other.label = event.call.empty() ? event.grid : event.call;
            other.source = aim::Source::Program;
            panel_.model_.request(aim::SetOther{other});
        }
    }

    void refused(std::uint32_t address) override
    {
        const QString from = fromStd(follow::addressText(address));
        panel_.tell(
            QStringLiteral("Refusing datagrams from %1: not an allowed sender (Allow=%1 in [Follow] takes them)")
                .arg(from));
    }

    void note(const std::string& message) override { panel_.tell(fromStd(message)); }

private:
    FollowPanel& panel_;
    FollowSource source_;
    // The station last read, with its name and clock, for the model.
    std::optional<aim::OtherStation> read_;
};

FollowPanel::FollowPanel(
    aim::AimingModel& model, CallsignLookup& callsigns, settings::SettingsStore* store, Clock clock, QWidget* parent)
    : QGroupBox(QStringLiteral("Follow"), parent), model_(model), callsigns_(callsigns), store_(store),
      clock_(std::move(clock))
{
    setObjectName(QStringLiteral("follow"));
    if (store_ != nullptr) {
        settings_ = settings::loadFollowSettings(*store_);
    }
    build();
    if (const auto& asked = model_.lastAntennaRequest()) {
        seenRequest_ = asked->serial;
    }
    subscription_ = model_.subscribe([this](unsigned /*changes*/) { modelChanged(); });
    wake_.setSingleShot(true);
    connect(&wake_, &QTimer::timeout, this, &FollowPanel::tick);
    if (store_ != nullptr) {
        if (const QString unread = settings::unreadFollowText(*store_, settings_); !unread.isEmpty()) {
            tell(unread);
        }
    }
    restart();
}

FollowPanel::~FollowPanel()
{
    model_.unsubscribe(subscription_);
}

void FollowPanel::build()
{
    loading_ = true;
    auto* form = new QFormLayout(this);
    source_ = new QComboBox(this);
    source_->setObjectName(QStringLiteral("followSource"));
    constexpr std::array<std::pair<const char*, FollowSource>, 4> kSources{{
        {"WSJT-X or JTDX", FollowSource::Wsjtx},
        {"JS8Call", FollowSource::Js8call},
        {"N1MM Logger+ (rotor)", FollowSource::N1mm},
        {"PstRotator (rotor)", FollowSource::PstRotator},
    }};
    for (const auto& [title, source] : kSources) {
        source_->addItem(QLatin1String(title), QLatin1String(follow::followSourceName(source).data()));
    }
    source_->setCurrentIndex(std::max(0, source_->findData(settings_.source)));
    form->addRow(QStringLiteral("Program:"), source_);

    mode_ = new QComboBox(this);
    mode_->setObjectName(QStringLiteral("followMode"));
    mode_->addItems({QStringLiteral("Off"), QStringLiteral("Show the station"), QStringLiteral("Turn the antenna")});
    mode_->setCurrentIndex(static_cast<int>(settings_.rules.mode));
    form->addRow(QStringLiteral("Follow:"), mode_);

    listen_ = new QLineEdit(settings_.listen, this);
    listen_->setObjectName(QStringLiteral("followListen"));
    form->addRow(QStringLiteral("Listen at:"), listen_);

    rules_ = plainLabel("followRules", this);
    state_ = plainLabel("followState", this);
    last_ = plainLabel("followLast", this);
    decision_ = plainLabel("followDecision", this);
    notes_ = plainLabel("followNotes", this);
    for (QLabel* label : {rules_, state_, last_, decision_, notes_}) {
        form->addRow(label);
    }
    resume_ = new QPushButton(QStringLiteral("Resume following"), this);
    resume_->setObjectName(QStringLiteral("followResume"));
    resume_->hide();
    form->addRow(resume_);

    connect(source_, &QComboBox::currentIndexChanged, this, &FollowPanel::choose);
    connect(mode_, &QComboBox::currentIndexChanged, this, &FollowPanel::choose);
    connect(listen_, &QLineEdit::editingFinished, this, &FollowPanel::choose);
    connect(resume_, &QPushButton::clicked, this, &FollowPanel::resume);
    loading_ = false;
}

void FollowPanel::choose()
{
    if (loading_) {
        return;
    }
    settings::FollowSettings chosen = settings_;
    chosen.source = source_->currentData().toString();
    chosen.rules.mode = static_cast<FollowMode>(mode_->currentIndex());
    chosen.listen = listen_->text().trimmed();
    if (chosen == settings_) {
        return;
    }
    settings_ = chosen;
    QString error;
    if (store_ != nullptr && !settings::saveFollowSettings(*store_, settings_, error) && !error.isEmpty()) {
        tell(error);
    }
    restart();
}

void FollowPanel::restart()
{
    wake_.stop();
    delete notifier_;
    notifier_ = nullptr;
    follower_.reset();
    actions_.reset();
    resume_->hide();
    const follow::FollowOptions& rules = settings_.rules;
    rules_->setText(QStringLiteral("Turns when more than %1° from the antenna, at most once in %2 s, %3 path")
                        .arg(rules.thresholdDegrees)
                        .arg(rules.interval.count())
                        .arg(rules.longPath ? QStringLiteral("long") : QStringLiteral("short")));
    const FollowSource source = follow::followSourceNamed(settings_.source.toStdString()).value_or(FollowSource::Wsjtx);
    listen_->setPlaceholderText(fromStd(follow::endpointText(follow::defaultListen(source))));
    if (rules.mode == FollowMode::Off) {
        state_->setText(QStringLiteral("Off: choose what to follow"));
        return;
    }
    follow::FollowerSetup setup;
    setup.source = source;
    setup.rules = rules;
    setup.listen = follow::defaultListen(source);
    std::string error;
    const auto endpoints = [&error](const QStringList& texts, auto add) {
        for (const QString& text : texts) {
            follow::Endpoint endpoint;
            if (!follow::parseEndpoint(text.toStdString(), endpoint, error) &&
                !follow::parseHost(text.toStdString(), endpoint.address, error)) {
                return false;
            }
            add(endpoint);
        }
        return true;
    };
    const bool read =
        (settings_.listen.isEmpty() || follow::parseEndpoint(settings_.listen.toStdString(), setup.listen, error)) &&
        endpoints(settings_.forwards, [&setup](const follow::Endpoint& e) { setup.forwards.push_back(e); }) &&
        endpoints(settings_.allowed, [&setup](const follow::Endpoint& e) { setup.allowed.push_back(e.address); });
    actions_ = std::make_unique<Actions>(*this, source);
    auto follower = std::make_unique<follow::Follower>(setup, *actions_);
    if (!read || !follower->open(error)) {
        state_->setText(QStringLiteral("Cannot listen: %1").arg(fromStd(error)));
        actions_.reset();
        return;
    }
    follower_ = std::move(follower);
    // A call picked without a grid is placed by the country file: read it now.
    callsigns_.prepare();
    notifier_ = new QSocketNotifier(follower_->fd(), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &FollowPanel::take);
    state_->setText(
        QStringLiteral("Listening for %1 at %2")
            .arg(QLatin1String(follow::sourceTitle(source).data()), fromStd(follow::endpointText(setup.listen))));
}

void FollowPanel::take()
{
    if (follower_) {
        follower_->takeWaiting();
        arm();
    }
}

void FollowPanel::tick()
{
    if (follower_) {
        follower_->tick(follow::Clock::now());
        arm();
    }
}

void FollowPanel::arm()
{
    const auto wake = follower_ ? follower_->nextWake() : std::nullopt;
    if (!wake) {
        wake_.stop();
        return;
    }
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(*wake - follow::Clock::now());
    wake_.start(static_cast<int>(std::clamp<long long>(left.count(), 0, 60000)));
}

void FollowPanel::modelChanged()
{
    // A request to the antenna is told with what it changed, whatever that is.
    const auto& asked = model_.lastAntennaRequest();
    if (!asked || seenRequest_ == asked->serial) {
        return;
    }
    seenRequest_ = asked->serial;
    if (!follower_ || asked->source == aim::Source::Program) {
        return;
    }
    // The operator's own command wins over the program followed.
    if (asked->kind == aim::AimingModel::AntennaRequest::Kind::Park) {
        follower_->rules().park();
        decision_->setText(QStringLiteral("Following stopped by park"));
        resume_->show();
    } else {
        follower_->rules().manual();
        decision_->setText(QStringLiteral("Paused by a manual command until a new call"));
    }
    arm();
}

void FollowPanel::resume()
{
    if (follower_) {
        follower_->rules().resume();
        decision_->setText(QStringLiteral("Following again"));
    }
    resume_->hide();
}

void FollowPanel::show(const follow::FollowEvent& event)
{
    QStringList picked;
    for (const std::string* field : {&event.call, &event.grid}) {
        if (!field->empty()) {
            picked << fromStd(*field);
        }
    }
    const QString when = QDateTime::fromSecsSinceEpoch(
        std::chrono::duration_cast<std::chrono::seconds>(clock_().time_since_epoch()).count(), QTimeZone::utc())
                             .toString(QStringLiteral("HH:mm:ss"));
    last_->setText(QStringLiteral("%1 from %2 (%3) at %4 UTC")
                       .arg(picked.isEmpty() ? QStringLiteral("Nothing picked") : picked.join(u' '),
                           QLatin1String(follow::sourceTitle(event.source).data()),
                           fromStd(follow::addressText(event.from)), when));
    QString decision = fromStd(event.decision);
    if (!event.problem.empty()) {
        decision += QStringLiteral(" (%1)").arg(fromStd(event.problem));
    }
    decision_->setText(decision.left(1).toUpper() + decision.mid(1));
}

void FollowPanel::tell(const QString& line)
{
    QStringList lines = notes_->text().isEmpty() ? QStringList() : notes_->text().split(u'\n');
    lines << line;
    notes_->setText(lines.mid(std::max<qsizetype>(0, lines.size() - kNotesShown)).join(u'\n'));
}

}  // namespace skybrant::ui
