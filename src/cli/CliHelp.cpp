#include "cli/CliHelp.h"
#include "cli/ScalesOption.h"

#include "shared/Files.h"
#include "shared/Seams.h"

#include <QCoreApplication>

namespace ztk::cli {

namespace {

QString u(const char *text)
{
    return QString::fromUtf8(text);
}

// A help text of the tables, marked with QT_TRANSLATE_NOOP("ztk-cli", ...), in the user's language.
QString said(const char *text)
{
    return QCoreApplication::translate("ztk-cli", text);
}

ManualEntry entryOf(const CommandOption &o)
{
    return optionEntry(o.name, o.value, said(o.help));
}

ManualSection commandSection(const Command &c)
{
    ManualSection s;
    s.title = usageOf(c);
    s.paragraphs << sentence(said(c.summary));
    QStringList details;
    for (const char *part : c.details)
        details << said(part);
    if (!details.isEmpty())
        s.paragraphs << details.join(QLatin1Char(' '));
    for (const CommandOption &o : c.options)
        s.entries.push_back(entryOf(o));
    return s;
}

} // namespace

const std::vector<CommandOption> &globalOptions()
{
    static const std::vector<CommandOption> options{DirOption, PortOption, BaudOption, DbOption, ScalesOption};
    return options;
}

QString commandHelpText(const Command &command)
{
    ManualSection s = commandSection(command);
    s.title = QCoreApplication::translate("ztk-cli", "usage: ztk-cli [OPTIONS] %1").arg(s.title);
    return sectionPlainText(s);
}

Manual cliManual()
{
    Manual m;
    m.name = QStringLiteral("ztk-cli");
    m.purpose = QCoreApplication::translate("ztk-cli",
                                            "the product table and the scale exchanges of ztk from the command line");
    QStringList synopsis{m.name};
    for (const CommandOption &o : globalOptions())
        synopsis << usageOf(o);
    m.synopsis = (synopsis << QStringLiteral("COMMAND [ARGUMENTS]")).join(QLatin1Char(' '));
    m.version = QStringLiteral(ZTK_VERSION_TEXT);

    ManualSection about{QCoreApplication::translate("ztk-cli", "DESCRIPTION"), {}, {}, {}};
    about.paragraphs
        << QCoreApplication::translate(
               "ztk-cli", "ztk-cli runs the logic of the ztk program on the files of a working folder: it lists, "
                          "exports, imports and reports products, and writes products, common data and the clock "
                          "into a label-printing scale, reads them back and receives its sales totals over a serial "
                          "line. Every file it writes is the file the program's windows write for the same data.")
        << QCoreApplication::translate(
               "ztk-cli", "Messages go to standard error in the program's own words; what a command prints goes to "
                          "standard output in UTF-8. The port settings file fbdves.cfg is read, never rewritten.");
    m.sections.push_back(about);

    ManualSection options{QCoreApplication::translate("ztk-cli", "OPTIONS"), {}, {}, {}};
    for (const CommandOption &o : globalOptions())
        options.entries.push_back(entryOf(o));
    appendStandardOptions(options);
    m.sections.push_back(options);

    ManualSection list{QCoreApplication::translate("ztk-cli", "COMMANDS"), {}, {}, {}};
    list.paragraphs << QCoreApplication::translate("ztk-cli",
                                                   "help [COMMAND]: shows this text, or the help of one command.");
    for (const Command *c : commands())
        list.subsections.push_back(commandSection(*c));
    m.sections.push_back(list);

    m.sections.push_back(
        {QCoreApplication::translate("ztk-cli", "EXIT STATUS"),
         {},
         {{QStringLiteral("0"), QCoreApplication::translate("ztk-cli", "Done.")},
          {QStringLiteral("1"), QCoreApplication::translate("ztk-cli", "The scale did not answer, or a command it "
                                                                       "does not answer could not be sent (a network "
                                                                       "port not connected).")},
          {QStringLiteral("2"), QCoreApplication::translate("ztk-cli", "Bad usage or bad input (a file, a value, the "
                                                                       "product table, a serial port that does not "
                                                                       "open); nothing was sent to the scale.")}},
         {}});
    m.sections.push_back(
        {QCoreApplication::translate("ztk-cli", "ENVIRONMENT"),
         {},
         {{QStringLiteral("ZTK_CLOCK_RATE"),
           QCoreApplication::translate("ztk-cli", "Runs the program's clock that many times faster (%1 to %2), so "
                                                  "that waits for a silent scale end sooner; for tests.")
               .arg(MinClockRate)
               .arg(MaxClockRate, 0, 'f', 0)},
          {QStringLiteral("QT_QPA_PLATFORM"),
           QCoreApplication::translate("ztk-cli", "The report lays out its text without a display: offscreen unless "
                                                  "set.")},
          {QStringLiteral("PGPASSWORD"),
           QCoreApplication::translate("ztk-cli", "The password of the PostgreSQL server, as libpq takes it (or "
                                                  "~/.pgpass); the program never stores one.")},
          {QStringLiteral("LANGUAGE, LC_ALL, LC_MESSAGES, LANG"),
           QCoreApplication::translate("ztk-cli", "The language of the help and of this page: Russian when the locale "
                                                  "names it (ru_RU.UTF-8; in LANGUAGE the first Russian or English "
                                                  "entry counts), English otherwise. The messages are the same in "
                                                  "any locale.")}},
         {}});
    m.sections.push_back(
        {QCoreApplication::translate("ztk-cli", "FILES"),
         {QCoreApplication::translate("ztk-cli", "In the working folder:")},
         {{u(files::PortConfig), QCoreApplication::translate("ztk-cli", "The port, its speed and the last scale "
                                                                        "number.")},
          {u(files::ProductStore), QCoreApplication::translate("ztk-cli", "The product table (SQLite), made empty "
                                                                          "when missing.")},
          {QStringLiteral("database.ini"),
           QCoreApplication::translate("ztk-cli", "When present: the PostgreSQL server (host, port, database, user) "
                                                  "whose table is used instead of LM_T.db.")},
          {u(files::ProductImage), QCoreApplication::translate("ztk-cli", "The product image last built, as it is "
                                                                          "sent to the scale.")},
          {u(files::CommonDataBlock), QCoreApplication::translate("ztk-cli", "The common-data block last written or "
                                                                             "read.")},
          {QStringLiteral("VL<N>.cfg"), QCoreApplication::translate("ztk-cli", "The common-data settings of scale N.")},
          {QStringLiteral("scales.ini"),
           QCoreApplication::translate("ztk-cli", "The scales of the shop, a group each: port, speed, number. "
                                                  "Without it, the one scale of fbdves.cfg.")},
          {QStringLiteral("totals/"), QCoreApplication::translate("ztk-cli", "Every totals reception kept, by date "
                                                                             "and time; with --scales under "
                                                                             "totals/NAME/.")}},
         {}});
    m.sections.push_back(
        {QCoreApplication::translate("ztk-cli", "SEE ALSO"), {QStringLiteral("ztk-scale-sim(1)")}, {}, {}});
    return m;
}

} // namespace ztk::cli
