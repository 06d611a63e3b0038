// The help and the manual of ztk-cli and ztk-scale-sim speak the user's language:
// Russian when the locale asks for it, English otherwise. The messages and results
// stay the system's own in any locale.

#include "shared/Messages.h"
#include "support/CliProcess.h"
#include "support/Programs.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

using namespace ztk;
using namespace ztk::test;

namespace {

using Locale = QList<QPair<QString, QString>>;

const QString Lang = QStringLiteral("LANG"), LcAll = QStringLiteral("LC_ALL"),
              LcMessages = QStringLiteral("LC_MESSAGES"), Language = QStringLiteral("LANGUAGE");
const QString Ru = QStringLiteral("ru_RU.UTF-8"), En = QStringLiteral("en_US.UTF-8"), C = QStringLiteral("C.UTF-8");

CliRun run(const QString &program, const QStringList &args, const Locale &locale)
{
    QTemporaryDir dir;
    return runProgram(program, dir.path(), args, withLocale(locale));
}

} // namespace

TEST(HelpLanguage, FollowsTheLocale)
{
    const struct {
        const char *what;
        Locale locale;
        bool russian;
    } rows[] = {
        {"LANG", {{Lang, Ru}}, true},
        {"LC_ALL over LANG", {{LcAll, Ru}, {Lang, En}}, true},
        {"LC_MESSAGES", {{LcMessages, Ru}}, true},
        {"LANGUAGE", {{Language, QStringLiteral("ru")}, {Lang, C}}, true},
        {"LANGUAGE, Russian after one without help", {{Language, QStringLiteral("de:ru")}}, true},
        {"another Russian locale", {{Lang, QStringLiteral("ru_UA.UTF-8")}}, true},
        {"no locale", {}, false},
        {"C", {{Lang, C}}, false},
        {"English", {{Lang, En}}, false},
        {"LC_ALL C over LANG", {{LcAll, C}, {Lang, Ru}}, false},
        {"LC_MESSAGES C over LANG", {{Lang, Ru}, {LcMessages, QStringLiteral("C")}}, false},
        {"LANGUAGE, English first", {{Language, QStringLiteral("en:ru")}, {Lang, Ru}}, false},
        {"German", {{Lang, QStringLiteral("de_DE.UTF-8")}}, false},
    };
    for (const auto &row : rows) {
        const CliRun help = run(cliProgram(), {QStringLiteral("--help")}, row.locale);
        const CliRun sync = run(cliProgram(), {QStringLiteral("help"), QStringLiteral("sync")}, row.locale);
        const CliRun sim = run(simProgram(), {QStringLiteral("--help")}, row.locale);
        const CliRun page = run(cliProgram(), {QStringLiteral("--manual-page")}, row.locale);
        for (const CliRun *r : {&help, &sync, &sim, &page})
            ASSERT_EQ(r->exitCode, 0) << row.what << ": " << qPrintable(r->err);
        // What each language's help begins with and holds.
        struct Expected {
            const char *usage, *commands, *syncUsage, *syncText, *simOptions, *pageName;
        };
        static const Expected russian{"использование: ztk-cli [", "\nКОМАНДЫ\n",
                                      "использование: ztk-cli [OPTIONS] sync", "передавая только изменённое",
                                      "\nПАРАМЕТРЫ\n", "\n.SH ИМЯ\n"};
        static const Expected english{"usage: ztk-cli [", "\nCOMMANDS\n", "usage: ztk-cli [OPTIONS] sync",
                                      "sending only what changed", "\nOPTIONS\n", "\n.SH NAME\n"};
        const Expected &e = row.russian ? russian : english;
        const auto t = [](const char *utf8) { return QString::fromUtf8(utf8); };
        EXPECT_TRUE(help.out.startsWith(t(e.usage))) << row.what;
        EXPECT_TRUE(help.out.contains(t(e.commands))) << row.what;
        EXPECT_TRUE(sync.out.startsWith(t(e.syncUsage))) << row.what;
        EXPECT_TRUE(sync.out.contains(t(e.syncText))) << row.what;
        EXPECT_TRUE(sim.out.contains(t(e.simOptions))) << row.what;
        EXPECT_TRUE(page.out.contains(t(e.pageName))) << row.what;
    }
}

// What a command says of its outcome is the same, byte for byte, in either language.
TEST(HelpLanguage, MessagesStayTheSystemsOwn)
{
    const QStringList cases[] = {
        {QStringLiteral("--baud"), QStringLiteral("fast"), QStringLiteral("link-check")},
        {QStringLiteral("no-such-command")},
        {QStringLiteral("link-check"), QStringLiteral("extra")},
        {QStringLiteral("products")},
        {QStringLiteral("help"), QStringLiteral("no-such-command")},
        {QStringLiteral("--version")},
    };
    QTemporaryDir dir; // one folder: the messages name it
    for (const QStringList &args : cases) {
        const CliRun english = runProgram(cliProgram(), dir.path(), args, withLocale({{LcAll, C}}));
        const CliRun russian = runProgram(cliProgram(), dir.path(), args, withLocale({{LcAll, Ru}}));
        EXPECT_EQ(russian.exitCode, english.exitCode) << qPrintable(args.join(' '));
        EXPECT_EQ(russian.out, english.out) << qPrintable(args.join(' '));
        EXPECT_EQ(russian.err, english.err) << qPrintable(args.join(' '));
        EXPECT_FALSE(english.out.isEmpty() && english.err.isEmpty()) << qPrintable(args.join(' '));
    }
    const CliRun bad = run(cliProgram(), {QStringLiteral("--baud"), QStringLiteral("fast"), QStringLiteral("link-check")},
                           {{LcAll, Ru}});
    EXPECT_EQ(bad.err, msg::text(msg::NotAnInteger).arg(QStringLiteral("fast")) + QLatin1Char('\n'));
}
