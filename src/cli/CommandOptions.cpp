#include "cli/CommandOptions.h"

#include "cli/CliCommand.h"

#include "shared/Messages.h"
#include "shared/WholeNumber.h"

#include <QCommandLineParser>

#include <cstring>

namespace ztk::cli {

namespace {

QString u(const char *text)
{
    return QString::fromUtf8(text);
}

// The same entry of a table: a command's table holds copies of the named constants.
bool sameOption(const CommandOption &a, const CommandOption &b)
{
    return std::strcmp(a.name, b.name) == 0 && (a.value == nullptr) == (b.value == nullptr)
        && (!a.value || std::strcmp(a.value, b.value) == 0) && std::strcmp(a.help, b.help) == 0;
}

} // namespace

QString dashedName(const CommandOption &option)
{
    return QStringLiteral("--") + u(option.name);
}

QString usageOf(const CommandOption &option)
{
    return option.value ? QStringLiteral("[%1 %2]").arg(dashedName(option), u(option.value))
                        : QStringLiteral("[%1]").arg(dashedName(option));
}

Options::Options(const std::vector<CommandOption> &declared, const QCommandLineParser &parser)
    : m_words(parser.positionalArguments())
{
    for (const CommandOption &o : declared) {
        const bool given = parser.isSet(u(o.name));
        m_entries.push_back({o, given, given && o.value ? parser.value(u(o.name)) : QString()});
    }
}

const Options::Entry *Options::entry(const CommandOption &option, bool withValue) const
{
    for (const Entry &e : m_entries) {
        if (sameOption(e.option, option)) {
            Q_ASSERT_X((option.value != nullptr) == withValue, option.name,
                       withValue ? "a flag has no value" : "not a flag");
            return (option.value != nullptr) == withValue ? &e : nullptr;
        }
    }
    Q_ASSERT_X(false, option.name, "the command does not declare this option");
    return nullptr;
}

bool Options::flag(const CommandOption &option) const
{
    const Entry *e = entry(option, false);
    return e && e->given;
}

std::optional<QString> Options::value(const CommandOption &option) const
{
    const Entry *e = entry(option, true);
    if (!e || !e->given)
        return std::nullopt;
    return e->value;
}

QString Options::value(const CommandOption &option, const QString &fallback) const
{
    return value(option).value_or(fallback);
}

void addOptions(QCommandLineParser &parser, const std::vector<CommandOption> &options)
{
    for (const CommandOption &o : options)
        parser.addOption({u(o.name), u(o.help), o.value ? u(o.value) : QString()});
}

std::optional<int> parseOptions(CliContext &ctx, const QStringList &args, Options &out, int maxArguments)
{
    static const std::vector<CommandOption> none;
    const std::vector<CommandOption> &declared = ctx.command ? ctx.command->options : none;
    QCommandLineParser parser;
    addOptions(parser, declared);
    if (!parser.parse(QStringList{QStringLiteral("ztk-cli")} + args))
        return ctx.badUsage(commandLineError(parser));
    const QStringList words = parser.positionalArguments();
    if (words.size() > maxArguments)
        return ctx.badUsage(maxArguments == 0 ? QStringLiteral("ztk-cli: %1 is not an option").arg(words.first())
                                              : QStringLiteral("ztk-cli: unexpected %1").arg(words.value(maxArguments)));
    out = Options(declared, parser);
    return std::nullopt;
}

std::optional<std::int32_t> wholeNumberArgument(CliContext &ctx, const QString &text, Refusal refusal)
{
    if (const std::optional<std::int32_t> n = wholeNumber(text))
        return n;
    const QString why = msg::text(msg::NotAnInteger).arg(text);
    if (refusal == Refusal::BadUsage)
        ctx.badUsage(why);
    else
        ctx.prompter.message(why);
    return std::nullopt;
}

QString selectionOf(const Options &options)
{
    return options.value(SelectionOption, QStringLiteral("all"));
}

} // namespace ztk::cli
