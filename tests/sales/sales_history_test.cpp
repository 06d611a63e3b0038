// The sales history on the file and on the server: the counting rule over sequences of
// receptions and clears, stored in order and out of order; the listings by product, day
// and scale over periods; the names of the kept images; a table of another shape.
#include "sales/SalesHistory.h"
#include "sales/SalesReport.h"

#include "products/ProductFixture.h"
#include "shared/Messages.h"

#include <map>

using namespace ztk;
using namespace ztk::test;

namespace {

const QDate Day1(2026, 12, 1);

struct Sale {
    int product;
    TotalsCounters counters;
};

// What happens, in order: a reception of a scale with the products it lists, or a clear
// of products by the program. `minutes` after 1 December, 23:30.
struct Event {
    enum Kind { Receive, Clear } kind;
    QString scale;
    int minutes;
    std::vector<Sale> sales = {}; // Receive
    std::vector<int> cleared = {};  // Clear
};

Event receive(const char *scale, int minutes, std::vector<Sale> sales)
{
    return {Event::Receive, QString::fromLatin1(scale), minutes, std::move(sales)};
}
Event clear(const char *scale, int minutes, std::vector<int> products)
{
    return {Event::Clear, QString::fromLatin1(scale), minutes, {}, std::move(products)};
}

QDateTime at(int minutes)
{
    return QDateTime(Day1, QTime(23, 30)).addSecs(qint64(minutes) * 60);
}

TotalsImage imageOf(const std::vector<Sale> &sales)
{
    TotalsImage image;
    for (const Sale &s : sales)
        image.setCounters(s.product, s.counters);
    return image;
}

using Expected = std::map<std::pair<QString, int>, SoldCounters>; // (scale, product) -> sold

struct RuleCase {
    const char *name;
    std::vector<Event> events;
    Expected sold;
};

const std::vector<RuleCase> &ruleCases()
{
    static const std::vector<RuleCase> cases = {
        {"growth without a clear counts only the increase",
         {receive("a", 0, {{5, {100, 200, 1}}}), receive("a", 1440, {{5, {300, 500, 3}}}),
          receive("a", 2880, {{5, {300, 500, 3}}})},
         {{{"a", 5}, {300, 500, 3}}}},
        {"a clear by the program makes the next reception count whole",
         {receive("a", 0, {{5, {100, 200, 1}}, {6, {10, 20, 1}}}), clear("a", 1, {5}),
          receive("a", 1440, {{5, {150, 300, 2}}, {6, {40, 80, 2}}})},
         // 6 was not cleared: only its increase.
         {{{"a", 5}, {250, 500, 3}}, {{"a", 6}, {40, 80, 2}}}},
        {"a clear made in the second of its reception still follows it",
         {receive("a", 0, {{5, {100, 200, 1}}}), clear("a", 0, {5}), receive("a", 1440, {{5, {150, 300, 2}}})},
         {{{"a", 5}, {250, 500, 3}}}},
        {"a drop without a recorded clear counts whole from that reception on",
         {receive("a", 0, {{5, {500, 900, 4}}}), receive("a", 1440, {{5, {100, 200, 1}}}),
          receive("a", 2880, {{5, {300, 400, 2}}})},
         {{{"a", 5}, {800, 1300, 6}}}},
        {"one counter past 2^32 is a drop; the sums go on in 64 bits",
         {receive("a", 0, {{5, {100, 4294967000u, 1}}}), receive("a", 1440, {{5, {200, 100, 2}}})},
         {{{"a", 5}, {300, 4294967100LL, 3}}}},
        {"a product not listed in between was cleared: it counts whole when it comes back",
         {receive("a", 0, {{5, {100, 200, 1}}, {6, {1, 1, 1}}}), receive("a", 1440, {{6, {2, 2, 2}}}),
          receive("a", 2880, {{5, {40, 50, 1}}, {6, {2, 2, 2}}})},
         {{{"a", 5}, {140, 250, 2}}, {{"a", 6}, {2, 2, 2}}}},
        {"two scales are counted apart; a clear of one leaves the other",
         {receive("a", 0, {{5, {100, 100, 1}}}), receive("b", 0, {{5, {50, 50, 1}}}), clear("b", 2, {5}),
          receive("a", 1440, {{5, {300, 300, 3}}}), receive("b", 1440, {{5, {20, 20, 1}}})},
         {{{"a", 5}, {300, 300, 3}}, {{"b", 5}, {70, 70, 2}}}},
    };
    return cases;
}

class SalesHistoryTest : public ProductTest {
protected:
    void SetUp() override
    {
        ProductTest::SetUp();
        if (HasFatalFailure() || IsSkipped())
            return;
        if (store.isServer()) {
            QString why;
            ASSERT_TRUE(PostgresServer::instance(&why)->run(
                QStringLiteral("drop table if exists ztk_reception, ztk_reception_line, ztk_totals_clear"), &why))
                << why.toStdString();
        }
        ASSERT_TRUE(history.prepare()) << history.errorText().toStdString();
    }

    void apply(const Event &e)
    {
        if (e.kind == Event::Clear) {
            ASSERT_TRUE(history.recordClear(e.scale, at(e.minutes), e.cleared)) << history.errorText().toStdString();
            return;
        }
        ASSERT_EQ(history.storeReception(e.scale, at(e.minutes), imageOf(e.sales)), SalesHistory::Stored::Added)
            << history.errorText().toStdString();
    }

    Expected soldByScale(const SalesPeriod &period = {})
    {
        SalesListing listing;
        EXPECT_TRUE(history.listing({period, SalesGrouping::Scale, {}}, listing)) << history.errorText().toStdString();
        Expected out;
        for (const SalesRow &r : listing.rows)
            out[{r.group, r.product}] = r.sold;
        return out;
    }

    SalesHistory history{store};
};

class SalesHistoryOnBoth : public OnBothStores<SalesHistoryTest> {};

std::string describe(const Expected &e)
{
    std::string s;
    for (const auto &[key, sold] : e)
        s += key.first.toStdString() + "/" + std::to_string(key.second) + ": " + std::to_string(sold.amount) + " "
            + std::to_string(sold.money) + " " + std::to_string(sold.weighings) + "; ";
    return s;
}

} // namespace

TEST(SalesCounting, Rule)
{
    const TotalsCounters before{100, 200, 3};
    struct Row {
        std::optional<TotalsCounters> previous;
        TotalsCounters now;
        bool cleared;
        SoldCounters expected;
    } rows[] = {
        {std::nullopt, {100, 200, 3}, false, {100, 200, 3}}, // the scale's first reception
        {before, {150, 260, 4}, false, {50, 60, 1}},
        {before, {100, 200, 3}, false, {0, 0, 0}},
        {before, {150, 260, 4}, true, {150, 260, 4}},
        {before, {99, 260, 4}, false, {99, 260, 4}}, // any counter lower: cleared on the scale
        {before, {150, 199, 4}, false, {150, 199, 4}},
        {before, {150, 260, 2}, false, {150, 260, 2}},
        {TotalsCounters{0, 0, 0}, {4294967295u, 4294967295u, 100000}, false, {4294967295LL, 4294967295LL, 100000}},
    };
    for (const Row &r : rows)
        EXPECT_EQ(countedSale(r.previous, r.now, r.cleared), r.expected) << r.now.amount << " " << r.now.money;
}

TEST_P(SalesHistoryOnBoth, CountsEachSaleOnceInOrderAndOutOfOrder)
{
    for (const RuleCase &c : ruleCases()) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(store.exec(QStringLiteral("delete from ztk_reception_line"))
                    && store.exec(QStringLiteral("delete from ztk_reception"))
                    && store.exec(QStringLiteral("delete from ztk_totals_clear")));
        for (const Event &e : c.events)
            apply(e);
        const Expected inOrder = soldByScale();
        EXPECT_EQ(inOrder, c.sold) << describe(inOrder);

        // The same receptions stored last first (sales-import of older images after newer
        // ones): each one stored counts the later ones again.
        ASSERT_TRUE(store.exec(QStringLiteral("delete from ztk_reception_line"))
                    && store.exec(QStringLiteral("delete from ztk_reception"))
                    && store.exec(QStringLiteral("delete from ztk_totals_clear")));
        for (auto it = c.events.rbegin(); it != c.events.rend(); ++it)
            apply(*it);
        const Expected reversed = soldByScale();
        EXPECT_EQ(reversed, c.sold) << describe(reversed);
    }
}

TEST_P(SalesHistoryOnBoth, ListsPeriodsByProductDayAndScale)
{
    add({5, QStringLiteral("Молоко"), QStringLiteral("0"), {}, {}, 0, QStringLiteral("0")});
    add({6, QStringLiteral("Хлеб"), QStringLiteral("1"), {}, {}, 0, QStringLiteral("21")});
    // Nightly: day 1 a and b, day 2 a, day 3 nothing, day 4 a.
    apply(receive("a", 0, {{5, {1500, 4530, 3}}, {6, {7, 700, 7}}}));
    apply(receive("b", 10, {{5, {250, 100, 1}}}));
    apply(receive("a", 1440, {{5, {2000, 6000, 4}}, {6, {9, 900, 9}}}));
    apply(receive("a", 3 * 1440, {{5, {2600, 7000, 6}}, {6, {9, 900, 9}}}));
    const QDate d2 = Day1.addDays(1), d3 = Day1.addDays(2), d4 = Day1.addDays(3);

    struct Case {
        const char *name;
        SalesQuery query;
        QStringList lines;
    } cases[] = {
        {"everything by product: the weight in kilograms, the pieces as counted",
         {{}, SalesGrouping::Product, {}},
         {"5\tМолоко\t2,850\t71,00\t7", "6\tХлеб\t9\t9,00\t9", "Итого\t\t\t80,00\t16"}},
        {"one day, both ends included",
         {{d2, d2}, SalesGrouping::Product, {}},
         {"5\tМолоко\t0,500\t14,70\t1", "6\tХлеб\t2\t2,00\t2", "Итого\t\t\t16,70\t3"}},
        {"from a day on, by day",
         {{d2, std::nullopt}, SalesGrouping::Day, {}},
         {"2026-12-02\t5\tМолоко\t0,500\t14,70\t1", "2026-12-02\t6\tХлеб\t2\t2,00\t2",
          "2026-12-04\t5\tМолоко\t0,600\t10,00\t2", "Итого\t\t\t\t26,70\t5"}},
        {"up to a day, by scale", {{std::nullopt, Day1}, SalesGrouping::Scale, {}},
         {"a\t5\tМолоко\t1,500\t45,30\t3", "a\t6\tХлеб\t7\t7,00\t7", "b\t5\tМолоко\t0,250\t1,00\t1",
          "Итого\t\t\t\t53,30\t11"}},
        {"one scale", {{}, SalesGrouping::Product, {"b"}}, {"5\tМолоко\t0,250\t1,00\t1", "Итого\t\t\t1,00\t1"}},
        {"a day without receptions: only a total of zero", {{d3, d3}, SalesGrouping::Product, {}}, {"Итого\t\t\t0,00\t0"}},
        {"the same by day", {{d3, d3}, SalesGrouping::Day, {}}, {"Итого\t\t\t\t0,00\t0"}},
        {"before the first reception", {{std::nullopt, Day1.addDays(-1)}, SalesGrouping::Scale, {}},
         {"Итого\t\t\t\t0,00\t0"}},
        {"after the last", {{d4.addDays(1), std::nullopt}, SalesGrouping::Product, {}}, {"Итого\t\t\t0,00\t0"}},
    };
    for (const Case &c : cases) {
        SalesListing listing;
        ASSERT_TRUE(history.listing(c.query, listing)) << history.errorText().toStdString();
        EXPECT_EQ(salesLines(listing, c.query.by, QStringLiteral(",")), c.lines) << c.name;
    }

    std::vector<DayMoney> days;
    ASSERT_TRUE(history.moneyByDay({{d2, d4}, SalesGrouping::Product, {}}, days));
    ASSERT_EQ(days.size(), 2u); // day 3 had no reception
    EXPECT_EQ(days[0].day, d2);
    EXPECT_EQ(days[0].money, 1670);
    EXPECT_EQ(days[1].day, d4);
    EXPECT_EQ(days[1].money, 1000);
}

TEST_P(SalesHistoryOnBoth, AKeptImageIsStoredOnce)
{
    const TotalsImage image = imageOf({{5, {100, 200, 1}}});
    EXPECT_EQ(history.storeReception("a", at(0), image, "2026-12-01_23-30-00"), SalesHistory::Stored::Added);
    EXPECT_EQ(history.storeReception("a", at(0), image, "2026-12-01_23-30-00"), SalesHistory::Stored::AlreadyThere);
    // The same moment, the next file of that second: another reception.
    EXPECT_EQ(history.storeReception("a", at(0), image, "2026-12-01_23-30-00_2"), SalesHistory::Stored::Added);
    // The same name on another scale.
    EXPECT_EQ(history.storeReception("b", at(0), image, "2026-12-01_23-30-00"), SalesHistory::Stored::Added);
    QStringList scales;
    ASSERT_TRUE(history.scales(scales));
    EXPECT_EQ(scales, (QStringList{"a", "b"}));
    SalesListing listing;
    ASSERT_TRUE(history.listing({}, listing));
    EXPECT_EQ(listing.total, (SoldCounters{200, 400, 2})); // the second of a counts nothing new
}

TEST_P(SalesHistoryOnBoth, TablesOfAnotherShapeAreRefusedAndLeft)
{
    for (const QString &table : {QStringLiteral("ztk_reception"), QStringLiteral("ztk_reception_line"),
                                 QStringLiteral("ztk_totals_clear")}) {
        ASSERT_TRUE(store.exec(QStringLiteral("drop table %1").arg(table)));
        ASSERT_TRUE(store.exec(QStringLiteral("create table %1 (scale text)").arg(table)));
        SalesHistory fresh(store);
        EXPECT_FALSE(fresh.prepare());
        EXPECT_TRUE(fresh.errorText().startsWith(msg::text(msg::TableShape).arg(table).section(':', 0, 0)))
            << fresh.errorText().toStdString();
        EXPECT_EQ(fresh.storeReception("a", at(0), TotalsImage()), SalesHistory::Stored::Failed);
        std::vector<QVariantList> rows;
        ASSERT_TRUE(store.exec(QStringLiteral("select * from %1").arg(table), {}, &rows));
        EXPECT_TRUE(rows.empty());
        ASSERT_TRUE(store.exec(QStringLiteral("drop table %1").arg(table)));
        ASSERT_TRUE(SalesHistory(store).prepare());
    }
}

INSTANTIATE_ON_BOTH_STORES(SalesHistoryOnBoth);

TEST(SalesKeptNames, MomentsAndTheirSecondFiles)
{
    struct Row {
        const char *file;
        const char *stem; // nullptr: not a kept image's name
    } rows[] = {
        {"2026-12-09_18-05-33.bin", "2026-12-09_18-05-33"},
        {"2026-12-09_18-05-33_2.bin", "2026-12-09_18-05-33_2"},
        {"2026-12-09_18-05-33_17.bin", "2026-12-09_18-05-33_17"},
        {"2026-12-09_18-05-33_1.bin", nullptr},
        {"2026-12-09_18-05-33_02.bin", nullptr},
        {"2026-13-09_18-05-33.bin", nullptr},
        {"2026-02-30_18-05-33.bin", nullptr},
        {"2026-12-09_24-05-33.bin", nullptr},
        {"2026-12-09_18-05-33.txt", nullptr},
        {"2026-12-09_18-05-33.bin.tmp", nullptr},
        {"day.bin", nullptr},
    };
    for (const Row &r : rows) {
        const std::optional<KeptName> name = keptNameOf(QString::fromLatin1(r.file));
        ASSERT_EQ(name.has_value(), r.stem != nullptr) << r.file;
        if (name) {
            EXPECT_EQ(name->stem, QString::fromLatin1(r.stem));
            EXPECT_EQ(name->moment, QDateTime(QDate(2026, 12, 9), QTime(18, 5, 33)));
        }
    }
}

TEST(SalesText, SpreadsheetFileAndDays)
{
    SalesListing listing;
    listing.rows = {{QString(), 12, QStringLiteral("Сыр; \"Российский\""), true, {1500, 4530, 3}},
                    {QString(), 4999, QString(), false, {7, 123456, 2}}};
    listing.total = {1507, 127986, 5};
    const QByteArray csv = salesCsv(listing, SalesGrouping::Product);
    EXPECT_EQ(csv, QByteArray("\xEF\xBB\xBF") + QStringLiteral("Nп/п;Наименование;Количество;Сумма;Кол взв.\r\n"
                                                             "12;\"Сыр; \"\"Российский\"\"\";1,500;45,30;3\r\n"
                                                             "4999;;7;1234,56;2\r\n"
                                                             "Итого;;;1279,86;5\r\n")
                                                     .toUtf8());

    struct Day {
        const char *text;
        bool valid;
    } days[] = {{"2026-12-09", true}, {"2024-02-29", true}, {"2026-02-29", false}, {"2026-1-5", false},
                {"09.12.2026", false}, {"2026-12-09 ", false}, {"", false}};
    for (const Day &d : days)
        EXPECT_EQ(parseSalesDay(QString::fromLatin1(d.text)).has_value(), d.valid) << d.text;
    EXPECT_EQ(unitsText(-1505, 3, QStringLiteral(",")), QStringLiteral("-1,505"));
}
