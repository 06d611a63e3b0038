#pragma once
// The options of a command: declared once as named constants, which are both the
// command's table (its help, its usage, what the parser accepts) and the keys it reads
// the line with.
//
//   constexpr CommandOption FromOption{"from", "A", QT_TRANSLATE_NOOP("ztk-cli", "the first product (default 1)")};
//   ZTK_CLI_COMMAND(readProducts, {..., .options = {FromOption}})
//
//   Options o;
//   if (const auto bad = parseOptions(ctx, args, o)) return *bad;
//   const std::optional<QString> from = o.value(FromOption);

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

class QCommandLineParser;

namespace ztk::cli {

class CliContext;

struct CommandOption {
    const char *name;  // without the dashes
    const char *value; // the value's name in the help; nullptr for a flag
    const char *help;
};

// "--name", as the option is typed.
QString dashedName(const CommandOption &option);
// "[--name VALUE]", or "[--name]" for a flag: the option in a usage line.
QString usageOf(const CommandOption &option);

// What a line gave of a table of options, and its other words. Asking for an option
// that is not in the table, or for a flag's value or an option with a value as a flag,
// is a programming error: asserted, and answered as an option not given.
class Options {
public:
    Options() = default;
    // What `parser` found of `declared`, which addOptions() put on it.
    Options(const std::vector<CommandOption> &declared, const QCommandLineParser &parser);

    // A flag: given or not.
    bool flag(const CommandOption &option) const;
    // An option with a value: the last one given, nothing when not given.
    std::optional<QString> value(const CommandOption &option) const;
    QString value(const CommandOption &option, const QString &fallback) const;
    // The words that are not options, in their order.
    const QStringList &words() const { return m_words; }

private:
    struct Entry {
        CommandOption option;
        bool given = false;
        QString value;
    };
    const Entry *entry(const CommandOption &option, bool withValue) const;

    std::vector<Entry> m_entries;
    QStringList m_words;
};

// Puts `options` on `parser`, as parseOptions() does with a command's.
void addOptions(QCommandLineParser &parser, const std::vector<CommandOption> &options);

// The options the command declares, into `out`: "--name VALUE" or "--name=VALUE" for an
// option with a value, a bare "--name" for a flag; the last of a repeated option counts.
// Up to `maxArguments` other words go into out.words(). Bad usage (an unknown option, a
// value missing, a word too many) is shown and its exit code returned.
std::optional<int> parseOptions(CliContext &ctx, const QStringList &args, Options &out, int maxArguments = 0);

// How a value that cannot be taken is refused: its message alone, or as bad usage, the
// command's usage under it.
enum class Refusal { Message, BadUsage };

// `text` as a whole number (ztk::wholeNumber). Otherwise nothing, msg::NotAnInteger with
// the text as given shown as `refusal` says.
std::optional<std::int32_t> wholeNumberArgument(CliContext &ctx, const QString &text, Refusal refusal);

// Options several commands share.
inline constexpr CommandOption SelectionOption{"selection", "SEL",
                                               QT_TRANSLATE_NOOP("ztk-cli",
                                                   "the products of a selection, in the words of the products "
                                                   "command (default all)")};
inline constexpr CommandOption ProductListOption{"list", "N,N,...",
                                                 QT_TRANSLATE_NOOP("ztk-cli",
                                                     "only the products of these numbers, as the list window forms "
                                                     "them")};

// The words of --selection, "all" without it.
QString selectionOf(const Options &options);

} // namespace ztk::cli
