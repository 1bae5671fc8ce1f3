#include "log_panel.h"

#include "aim/aiming_model.h"
#include "map_view.h"
#include "panel_widgets.h"
#include "settings/settings_store.h"
#include "station_lookup.h"
#include "std_text.h"

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMetaObject>
#include <QPushButton>

#include <sys/stat.h>

#include <exception>
#include <mutex>
#include <thread>

namespace skybrant::ui {

namespace {

QString counted(std::uint64_t n, const char* one, const char* many)
{
    return QStringLiteral("%1 %2").arg(
        QLocale(QLocale::English).toString(static_cast<qulonglong>(n)), QLatin1String(n == 1 ? one : many));
}

QString problemText(const AdifProblem& problem)
{
    const QString where = problem.record != 0
        ? QStringLiteral("record %1 at byte %2").arg(problem.record).arg(problem.offset)
        : QStringLiteral("byte %1").arg(problem.offset);
    return where + QStringLiteral(": ") + fromStd(problem.what);
}

// The items of a filter: "All", then what the log holds, and the one
// chosen even when the log holds none of it (yet).
void fill(QComboBox* box, const std::vector<std::string>& seen, const QString& chosen)
{
    const QSignalBlocker quiet(box);
    box->clear();
    box->addItem(QStringLiteral("All"), QString());
    for (const std::string& item : seen) {
        box->addItem(fromStd(item), fromStd(item));
    }
    int at = box->findData(chosen, Qt::UserRole, Qt::MatchFixedString);
    if (at < 0) {
        box->addItem(chosen, chosen);
        at = box->count() - 1;
    }
    box->setCurrentIndex(at);
}

}  // namespace

// What the reading thread reaches the panel through: null once it is gone.
struct LogPanel::Channel {
    std::mutex mutex;
    LogPanel* owner = nullptr;
};

LogPanel::LogPanel(
    aim::AimingModel& model, MapView& view, CallsignLookup& callsigns, settings::SettingsStore* store, QWidget* parent)
    : QWidget(parent), model_(model), view_(view), callsigns_(callsigns), store_(store),
      channel_(std::make_shared<Channel>())
{
    channel_->owner = this;
    setObjectName(QStringLiteral("log"));
    auto* form = new QFormLayout(this);
    path_ = new QLineEdit(this);
    path_->setObjectName(QStringLiteral("logFile"));
    path_->setReadOnly(true);
    path_->setAccessibleName(QStringLiteral("Log file"));
    path_->setPlaceholderText(QStringLiteral("No log chosen"));
    auto* choose = panelButton(this, "chooseLog", QStringLiteral("Choose…"), QStringLiteral("Choose the log file"));
    auto* forget = panelButton(this, "forgetLog", QStringLiteral("Forget"), QStringLiteral("Forget the log file"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(choose);
    buttons->addWidget(forget);
    buttons->addStretch();
    form->addRow(QStringLiteral("Log:"), path_);
    form->addRow(buttons);
    state_ = new QLabel(this);
    state_->setObjectName(QStringLiteral("logState"));
    state_->setWordWrap(true);
    state_->setTextFormat(Qt::PlainText);
    form->addRow(state_);
    band_ = new QComboBox(this);
    band_->setObjectName(QStringLiteral("logBand"));
    band_->setAccessibleName(QStringLiteral("Band shown"));
    mode_ = new QComboBox(this);
    mode_->setObjectName(QStringLiteral("logMode"));
    mode_->setAccessibleName(QStringLiteral("Mode shown"));
    form->addRow(QStringLiteral("Band:"), band_);
    form->addRow(QStringLiteral("Mode:"), mode_);
    problem_ = problemLabel(this, "logProblem");
    form->addRow(problem_);

    connect(choose, &QPushButton::clicked, this, &LogPanel::choose);
    connect(forget, &QPushButton::clicked, this, &LogPanel::forget);
    connect(band_, &QComboBox::currentIndexChanged, this, &LogPanel::filtersChanged);
    connect(mode_, &QComboBox::currentIndexChanged, this, &LogPanel::filtersChanged);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &LogPanel::lookAtFile);
    poll_.setInterval(kPollMs);
    connect(&poll_, &QTimer::timeout, this, &LogPanel::lookAtFile);

    if (store_ != nullptr) {
        options_ = settings::loadLogOptions(*store_);
    }
    filter_ = {options_.band.toStdString(), options_.mode.toStdString()};
    const QString unread = settings::unreadText(options_);
    problem_->setText(unread);
    problem_->setVisible(!unread.isEmpty());
    rebuildFilters();
    showLog(options_.file);
}

LogPanel::~LogPanel()
{
    {
        const std::lock_guard lock(channel_->mutex);
        channel_->owner = nullptr;
    }
    // A reading still under way finishes before the panel goes: a thread
    // left running would outlive the program's own teardown.
    if (reader_.joinable()) {
        reader_.join();
    }
}

void LogPanel::choose()
{
    const QString start = file_.isEmpty() ? QString() : QFileInfo(file_).absolutePath();
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Log to show on the map"), start,
        QStringLiteral("ADIF logs (*.adi *.ADI);;All files (*)"));
    if (!path.isEmpty()) {
        open(path);
    }
}

void LogPanel::open(const QString& path)
{
    showLog(path);
    save();
}

void LogPanel::forget()
{
    showLog(QString());
    save();
}

void LogPanel::showLog(const QString& path)
{
    ++generation_;
    file_ = path;
    path_->setText(path);
    if (!watcher_.files().isEmpty()) {
        watcher_.removePaths(watcher_.files());
    }
    resume_ = {};
    places_.clear();
    problems_ = {};
    readError_.clear();
    readAt_.reset();
    stamp_.reset();
    again_ = false;
    if (path.isEmpty()) {
        poll_.stop();
    } else {
        // Read when it is there: the calls of the QSOs without a place.
        callsigns_.prepare();
        poll_.start();
        startReading();
    }
    rebuildFilters();
    showPoints();
    showState();
}

std::optional<LogPanel::Stamp> LogPanel::stampOf(const QString& path)
{
    struct stat status { };
    if (::stat(QFile::encodeName(path).constData(), &status) != 0) {
        return std::nullopt;
    }
    return Stamp{static_cast<qint64>(status.st_size),
        static_cast<qint64>(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec,
        static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino)};
}

void LogPanel::lookAtFile()
{
    if (file_.isEmpty()) {
        return;
    }
    const std::optional<Stamp> stamp = stampOf(file_);
    if (!stamp || stamp != stamp_) {
        startReading();
    }
}

void LogPanel::startReading()
{
    if (reading_) {
        again_ = true;
        return;
    }
    const std::optional<Stamp> stamp = stampOf(file_);
    // Another file in the log's place: read from its start.
    const bool fromStart = stamp && stamp_ && (stamp->device != stamp_->device || stamp->inode != stamp_->inode);
    if (fromStart) {
        resume_ = {};
    }
    if (stamp) {
        stamp_ = stamp;
    }
    if (!watcher_.files().contains(file_) && stamp) {
        // Again after the log was replaced: a watcher follows a file, not
        // a name.
        watcher_.addPath(file_);
    }
    reading_ = true;
    const auto read = [channel = channel_, generation = generation_, fromStart,
                          path = QFile::encodeName(file_).toStdString(), from = resume_, files = callsigns_.files(),
                          // Found here: the environment is not read on another thread.
                          countryFile = defaultCountryFile()] {
        auto slice = std::make_shared<LogSlice>();
        try {
            *slice = readLogSlice(path, from, countryFile, files);
        } catch (const std::exception& e) {
            slice->read.error = std::string("cannot read the log: ") + e.what();
        }
        const std::lock_guard lock(channel->mutex);
        if (LogPanel* owner = channel->owner) {
            // Posted to the panel's own thread; dropped if it goes first.
            QMetaObject::invokeMethod(
                owner, [owner, generation, fromStart, slice] { owner->sliceRead(generation, fromStart, *slice); },
                Qt::QueuedConnection);
        }
    };
    try {
        // The last reading has told its result (else this one would wait);
        // its thread has ended or is just ending.
        if (reader_.joinable()) {
            reader_.join();
        }
        reader_ = std::thread(read);
    } catch (const std::exception& e) {
        reading_ = false;
        readError_ = QStringLiteral("cannot start reading the log: %1").arg(QString::fromUtf8(e.what()));
        showState();
    }
}

void LogPanel::sliceRead(std::uint64_t generation, bool fromStart, const LogSlice& slice)
{
    reading_ = false;
    if (generation == generation_) {
        const AdifFileRead& read = slice.read;
        if (fromStart || read.restarted) {
            places_.clear();
            problems_ = {};
        }
        readError_ = read.ok ? QString() : fromStd(read.error);
        // A log that could not be opened keeps its place for when it is back.
        if (read.ok || read.resume.offset != 0) {
            resume_ = read.resume;
        }
        places_.add(slice.qsos);
        if (problems_.count == 0) {
            problems_.first = slice.firstProblem;
        }
        problems_.count += slice.problems;
        if (read.ok) {
            readAt_ = QDateTime::currentDateTimeUtc();
        }
        rebuildFilters();
        showPoints();
        showState();
    }
    if (std::exchange(again_, false) && !file_.isEmpty()) {
        startReading();
    }
}

void LogPanel::rebuildFilters()
{
    fill(band_, places_.bands(), fromStd(filter_.band));
    fill(mode_, places_.modes(), fromStd(filter_.mode));
}

void LogPanel::filtersChanged()
{
    filter_ = {band_->currentData().toString().toStdString(), mode_->currentData().toString().toStdString()};
    showPoints();
    save();
}

void LogPanel::showPoints()
{
    view_.setPoints(PointLayer::Worked, places_.points(filter_, shown_));
}

QString LogPanel::stateText() const
{
    return state_->text();
}

void LogPanel::showState()
{
    QString text;
    if (file_.isEmpty()) {
        text = QStringLiteral("No log chosen.");
    } else if (!readAt_ && readError_.isEmpty()) {
        text = QStringLiteral("Reading the log…");
    } else {
        text = counted(places_.qsoCount(), "QSO", "QSOs") + QStringLiteral(", ") +
            counted(places_.placeCount(), "place", "places");
        if (readAt_) {
            text += QStringLiteral(", read %1 UTC").arg(readAt_->toString(QStringLiteral("HH:mm")));
        }
        if (problems_.first) {
            text += QStringLiteral(". Not used: ") + problemText(*problems_.first);
            if (problems_.count > 1) {
                text += QStringLiteral(", and ") + counted(problems_.count - 1, "more record", "more records");
            }
        }
        if (!readError_.isEmpty()) {
            text += QStringLiteral(". ") + readError_;
        }
    }
    state_->setText(text);
}

void LogPanel::save()
{
    if (store_ == nullptr) {
        return;
    }
    options_.file = file_;
    options_.band = fromStd(filter_.band);
    options_.mode = fromStd(filter_.mode);
    QString error;
    if (!settings::saveLogOptions(*store_, options_, error) && !error.isEmpty()) {
        problem_->setText(error);
        problem_->setVisible(true);
    }
}

QString LogPanel::tip(std::size_t index) const
{
    return index < shown_.size() ? places_.tip(shown_[index], filter_) : QString();
}

bool LogPanel::pick(std::size_t index)
{
    const PlacedQso* qso = index < shown_.size() ? places_.latest(shown_[index], filter_) : nullptr;
    if (qso == nullptr) {
        return false;
    }
    aim::OtherStation other;
    other.position = qso->position;
    other.label = qso->call;
    other.source = aim::Source::Clicked;
    model_.request(aim::SetOther{other});
    return true;
}

}  // namespace skybrant::ui
