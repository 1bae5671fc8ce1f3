#pragma once

#include "core/position.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace skybrant {
class CountryFiles;
}

namespace skybrant::ui {

// Where the country file puts a callsign, or why it puts it nowhere.
struct CallsignPlace {
    Position position;
    QString name;  // "W1AW, United States"
    double utcOffsetHours = 0;
    QString error;  // empty when found
};

// Looks callsigns up in the country file, which is read on a thread of its
// own the first time one is asked for, so that a slow file never holds up
// the window. A file that could not be read is read again at the next
// lookup: the operator may have put it right meanwhile.
class CallsignLookup final : public QObject {
public:
    // Reads the country file at path: the file, or null and why not. Called
    // on the reading thread.
    using Reader = std::function<std::shared_ptr<const CountryFiles>(const std::string& path, std::string& error)>;
    using Done = std::function<void(const CallsignPlace& place)>;

    // Each read is of the operator's own file, else the packaged one, as
    // they stand when it starts; reader: CountryFiles::load when none.
    explicit CallsignLookup(QObject* parent = nullptr, Reader reader = {});
    ~CallsignLookup() override;
    CallsignLookup(const CallsignLookup&) = delete;
    CallsignLookup& operator=(const CallsignLookup&) = delete;
    CallsignLookup(CallsignLookup&&) = delete;
    CallsignLookup& operator=(CallsignLookup&&) = delete;

    // The place of call when the file has been read; else nothing, and the
    // file is being read (or a place with why it cannot be).
    std::optional<CallsignPlace> placeNow(const QString& call);

    // Gives done the place of call: at once when the file has been read,
    // else once it has, unless another ask() or cancel() comes first.
    void ask(const QString& call, Done done);

    // Drops the ask() that waits for the file, if any.
    void cancel();

    bool reading() const { return reading_; }

    // Starts reading the country file unless it has been read or is being
    // read, so that it is there when asked for; why it cannot, if so.
    QString prepare() { return files_ ? QString() : startReading(); }

    // The country file once it has been read; null before.
    std::shared_ptr<const CountryFiles> files() const { return files_; }

private:
    struct Channel;
    // Starts reading the file unless a read is under way; why it cannot.
    QString startReading();
    void finished(const std::shared_ptr<const CountryFiles>& files, const QString& error);

    Reader reader_;
    // Shared with the reading thread, which outlives this object when the
    // window closes in the middle of a read.
    std::shared_ptr<Channel> channel_;
    std::shared_ptr<const CountryFiles> files_;
    bool reading_ = false;
    QString waitingCall_;
    Done waiting_;
};

}  // namespace skybrant::ui
