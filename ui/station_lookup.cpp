#include "station_lookup.h"

#include "core/callsign.h"
#include "core/country_files.h"
#include "std_text.h"

#include <QMetaObject>

#include <exception>
#include <mutex>
#include <thread>
#include <utility>

namespace skybrant::ui {

namespace {

std::shared_ptr<const CountryFiles> readFile(const std::string& path, std::string& error)
{
    auto files = std::make_shared<CountryFiles>();
    if (!files->load(path, error)) {
        return nullptr;
    }
    return files;
}

CallsignPlace placeIn(const CountryFiles& files, const QString& call)
{
    const std::string text = call.toStdString();
    const CallsignInfo info = lookupCallsign(files, text);
    CallsignPlace place;
    if (info.status != CallsignStatus::Found) {
        place.error = fromStd(callsignProblem(info, text));
        return place;
    }
    place.position = info.position;
    place.name = QStringLiteral("%1, %2").arg(call.toUpper(), fromStd(info.entity));
    place.utcOffsetHours = info.utcOffsetHours;
    return place;
}

}  // namespace

// What the reading thread reaches the lookup through: null once the lookup
// is gone, so a read that ends after it reports to no one.
struct CallsignLookup::Channel {
    std::mutex mutex;
    CallsignLookup* owner = nullptr;
};

CallsignLookup::CallsignLookup(QObject* parent, Reader reader)
    : QObject(parent), reader_(reader ? std::move(reader) : Reader(readFile)), channel_(std::make_shared<Channel>())
{
    channel_->owner = this;
}

CallsignLookup::~CallsignLookup()
{
    const std::lock_guard lock(channel_->mutex);
    channel_->owner = nullptr;
}

std::optional<CallsignPlace> CallsignLookup::placeNow(const QString& call)
{
    if (files_) {
        return placeIn(*files_, call);
    }
    if (QString why = startReading(); !why.isEmpty()) {
        CallsignPlace place;
        place.error = why;
        return place;
    }
    return std::nullopt;
}

void CallsignLookup::ask(const QString& call, Done done)
{
    if (files_) {
        done(placeIn(*files_, call));
        return;
    }
    waitingCall_ = call;
    waiting_ = std::move(done);
    if (QString why = startReading(); !why.isEmpty()) {
        finished(nullptr, why);
    }
}

void CallsignLookup::cancel()
{
    waitingCall_.clear();
    waiting_ = nullptr;
}

QString CallsignLookup::startReading()
{
    if (reading_) {
        return {};
    }
    reading_ = true;
    // Found here: the environment is not read on another thread.
    const auto read = [channel = channel_, reader = reader_, path = defaultCountryFile()] {
        std::string error;
        std::shared_ptr<const CountryFiles> files;
        try {
            files = reader(path, error);
        } catch (const std::exception& e) {
            error = std::string("cannot read the country file: ") + e.what();
        }
        const std::lock_guard lock(channel->mutex);
        if (CallsignLookup* owner = channel->owner) {
            // Posted to the lookup's own thread; dropped if it goes first.
            QMetaObject::invokeMethod(
                owner, [owner, files, why = fromStd(error)] { owner->finished(files, why); }, Qt::QueuedConnection);
        }
    };
    try {
        std::thread(read).detach();
    } catch (const std::exception& e) {
        reading_ = false;
        return QStringLiteral("cannot start reading the country file: %1").arg(fromStd(e.what()));
    }
    return {};
}

void CallsignLookup::finished(const std::shared_ptr<const CountryFiles>& files, const QString& error)
{
    reading_ = false;
    if (files) {
        files_ = files;
    }
    if (!waiting_) {
        return;
    }
    const Done done = std::exchange(waiting_, nullptr);
    const QString call = std::exchange(waitingCall_, QString());
    if (files) {
        done(placeIn(*files, call));
    } else {
        CallsignPlace place;
        place.error = error;
        done(place);
    }
}

}  // namespace skybrant::ui
