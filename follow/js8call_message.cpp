#include "js8call_message.h"

#include "wsjtx_message.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <vector>

namespace skybrant::follow {

namespace {

// A text member of params, blanks trimmed ("GRID": " JO01"), upper case
// for calls.
std::string member(const nlohmann::json& params, const char* name, bool upper)
{
    const auto found = params.find(name);
    if (found == params.end() || !found->is_string()) {
        return {};
    }
    std::string text = found->get<std::string>();
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
    if (upper) {
        std::ranges::transform(
            text, text.begin(), [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); });
    }
    return text;
}

}  // namespace

std::optional<Js8Message> readJs8call(std::span<const std::byte> datagram)
{
    if (datagram.size() > kMaxDatagram) {
        return std::nullopt;
    }
    const auto* begin = reinterpret_cast<const char*>(datagram.data());
    // No exceptions: a malformed datagram is a discarded value, and the
    // depth is bounded by the datagram's size.
    const nlohmann::json json = nlohmann::json::parse(begin, begin + datagram.size(), nullptr, false);
    if (!json.is_object()) {
        return std::nullopt;
    }
    const auto type = json.find("type");
    if (type == json.end() || !type->is_string()) {
        return std::nullopt;
    }
    Js8Message message;
    const auto params = json.find("params");
    const nlohmann::json empty = nlohmann::json::object();
    const nlohmann::json& fields = params != json.end() && params->is_object() ? *params : empty;
    if (*type == "STATION.STATUS") {
        message.kind = Js8Message::Kind::Status;
        message.call = member(fields, "SELECTED", true);
    } else if (*type == "RX.SPOT") {
        message.kind = Js8Message::Kind::Spot;
        message.call = member(fields, "CALL", true);
        message.grid = member(fields, "GRID", false);
    }
    return message;
}

void Js8Spots::take(const Js8Message& spot)
{
    if (spot.kind != Js8Message::Kind::Spot || spot.call.empty() || spot.grid.empty()) {
        return;
    }
    grids_[spot.call] = {spot.grid, count_++};
    if (grids_.size() <= kMaxSpots) {
        return;
    }
    std::vector<std::size_t> ages;
    ages.reserve(grids_.size());
    for (const auto& entry : grids_) {
        ages.push_back(entry.second.second);
    }
    auto middle = ages.begin() + static_cast<std::ptrdiff_t>(ages.size() / 2);
    std::ranges::nth_element(ages, middle);
    const std::size_t cut = *middle;
    std::erase_if(grids_, [cut](const auto& entry) { return entry.second.second < cut; });
}

std::string Js8Spots::gridOf(std::string_view call) const
{
    const auto found = grids_.find(std::string(call));
    return found != grids_.end() ? found->second.first : std::string();
}

}  // namespace skybrant::follow
