#include "map_window.h"

#include "aim/rotator_service.h"
#include "cluster_panel.h"
#include "core/locator.h"
#include "follow_panel.h"
#include "log_panel.h"
#include "map_view.h"
#include "message_sink.h"
#include "own_station_prompt.h"
#include "rotator_panel.h"
#include "settings/own_station_store.h"
#include "settings/settings_store.h"
#include "spot_marks.h"
#include "station_lookup.h"
#include "station_panel.h"
#include "std_text.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLineEdit>
#include <QScrollArea>
#include <QShortcut>
#include <QStyle>
#include <QTabWidget>

#include <algorithm>
#include <chrono>
#include <string_view>
#include <utility>

namespace skybrant::ui {

namespace {

using settings::kApplication;
const QString kSection = QStringLiteral("Map");
// The widest the pages in the tabs beside the map grow.
constexpr int kPanelWidth = 360;

// A panel that scrolls rather than squeezing its rows or the map: at any
// window size every row keeps its height, and the map the room it needs.
QScrollArea* scrolling(QWidget* panel, QWidget* parent, int widest)
{
    auto* area = new QScrollArea(parent);
    area->setWidget(panel);
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    // A scroll area asks for all the room it can get; the map has the first claim.
    area->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    const int scrollBar = area->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    area->setMinimumWidth(std::min(panel->minimumSizeHint().width(), widest * 2 / 3) + scrollBar);
    area->setMaximumWidth(widest + scrollBar);
    return area;
}

}  // namespace

Position savedOwnStation(settings::SettingsStore* store)
{
    return store != nullptr ? settings::savedOwnStationPosition(*store) : Position{};
}

std::unique_ptr<MapWindow> openMapAlone(settings::SettingsStore* store)
{
    auto map = std::make_unique<MapWindow>(store);
    map->setOwn(savedOwnStation(store));
    if (store != nullptr) {
        if (const auto problem = store->readProblem(kApplication)) {
            map->tell(*problem);
        } else if (!settings::ownStationSaved(*store)) {
            // Centred on 0 N 0 E without a word is no map of the operator's.
            askOwnStation(*map, *store);
        }
    }
    return map;
}

MapWindow::MapWindow(settings::SettingsStore* store, QWidget* parent) : QWidget(parent, Qt::Window), store_(store)
{
    setObjectName(QStringLiteral("MapWindow"));
    setWindowTitle(QStringLiteral("Skybrant map"));
    resize(1280, 760);
    callsigns_ = new CallsignLookup(this);
    service_ = std::make_unique<aim::RotatorService>(model_, store_);
    service_->onSaveFailed = alsoOnStandardError;
    service_->countryFiles = [this] {
        callsigns_->prepare();
        return callsigns_->files();
    };

    auto* layout = new QHBoxLayout(this);
    view_ = new MapView(this);
    view_->setObjectName(QStringLiteral("map"));
    view_->setAccessibleName(QStringLiteral("Map centred on the own station"));
    // The panels scroll before the map gets smaller than this.
    view_->setMinimumSize(320, 320);
    layout->addWidget(view_);

    const auto seconds = [this] { return std::chrono::floor<std::chrono::seconds>(clock_()); };
    stations_ = new StationPanel(model_, *callsigns_, seconds);
    buildOptions();
    // What another program picks, under the stations it changes.
    follow_ = new FollowPanel(
        model_, *callsigns_, store_, [this] { return clock_(); }, stations_);
    stations_->form()->addRow(follow_);
    stations_->showProblem(view_->imagesNote());
    layout->addWidget(scrolling(stations_, this, 380));
    // The rotator, the cluster's spots and the log share the column beside
    // the stations; the rotator's page is the one shown first.
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("panels"));
    rotator_ = new RotatorPanel(model_, *service_, seconds, tabs_);
    tabs_->addTab(scrolling(rotator_, tabs_, kPanelWidth), QStringLiteral("Rotator"));
    // The spot list takes the page's height itself rather than scrolling.
    cluster_ = new ClusterPanel(model_, *callsigns_, store_, seconds, {}, tabs_);
    tabs_->addTab(cluster_, QStringLiteral("Cluster"));
    log_ = new LogPanel(model_, *view_, *callsigns_, store_, tabs_);
    tabs_->addTab(scrolling(log_, tabs_, kPanelWidth), QStringLiteral("Log"));
    tabs_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    layout->addWidget(tabs_);
    loadOptions();

    view_->follow(model_);
    view_->onHover = [this](const std::optional<Position>& p) { stations_->showPointer(p); };
    spots_ = new SpotMarks(*cluster_, *view_, model_, seconds, this);
    view_->pointTip = [this](PointLayer layer, std::size_t index) {
        return layer == PointLayer::Spots ? spots_->tip(index) : log_->tip(index);
    };
    view_->onPointClicked = [this](PointLayer layer, std::size_t index) {
        return layer == PointLayer::Spots ? spots_->pick(index) : log_->pick(index);
    };

    // The greyline follows the clock, redrawn as each minute begins. A
    // coarse timer could fire seconds early and draw the old minute again.
    minute_.setSingleShot(true);
    minute_.setTimerType(Qt::PreciseTimer);
    connect(&minute_, &QTimer::timeout, this, &MapWindow::tick);
    tick();
    auto* fullScreen = new QShortcut(QKeySequence(Qt::Key_F11), this);
    connect(fullScreen, &QShortcut::activated, this, [this] { isFullScreen() ? showNormal() : showFullScreen(); });
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, &MapWindow::escape);
    stations_->field()->setFocus();
}

MapWindow::~MapWindow()
{
    // The views leave the model and the service while both are there.
    qDeleteAll(findChildren<QWidget*>(Qt::FindDirectChildrenOnly));
}

void MapWindow::buildOptions()
{
    QFormLayout* form = stations_->form();
    unit_ = new QComboBox(stations_);
    unit_->setObjectName(QStringLiteral("unit"));
    unit_->setAccessibleName(QStringLiteral("Distance unit"));
    for (const DistanceUnit u : {DistanceUnit::Kilometres, DistanceUnit::StatuteMiles, DistanceUnit::NauticalMiles}) {
        unit_->addItem(fromStd(unitSymbol(u)), static_cast<int>(u));
    }
    form->addRow(QStringLiteral("Unit:"), unit_);
    rings_ = new QCheckBox(QStringLiteral("Distance rings"), stations_);
    rings_->setObjectName(QStringLiteral("rings"));
    rings_->setChecked(true);
    form->addRow(rings_);
    images_ = new QCheckBox(QStringLiteral("Earth images"), stations_);
    images_->setObjectName(QStringLiteral("images"));
    images_->setChecked(true);
    form->addRow(images_);
    buildOutputs(form);

    connect(unit_, &QComboBox::currentIndexChanged, this, [this] {
        model_.request(aim::SetUnit{unit()});
        saveOptions();
    });
    connect(rings_, &QCheckBox::toggled, this, [this](bool on) {
        view_->setRings(on);
        saveOptions();
    });
    connect(images_, &QCheckBox::toggled, this, [this](bool on) {
        view_->setImagesShown(on);
        stations_->showProblem(on ? view_->imagesNote() : QString());
        saveOptions();
    });
}

DistanceUnit MapWindow::unit() const
{
    return static_cast<DistanceUnit>(unit_->currentData().toInt());
}

void MapWindow::loadOptions()
{
    if (store_ == nullptr) {
        return;
    }
    loadingOptions_ = true;
    QStringList notes;
    // A value not understood is shown as its default and kept in the file
    // as written until the user changes that setting.
    const auto read = [&](const QString& key, const QString& fallback, const QString& setting, auto understood) {
        const QString text = store_->get(kApplication, kSection, key, fallback);
        if (!understood(text)) {
            store_->keepUntilChanged(kApplication, kSection, key, fallback);
            notes << settings::notUnderstood(kSection, key, text, setting);
        }
    };
    const QString km = fromStd(unitSymbol(DistanceUnit::Kilometres));
    read(QStringLiteral("Unit"), km, QStringLiteral("distance unit"), [this](const QString& text) {
        const auto u = unitFromTypedSymbol(text.trimmed().toStdString());
        unit_->setCurrentIndex(unit_->findData(static_cast<int>(u.value_or(DistanceUnit::Kilometres))));
        return u.has_value();
    });
    const auto flag = [](QCheckBox* box) {
        return [box](const QString& text) {
            const QString t = text.trimmed();
            box->setChecked(t != QLatin1String("false"));
            return t == QLatin1String("true") || t == QLatin1String("false");
        };
    };
    read(QStringLiteral("Rings"), QStringLiteral("true"), QStringLiteral("distance rings"), flag(rings_));
    read(QStringLiteral("Images"), QStringLiteral("true"), QStringLiteral("earth images"), flag(images_));
    loadingOptions_ = false;
    for (const QString& note : notes) {
        tell(note);
    }
}

void MapWindow::saveOptions()
{
    if (store_ == nullptr || loadingOptions_) {
        return;
    }
    const auto flag = [](bool on) { return on ? QStringLiteral("true") : QStringLiteral("false"); };
    store_->save(kApplication, kSection, QStringLiteral("Unit"), fromStd(unitSymbol(unit())));
    store_->save(kApplication, kSection, QStringLiteral("Rings"), flag(rings_->isChecked()));
    store_->save(kApplication, kSection, QStringLiteral("Images"), flag(images_->isChecked()));
    QString error;
    if (!store_->commit(error) && !error.isEmpty()) {
        alsoOnStandardError(error);
        stations_->showProblem(error);
    }
}

void MapWindow::tell(const QString& text)
{
    stations_->tell(text);
}

void MapWindow::setOwn(const Position& own)
{
    model_.request(aim::SetOwn{own});
}

void MapWindow::setOther(const std::optional<Position>& other)
{
    std::optional<aim::OtherStation> station;
    if (other) {
        station.emplace();
        station->position = *other;
        station->label = locatorOf(*other, 6);
        station->source = aim::Source::Calculator;
    }
    model_.request(aim::SetOther{station});
}

bool MapWindow::takeOtherText(const QString& text)
{
    return stations_->takeOtherText(text);
}

void MapWindow::escape()
{
    // Esc in a text field cancels the typing there; anywhere else it stops
    // the rotator.
    if (auto* field = qobject_cast<QLineEdit*>(QApplication::focusWidget()); field != nullptr && isAncestorOf(field)) {
        if (field == stations_->field()) {
            stations_->cancelTyping();
        } else if (field->objectName() == QLatin1String("rotatorHeading")) {
            field->clear();
        }
        return;
    }
    model_.request(aim::Stop{aim::Source::Typed});
}

void MapWindow::setClock(Clock clock)
{
    clock_ = std::move(clock);
    tick();
}

void MapWindow::tick()
{
    const auto at = clock_();
    const auto minute = std::chrono::floor<std::chrono::minutes>(at);
    // A timer that fired a moment early finds the old minute here, and is
    // set again for the moment left.
    minute_.start(std::chrono::ceil<std::chrono::milliseconds>(minute + std::chrono::minutes(1) - at));
    view_->setNightTime(minute);
    stations_->showClockFigures();
}

}  // namespace skybrant::ui
