#include "station_args.h"

#include "callsign_stations.h"

#include "core/utf8.h"
#include "settings/own_station.h"
#include "settings/rotator_offset.h"
#include "settings/settings_read.h"

#include <string_view>

namespace skybrant::cli {

namespace {

// Splits at blanks and tabs, as a shell would have split an unquoted text.
void appendFields(std::string_view text, std::vector<std::string_view>& fields)
{
    constexpr std::string_view blanks = " \t";
    for (auto start = text.find_first_not_of(blanks); start != std::string_view::npos;
         start = text.find_first_not_of(blanks, start)) {
        const auto end = std::min(text.find_first_of(blanks, start), text.size());
        fields.push_back(text.substr(start, end - start));
        start = end;
    }
}

StationsRead::Status statusOf(ReadResult result)
{
    switch (result) {
    case ReadResult::Ok:
        return StationsRead::Status::Ok;
    case ReadResult::BadField:
        return StationsRead::Status::BadField;
    case ReadResult::WrongCount:
        break;
    }
    return StationsRead::Status::Usage;
}

// One station from an option's value; errors name the option.
StationsRead::Status optionStation(const std::string& value, std::string_view option, Side side, Position& station,
    std::string& error, Callsigns* callsigns)
{
    std::vector<std::string_view> fields;
    appendFields(value, fields);
    StationsRead::Status status = StationsRead::Status::Ok;
    if (option == "call") {
        if (callsigns == nullptr || fields.size() != 1) {
            error = fields.size() == 1 ? "callsigns cannot be read here"
                                       : "expected one callsign, found " + std::to_string(fields.size()) +
                    (fields.size() == 1 ? " field" : " fields");
            status = StationsRead::Status::Usage;
        } else if (!callsigns->lookUp(fields[0], false, station, error)) {
            status = StationsRead::Status::BadField;
        }
    } else {
        status = statusOf(readOneStation(fields, side, station, error, callsigns));
    }
    if (status != StationsRead::Status::Ok) {
        error.insert(0, "--" + std::string(option) + ": ");
    }
    return status;
}

std::vector<std::string_view> fieldsOf(const std::vector<std::string>& arguments)
{
    std::vector<std::string_view> fields;
    for (const auto& argument : arguments) {
        appendFields(argument, fields);
    }
    return fields;
}

// The option that gives the other station: --to, or --call for a callsign.
struct OtherOption {
    const std::optional<std::string>& value;
    std::string_view name;
};

OtherOption otherOption(const StationArguments& arguments)
{
    return arguments.call ? OtherOption{arguments.call, "call"} : OtherOption{arguments.to, "to"};
}

// The own station saved in the settings file, for a run that gave only
// the other station.
StationsRead::Status savedOwn(const StationArguments& arguments, StationsRead& read)
{
    const settings::SavedOwnStation saved = settings::readSavedOwnStation(*arguments.ownStationFile);
    if (!saved.entry) {
        read.error = saved.why;
        return saved.noneSaved ? StationsRead::Status::Usage : StationsRead::Status::BadField;
    }
    read.own = saved.position;
    std::string shown;
    appendShown(*arguments.ownStationFile, shown);
    read.note = "own station from " + shown + ": " + saved.text;
    return StationsRead::Status::Ok;
}

// One station from an option, the other from the station fields.
StationsRead::Status optionAndFields(const StationArguments& arguments, StationsRead& read)
{
    const bool hasFrom = arguments.from.has_value();
    const OtherOption to = otherOption(arguments);
    auto status = hasFrom ? optionStation(*arguments.from, "from", Side::Own, read.own, read.error, arguments.callsigns)
                          : optionStation(*to.value, to.name, Side::Other, read.other, read.error, arguments.callsigns);
    if (status != StationsRead::Status::Ok) {
        return status;
    }
    if (!hasFrom && arguments.fields.empty() && arguments.ownStationFile) {
        return savedOwn(arguments, read);
    }
    status = statusOf(readOneStation(fieldsOf(arguments.fields), hasFrom ? Side::Other : Side::Own,
        hasFrom ? read.other : read.own, read.error, arguments.callsigns));
    if (status == StationsRead::Status::Usage) {
        read.error.insert(0,
            hasFrom ? "the other station, after --from: " : "the own station, with --" + std::string(to.name) + ": ");
    }
    return status;
}

StationsRead::Status readInto(const StationArguments& arguments, StationsRead& read)
{
    if (arguments.call && arguments.to) {
        read.error = "--call and --to both give the other station; give one of them";
        return StationsRead::Status::Usage;
    }
    const OtherOption to = otherOption(arguments);
    if (arguments.from && to.value) {
        if (!arguments.fields.empty()) {
            read.error = "with both --from and --" + std::string(to.name) + " there is no room for station fields";
            return StationsRead::Status::Usage;
        }
        const auto status =
            optionStation(*arguments.from, "from", Side::Own, read.own, read.error, arguments.callsigns);
        return status != StationsRead::Status::Ok
            ? status
            : optionStation(*to.value, to.name, Side::Other, read.other, read.error, arguments.callsigns);
    }
    if (arguments.from || to.value) {
        return optionAndFields(arguments, read);
    }
    const auto fields = fieldsOf(arguments.fields);
    if (fields.size() > kMaxPairFields) {
        read.error = wrongFieldCount(fields.size());
        return StationsRead::Status::Usage;
    }
    const auto status = statusOf(readPair(fields, read.own, read.other, read.error, arguments.callsigns));
    if (status != StationsRead::Status::Usage || !arguments.ownStationFile) {
        return status;
    }
    // No pair: the fields may still make the other station alone.
    std::string error;
    if (arguments.callsigns != nullptr) {
        arguments.callsigns->startPair();
    }
    switch (readOneStation(fields, Side::Other, read.other, error, arguments.callsigns)) {
    case ReadResult::Ok:
        return savedOwn(arguments, read);
    case ReadResult::BadField:
        read.error = error;
        return StationsRead::Status::BadField;
    case ReadResult::WrongCount:
        break;
    }
    return status;
}

// The own station alone: from --from, the station fields or the settings.
StationsRead::Status readOwnInto(const StationArguments& arguments, StationsRead& read)
{
    if (arguments.to || arguments.call) {
        read.error = "the chart is drawn from the own station alone; give no other station";
        return StationsRead::Status::Usage;
    }
    if (arguments.from) {
        if (!arguments.fields.empty()) {
            read.error = "with --from there is no room for station fields";
            return StationsRead::Status::Usage;
        }
        return optionStation(*arguments.from, "from", Side::Own, read.own, read.error, arguments.callsigns);
    }
    if (!arguments.fields.empty()) {
        const auto status =
            statusOf(readOneStation(fieldsOf(arguments.fields), Side::Own, read.own, read.error, arguments.callsigns));
        if (status == StationsRead::Status::Usage) {
            read.error.insert(0, "the own station: ");
        }
        return status;
    }
    if (arguments.ownStationFile) {
        return savedOwn(arguments, read);
    }
    read.error = "no own station: give it with --from or as station fields";
    return StationsRead::Status::Usage;
}

}  // namespace

std::string savedOwnStationFile()
{
    return settings::settingsFilePath(settings::kOwnStationApplication);
}

bool readSavedMastOffset(double& offset, std::string& error)
{
    const settings::SavedOffset saved = settings::readSavedOffset(savedOwnStationFile());
    if (!saved.why.empty()) {
        error = saved.why + "; give the offset with --offset";
        return false;
    }
    offset = saved.offset;
    return true;
}

StationsRead readStationArguments(const StationArguments& arguments)
{
    StationsRead read;
    if (arguments.callsigns != nullptr) {
        arguments.callsigns->startPair();
    }
    read.status = readInto(arguments, read);
    if (read.status != StationsRead::Status::Ok) {
        read.own = {};
        read.other = {};
        read.note.clear();
    } else {
        read.error.clear();
    }
    return read;
}

StationsRead readOwnStationArguments(const StationArguments& arguments)
{
    StationsRead read;
    if (arguments.callsigns != nullptr) {
        arguments.callsigns->startPair();
    }
    read.status = readOwnInto(arguments, read);
    if (read.status != StationsRead::Status::Ok) {
        read.own = {};
        read.note.clear();
    } else {
        read.error.clear();
    }
    return read;
}

}  // namespace skybrant::cli
