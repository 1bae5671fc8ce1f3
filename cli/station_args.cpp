#include "station_args.h"

#include "station_fields.h"

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
StationsRead::Status optionStation(
    const std::string& value, std::string_view option, Side side, Position& station, std::string& error)
{
    std::vector<std::string_view> fields;
    appendFields(value, fields);
    const auto status = statusOf(readOneStation(fields, side, station, error));
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

// One station from an option, the other from the station fields.
StationsRead::Status optionAndFields(const StationArguments& arguments, StationsRead& read)
{
    const bool hasFrom = arguments.from.has_value();
    auto status = hasFrom ? optionStation(*arguments.from, "from", Side::Own, read.own, read.error)
                          : optionStation(*arguments.to, "to", Side::Other, read.other, read.error);
    if (status != StationsRead::Status::Ok) {
        return status;
    }
    status = statusOf(readOneStation(
        fieldsOf(arguments.fields), hasFrom ? Side::Other : Side::Own, hasFrom ? read.other : read.own, read.error));
    if (status == StationsRead::Status::Usage) {
        read.error.insert(0, hasFrom ? "the other station, after --from: " : "the own station, with --to: ");
    }
    return status;
}

StationsRead::Status readInto(const StationArguments& arguments, StationsRead& read)
{
    if (arguments.from && arguments.to) {
        if (!arguments.fields.empty()) {
            read.error = "with both --from and --to there is no room for station fields";
            return StationsRead::Status::Usage;
        }
        const auto status = optionStation(*arguments.from, "from", Side::Own, read.own, read.error);
        return status != StationsRead::Status::Ok
            ? status
            : optionStation(*arguments.to, "to", Side::Other, read.other, read.error);
    }
    if (arguments.from || arguments.to) {
        return optionAndFields(arguments, read);
    }
    const auto fields = fieldsOf(arguments.fields);
    if (fields.size() > kMaxPairFields) {
        read.error = wrongFieldCount(fields.size());
        return StationsRead::Status::Usage;
    }
    return statusOf(readPair(fields, read.own, read.other, read.error));
}

}  // namespace

StationsRead readStationArguments(const StationArguments& arguments)
{
    StationsRead read;
    read.status = readInto(arguments, read);
    if (read.status != StationsRead::Status::Ok) {
        read.own = {};
        read.other = {};
    } else {
        read.error.clear();
    }
    return read;
}

}  // namespace skybrant::cli
