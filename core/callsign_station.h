#pragma once

#include "country_files.h"
#include "position.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace skybrant {

// What the country file says about a station given by its callsign, kept
// for what is shown of it.
struct StationCall {
    std::string call;  // in capitals, as looked up
    std::string entity;
    std::string primaryPrefix;
    std::string continent;
    int cqZone = 0;
    int ituZone = 0;
    double utcOffsetHours = 0;
    // The position is the entity's reference point: the station is only
    // about there.
    bool about = false;
    // An entity of the WAE or another list, not of DXCC (Sicily, European
    // Turkey); dxccEntity names the DXCC country it counts for there, empty
    // when the file has none.
    bool otherList = false;
    std::string dxccEntity;
};

// The country file of one run, read when it is first needed. Copies share
// the file, read once whichever copy needs it first, so one copy per
// thread reads stations side by side.
class CountryFileSource {
public:
    // path: the file to read, or empty for the operator's own file before
    // the packaged one.
    explicit CountryFileSource(std::string path = {});
    // A file read before (by the window, off its thread), named by path.
    CountryFileSource(std::string path, std::shared_ptr<const CountryFiles> files);

    const std::string& path() const { return path_; }

    // The file, read unless it has been; null with a sentence naming it
    // when it cannot be used.
    const CountryFiles* files(std::string& error);

    // Whether it has been read (or tried), without reading it.
    bool tried() const { return shared_->given || shared_->tried.load(std::memory_order_acquire); }

    // The file's version entry ("VER20240101"), empty before it is read or
    // when the file has none.
    const std::string& version() const { return shared_->given ? shared_->given->version() : shared_->files.version(); }

    // True the first time any copy asks: a note for the whole run is
    // given once.
    bool firstNote() { return !shared_->noted.exchange(true); }
    bool noted() const { return shared_->noted.load(std::memory_order_relaxed); }

private:
    struct Shared {
        std::once_flag read;
        std::atomic<bool> tried{false};
        std::atomic<bool> noted{false};
        CountryFiles files;
        std::shared_ptr<const CountryFiles> given;
        std::string readError;
    };

    std::string path_;
    std::shared_ptr<Shared> shared_ = std::make_shared<Shared>();
};

// The station a callsign (or a bare prefix, VK) stands for; nothing with a
// sentence when the file cannot be read or the call has no position.
std::optional<StationCall> lookUpStation(
    CountryFileSource& source, std::string_view call, Position& position, std::string& error);

}  // namespace skybrant
