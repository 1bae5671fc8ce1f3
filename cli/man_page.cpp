// Writes skybrant-cli's man page at build time: the page's template with the
// name line and every option filled in from the text --help shows.
//   skybrant-cli-man TEMPLATE OUTPUT VERSION

#include "usage.h"

#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>

namespace {

using namespace skybrant::cli;

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

std::string optionEntries()
{
    std::string out;
    for (const OptionHelp& option : options()) {
        out += ".TP\n";
        out += option.valueName.empty() ? ".B " : ".BI ";
        out += roff("--" + std::string(option.name));
        if (!option.valueName.empty()) {
            out += " \" " + std::string(option.valueName) + "\"";
        }
        out += "\n" + roff(option.help) + "\n";
        if (!option.manDetails.empty()) {
            out += std::string(option.manDetails) + "\n";
        }
    }
    out.pop_back();
    return out;
}

void replace(std::string& text, std::string_view placeholder, const std::string& value)
{
    for (auto at = text.find(placeholder); at != std::string::npos; at = text.find(placeholder, at + value.size())) {
        text.replace(at, placeholder.size(), value);
    }
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: skybrant-cli-man TEMPLATE OUTPUT VERSION\n");
        return 2;
    }
    std::ifstream in(argv[1]);
    std::string page;
    // The template's own comments say how the page is made, not what the program does.
    for (std::string line; std::getline(in, line);) {
        if (!line.starts_with(".\\\"")) {
            page += line + "\n";
        }
    }
    if (in.bad() || page.empty()) {
        std::fprintf(stderr, "skybrant-cli-man: cannot read %s\n", argv[1]);
        return 1;
    }
    replace(page, "@PROJECT_VERSION@", argv[3]);
    replace(page, "@SUMMARY@", std::string(kSummary));
    replace(page, "@OPTIONS@", optionEntries());
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out << page;
    out.close();
    if (!out) {
        std::fprintf(stderr, "skybrant-cli-man: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
