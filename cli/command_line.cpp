#include "command_line.h"

#include <QCoreApplication>

#include <cstddef>

namespace skybrant::cli {

namespace {

// QCommandLineParser would take "-10" for a bundle of short options. A
// leading unit separator makes such an argument positional; value() and
// positionalArguments() remove it again.
constexpr QChar kNumberMark = QChar(0x1F);

bool looksLikeNegativeNumber(const QString& arg)
{
    return arg.size() >= 2 && arg[0] == u'-' &&
        (arg[1].isDigit() || (arg.size() >= 3 && arg[1] == u'.' && arg[2].isDigit()));
}

QStringList protectNegativeNumbers(QStringList args)
{
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (looksLikeNegativeNumber(args[i])) {
            args[i].prepend(kNumberMark);
        }
    }
    return args;
}

std::string unprotected(QString arg)
{
    if (arg.startsWith(kNumberMark)) {
        arg.remove(0, 1);
    }
    return arg.toStdString();
}

QString qt(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QCommandLineOption makeOption(const OptionHelp& help)
{
    QCommandLineOption option(qt(help.name), qt(help.help));
    option.setValueName(qt(help.valueName));
    if (!help.defaultValue.empty()) {
        option.setDefaultValue(qt(help.defaultValue));
    }
    return option;
}

}  // namespace

// Qt's own help option brings --help-all, for Qt's options that this
// program does not take, so both built-in options are made here.
CommandLine::CommandLine()
    : helpOption(
          {QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Displays help on commandline options.")),
      versionOption({QStringLiteral("v"), QStringLiteral("version")}, QStringLiteral("Displays version information."))
{
    parser.addOptions({helpOption, versionOption});
    parser.setApplicationDescription(qt(kDescription));
    for (const OptionHelp& help : options()) {
        table.push_back(makeOption(help));
    }
    parser.addOptions({table.begin(), table.end()});
    for (const ArgumentHelp& argument : arguments()) {
        parser.addPositionalArgument(qt(argument.name), qt(argument.help), qt(argument.syntax));
    }
}

bool CommandLine::parse(const QStringList& arguments)
{
    return parser.parse(protectNegativeNumbers(arguments));
}

std::string CommandLine::helpText() const
{
    QString text = parser.helpText();
    // Qt's usage line repeats the path the program was started by.
    const QString typed = QStringLiteral("Usage: ") + QCoreApplication::arguments().value(0);
    if (text.startsWith(typed)) {
        text.replace(0, typed.size(), QStringLiteral("Usage: ") + qt(kProgramName));
    }
    return text.toStdString();
}

const QCommandLineOption& CommandLine::qtOption(Option option) const
{
    return table.at(static_cast<std::size_t>(option));
}

bool CommandLine::isSet(Option option) const
{
    return parser.isSet(qtOption(option));
}

std::optional<std::string> CommandLine::value(Option option) const
{
    const QCommandLineOption& qtOpt = qtOption(option);
    if (qtOpt.valueName().isEmpty() || (!parser.isSet(qtOpt) && qtOpt.defaultValues().isEmpty())) {
        return std::nullopt;
    }
    return unprotected(parser.value(qtOpt));
}

std::optional<Option> CommandLine::repeated() const
{
    for (const OptionHelp& help : options()) {
        if (!help.valueName.empty() && parser.values(qtOption(help.option)).size() > 1) {
            return help.option;
        }
    }
    return std::nullopt;
}

std::vector<std::string> CommandLine::positionalArguments() const
{
    std::vector<std::string> arguments;
    for (const QString& argument : parser.positionalArguments()) {
        arguments.push_back(unprotected(argument));
    }
    return arguments;
}

}  // namespace skybrant::cli
