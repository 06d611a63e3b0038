// What must never happen from the command line, tried as a hostile user would: an
// output over the table, totals cleared that were not kept, an old reply taken as a
// new one, an unreachable scale reported as done, noise stored as products, settings
// of a scale that does not exist.
#include "transfer/ProductRows.h"

#include "common/CommonData.h"
#include "shared/Files.h"
#include "shared/Messages.h"
#include "support/CliProcess.h"
#include "support/Programs.h"
#include "support/SimProcess.h"
#include "support/SmallDisk.h"
#include "totals/TotalsText.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <sys/stat.h>
#include <unistd.h>

using namespace ztk;
using namespace ztk::test;

namespace {

CliRun cli(const QString &dir, const QStringList &args, int clockRate = 0)
{
    return runCli(dir, QStringList{QStringLiteral("--dir"), dir} + args, clockRate);
}

class Shop : public ProductRowsFixture {
public:
    Shop()
    {
        StoredRow milk(260, QStringLiteral("Молоко"));
        add(milk);
        add(StoredRow(4999, QStringLiteral("Хлеб")));
        store.close(); // the commands open the file themselves
    }
    QString path() const { return dir.path(); }
    QString file(const QString &name) const { return dir.filePath(name); }
    QByteArray table() const { return readFileBytes(file(QString::fromUtf8(files::ProductStore))); }
    // Every row of lm_t1, as the store reads it.
    std::vector<Product> products()
    {
        ProductStore store;
        std::vector<Product> rows;
        EXPECT_TRUE(store.open(file(QString::fromUtf8(files::ProductStore))));
        EXPECT_TRUE(store.select(QStringLiteral("select * from lm_t1 order by N"), rows));
        return rows;
    }
};

const QStringList Sales = {"--sale", "5:250:100:1", "--sale", "260:1500:4530:3", "--sale", "4999:7:123456:2"};

} // namespace

TEST(SafetyCli, NoOutputReplacesTheTableOrASettingsFile)
{
    Shop s;
    ASSERT_TRUE(QFile::link(s.file(QStringLiteral("LM_T.db")), s.file(QStringLiteral("link.txt"))));
    const QByteArray table = s.table();
    const QString store = s.file(QString::fromUtf8(files::ProductStore));
    const QStringList targets = {QStringLiteral("LM_T.db"), store, s.file(QStringLiteral("link.txt")),
                                 QStringLiteral("scales.ini"), QStringLiteral("BDpost.pd"), QStringLiteral("VL2.cfg")};
    for (const QString &target : targets) {
        for (const QStringList &command : {QStringList{"export", target}, QStringList{"report", "--out", target},
                                            QStringList{"totals", "--out", target},
                                            QStringList{"common-read", "--out", target}}) {
            const CliRun r = cli(s.path(), command);
            EXPECT_EQ(r.exitCode, 2) << qPrintable(command.join(' '));
            EXPECT_TRUE(r.err.contains(msg::text(msg::ProtectedFile).section(QLatin1Char(' '), 2))) << qPrintable(r.err);
        }
    }
    EXPECT_EQ(s.table(), table);
    EXPECT_FALSE(QFile::exists(s.file(QStringLiteral("scales.ini"))));
    EXPECT_FALSE(QFile::exists(s.file(QStringLiteral("BDpost.pd"))));
    EXPECT_FALSE(QFile::exists(s.file(QStringLiteral("VL2.cfg"))));
    EXPECT_TRUE(QFileInfo(s.file(QStringLiteral("link.txt"))).isSymLink());

    // A device is written in place: /dev/null stays a device, /dev/full fails loudly.
    EXPECT_EQ(cli(s.path(), {"export", "/dev/null"}).exitCode, 0);
    const CliRun full = cli(s.path(), {"export", "/dev/full"});
    EXPECT_EQ(full.exitCode, 2);
    EXPECT_TRUE(full.err.contains(QString::fromLocal8Bit(std::strerror(ENOSPC)))) << qPrintable(full.err);
    struct stat st {};
    ASSERT_EQ(::stat("/dev/full", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
    EXPECT_EQ(cli(s.path(), {"products"}).exitCode, 0); // the table still reads
}

// The old reply of an interrupted reception goes on arriving; the next reception must
// wait it out instead of taking its tail, and clear by the real totals.
TEST(SafetyCli, ReceptionAfterAnInterruptedOneTakesNoStaleBytes)
{
    Shop s;
    SimProcess sim;
    // 460,800 bit/s on the emulated line: the reply takes 3.3 s.
    ASSERT_TRUE(sim.start(Sales + QStringList{"--baud", "460800"})) << sim.error().toStdString();
    QProcess first;
    first.start(QStringLiteral(ZTK_CLI_PATH), {"--dir", s.path(), "--port", sim.port(), "--baud", "460800", "totals"});
    ASSERT_TRUE(first.waitForStarted());
    sim.waitForLog(1); // the request is out, the reply under way
    QThread::msleep(800);
    first.kill();
    first.waitForFinished();

    const CliRun r = cli(s.path(), {"--port", sim.port(), "--baud", "460800", "totals", "--out", "day.txt", "--clear"});
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.err);
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4) << qPrintable(r.out) << qPrintable(r.err.right(300)) << sim.log().size();
    EXPECT_EQ(lines[1], totalsLine({"5*", "0,250", "1,00", "1", ""}));
    EXPECT_EQ(lines[3], totalsLine({"4999", "7", "1234,56", "2", "Хлеб"}));
    // Requests (a second one when the first reply did not stand alone), then the clears
    // of the three real products.
    const QByteArray log = sim.waitForLog(11);
    const QByteArray clears = QByteArray::fromHex("0b05000b04010b8713");
    EXPECT_TRUE(log.endsWith(clears)) << log.toHex().constData();
    EXPECT_EQ(log.chopped(clears.size()), QByteArray(log.size() - clears.size(), '\x09')) << log.toHex().constData();
}

TEST(SafetyCli, FullDiskClearsNoTotalsAndWritesNoShortFile)
{
    SmallDisk disk(1024);
    if (!disk.available())
        GTEST_SKIP() << "a small disk needs root";
    SimProcess sim;
    ASSERT_TRUE(sim.start(Sales)) << sim.error().toStdString();
    {
        ProductStore store;
        ASSERT_TRUE(store.open(disk.filePath(QStringLiteral("LM_T.db"))));
    }
    ASSERT_TRUE(QFile(disk.filePath(QStringLiteral("r.pdf"))).open(QIODevice::WriteOnly));
    ASSERT_TRUE(disk.fill());

    const CliRun totals = cli(disk.path(), onPort(sim.port(), {"totals", "--clear"}));
    EXPECT_EQ(totals.exitCode, 2) << qPrintable(totals.err);
    EXPECT_TRUE(totals.err.contains(msg::text(msg::TotalsNotKept).section(QLatin1Char(' '), 0, 3))) << qPrintable(totals.err);
    QThread::msleep(300);
    EXPECT_EQ(sim.log().toHex(), QByteArray("09")); // no 0x0B

    const CliRun report = cli(disk.path(), {"report", "--out", "r.pdf"});
    EXPECT_EQ(report.exitCode, 2);
    EXPECT_TRUE(report.err.contains(QString::fromLocal8Bit(std::strerror(ENOSPC)))) << qPrintable(report.err);
    EXPECT_EQ(QFileInfo(disk.filePath(QStringLiteral("r.pdf"))).size(), 0); // the old file as it was
    const CliRun read = cli(disk.path(), onPort(sim.port(), {"read-products", "--to", "20", "--out", "r.bin"}));
    EXPECT_EQ(read.exitCode, 2);
    EXPECT_FALSE(QFile::exists(disk.filePath(QStringLiteral("r.bin"))));
}

// Nothing listens: a command the scale never answers must not say it was done.
TEST(SafetyCli, UnreachableNetworkScaleFailsCommandsWithoutReply)
{
    QTemporaryDir dir;
    const QString nowhere = QStringLiteral("tcp:127.0.0.1:1");
    const QList<QStringList> commands = {
        {"set-clock"}, {"totals-clear", "5"}, {"clear-products", "1-3"}};
    for (const QStringList &command : commands) {
        const CliRun r = cli(dir.path(), QStringList{"--port", nowhere, "--baud", "9600"} + command);
        EXPECT_EQ(r.exitCode, 1) << qPrintable(command.join(' '));
        EXPECT_TRUE(r.err.endsWith(msg::text(msg::NoLink) + '\n')) << qPrintable(r.err);
        EXPECT_FALSE(r.err.contains(QStringLiteral("100%"))) << qPrintable(r.err);
    }
    QFile list(QDir(dir.path()).filePath(QStringLiteral("scales.ini")));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write("[a]\nport=tcp:127.0.0.1:1\n[b]\nport=tcp:127.0.0.1:2\n");
    list.close();
    const CliRun all = cli(dir.path(), {"--scales", "all", "set-clock"});
    EXPECT_EQ(all.exitCode, 1);
    EXPECT_TRUE(all.err.contains(msg::text(msg::ScalesFailed).arg(QStringLiteral("a, b")))) << qPrintable(all.err);
}

// A line at another speed: every reply the right length, but noise.
TEST(SafetyCli, NoiseFromTheLineIsNeverStored)
{
    Shop s;
    SimProcess sim(Transport::Tcp);
    ASSERT_TRUE(sim.start({"--fault", "noise"})) << sim.error().toStdString();
    const std::vector<Product> before = s.products();
    const CliRun r = cli(s.path(), onPort(sim.port(), {"read-products", "--to", "10", "--save"}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(msg::text(msg::RecordImplausible).arg(1))) << qPrintable(r.err);
    EXPECT_EQ(s.products(), before);
    EXPECT_TRUE(QDir(s.file(QStringLiteral("backup"))).isEmpty());
}

TEST(SafetyCli, BlockOfNoScaleIsShownButSavedNowhere)
{
    for (const int number : {0, 255}) {
        QTemporaryDir dir;
        SimProcess sim;
        ASSERT_TRUE(sim.start()) << sim.error().toStdString();
        sim.stop(); // its factory block saved, to change the scale number in it
        QByteArray block = sim.stateFile(QStringLiteral("common.bin"));
        ASSERT_EQ(block.size(), common::BlockSize);
        block[common::at::ScaleNumber] = char(number);
        ASSERT_TRUE(sim.writeStateFile(QStringLiteral("common.bin"), block));
        ASSERT_TRUE(sim.start()) << sim.error().toStdString();
        const CliRun r = cli(dir.path(), onPort(sim.port(), {"common-read", "--save-settings"}), 50);
        EXPECT_EQ(r.exitCode, 2) << number;
        EXPECT_TRUE(r.err.contains(msg::text(msg::BlockScaleNumberBad).arg(std::int8_t(number)).arg(1).arg(99)))
            << qPrintable(r.err);
        EXPECT_FALSE(r.out.isEmpty()); // shown all the same
        EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("*.cfg")}, QDir::Files), QStringList());
    }
}

TEST(SafetyCli, SmallerHoles)
{
    Shop s;
    // A kept reception that is a FIFO would hold the command for ever.
    const QString fifo = s.file(QStringLiteral("t.bin"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const CliRun image = cli(s.path(), {"totals", "--image", "t.bin"});
    EXPECT_EQ(image.exitCode, 2);
    EXPECT_TRUE(image.err.contains(msg::text(msg::TotalsNotAFile).arg(fifo))) << qPrintable(image.err);

    // One rule for a serial port that does not open, whatever the command.
    for (const QStringList &command : {QStringList{"totals-clear", "5"}, QStringList{"common-read"},
                                        QStringList{"link-check"}, QStringList{"set-clock"}}) {
        const CliRun r = cli(s.path(), QStringList{"--port", "/nonexistent/tty", "--baud", "9600"} + command);
        EXPECT_EQ(r.exitCode, 2) << qPrintable(command.join(' '));
        EXPECT_TRUE(r.err.startsWith(msg::text(msg::PortOpenFailed))) << qPrintable(r.err);
    }
}
