// ztk-cli sales and sales-import: receptions from the simulator with and without a clear
// between them and one that failed, summed by hand; the spreadsheet file read back by
// LibreOffice Calc; the kept images of a folder taken in once; bad input.
#include "transfer/ProductRows.h"

#include "shared/Messages.h"
#include "support/CliProcess.h"
#include "support/Programs.h"
#include "support/SimProcess.h"
#include "totals/TotalsImage.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>

using namespace ztk;
using namespace ztk::test;

namespace {

CliRun cli(const QString &dir, const QStringList &args, int clockRate = 0)
{
    return runCli(dir, QStringList{QStringLiteral("--dir"), dir} + args, clockRate);
}

class SalesShop : public ProductRowsFixture {
public:
    SalesShop()
    {
        StoredRow milk(260, QStringLiteral("Молоко"));
        milk.prefix = QStringLiteral("0");
        add(milk);
        StoredRow bread(4999, QStringLiteral("Хлеб"));
        bread.prefix = QStringLiteral("21");
        add(bread);
        store.close(); // the commands open the file themselves
    }
    QString path() const { return dir.path(); }
    QString file(const QString &name) const { return dir.filePath(name); }
    bool write(const QString &name, const QByteArray &bytes) const
    {
        QDir().mkpath(QFileInfo(file(name)).path());
        QFile f(file(name));
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    }
};

QStringList sales(std::initializer_list<const char *> list)
{
    QStringList args;
    for (const char *s : list)
        args << QStringLiteral("--sale") << QString::fromLatin1(s);
    return args;
}

// The first table of a flat OpenDocument spreadsheet: each cell's number when Calc took it
// as one ("float:0.85"), else its text.
std::vector<QStringList> spreadsheetRows(const QByteArray &fods)
{
    std::vector<QStringList> rows;
    QXmlStreamReader xml(fods);
    int tables = 0;
    while (!xml.atEnd() && tables < 2) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("table")) {
            ++tables;
        } else if (xml.name() == QLatin1String("table-row")) {
            rows.emplace_back();
        } else if (xml.name() == QLatin1String("table-cell") && !rows.empty()) {
            const QXmlStreamAttributes a = xml.attributes();
            const int repeated = std::max(1, a.value(QLatin1String("table:number-columns-repeated")).toInt());
            const QString value = a.value(QLatin1String("office:value-type")) == QLatin1String("float")
                ? QStringLiteral("float:") + a.value(QLatin1String("office:value")).toString()
                : xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
            for (int i = 0; i < repeated && i < 8; ++i)
                rows.back() << value;
        }
    }
    // Calc writes the empty columns after the last one as one repeated cell.
    for (QStringList &r : rows)
        while (!r.isEmpty() && r.back().isEmpty())
            r.removeLast();
    while (!rows.empty() && rows.back().isEmpty())
        rows.pop_back();
    return rows;
}

TEST(SalesCli, CountsEachSaleOnceAndTheSpreadsheetReadsTheSame)
{
    SalesShop s;
    SimProcess sim;
    const auto receiveWith = [&](const QStringList &simArgs, const QStringList &command, int expected, int clockRate = 0) {
        ASSERT_TRUE(sim.start(simArgs)) << sim.error().toStdString();
        const CliRun r = cli(s.path(), onPort(sim.port(), command), clockRate);
        EXPECT_EQ(r.exitCode, expected) << command.join(' ').toStdString() << r.err.toStdString();
        sim.stop(); // the scale's counters stay in its state folder for the next start
    };
    // The first reception counts whole.
    receiveWith(sales({"5:250:100:1", "260:1500:4530:3"}), {"totals"}, 0);
    // Growth of 5 only: +500 g, +2,00, +2 weighings; then both cleared by the program.
    receiveWith(sales({"5:750:300:3"}), {"totals", "--clear"}, 0);
    // Sold since the clear, but the reception fails: nothing of it is stored.
    receiveWith(sales({"5:60:30:1"}) + QStringList{"--fault", "short"}, {"totals"}, 1, 50);
    // After the clear: whole.
    receiveWith(sales({"5:100:50:1", "260:2000:6000:4"}), {"totals"}, 0);

    const CliRun r = cli(s.path(), {"sales", "--by", "product"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("5\t\t0,850\t3,50\t4\n"
                                    "260\tМолоко\t3,500\t105,30\t7\n"
                                    "Итого\t\t\t108,80\t11\n"));

    const CliRun out = cli(s.path(), {"sales", "--out", "sales.csv"});
    ASSERT_EQ(out.exitCode, 0) << out.err.toStdString();
    EXPECT_TRUE(out.out.isEmpty());
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        GTEST_SKIP() << "LibreOffice Calc is not installed";
    // As a Russian Calc opens it: ";" between fields, the character set from the byte
    // order mark, the Russian locale's decimal comma.
    QTemporaryDir profile;
    QProcess calc;
    calc.start(soffice, {QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profile.path()).toString(),
                         QStringLiteral("--headless"), QStringLiteral("--infilter=CSV:59,34,,1,,1049"),
                         QStringLiteral("--convert-to"), QStringLiteral("fods"), QStringLiteral("--outdir"), s.path(),
                         s.file(QStringLiteral("sales.csv"))});
    ASSERT_TRUE(calc.waitForFinished(120000)) << "LibreOffice did not finish";
    ASSERT_EQ(calc.exitCode(), 0) << calc.readAllStandardError().toStdString();
    const std::vector<QStringList> rows = spreadsheetRows(readFileBytes(s.file(QStringLiteral("sales.fods"))));
    const std::vector<QStringList> expected = {
        {"Nп/п", "Наименование", "Количество", "Сумма", "Кол взв."},
        {"float:5", "", "float:0.85", "float:3.5", "float:4"},
        {"float:260", "Молоко", "float:3.5", "float:105.3", "float:7"},
        {"Итого", "", "", "float:108.8", "float:11"},
    };
    EXPECT_EQ(rows, expected);
}

TEST(SalesCli, ImportsTheKeptImagesOnce)
{
    SalesShop s;
    // Without fbdves.cfg the port is COM1: the list's kassa1.
    ASSERT_TRUE(s.write(QStringLiteral("scales.ini"), "[kassa1]\nport=COM1\n[kassa2]\nport=COM2\n"));
    const auto image = [](std::uint32_t amount, std::uint32_t money, std::uint32_t weighings) {
        TotalsImage i;
        i.setCounters(260, {amount, money, weighings});
        return i.toByteArray();
    };
    // The port's scale in totals/, kassa2 in its folder.
    ASSERT_TRUE(s.write(QStringLiteral("totals/2026-12-02_23-30-00.bin"), image(3000, 9000, 6)));
    ASSERT_TRUE(s.write(QStringLiteral("totals/2026-12-01_23-30-00.bin"), image(1000, 3000, 2)));
    ASSERT_TRUE(s.write(QStringLiteral("totals/2026-12-01_23-30-00_2.bin"), image(1000, 3000, 2)));
    ASSERT_TRUE(s.write(QStringLiteral("totals/kassa2/2026-12-01_23-30-00.bin"), image(500, 100, 1)));
    ASSERT_TRUE(s.write(QStringLiteral("totals/2026-12-03_23-30-00.bin"), QByteArray(100, '\0')));
    ASSERT_TRUE(s.write(QStringLiteral("totals/notes.txt"), "x"));
    ASSERT_TRUE(QDir().mkpath(s.file(QStringLiteral("totals/old copy"))));

    const CliRun first = cli(s.path(), {"sales-import"});
    EXPECT_EQ(first.exitCode, 2);
    EXPECT_EQ(first.out, msg::text(msg::SalesImported).arg(4).arg(0).arg(3) + '\n');
    for (const QString &said :
         {msg::text(msg::TotalsWrongSize).arg(s.file(QStringLiteral("totals/2026-12-03_23-30-00.bin"))).arg(100),
          msg::text(msg::SalesNotAMoment).arg(s.file(QStringLiteral("totals/notes.txt"))),
          msg::text(msg::SalesNotAScale).arg(s.file(QStringLiteral("totals/old copy")))})
        EXPECT_TRUE(first.err.contains(said)) << first.err.toStdString();

    const CliRun again = cli(s.path(), {"sales-import", "totals"});
    EXPECT_EQ(again.out, msg::text(msg::SalesImported).arg(0).arg(4).arg(3) + '\n');

    const CliRun byScale = cli(s.path(), {"sales", "--by", "scale"});
    EXPECT_EQ(byScale.exitCode, 0) << byScale.err.toStdString();
    EXPECT_EQ(byScale.out, QStringLiteral("kassa1\t260\tМолоко\t3,000\t90,00\t6\n"
                                          "kassa2\t260\tМолоко\t0,500\t1,00\t1\n"
                                          "Итого\t\t\t\t91,00\t7\n"));
    const CliRun byDay = cli(s.path(), {"sales", "--by", "day", "--scales", "kassa1", "--from", "2026-12-02"});
    EXPECT_EQ(byDay.out, QStringLiteral("2026-12-02\t260\tМолоко\t2,000\t60,00\t4\n"
                                        "Итого\t\t\t\t60,00\t4\n"));
}

TEST(SalesCli, BadInputAndEmptyPeriods)
{
    SalesShop s;
    struct Case {
        QStringList args;
        int exit;
        QString out, err;
    } cases[] = {
        {{"sales", "--from", "2026-12-40"}, 2, "", msg::text(msg::SalesBadDate).arg("2026-12-40")},
        {{"sales", "--to", "9.12.2026"}, 2, "", msg::text(msg::SalesBadDate).arg("9.12.2026")},
        {{"sales", "--from", "2026-12-09", "--to", "2026-12-08"}, 2, "",
         msg::text(msg::SalesBadPeriod).arg("2026-12-09", "2026-12-08")},
        {{"sales", "--by", "week"}, 2, "", "--by takes product, day or scale"},
        {{"sales", "--scales", "kassa9"}, 2, "", msg::text(msg::SalesUnknownScale).arg("kassa9")},
        {{"sales-import", "nowhere"}, 2, "", msg::text(msg::SalesNoFolder).arg(s.file("nowhere"))},
        {{"sales"}, 0, "Итого\t\t\t0,00\t0\n", ""},
        {{"sales", "--by", "day", "--from", "2026-12-09", "--to", "2026-12-09"}, 0, "Итого\t\t\t\t0,00\t0\n", ""},
    };
    for (const Case &c : cases) {
        const CliRun r = cli(s.path(), c.args);
        EXPECT_EQ(r.exitCode, c.exit) << c.args.join(' ').toStdString() << r.err.toStdString();
        EXPECT_EQ(r.out, c.out) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(c.err)) << r.err.toStdString();
    }
    // The rule is said in the help (the English one).
    const CliRun help = runProgram(cliProgram(), s.path(), {"help", "sales"}, withLocale({{"LC_ALL", "C.UTF-8"}}));
    EXPECT_TRUE(help.out.contains("counts whole")) << help.out.toStdString();
    EXPECT_TRUE(help.out.contains("UTF-8 with a byte order mark")) << help.out.toStdString();
}

} // namespace
