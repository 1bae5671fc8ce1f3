#pragma once

#include "usage.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QStringList>

#include <optional>
#include <string>
#include <vector>

namespace skybrant::cli {

// skybrant-cli's command line: the options and their help from usage.h, and
// one way to read every option's value.
class CommandLine {
public:
    CommandLine();

    // False on an unknown option or a missing value; errorText() says which.
    bool parse(const QStringList& arguments);
    QString errorText() const { return parser.errorText(); }

    bool helpWanted() const { return parser.isSet(helpOption); }
    bool versionWanted() const { return parser.isSet(versionOption); }
    // What --help shows, as UTF-8, naming the program as installed.
    std::string helpText() const;

    bool isSet(Option option) const;
    // The option's value as UTF-8, exactly as typed, or its default when it
    // was not given; nothing for an option given without a default. An
    // option given more than once is a usage error, found by repeated().
    std::optional<std::string> value(Option option) const;
    // The first option that takes a value and was given more than once.
    std::optional<Option> repeated() const;
    // The arguments that are not options, as typed.
    std::vector<std::string> positionalArguments() const;

private:
    const QCommandLineOption& qtOption(Option option) const;

    QCommandLineParser parser;
    QCommandLineOption helpOption;
    QCommandLineOption versionOption;
    std::vector<QCommandLineOption> table;
};

}  // namespace skybrant::cli
