#include "callsign_stations.h"

#include "core/number_text.h"
#include "core/utf8.h"
#include "report.h"

#include <cmath>
#include <cstdio>

namespace skybrant::cli {

namespace {

void appendStationText(std::string_view label, const StationCallsign& station, std::string& out)
{
    out += label;
    out += ": " + station.call + ", " + station.entity + " (" + station.primaryPrefix + "), " + station.continent +
        ", CQ zone " + std::to_string(station.cqZone) + ", ITU zone " + std::to_string(station.ituZone) + ", " +
        utcOffsetText(station.utcOffsetHours);
    if (station.about) {
        out += ", about: the country's reference point";
    }
    if (station.otherList) {
        out += ", an entity of the WAE list";
        if (!station.dxccEntity.empty()) {
            out += " (for DXCC: " + station.dxccEntity + ")";
        }
    }
    out += '\n';
}

void appendStationCsv(const std::optional<StationCallsign>& station, std::string& out)
{
    if (!station) {
        out += ",,,,,,,,";
        return;
    }
    appendCsvField(station->call, out);
    appendCsvField(station->entity, out);
    appendCsvField(station->primaryPrefix, out);
    appendCsvField(station->continent, out);
    appendCsvField(std::to_string(station->cqZone), out);
    appendCsvField(std::to_string(station->ituZone), out);
    appendCsvField(numberText(station->utcOffsetHours), out);
    appendCsvField(station->about ? "about" : "", out);
}

void jsonMember(std::string_view name, std::string& out)
{
    out += ',';
    appendJsonString(name, out);
    out += ':';
}

void appendStationJson(std::string_view name, const StationCallsign& station, std::string& out)
{
    jsonMember(name, out);
    out += "{\"callsign\":";
    appendJsonString(station.call, out);
    jsonMember("entity", out);
    appendJsonString(station.entity, out);
    jsonMember("prefix", out);
    appendJsonString(station.primaryPrefix, out);
    jsonMember("continent", out);
    appendJsonString(station.continent, out);
    jsonMember("cq_zone", out);
    out += std::to_string(station.cqZone);
    jsonMember("itu_zone", out);
    out += std::to_string(station.ituZone);
    jsonMember("utc_offset", out);
    out += numberText(station.utcOffsetHours);
    jsonMember("about", out);
    out += station.about ? "true" : "false";
    jsonMember("wae", out);
    out += station.otherList ? "true" : "false";
    jsonMember("dxcc_entity", out);
    if (station.otherList && !station.dxccEntity.empty()) {
        appendJsonString(station.dxccEntity, out);
    } else {
        out += "null";
    }
    out += '}';
}

}  // namespace

std::string utcOffsetText(double hours)
{
    const long minutes = std::lround(std::abs(hours) * 60);
    if (minutes == 0) {
        return "UTC";
    }
    std::string text = hours < 0 ? "UTC-" : "UTC+";
    text += std::to_string(minutes / 60);
    if (minutes % 60 != 0) {
        text += (minutes % 60 < 10 ? ":0" : ":") + std::to_string(minutes % 60);
    }
    return text;
}

void appendCallsignText(const Callsigns& callsigns, std::string& out)
{
    if (callsigns.own()) {
        appendStationText("My station", *callsigns.own(), out);
    }
    if (callsigns.other()) {
        appendStationText("Other station", *callsigns.other(), out);
    }
}

void appendCountryFileText(Callsigns& callsigns, std::string& out)
{
    std::string error;
    if (!callsigns.ready(error)) {
        out += "Country file: " + error + "\n";
        return;
    }
    out += "Country file: " + quote(callsigns.path());
    if (!callsigns.version().empty()) {
        out += " (" + callsigns.version() + ")";
    }
    out += '\n';
}

void appendCallsignJson(const Callsigns& callsigns, bool countryFile, std::string& json)
{
    if (!json.ends_with("}\n")) {
        return;
    }
    json.resize(json.size() - 2);
    if (callsigns.own()) {
        appendStationJson("own_callsign", *callsigns.own(), json);
    }
    if (callsigns.other()) {
        appendStationJson("other_callsign", *callsigns.other(), json);
    }
    if (countryFile) {
        jsonMember("country_file", json);
        json += "{\"path\":";
        appendJsonString(callsigns.path(), json);
        jsonMember("version", json);
        if (callsigns.version().empty()) {
            json += "null";
        } else {
            appendJsonString(callsigns.version(), json);
        }
        json += '}';
    }
    json += "}\n";
}

void appendRunNote(const std::string& note, bool json, std::string& out)
{
    if (note.empty()) {
        return;
    }
    if (json && out.ends_with("}\n")) {
        out.resize(out.size() - 2);
        jsonMember("note", out);
        appendJsonString(note, out);
        out += "}\n";
        return;
    }
    std::fprintf(stderr, "skybrant-cli: note: %s\n", note.c_str());
}

void appendCallsignCsv(const Callsigns& callsigns, std::string& out)
{
    appendStationCsv(callsigns.own(), out);
    appendStationCsv(callsigns.other(), out);
    // After the columns of before, so that a spreadsheet's columns stay put.
    for (const auto* station : {&callsigns.own(), &callsigns.other()}) {
        const bool wae = station->has_value() && (*station)->otherList;
        appendCsvField(wae ? "wae" : "", out);
        appendCsvField(wae ? (*station)->dxccEntity : std::string(), out);
    }
}

}  // namespace skybrant::cli
