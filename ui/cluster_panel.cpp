#include "cluster_panel.h"

#include "cluster_spot_list.h"
#include "panel_widgets.h"
#include "settings/cluster_settings.h"
#include "station_lookup.h"
#include "std_text.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <utility>

namespace skybrant::ui {

namespace {

// The console keeps this many lines; older ones scroll away for good.
constexpr int kConsoleLines = 500;
// How long lines gather before the page shows them.
constexpr std::chrono::milliseconds kBatch{200};

QLabel* line(QWidget* parent, const char* name, const QString& accessible)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setAccessibleName(accessible);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    return label;
}

QLineEdit* field(QWidget* parent, const char* name, const QString& accessible)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setAccessibleName(accessible);
    return edit;
}

// "SFI 152, A 8, K 2 (WWV de VE7CC at 18:00 UTC)": what the report gives.
QString propagationText(const ClusterWeather& w, std::chrono::sys_seconds heard)
{
    QStringList figures;
    if (w.solarFlux) {
        figures << QStringLiteral("SFI %1").arg(*w.solarFlux);
    }
    if (w.aIndex) {
        figures << QStringLiteral("A %1").arg(*w.aIndex);
    }
    if (w.kIndex) {
        figures << QStringLiteral("K %1").arg(*w.kIndex);
    }
    const auto minute =
        std::chrono::duration_cast<std::chrono::minutes>(heard - std::chrono::floor<std::chrono::days>(heard)).count();
    return QStringLiteral("%1 (%2 de %3 at %4:%5 UTC)")
        .arg(figures.isEmpty() ? QStringLiteral("no figures") : figures.join(QStringLiteral(", ")),
            w.wcy ? QStringLiteral("WCY") : QStringLiteral("WWV"), fromStd(w.reporter))
        .arg(minute / 60, 2, 10, QLatin1Char('0'))
        .arg(minute % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace

ClusterPanel::ClusterPanel(aim::AimingModel& model, CallsignLookup& callsigns, settings::SettingsStore* store,
    Clock clock, cluster::ClusterTiming timing, QWidget* parent)
    : QWidget(parent), model_(model), callsigns_(callsigns), store_(store), clock_(std::move(clock)), client_(timing)
{
    build();
    loadOptions();
    connect(&client_, &cluster::ClusterClient::spotReceived, this, &ClusterPanel::takeSpot);
    connect(&client_, &cluster::ClusterClient::weatherReceived, this, &ClusterPanel::takeWeather);
    connect(&client_, &cluster::ClusterClient::consoleLine, this, &ClusterPanel::takeConsoleLine);
    connect(&client_, &cluster::ClusterClient::stateChanged, this, [this] { showState(); });
    batch_.setSingleShot(true);
    batch_.setInterval(kBatch);
    connect(&batch_, &QTimer::timeout, this, &ClusterPanel::flush);
    tick_.setInterval(std::chrono::seconds(1));
    connect(&tick_, &QTimer::timeout, this, &ClusterPanel::tick);
    tick_.start();
}

ClusterPanel::~ClusterPanel()
{
    // No more lines into a page being taken down.
    client_.disconnect(this);
    client_.stop();
}

void ClusterPanel::build()
{
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    address_ = field(this, "clusterAddress", QStringLiteral("Cluster address, host and port"));
    address_->setPlaceholderText(QStringLiteral("HOST:PORT"));
    form->addRow(QStringLiteral("Cluster:"), address_);
    callsign_ = field(this, "clusterCallsign", QStringLiteral("Login callsign"));
    form->addRow(QStringLiteral("Login:"), callsign_);
    minutes_ = new QSpinBox(this);
    minutes_->setObjectName(QStringLiteral("clusterMinutes"));
    minutes_->setAccessibleName(QStringLiteral("Minutes a spot is shown"));
    minutes_->setRange(1, settings::kMaxSpotMinutes);
    minutes_->setSuffix(QStringLiteral(" min"));
    form->addRow(QStringLiteral("Spots shown:"), minutes_);
    auto* buttons = new QHBoxLayout;
    connect_ = panelButton(this, "clusterConnect", QStringLiteral("Connect"), QStringLiteral("Connect to the cluster"));
    disconnect_ = panelButton(
        this, "clusterDisconnect", QStringLiteral("Disconnect"), QStringLiteral("Disconnect from the cluster"));
    buttons->addWidget(connect_);
    buttons->addWidget(disconnect_);
    form->addRow(buttons);
    layout->addLayout(form);

    state_ = line(this, "clusterState", QStringLiteral("Cluster connection"));
    state_->setText(client_.stateText());
    propagation_ = line(this, "clusterPropagation", QStringLiteral("Propagation"));
    propagation_->setText(QStringLiteral("No WWV or WCY report yet"));
    problem_ = problemLabel(this, "clusterProblem");
    unplaced_ = line(this, "clusterUnplaced", QStringLiteral("Spots not placed"));
    unplaced_->hide();
    console_ = new QPlainTextEdit(this);
    console_->setObjectName(QStringLiteral("clusterConsole"));
    console_->setAccessibleName(QStringLiteral("Cluster console"));
    console_->setReadOnly(true);
    console_->setMaximumBlockCount(kConsoleLines);
    console_->setLineWrapMode(QPlainTextEdit::NoWrap);
    console_->setFixedHeight(120);
    command_ = field(this, "clusterCommand", QStringLiteral("Cluster command"));
    command_->setPlaceholderText(QStringLiteral("Command to the cluster, e.g. SH/DX 20"));
    list_ = new ClusterSpotList(board_, model_, this);
    for (QWidget* w : std::initializer_list<QWidget*>{state_, propagation_, problem_, unplaced_, console_, command_}) {
        layout->addWidget(w);
    }
    layout->addWidget(list_, 1);

    connect(connect_, &QPushButton::clicked, this, [this] { connectNow(); });
    connect(disconnect_, &QPushButton::clicked, this, &ClusterPanel::disconnectNow);
    connect(address_, &QLineEdit::returnPressed, this, [this] { connectNow(); });
    connect(callsign_, &QLineEdit::returnPressed, this, [this] { connectNow(); });
    connect(command_, &QLineEdit::returnPressed, this, &ClusterPanel::sendTyped);
    connect(minutes_, &QSpinBox::valueChanged, this, [this] {
        if (!loading_) {
            saveOptions();
            tick();
        }
    });
}

void ClusterPanel::loadOptions()
{
    if (store_ == nullptr) {
        minutes_->setValue(settings::kDefaultSpotMinutes);
        return;
    }
    loading_ = true;
    const settings::ClusterOptions options = settings::loadClusterOptions(*store_);
    address_->setText(options.address);
    callsign_->setText(options.callsign);
    minutes_->setValue(options.spotMinutes);
    showProblem(settings::unreadText(options));
    loading_ = false;
    if (options.connect && !options.address.isEmpty()) {
        // Connected when the window was last closed: connected again, once
        // the window is up.
        QTimer::singleShot(0, this, [this] { connectNow(); });
    }
}

bool ClusterPanel::saveOptions()
{
    if (store_ == nullptr) {
        return true;
    }
    settings::ClusterOptions options;
    options.address = address_->text().trimmed();
    options.callsign = callsign_->text().trimmed();
    options.spotMinutes = minutes_->value();
    options.connect = client_.state() != cluster::ClusterClient::State::Stopped;
    QString error;
    if (!settings::saveClusterOptions(*store_, options, error)) {
        if (!error.isEmpty()) {
            showProblem(error);
        }
        return false;
    }
    return true;
}

void ClusterPanel::showProblem(const QString& text)
{
    problem_->setText(text);
    problem_->setVisible(!text.isEmpty());
}

std::chrono::minutes ClusterPanel::spotTime() const
{
    return std::chrono::minutes(minutes_->value());
}

bool ClusterPanel::connectNow()
{
    showProblem({});
    QString error;
    if (!client_.start(address_->text().trimmed(), callsign_->text().trimmed(), error)) {
        showProblem(error);
        return false;
    }
    // Calls without a grid are placed through the country file: read it now.
    const QString fileProblem = callsigns_.prepare();
    const bool saved = saveOptions();
    if (!fileProblem.isEmpty() && saved) {
        showProblem(fileProblem);
    }
    showState();
    return true;
}

void ClusterPanel::showState()
{
    // Told of each spot in a flood: the label is laid out again only when
    // its words change.
    const QString text = client_.stateText();
    if (state_->text() != text) {
        state_->setText(text);
    }
}

void ClusterPanel::disconnectNow()
{
    client_.stop();
    // Not connected again at the next start.
    saveOptions();
    showState();
}

void ClusterPanel::takeSpot(const ClusterSpot& spot)
{
    waiting_.push_back({spot, clock_()});
    // Bounded as the board is, should the country file take long.
    if (waiting_.size() > kSpotBoardCap) {
        waiting_.pop_front();
    }
    later();
}

void ClusterPanel::takeWeather(const ClusterWeather& weather)
{
    propagation_->setText(propagationText(weather, clock_()));
}

void ClusterPanel::takeConsoleLine(const QString& text)
{
    consoleLines_ << text;
    if (consoleLines_.size() > kConsoleLines) {
        consoleLines_.remove(0, consoleLines_.size() - kConsoleLines);
    }
    later();
}

void ClusterPanel::sendTyped()
{
    const QString text = command_->text().trimmed();
    if (text.isEmpty()) {
        return;
    }
    QString error;
    if (!client_.sendCommand(text, error)) {
        showProblem(error);
        return;
    }
    showProblem({});
    consoleLines_ << QStringLiteral("> ") + text;
    command_->clear();
    flush();
}

void ClusterPanel::tick()
{
    showState();
    if (board_.expire(clock_(), spotTime()) != 0) {
        later();
    }
}

void ClusterPanel::later()
{
    if (!batch_.isActive()) {
        batch_.start();
    }
}

void ClusterPanel::place(const Waiting& waiting)
{
    if (callsigns_.files() != files_) {
        files_ = callsigns_.files();
        countryFile_.reset();
        if (files_) {
            countryFile_.emplace(std::string(), files_);
        }
    }
    std::string why;
    if (!board_.add(waiting.spot, waiting.heard, countryFile_ ? &*countryFile_ : nullptr, why)) {
        lastUnplaced_ = fromStd(why);
    }
}

void ClusterPanel::flush()
{
    // While the country file is read, spots wait for it rather than being
    // dropped for want of it.
    if (!waiting_.empty() && (callsigns_.files() || !callsigns_.reading())) {
        for (const Waiting& w : waiting_) {
            place(w);
        }
        waiting_.clear();
    } else if (!waiting_.empty()) {
        batch_.start();
    }
    if (!consoleLines_.isEmpty()) {
        console_->appendPlainText(consoleLines_.join(u'\n'));
        consoleLines_.clear();
    }
    if (board_.unplaced() != toldUnplaced_) {
        toldUnplaced_ = board_.unplaced();
        unplaced_->setText(
            QStringLiteral("%1 not placed; the last: %2")
                .arg(toldUnplaced_ == 1 ? QStringLiteral("1 spot") : QStringLiteral("%1 spots").arg(toldUnplaced_),
                    lastUnplaced_));
        unplaced_->show();
    }
    list_->refresh();
    showState();
    if (board_.changes() != toldChanges_) {
        toldChanges_ = board_.changes();
        if (onSpotsChanged) {
            onSpotsChanged();
        }
    }
}

}  // namespace skybrant::ui
