// --help: the usage texts and the option table as plain text.

#include "batch.h"
#include "usage.h"

#include <algorithm>
#include <array>
#include <string>

namespace skybrant::cli {

namespace {

constexpr std::size_t kWidth = 79;
constexpr std::size_t kOptionColumn = 28;

// Appends text filled to the width: the first line after what out already
// holds on its line, the others indented.
void appendFilled(std::string_view text, std::size_t column, std::size_t indent, std::string& out)
{
    bool first = true;
    for (auto start = text.find_first_not_of(' '); start != std::string_view::npos;
         start = text.find_first_not_of(' ', start)) {
        const std::size_t end = std::min(text.find(' ', start), text.size());
        const std::string_view word = text.substr(start, end - start);
        if (!first && column + 1 + word.size() > kWidth) {
            out += '\n';
            out.append(indent, ' ');
            column = indent;
        } else if (!first) {
            out += ' ';
            ++column;
        }
        out += word;
        column += word.size();
        first = false;
        start = end;
    }
    out += '\n';
}

void appendParagraph(std::string_view text, std::size_t indent, std::string& out)
{
    out.append(indent, ' ');
    appendFilled(text, indent, indent, out);
}

// Each line of a text, indented.
void appendLines(std::string_view text, std::string_view indent, std::string& out)
{
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        out += indent;
        out += text.substr(0, end);
        out += '\n';
        text.remove_prefix(std::min(end + 1, text.size()));
    }
}

std::string optionLabel(const OptionHelp& option)
{
    std::string label = "  ";
    if (option.shortName != '\0') {
        label += std::string("-") + option.shortName + ", ";
    }
    label += "--" + std::string(option.name);
    if (!option.valueName.empty()) {
        label += " <" + std::string(option.valueName) + ">";
    }
    return label;
}

void appendOptions(std::string& out)
{
    out += "Options:\n";
    for (const OptionHelp& option : kOptionTable) {
        std::string label = optionLabel(option);
        if (label.size() + 2 > kOptionColumn) {
            out += label + "\n";
            label.clear();
        }
        label.resize(kOptionColumn, ' ');
        out += label;
        appendFilled(withFigures(option.help), kOptionColumn, kOptionColumn, out);
    }
}

}  // namespace

std::string numberWord(std::size_t count)
{
    constexpr std::array<std::string_view, 13> kWords{
        "no", "one", "two", "three", "four", "five", "six", "seven", "eight", "nine", "ten", "eleven", "twelve"};
    return count < kWords.size() ? std::string(kWords.at(count)) : std::to_string(count);
}

std::string helpText()
{
    std::string out;
    for (const std::string_view usage : synopsis()) {
        out += out.empty() ? "Usage: " : "       ";
        out += std::string(kProgramName) + " " + std::string(usage) + "\n";
    }
    out += "\n";
    appendParagraph(kDescription, 0, out);
    out += "\nStations, each in one of " + numberWord(stationForms().size()) + " forms:\n";
    for (const StationForm& form : stationForms()) {
        out += "  " + std::string(form.name) + ": " + std::string(form.syntax) + "\n";
        appendParagraph(form.help, 6, out);
    }
    appendParagraph(kStationNotes, 0, out);
    out += "\n";
    appendOptions(out);
    out += "\nBatch columns, in this order:\n";
    for (const CsvColumns& group : kCsvColumns) {
        const std::string with = group.option.empty() ? "always" : "with " + std::string(group.option);
        // Spaces after the commas, so that a long group can be filled.
        std::string line = with + ": ";
        for (const char c : group.names) {
            line += c == ',' ? std::string(", ") : std::string(1, c);
        }
        appendParagraph(line, 2, out);
    }
    appendParagraph(kBatchNotes, 0, out);
    out += "\nExit status:\n";
    for (const ExitStatus& status : exitStatuses()) {
        out += "  " + std::to_string(status.code) + "  ";
        appendFilled(status.help, 5, 5, out);
    }
    out += "\nExamples:\n";
    for (const Example& example : examples()) {
        appendParagraph(std::string(example.title) + ":", 2, out);
        appendLines(example.command, "    $ ", out);
        appendLines(example.output, "    ", out);
    }
    return out;
}

}  // namespace skybrant::cli
