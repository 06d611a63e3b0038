#include "SimOptions.h"

// ztk-scale-sim: answers the scale's commands on a pseudo-terminal (or a given
// device, or a TCP port as a serial device server does) for tests, the demo and
// anyone without a scale.
//
//   ztk-scale-sim [OPTIONS]; ztk-scale-sim --help tells them (simManual() below).
//
// A new scale (no state) holds the common data of ScaleMemory::factoryCommonData.

#include "SimScale.h"

#include "link/SerialPort.h"
#include "shared/HelpLanguage.h"
#include "shared/ManualText.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/prctl.h>
#include <termios.h>
#include <unistd.h>

namespace ztk::sim {

namespace {

struct SimOption {
    const char *name;
    const char *value;
    const char *help;
};

const SimOption SimOptions[] = {
    {"device", "PATH", QT_TRANSLATE_NOOP("ztk-scale-sim", "serves a real serial device at PATH instead of a new "
                                                          "pseudo-terminal")},
    {"tcp", "HOST:PORT",
     QT_TRANSLATE_NOOP("ztk-scale-sim", "serves the scale over TCP at HOST:PORT as a serial device server does, "
                                        "instead of a pseudo-terminal: one connection at a time, a new one taking "
                                        "the place of the old; port 0 takes a free port")},
    {"state", "DIR", QT_TRANSLATE_NOOP("ztk-scale-sim", "loads the scale's memory from DIR at start and saves it "
                                                        "there at the end")},
    {"baud", "N", QT_TRANSLATE_NOOP("ztk-scale-sim", "emulates a line of N bit/s on the pseudo-terminal (10 bits a "
                                                     "byte); on a device, its speed")},
    {"log", "FILE", QT_TRANSLATE_NOOP("ztk-scale-sim", "writes every byte received from the PC into FILE")},
    {"number", "N", QT_TRANSLATE_NOOP("ztk-scale-sim", "the scale's number, -128..255 (default 1)")},
    {"totals", "FILE", QT_TRANSLATE_NOOP("ztk-scale-sim", "takes a kept totals reception (153600 bytes) as the "
                                                          "scale's totals")},
    {"sale", "N:AMOUNT:MONEY:WEIGHINGS",
     QT_TRANSLATE_NOOP("ztk-scale-sim", "sets product N's totals: the amount (thousandths of a kilogram, or pieces), "
                                        "the money (hundredths) and the weighings; may be given again")},
    {"fault", "KIND",
     QT_TRANSLATE_NOOP("ztk-scale-sim", "misbehaves: silent (answers nothing), no-ack=S[@K] (no acknowledgement of "
                                        "stage S of a write, at its K-th time), short (replies cut short), cut=N[@K] "
                                        "(a reply stops after N bytes), noise (every reply is noise of its length, "
                                        "as a line at another speed brings), stray (a stray byte before each reply); "
                                        "may be given again")},
};

} // namespace

ztk::Manual simManual()
{
    ztk::Manual m;
    m.name = QStringLiteral("ztk-scale-sim");
    m.purpose = QCoreApplication::translate("ztk-scale-sim", "a label-printing scale on a pseudo-terminal or TCP, for "
                                                             "tests, the demo and anyone without a scale");
    m.synopsis = QStringLiteral("ztk-scale-sim [OPTIONS]");
    m.version = QStringLiteral(ZTK_VERSION_TEXT);
    m.sections.push_back(
        {QCoreApplication::translate("ztk-scale-sim", "DESCRIPTION"),
         {QCoreApplication::translate(
              "ztk-scale-sim",
              "ztk-scale-sim answers every command of the scale's command set. It opens a pseudo-terminal (or the "
              "device given, or listens at the TCP address given) and prints the port the PC opens (a path, or "
              "tcp:HOST:PORT) as the first line of standard output. It listens only where it is told. It keeps 5000 "
              "product slots, the common-data block, the totals and the clock in memory, and runs until it is stopped "
              "(SIGTERM, SIGINT or SIGHUP), saving its state first when --state is given."),
          QCoreApplication::translate("ztk-scale-sim",
                                      "A new scale holds the factory common data. --totals takes a kept reception as "
                                      "the totals; each --sale then sets one product's counters.")},
         {},
         {}});
    ztk::ManualSection options{QCoreApplication::translate("ztk-scale-sim", "OPTIONS"), {}, {}, {}};
    for (const SimOption &o : SimOptions)
        options.entries.push_back(
            ztk::optionEntry(o.name, o.value, QCoreApplication::translate("ztk-scale-sim", o.help)));
    ztk::appendStandardOptions(options);
    m.sections.push_back(options);
    m.sections.push_back(
        {QCoreApplication::translate("ztk-scale-sim", "EXIT STATUS"),
         {},
         {{QStringLiteral("0"), QCoreApplication::translate("ztk-scale-sim", "Stopped by a signal, the state saved.")},
          {QStringLiteral("1"), QCoreApplication::translate("ztk-scale-sim", "The port could not be opened.")},
          {QStringLiteral("2"),
           QCoreApplication::translate("ztk-scale-sim", "Bad usage, or a totals file of the wrong size.")}},
         {}});
    m.sections.push_back(
        {QCoreApplication::translate("ztk-scale-sim", "ENVIRONMENT"),
         {},
         {{QStringLiteral("LANGUAGE, LC_ALL, LC_MESSAGES, LANG"),
           QCoreApplication::translate("ztk-scale-sim",
                                       "The language of the help and of this page: Russian when the locale names it "
                                       "(ru_RU.UTF-8; in LANGUAGE the first Russian or English entry counts), "
                                       "English otherwise.")}},
         {}});
    m.sections.push_back(
        {QCoreApplication::translate("ztk-scale-sim", "FILES"),
         {QCoreApplication::translate("ztk-scale-sim", "In the --state folder: the scale's memory, kept between runs.")},
         {},
         {}});
    m.sections.push_back(
        {QCoreApplication::translate("ztk-scale-sim", "SEE ALSO"), {QStringLiteral("ztk-cli(1)")}, {}, {}});
    return m;
}

namespace {

[[noreturn]] void usage(const QString &why)
{
    std::fprintf(stderr, "ztk-scale-sim: %s\n(ztk-scale-sim --help lists the options)\n", qPrintable(why));
    std::exit(2);
}

bool parseFault(const QString &text, Faults &f)
{
    if (text == QLatin1String("silent")) {
        f.silent = true;
    } else if (text == QLatin1String("short")) {
        f.shortReplies = true;
    } else if (text == QLatin1String("stray")) {
        f.stray = true;
    } else if (text == QLatin1String("noise")) {
        f.noise = true;
    } else if (text.startsWith(QLatin1String("cut="))) {
        const QStringList parts = text.mid(4).split(QLatin1Char('@'));
        bool ok = false;
        f.cutBytes = parts[0].toInt(&ok);
        if (!ok || f.cutBytes < 1 || parts.size() > 2)
            return false;
        if (parts.size() == 2) {
            f.cutOccurrence = parts[1].toInt(&ok);
            if (!ok || f.cutOccurrence < 1)
                return false;
        }
    } else if (text.startsWith(QLatin1String("no-ack="))) {
        const QStringList parts = text.mid(7).split(QLatin1Char('@'));
        bool ok = false;
        f.noAckStage = parts[0].toInt(&ok);
        if (!ok || f.noAckStage < 1 || f.noAckStage > 3 || parts.size() > 2)
            return false;
        if (parts.size() == 2) {
            f.noAckOccurrence = parts[1].toInt(&ok);
            if (!ok || f.noAckOccurrence < 1)
                return false;
        }
    } else {
        return false;
    }
    return true;
}

// "12:1500:4530:3"; the counters are taken as the 32 bits the scale keeps.
bool parseSale(const QString &text, Sale &sale)
{
    const QStringList parts = text.split(QLatin1Char(':'));
    if (parts.size() != 4)
        return false;
    bool ok = false;
    sale.product = parts[0].toInt(&ok);
    if (!ok || sale.product < 1 || sale.product > 5000)
        return false;
    std::uint32_t *counters[] = {&sale.amount, &sale.money, &sale.weighings};
    for (int i = 0; i < 3; ++i) {
        const qint64 v = parts[i + 1].toLongLong(&ok);
        if (!ok || v < -2147483648LL || v > 4294967295LL)
            return false;
        *counters[i] = std::uint32_t(v);
    }
    return true;
}

} // namespace

Options parseOptions(int argc, char **argv)
{
    QStringList words;
    for (int i = 0; i < argc; ++i)
        words << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser line;
    for (const SimOption &o : SimOptions)
        line.addOption({QString::fromUtf8(o.name), QString::fromUtf8(o.help), QString::fromUtf8(o.value)});
    ztk::addStandardOptions(line);
    if (!line.parse(words))
        usage(line.errorText());
    if (!line.positionalArguments().isEmpty())
        usage(QStringLiteral("unexpected %1").arg(line.positionalArguments().first()));
    // The simulator runs without an application; the help's translation needs one.
    if (ztk::asksStandardAnswer(line)) {
        QCoreApplication application(argc, argv);
        ztk::installHelpTranslation(QStringLiteral("ztk-scale-sim"));
        ztk::answerStandardOptions(line, simManual());
        std::exit(0);
    }
    auto value = [&](const char *name) { return line.value(QString::fromUtf8(name)); };
    auto given = [&](const char *name) { return line.isSet(QString::fromUtf8(name)); };
    Options o;
    bool ok = true;
    o.device = value("device");
    o.tcp = value("tcp");
    o.stateDir = value("state");
    o.logFile = value("log");
    o.totalsFile = value("totals");
    if (given("baud")) {
        o.baud = value("baud").toLong(&ok);
        if (!ok || o.baud < 0)
            usage(QStringLiteral("bad --baud %1").arg(value("baud")));
    }
    if (given("number")) {
        o.number = value("number").toInt(&ok);
        if (!ok || o.number < -128 || o.number > 255)
            usage(QStringLiteral("bad --number %1").arg(value("number")));
    }
    for (const QString &text : line.values(QStringLiteral("sale"))) {
        Sale sale;
        if (!parseSale(text, sale))
            usage(QStringLiteral("bad --sale %1").arg(text));
        o.sales.push_back(sale);
    }
    for (const QString &text : line.values(QStringLiteral("fault"))) {
        if (!parseFault(text, o.faults))
            usage(QStringLiteral("bad --fault %1").arg(text));
    }
    if (!o.device.isEmpty() && !o.tcp.isEmpty())
        usage("--device and --tcp exclude each other");
    return o;
}

} // namespace ztk::sim
