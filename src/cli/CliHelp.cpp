#include "cli/CliHelp.h"
#include "cli/ScalesOption.h"

#include "shared/Files.h"
#include "shared/Seams.h"

namespace ztk::cli {

namespace {

QString u(const char *text)
{
    return QString::fromUtf8(text);
}

ManualSection commandSection(const Command &c)
{
    ManualSection s;
    s.title = usageOf(c);
    s.paragraphs << sentence(c.summary);
    if (*c.details)
        s.paragraphs << u(c.details);
    for (const CommandOption &o : c.options)
        s.entries.push_back(optionEntry(o.name, o.value, o.help));
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
    s.title = QStringLiteral("usage: ztk-cli [OPTIONS] ") + s.title;
    return sectionPlainText(s);
}

Manual cliManual()
{
    Manual m;
    m.name = QStringLiteral("ztk-cli");
    m.purpose = QStringLiteral("the product table and the scale exchanges of ztk from the command line");
    QStringList synopsis{m.name};
    for (const CommandOption &o : globalOptions())
        synopsis << usageOf(o);
    m.synopsis = (synopsis << QStringLiteral("COMMAND [ARGUMENTS]")).join(QLatin1Char(' '));
    m.version = QStringLiteral(ZTK_VERSION_TEXT);

    ManualSection about{QStringLiteral("DESCRIPTION"), {}, {}, {}};
    about.paragraphs
        << QStringLiteral("ztk-cli runs the logic of the ztk program on the files of a working folder: it lists, "
                          "exports, imports and reports products, and writes products, common data and the clock "
                          "into a label-printing scale, reads them back and receives its sales totals over a serial "
                          "line. Every file it writes is the file the program's windows write for the same data.")
        << QStringLiteral("Messages go to standard error in the program's own words; what a command prints goes to "
                          "standard output in UTF-8. The port settings file fbdves.cfg is read, never rewritten.");
    m.sections.push_back(about);

    ManualSection options{QStringLiteral("OPTIONS"), {}, {}, {}};
    for (const CommandOption &o : globalOptions())
        options.entries.push_back(optionEntry(o.name, o.value, o.help));
    appendStandardOptions(options);
    m.sections.push_back(options);

    ManualSection list{QStringLiteral("COMMANDS"), {}, {}, {}};
    list.paragraphs << QStringLiteral("help [COMMAND]: shows this text, or the help of one command.");
    for (const Command *c : commands())
        list.subsections.push_back(commandSection(*c));
    m.sections.push_back(list);

    m.sections.push_back({QStringLiteral("EXIT STATUS"),
                          {},
                          {{QStringLiteral("0"), QStringLiteral("Done.")},
                           {QStringLiteral("1"), QStringLiteral("The scale did not answer, or a command it does not "
                                                                "answer could not be sent (a network port not "
                                                                "connected).")},
                           {QStringLiteral("2"), QStringLiteral("Bad usage or bad input (a file, a value, the product "
                                                                "table, a serial port that does not open); nothing "
                                                                "was sent to the scale.")}},
                          {}});
    m.sections.push_back(
        {QStringLiteral("ENVIRONMENT"),
         {},
         {{QStringLiteral("ZTK_CLOCK_RATE"),
           QStringLiteral("Runs the program's clock that many times faster (%1 to %2), so that waits for a silent scale "
                          "end sooner; for tests.")
               .arg(MinClockRate)
               .arg(MaxClockRate, 0, 'f', 0)},
          {QStringLiteral("QT_QPA_PLATFORM"),
           QStringLiteral("The report lays out its text without a display: offscreen unless set.")},
          {QStringLiteral("PGPASSWORD"),
           QStringLiteral("The password of the PostgreSQL server, as libpq takes it (or ~/.pgpass); the program "
                          "never stores one.")}},
         {}});
    m.sections.push_back(
        {QStringLiteral("FILES"),
         {QStringLiteral("In the working folder:")},
         {{u(files::PortConfig), QStringLiteral("The port, its speed and the last scale number.")},
          {u(files::ProductStore), QStringLiteral("The product table (SQLite), made empty when missing.")},
          {QStringLiteral("database.ini"), QStringLiteral("When present: the PostgreSQL server (host, port, database, "
                                                          "user) whose table is used instead of LM_T.db.")},
          {u(files::ProductImage), QStringLiteral("The product image last built, as it is sent to the scale.")},
          {u(files::CommonDataBlock), QStringLiteral("The common-data block last written or read.")},
          {QStringLiteral("VL<N>.cfg"), QStringLiteral("The common-data settings of scale N.")},
          {QStringLiteral("scales.ini"), QStringLiteral("The scales of the shop, a group each: port, speed, number. "
                                                        "Without it, the one scale of fbdves.cfg.")},
          {QStringLiteral("totals/"), QStringLiteral("Every totals reception kept, by date and time; with --scales "
                                                     "under totals/NAME/.")}},
         {}});
    m.sections.push_back({QStringLiteral("SEE ALSO"), {QStringLiteral("ztk-scale-sim(1)")}, {}, {}});
    return m;
}

} // namespace ztk::cli
