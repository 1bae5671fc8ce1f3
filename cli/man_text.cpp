// The man page: the usage texts and the option table as roff, in the
// sections a man page has.

#include "batch.h"
#include "usage.h"

#include <string>

namespace skybrant::cli {

namespace {

// Plain text as roff: hyphens as \- so that options can be copied from the
// page, backslashes as \e, and no line taken for a request.
std::string roff(std::string_view text)
{
    std::string out;
    bool lineStart = true;
    for (const char c : text) {
        if (lineStart && (c == '.' || c == '\'')) {
            out += "\\&";
        }
        if (c == '-') {
            out += "\\-";
        } else if (c == '\\') {
            out += "\\e";
        } else {
            out += c;
        }
        lineStart = c == '\n';
    }
    return out;
}

void appendSynopsis(std::string& out)
{
    out += ".SH SYNOPSIS\n";
    bool first = true;
    for (const std::string_view usage : synopsis()) {
        out += first ? "" : ".br\n";
        out += ".B " + std::string(kProgramName) + "\n" + roff(usage) + "\n";
        first = false;
    }
}

void appendStations(std::string& out)
{
    out += ".SS Stations\nEach station is given in one of " + numberWord(stationForms().size()) + " forms:\n";
    for (const StationForm& form : stationForms()) {
        out += ".TP\n.I " + roff(form.name) + "\n.B " + roff(form.syntax) + "\n.br\n" + roff(form.help) + "\n";
    }
    out += ".PP\n" + roff(kStationNotes) + "\n.PP\n" + std::string(kManFigures) + "\n";
}

void appendOptions(std::string& out)
{
    out += ".SH OPTIONS\n";
    for (const OptionHelp& option : kOptionTable) {
        out += ".TP\n";
        if (option.shortName != '\0') {
            out +=
                ".BR " + roff(std::string("-") + option.shortName) + " \", \" " + roff("--" + std::string(option.name));
        } else {
            out += (option.valueName.empty() ? ".B " : ".BI ") + roff("--" + std::string(option.name));
        }
        if (!option.valueName.empty()) {
            out += " \" " + roff(option.valueName) + "\"";
        }
        out += "\n" + roff(withFigures(option.help)) + "\n";
        if (!option.manDetails.empty()) {
            out += withFigures(option.manDetails) + "\n";
        }
    }
}

void appendBatchColumns(std::string& out)
{
    out += ".SH BATCH COLUMNS\nThe columns of a\n.B \\-\\-batch\nline, in this order:\n";
    for (const CsvColumns& group : kCsvColumns) {
        out += ".TP\n";
        out += group.option.empty() ? std::string("always") : ".RB \"with \" " + roff(std::string(group.option));
        // A place to break the line after each comma, the names kept whole.
        out += '\n';
        for (const char c : roff(group.names)) {
            out += c == ',' ? std::string(",\\:") : std::string(1, c);
        }
        out += '\n';
    }
    out += ".PP\n" + roff(kBatchNotes) + "\n";
}

void appendExamples(std::string& out)
{
    out += ".SH EXAMPLES\n";
    bool first = true;
    for (const Example& example : examples()) {
        out += first ? "" : ".PP\n";
        out += roff(example.title) + ":\n.PP\n.nf\n.RS\n";
        for (std::string_view lines = example.command; !lines.empty();) {
            const std::size_t end = std::min(lines.find('\n'), lines.size());
            out += "$ " + roff(lines.substr(0, end)) + "\n";
            lines.remove_prefix(std::min(end + 1, lines.size()));
        }
        if (!example.output.empty()) {
            out += roff(example.output) + "\n";
        }
        out += ".RE\n.fi\n";
        first = false;
    }
}

}  // namespace

std::string manPage(std::string_view version)
{
    std::string out = R"(.TH SKYBRANT-CLI 1 "December 2026" "Skybrant )";
    out += std::string(version) + R"(" "User Commands")" + "\n.SH NAME\n" + roff(kProgramName) + " \\- " +
        roff(kSummary) + "\n";
    appendSynopsis(out);
    out += ".SH DESCRIPTION\n" + roff(kDescription) + "\n";
    appendStations(out);
    appendOptions(out);
    appendBatchColumns(out);
    out += ".SH EXIT STATUS\n";
    for (const ExitStatus& status : exitStatuses()) {
        out += ".TP\n.B " + std::to_string(status.code) + "\n" + roff(status.help) + "\n";
    }
    out += ".PP\n" + std::string(kManRotatorOutput) + "\n";
    appendExamples(out);
    out += ".SH SEE ALSO\n" + std::string(kManSeeAlso) + "\n";
    return out;
}

}  // namespace skybrant::cli
