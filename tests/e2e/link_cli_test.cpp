// ztk-cli's link commands against the simulator: exit codes, the texts shown and
// the bytes on the wire.

#include "shared/Files.h"
#include "shared/Messages.h"
#include "shared/PortConfig.h"
#include "support/CliProcess.h"
#include "support/SimProcess.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>

using namespace ztk;
using ztk::test::CliRun;
using ztk::test::onPort;
using ztk::test::runCli;
using ztk::test::OverTransport;
using ztk::test::SimProcess;
using ztk::test::Transport;

namespace {

QString line(const QString &text)
{
    return text + QLatin1Char('\n');
}

QString line(const char *text)
{
    return line(msg::text(text));
}


const QString Silent = QStringLiteral("silent");

} // namespace

class E2eLinkCliExchange : public OverTransport {};

TEST_P(E2eLinkCliExchange, LinkCheckAnswered)
{
    QTemporaryDir dir;
    SimProcess sim(GetParam());
    ASSERT_TRUE(sim.start()) << qPrintable(sim.error());
    const CliRun r = runCli(dir.path(), onPort(sim.port(), {QStringLiteral("link-check")}));
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.err);
    EXPECT_EQ(r.out, line(msg::LinkUp));
    EXPECT_EQ(r.err, QString());
    EXPECT_EQ(sim.waitForLog(1), QByteArray("\x0D"));
}

// A silent scale: each query ends in "Возможно, нет связи с весами" and exit 1.
class E2eLinkCliSilent : public ::testing::TestWithParam<std::tuple<const char *, Transport>> {};

TEST_P(E2eLinkCliSilent, TimesOutWithTheMessage)
{
    QTemporaryDir dir;
    SimProcess sim(std::get<1>(GetParam()));
    ASSERT_TRUE(sim.start({QStringLiteral("--fault"), Silent})) << qPrintable(sim.error());
    const CliRun r = runCli(dir.path(), onPort(sim.port(), {QString::fromLatin1(std::get<0>(GetParam()))}), 20);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, QString());
    EXPECT_EQ(r.err, line(msg::NoLink));
}

INSTANTIATE_TEST_SUITE_P(Commands, E2eLinkCliSilent,
                         ::testing::Combine(::testing::Values("link-check", "scale-number"),
                                            ::testing::Values(Transport::Pty, Transport::Tcp)),
                         [](const auto &info) {
                             return std::string(std::get<0>(info.param)[0] == 'l' ? "LinkCheck" : "ScaleNumber")
                                 + (std::get<1>(info.param) == Transport::Tcp ? "Tcp" : "Pty");
                         });

TEST_P(E2eLinkCliExchange, ScaleNumberSigned)
{
    QTemporaryDir dir;
    SimProcess sim(GetParam());
    ASSERT_TRUE(sim.start({QStringLiteral("--number"), QStringLiteral("255")})) << qPrintable(sim.error());
    const CliRun r = runCli(dir.path(), onPort(sim.port(), {QStringLiteral("scale-number")}));
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.err);
    EXPECT_EQ(r.out, QStringLiteral("-1\n"));
    EXPECT_EQ(sim.waitForLog(1), QByteArray("\x13"));
}

TEST(E2eLinkCli, PortAndSpeedFromTheConfigFile)
{
    QTemporaryDir dir;
    SimProcess sim;
    ASSERT_TRUE(sim.start({QStringLiteral("--number"), QStringLiteral("12")})) << qPrintable(sim.error());
    ASSERT_TRUE(sim.port().startsWith(QStringLiteral("/dev/")));

    // "pts/N" names /dev/pts/N.
    PortConfig config;
    config.portName = sim.port().mid(5).toLatin1();
    config.baudRate = 19200;
    config.stopBitsIndex = 2;
    config.lastScaleNumber = 3;
    const QString cfgPath = QDir(dir.path()).filePath(QString::fromUtf8(files::PortConfig));
    QByteArray bytes = config.toBytes() + QByteArray("tail");
    {
        QFile f(cfgPath);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    CliRun r = runCli(dir.path(), {QStringLiteral("scale-number")});
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.err);
    EXPECT_EQ(r.out, QStringLiteral("12\n"));
    // --dir from elsewhere finds the same file.
    r = runCli(QDir::tempPath(), {QStringLiteral("--dir"), dir.path(), QStringLiteral("link-check")});
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.err);
    EXPECT_EQ(test::readFileBytes(cfgPath), bytes) << "the tool never rewrites fbdves.cfg";

    // A speed the line cannot take, from the file: the port does not open.
    config.baudRate = 12345;
    bytes = config.toBytes();
    {
        QFile f(cfgPath);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    r = runCli(dir.path(), {QStringLiteral("link-check")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.startsWith(msg::text(msg::PortOpenFailed))) << qPrintable(r.err);
}

// A port that does not open is bad input: the system's message, then the device and the reason.
TEST(E2eLinkCli, PortThatDoesNotOpen)
{
    QTemporaryDir dir;
    SimProcess sim;
    ASSERT_TRUE(sim.start()) << qPrintable(sim.error());
    const QString plain = QDir(dir.path()).filePath(QStringLiteral("plain.txt"));
    {
        QFile f(plain);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    const struct {
        QString port, baud, reason;
    } rows[] = {
        {QStringLiteral("/nonexistent/tty"), QStringLiteral("9600"), QString::fromLocal8Bit(std::strerror(ENOENT))},
        {plain, QStringLiteral("9600"), QString::fromLocal8Bit(std::strerror(ENOTTY))},
        {sim.port(), QStringLiteral("0"), QString::fromLocal8Bit(std::strerror(EINVAL))},
        {sim.port(), QStringLiteral("-5"), QString::fromLocal8Bit(std::strerror(EINVAL))},
    };
    for (const auto &row : rows) {
        const CliRun r = runCli(dir.path(), {QStringLiteral("--port"), row.port, QStringLiteral("--baud"), row.baud,
                                             QStringLiteral("link-check")});
        EXPECT_EQ(r.exitCode, 2) << qPrintable(row.port);
        EXPECT_EQ(r.err, msg::text(msg::PortOpenFailed) + line(QStringLiteral("%1: %2").arg(row.port, row.reason)));
    }

    EXPECT_EQ(sim.log(), QByteArray());
    // No "fbdves.cfg" and no --baud: the default speed, not the program's 0, which no line takes.
    CliRun r = runCli(dir.path(), {QStringLiteral("--port"), sim.port(), QStringLiteral("scale-number")});
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.err);
    EXPECT_EQ(r.err, QString());
    EXPECT_EQ(r.out, QStringLiteral("1\n"));
    EXPECT_FALSE(QFile::exists(QDir(dir.path()).filePath(QString::fromUtf8(files::PortConfig))));

    // A "fbdves.cfg" that is a folder is not a missing one.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QString::fromUtf8(files::PortConfig)));
    r = runCli(dir.path(), {QStringLiteral("link-check")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_FALSE(r.err.contains(msg::text(msg::CfgMissing))) << qPrintable(r.err);
    EXPECT_TRUE(r.err.contains(QString::fromLocal8Bit(std::strerror(EISDIR)))) << qPrintable(r.err);
    EXPECT_EQ(sim.log(), QByteArray("\x13")); // the one question of the default speed
}

// "CFG-файл отсутствует, назначен порт COM1" only when a link is opened on that COM1: not
// for a port given, nor for the scales of scales.ini, nor for a command without a link.
TEST(E2eLinkCli, DefaultPortSaidOnlyWhenUsed)
{
    SimProcess sim;
    ASSERT_TRUE(sim.start()) << qPrintable(sim.error());
    // --baud 0 on COM1 fails at the line settings: the machine's real port gets no byte.
    const QString noSpeed = QStringLiteral("--baud=0");
    const struct {
        const char *what;
        bool scalesList;
        QStringList args;
        int exit;
        int said;
    } rows[] = {
        {"--port and --baud", false, onPort(sim.port(), {QStringLiteral("link-check")}), 0, 0},
        {"--port alone", false, {QStringLiteral("--port"), sim.port(), QStringLiteral("link-check")}, 0, 0},
        {"scales of scales.ini", true, {QStringLiteral("--scales"), QStringLiteral("all"), QStringLiteral("link-check")}, 0, 0},
        {"no link", false, {QStringLiteral("scales"), QStringLiteral("list")}, 0, 0},
        {"no port", false, {noSpeed, QStringLiteral("link-check")}, 2, 1},
        {"no port, --scales without scales.ini", false,
         {noSpeed, QStringLiteral("--scales"), QStringLiteral("all"), QStringLiteral("link-check")}, 2, 1},
    };
    for (const auto &row : rows) {
        QTemporaryDir dir;
        if (row.scalesList) {
            QFile list(QDir(dir.path()).filePath(QStringLiteral("scales.ini")));
            ASSERT_TRUE(list.open(QIODevice::WriteOnly));
            list.write(QStringLiteral("[one]\nport=%1\nspeed=9600\n").arg(sim.port()).toUtf8());
        }
        const CliRun r = runCli(dir.path(), row.args);
        EXPECT_EQ(r.exitCode, row.exit) << row.what << ": " << qPrintable(r.err);
        EXPECT_EQ(r.err.count(msg::text(msg::CfgMissing)), row.said) << row.what << ": " << qPrintable(r.err);
        EXPECT_FALSE(QFile::exists(QDir(dir.path()).filePath(QString::fromUtf8(files::PortConfig)))) << row.what;
    }
}

TEST(E2eLinkCli, BadUsage)
{
    QTemporaryDir dir;
    const QStringList cases[] = {
        {},
        {QStringLiteral("no-such-command")},
        {QStringLiteral("--baud"), QStringLiteral("fast"), QStringLiteral("link-check")},
        {QStringLiteral("--port")},
        {QStringLiteral("--bogus"), QStringLiteral("link-check")},
        {QStringLiteral("link-check"), QStringLiteral("extra")},
        {QStringLiteral("--dir"), QStringLiteral("/nonexistent/dir"), QStringLiteral("link-check")},
    };
    for (const QStringList &args : cases) {
        const CliRun r = runCli(dir.path(), args);
        EXPECT_EQ(r.exitCode, 2) << qPrintable(args.join(QLatin1Char(' ')));
        EXPECT_FALSE(r.err.isEmpty()) << qPrintable(args.join(QLatin1Char(' ')));
    }
    const CliRun r = runCli(dir.path(), {QStringLiteral("--baud"), QStringLiteral("fast"), QStringLiteral("link-check")});
    EXPECT_EQ(r.err, msg::text(msg::NotAnInteger).arg(QStringLiteral("fast")) + QLatin1Char('\n'));
}

ZTK_OVER_EACH_TRANSPORT(E2eLinkCliExchange);
