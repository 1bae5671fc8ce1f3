// --help and the man page, rendered from the same texts: both must name the
// same station forms, options and exit statuses, and count the forms right.

#include "cli/usage.h"

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace skybrant::cli;

// The part of text after the line starting with from, up to end.
std::string section(const std::string& text, const std::string& from, const std::string& end)
{
    const auto at = text.find("\n" + from);
    if (at == std::string::npos) {
        return {};
    }
    const std::string rest = text.substr(at + 1 + from.size());
    return rest.substr(0, rest.find(end));
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::size_t start = 0;
    for (auto end = text.find('\n'); end != std::string::npos; start = end + 1, end = text.find('\n', start)) {
        out.push_back(text.substr(start, end - start));
    }
    out.push_back(text.substr(start));
    return out;
}

// What each line says, by the reader given; empty texts left out.
std::set<std::string> read(const std::string& text, const std::function<std::string(const std::string&)>& reader)
{
    std::set<std::string> found;
    for (const std::string& line : lines(text)) {
        if (std::string s = reader(line); !s.empty()) {
            found.insert(s);
        }
    }
    return found;
}

// The lines that follow a man page's .TP, each a tag.
std::string tags(const std::string& page)
{
    std::string out;
    const auto all = lines(page);
    for (std::size_t i = 0; i + 1 < all.size(); ++i) {
        if (all[i] == ".TP") {
            out += all[i + 1] + "\n";
        }
    }
    return out;
}

std::string optionName(std::string_view line)
{
    const auto at = line.find("--");
    if (at == std::string_view::npos) {
        return {};
    }
    std::string name;
    for (const char c : line.substr(at + 2)) {
        if (!std::islower(static_cast<unsigned char>(c)) && c != '-') {
            break;
        }
        name += c;
    }
    return name;
}

// The page as the reader sees it: roff's \- as -.
std::string unroffed(std::string page)
{
    for (auto at = page.find("\\-"); at != std::string::npos; at = page.find("\\-", at)) {
        page.erase(at, 1);
    }
    return page;
}

TEST(HelpPage, HelpAndManPageListTheSame)
{
    const std::string help = helpText();
    const std::string man = unroffed(manPage("0"));
    const std::string helpForms = section(help, "Stations, each in one of ", "\n\n");
    const std::string manForms = section(man, ".SS Stations", "\n.SH ");

    const auto formsInHelp = read(helpForms, [](const std::string& line) {
        return line.starts_with("  ") && line[2] != ' ' ? line.substr(2, line.find(": ") - 2) : std::string();
    });
    const auto formsInMan = read(tags(manForms),
        [](const std::string& line) { return line.starts_with(".I ") ? line.substr(3) : std::string(); });
    EXPECT_EQ(formsInHelp, formsInMan);
    EXPECT_EQ(formsInHelp.size(), stationForms().size());
    EXPECT_TRUE(formsInHelp.contains("a callsign or prefix"));
    EXPECT_TRUE(formsInHelp.contains("a position with hemisphere letters"));
    const std::string count = numberWord(stationForms().size()) + " forms";
    EXPECT_TRUE(helpForms.starts_with(count)) << helpForms.substr(0, 40);
    EXPECT_NE(manForms.find("one of " + count), std::string::npos);
    for (const std::string_view other : {"one of two forms", "one of three forms", "one of four forms"}) {
        EXPECT_EQ(help.find(other), std::string::npos) << other;
        EXPECT_EQ(man.find(other), std::string::npos) << other;
    }

    const auto optionsInHelp = read(section(help, "Options:\n", "\n\n"),
        [](const std::string& line) { return line.starts_with("  -") ? optionName(line) : std::string(); });
    const auto optionsInMan = read(tags(section(man, ".SH OPTIONS", "\n.SH ")),
        [](const std::string& line) { return line.starts_with(".B") ? optionName(line) : std::string(); });
    EXPECT_EQ(optionsInHelp, optionsInMan);
    EXPECT_EQ(optionsInHelp.size(), kOptionTable.size());
    for (const std::string name : {"help", "version", "batch", "header", "map", "size", "time", "sun", "date"}) {
        EXPECT_TRUE(optionsInHelp.contains(name)) << name;
    }

    const auto exitsInHelp = read(section(help, "Exit status:\n", "\n\n"), [](const std::string& line) {
        return line.size() > 4 && line.starts_with("  ") && std::isdigit(static_cast<unsigned char>(line[2])) != 0
            ? line.substr(2, line.find(' ', 2) - 2)
            : std::string();
    });
    const auto exitsInMan = read(tags(section(man, ".SH EXIT STATUS", "\n.SH ")),
        [](const std::string& line) { return line.starts_with(".B ") ? line.substr(3) : std::string(); });
    EXPECT_EQ(exitsInHelp, exitsInMan);
    EXPECT_EQ(exitsInHelp, (std::set<std::string>{"0", "1", "2", "3", "4", "5"}));
}

// Every line of --help fits a terminal of 80 columns, and the man page has
// no line roff would take for a request it does not know.
TEST(HelpPage, FitsATerminalAndRoff)
{
    for (const std::string& line : lines(helpText())) {
        EXPECT_LE(line.size(), 79U) << line;
    }
    const std::set<std::string> known{
        "TH", "SH", "SS", "TP", "PP", "B", "I", "BI", "BR", "IR", "RB", "RI", "br", "nf", "fi", "RS", "RE"};
    const auto requests = read(manPage("0"), [](const std::string& line) {
        return line.starts_with('.') ? line.substr(1, line.find(' ') - 1) : std::string();
    });
    for (const std::string& name : requests) {
        EXPECT_TRUE(known.contains(name)) << "." << name;
    }
}

}  // namespace
