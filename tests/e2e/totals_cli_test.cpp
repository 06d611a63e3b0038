// ztk-cli totals and totals-clear against the simulator: the text, the file, the kept
// image, the clear commands and the failures.
#include "transfer/ProductRows.h"

#include "shared/Messages.h"
#include "support/CliProcess.h"
#include "support/SimProcess.h"
#include "totals/TotalsText.h"

#include <QDir>

using namespace ztk;
using namespace ztk::test;

namespace {

CliRun cli(const QString &dir, const QStringList &args, int clockRate = 0)
{
    return runCli(dir, QStringList{QStringLiteral("--dir"), dir} + args, clockRate);
}

class TotalsShop : public ProductRowsFixture {
public:
    TotalsShop()
    {
        StoredRow milk(260, QStringLiteral("Молоко"));
        milk.prefix = QStringLiteral("0");
        add(milk);
        StoredRow bread(4999, QStringLiteral("Хлеб"));
        bread.prefix = QStringLiteral("21");
        add(bread);
        store.close(); // the command opens the file itself
    }
    QString path() const { return dir.path(); }
    QString file(const QString &name) const { return dir.filePath(name); }
    QStringList kept() const
    {
        return QDir(dir.filePath(QStringLiteral("totals"))).entryList(QDir::Files);
    }
};

const QStringList Sales = {"--sale", "5:250:100:1", "--sale", "260:1500:4530:3", "--sale", "4999:7:123456:2"};

const QString Header = QStringLiteral("     Nп/п   Сум вес/кол   Сумма   Кол взв.   Наименование");

QString linesOf(const QStringList &cells)
{
    QString out = Header + '\n';
    for (int i = 0; i + 4 < cells.size(); i += 5)
        out += totalsLine({cells[i], cells[i + 1], cells[i + 2], cells[i + 3], cells[i + 4]}) + '\n';
    return out;
}

class TotalsCliExchange : public OverTransport {};

TEST_P(TotalsCliExchange, ReceivesPrintsSavesKeepsAndClears)
{
    TotalsShop s;
    SimProcess sim(GetParam());
    ASSERT_TRUE(sim.start(Sales)) << sim.error().toStdString();
    const CliRun r = cli(s.path(), onPort(sim.port(), {"totals", "--out", "day.txt", "--clear"}));
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString expected = linesOf({"5*", "0,250", "1,00", "1", "",          //
                                      "260", "1,500", "45,30", "3", "Молоко",  //
                                      "4999", "7", "1234,56", "2", "Хлеб"});
    EXPECT_EQ(r.out, expected);
    EXPECT_TRUE(r.err.contains(msg::text(msg::TotalsCaption) + QStringLiteral(" 100%"))) << r.err.toStdString();
    // The file: the same lines in code page 1251 with CR LF, no sum row.
    const QByteArray file = readFileBytes(s.file(QStringLiteral("day.txt")));
    EXPECT_EQ(file, totalsFileBytes(expected.chopped(1).split('\n')));
    EXPECT_TRUE(file.endsWith(QByteArray("\xd5\xeb\xe5\xe1\r\n")));
    // Cleared in row order after the reception.
    EXPECT_EQ(sim.waitForLog(10).toHex(), QByteArray("090b05000b04010b8713"));

    // The kept image shows the same totals without a scale, also after the clearing.
    const QStringList kept = s.kept();
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(readFileBytes(s.file(QStringLiteral("totals/") + kept.first())).size(), 153600);
    sim.stop();
    const CliRun again = cli(s.path(), {"totals", "--image", "totals/" + kept.first()});
    EXPECT_EQ(again.exitCode, 0) << again.err.toStdString();
    EXPECT_EQ(again.out, expected);
    const CliRun now = cli(s.path(), {"totals", "--image", sim.stateDir() + "/totals.bin"});
    EXPECT_EQ(now.out, Header + '\n'); // the scale holds nothing any more
}

TEST_P(TotalsCliExchange, SelectionNamesTheProducts)
{
    TotalsShop s;
    SimProcess sim(GetParam());
    ASSERT_TRUE(sim.start(Sales)) << sim.error().toStdString();
    const CliRun r = cli(s.path(), onPort(sim.port(), {"totals", "--selection", "prefix=21"}));
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, linesOf({"5*", "0,250", "1,00", "1", "",  //
                              "260*", "1,500", "45,30", "3", "", //
                              "4999", "7", "1234,56", "2", "Хлеб"}));
}

TEST_P(TotalsCliExchange, TimeOutWritesAndClearsNothing)
{
    struct Case { const char *fault; } cases[] = {{"silent"}, {"short"}};
    for (const Case &c : cases) {
        TotalsShop s;
        SimProcess sim(GetParam());
        ASSERT_TRUE(sim.start(Sales + QStringList{"--fault", c.fault})) << sim.error().toStdString();
        const CliRun r = cli(s.path(), onPort(sim.port(), {"totals", "--out", "day.txt", "--clear"}), 50);
        EXPECT_EQ(r.exitCode, 1) << c.fault;
        EXPECT_TRUE(r.err.endsWith(msg::text(msg::NoLink) + '\n')) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_FALSE(QFile::exists(s.file(QStringLiteral("day.txt"))));
        EXPECT_TRUE(s.kept().isEmpty());
        EXPECT_EQ(sim.log().toHex(), QByteArray("09")) << c.fault;
    }
}

TEST(TotalsCli, BadInput)
{
    TotalsShop s;
    QFile wrong(s.file(QStringLiteral("short.bin")));
    ASSERT_TRUE(wrong.open(QIODevice::WriteOnly));
    wrong.write(QByteArray(153599, '\0'));
    wrong.close();
    struct Case { QStringList args; QString err; } cases[] = {
        {{"totals", "--image", "short.bin"}, msg::text(msg::TotalsWrongSize).arg(s.file("short.bin")).arg(153599)},
        {{"totals", "--image", "short.bin", "--clear"}, "--clear needs a reception"},
        {{"totals", "--selection", "nonsense"}, "bad selection 'nonsense'"},
        {{"totals", "--frob", "1"}, "unknown option --frob"},
        {{"totals-clear", "5,x"}, msg::text(msg::NotAnInteger).arg("x")},
        {{"totals-clear", "5001"}, "5001 is not 1..5000"},
        {{"totals-clear"}, "totals-clear takes one list"},
    };
    SimProcess sim;
    ASSERT_TRUE(sim.start()) << sim.error().toStdString();
    for (const Case &c : cases) {
        const CliRun r = cli(s.path(), onPort(sim.port(), c.args));
        EXPECT_EQ(r.exitCode, 2) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(c.err)) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
    EXPECT_TRUE(sim.log().isEmpty()); // nothing was sent
}

TEST_P(TotalsCliExchange, ClearsTheListedProducts)
{
    TotalsShop s;
    SimProcess sim(GetParam());
    ASSERT_TRUE(sim.start(Sales)) << sim.error().toStdString();
    const CliRun r = cli(s.path(), onPort(sim.port(), {"totals-clear", "5,260,4999"}));
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(sim.waitForLog(9).toHex(), QByteArray("0b05000b04010b8713"));
}

} // namespace

ZTK_OVER_EACH_TRANSPORT(TotalsCliExchange);
