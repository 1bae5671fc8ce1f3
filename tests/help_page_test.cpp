// --help and the man page, rendered from the same texts: both must name the
// same station forms, options and exit statuses, and count the forms right.

#include "cli/usage.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>
#include <string_view>

namespace {

using namespace skybrant::cli;

// The part of text from the line starting with from up to the next line
// starting with one of the ends.
std::string section(const std::string& text, const std::string& from, const std::regex& end)
{
    const auto at = text.find("\n" + from);
    if (at == std::string::npos) {
        return {};
    }
    const std::string rest = text.substr(at + 1 + from.size());
    std::smatch m;
    return std::regex_search(rest, m, end) ? rest.substr(0, m.position(0)) : rest;
}

std::set<std::string> matches(const std::string& text, const std::string& pattern)
{
    std::set<std::string> found;
    const std::regex re(pattern);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator(); ++it) {
        found.insert((*it)[1].str());
    }
    return found;
}

// The page as the reader sees it: roff's \- as -.
std::string unroffed(std::string page)
{
    for (auto at = page.find("\\-"); at != std::string::npos; at = page.find("\\-", at)) {
        page.erase(at, 1);
    }
    return page;
}

struct Page {
    std::string forms;
    std::string options;
    std::string exits;
};

TEST(HelpPage, HelpAndManPageListTheSame)
{
    const std::string help = helpText();
    const std::string man = unroffed(manPage("0"));
    const Page h{section(help, "Stations, each in one of ", std::regex("\n\n")),
        section(help, "Options:\n", std::regex("\n\n")), section(help, "Exit status:\n", std::regex("\n\n"))};
    const Page m{section(man, ".SS Stations", std::regex("\n\\.SH ")),
        section(man, ".SH OPTIONS", std::regex("\n\\.SH ")), section(man, ".SH EXIT STATUS", std::regex("\n\\.SH "))};

    const auto helpForms = matches(h.forms, "\n  ([^ :\n][^:\n]*): ");
    const auto manForms = matches(m.forms, "\\.TP\n\\.I ([^\n]+)\n");
    EXPECT_EQ(helpForms, manForms);
    EXPECT_EQ(helpForms.size(), stationForms().size());
    EXPECT_TRUE(helpForms.contains("a callsign"));
    const std::string count = numberWord(stationForms().size()) + " forms";
    EXPECT_TRUE(h.forms.starts_with(count)) << h.forms.substr(0, 40);
    EXPECT_TRUE(m.forms.find("one of " + count) != std::string::npos);
    for (const std::string_view other : {"one of two forms", "one of three forms", "one of five forms"}) {
        EXPECT_EQ(help.find(other), std::string::npos) << other;
        EXPECT_EQ(man.find(other), std::string::npos) << other;
    }

    const auto helpOptions = matches(h.options, "(?:^|\n)  (?:-[a-z], )?--([a-z-]+)");
    const auto manOptions = matches(m.options, "\\.TP\n\\.B[IR]? (?:-[a-z] \", \" )?--([a-z-]+)");
    EXPECT_EQ(helpOptions, manOptions);
    EXPECT_EQ(helpOptions.size(), kOptionTable.size());
    for (const std::string name : {"help", "version", "batch", "header", "map", "size", "time", "sun", "date"}) {
        EXPECT_TRUE(helpOptions.contains(name)) << name;
    }

    const auto helpExits = matches(h.exits, "(?:^|\n)  ([0-9]+)  ");
    const auto manExits = matches(m.exits, "\\.TP\n\\.B ([0-9]+)\n");
    EXPECT_EQ(helpExits, manExits);
    EXPECT_EQ(helpExits, (std::set<std::string>{"0", "1", "2", "3", "4", "5"}));
}

// Every line of --help fits a terminal of 80 columns, and the man page has
// no line roff would take for a request it does not know.
TEST(HelpPage, FitsATerminalAndRoff)
{
    const std::string help = helpText();
    std::size_t start = 0;
    for (auto end = help.find('\n'); end != std::string::npos; start = end + 1, end = help.find('\n', start)) {
        const std::string line = help.substr(start, end - start);
        EXPECT_LE(line.size(), 79U) << line;
    }
    const std::string man = manPage("0");
    const std::regex request("\n\\.([A-Za-z]+)");
    const std::set<std::string> known{
        "TH", "SH", "SS", "TP", "PP", "B", "I", "BI", "BR", "IR", "RB", "RI", "br", "nf", "fi", "RS", "RE"};
    for (const std::string& name : matches(man, "\n\\.([A-Za-z]+)")) {
        EXPECT_TRUE(known.contains(name)) << "." << name;
    }
}

}  // namespace
