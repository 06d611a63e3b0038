#include "ProductFixture.h"

#include "products/Selection.h"

using namespace ztk;
using namespace ztk::test;

namespace {
QString u(const char *utf8) { return QString::fromUtf8(utf8); }
const QDate kCalendar(2026, 12, 8);
} // namespace

TEST(SelectionSql, EveryQueryText)
{
    SelectionArgs a;
    a.date = kCalendar;
    a.prefix = 5;
    a.nameFragment = u("мол");
    a.low = 10;
    a.high = 25;
    const struct {
        SelectionQuery query;
        const char *text;
    } cases[] = {
        {SelectionQuery::All, "select * from lm_t1 order by N"},
        {SelectionQuery::Weight, "select * from lm_t1 where ТипТ LIKE '0' order by N"},
        {SelectionQuery::Piece, "select * from lm_t1 where ТипТ LIKE '1' order by N"},
        {SelectionQuery::Prefix, "select * from lm_t1 where Префикс LIKE '5' order by N"},
        {SelectionQuery::Name, "select * from lm_t1 where NAME LIKE '%мол%' order by N"},
        {SelectionQuery::NumberRange, "select * from lm_t1 where N>=10 and N<=25 order by N"},
        {SelectionQuery::CorrDateEqual, "select * from lm_t1 where Дата='26.12.08' order by N"},
        {SelectionQuery::CorrDateBefore, "select * from lm_t1 where Дата<'26.12.08' order by N"},
        {SelectionQuery::CorrDateAfter, "select * from lm_t1 where Дата>'26.12.08' order by N"},
        {SelectionQuery::BestBeforeEqual, "select * from lm_t1 where ГоденДо='26.12.08' order by N"},
        {SelectionQuery::BestBeforeBefore, "select * from lm_t1 where ГоденДо<'26.12.08' order by N"},
        {SelectionQuery::BestBeforeAfter, "select * from lm_t1 where ГоденДо>'26.12.08' order by N"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(selectionSql(c.query, a), u(c.text));
    EXPECT_EQ(numberLookupSql(13), u("select * from lm_t1 where N=13"));
    a.nameFragment = u("Д'Арк");
    EXPECT_EQ(selectionSql(SelectionQuery::Name, a), u("select * from lm_t1 where NAME LIKE '%Д''Арк%' order by N"));
}

TEST(SelectionSql, OnTheServerTheMatchIsIlikeWithoutEscape)
{
    SelectionArgs a;
    a.nameFragment = u("мол\\");
    a.prefix = 21;
    a.date = QDate(2026, 12, 8);
    // A backslash in the pattern is itself, as in SQLite: no escape character.
    EXPECT_EQ(selectionSql(SelectionQuery::Name, a, PostgresDialect),
              u("select * from lm_t1 where NAME ILIKE '%мол\\%' ESCAPE '' order by N"));
    EXPECT_EQ(selectionSql(SelectionQuery::Piece, a, PostgresDialect),
              u("select * from lm_t1 where ТипТ ILIKE '1' ESCAPE '' order by N"));
    EXPECT_EQ(selectionSql(SelectionQuery::Prefix, a, PostgresDialect),
              u("select * from lm_t1 where Префикс ILIKE '21' ESCAPE '' order by N"));
    EXPECT_EQ(selectionSql(SelectionQuery::CorrDateBefore, a, PostgresDialect),
              selectionSql(SelectionQuery::CorrDateBefore, a));
}

TEST(SelectionSql, NumberRangeInput)
{
    const struct {
        const char *low, *high;
        int lo, hi;
        bool valid;
    } cases[] = {
        {"10", "25", 10, 25, true},
        {" 7 ", "7", 7, 7, true},
        {"30", "20", 30, 20, true}, // not checked against each other
        {"abc", "25", 1, 5000, false},
        {"10", "", 1, 5000, false},
        {"1,5", "9", 1, 5000, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.low) + ".." + c.high);
        const NumberRange r = parseNumberRange(QLatin1String(c.low), QLatin1String(c.high));
        EXPECT_EQ(r.low, c.lo);
        EXPECT_EQ(r.high, c.hi);
        EXPECT_EQ(r.valid, c.valid);
    }
}

TEST(SelectionSql, CommandLineArgument)
{
    const struct {
        const char *arg;
        const char *sql; // nullptr: an error
        TypeRule rule;
    } cases[] = {
        {"", "select * from lm_t1 order by N", TypeRule::Keep},
        {"all", "select * from lm_t1 order by N", TypeRule::Keep},
        {"weight", "select * from lm_t1 where ТипТ LIKE '0' order by N", TypeRule::Weight},
        {"piece", "select * from lm_t1 where ТипТ LIKE '1' order by N", TypeRule::Piece},
        {"prefix=21", "select * from lm_t1 where Префикс LIKE '21' order by N", TypeRule::Keep},
        {"name=Д'Арк", "select * from lm_t1 where NAME LIKE '%Д''Арк%' order by N", TypeRule::Keep},
        {"range=10-25", "select * from lm_t1 where N>=10 and N<=25 order by N", TypeRule::Keep},
        {"corr-on=26.12.08", "select * from lm_t1 where Дата='26.12.08' order by N", TypeRule::Keep},
        {"corr-before=26.12.08", "select * from lm_t1 where Дата<'26.12.08' order by N", TypeRule::Keep},
        {"corr-after=26.12.08", "select * from lm_t1 where Дата>'26.12.08' order by N", TypeRule::Keep},
        {"best-on=11.03.05", "select * from lm_t1 where ГоденДо='11.03.05' order by N", TypeRule::Keep},
        {"best-before=11.03.05", "select * from lm_t1 where ГоденДо<'11.03.05' order by N", TypeRule::Keep},
        {"best-after=11.03.05", "select * from lm_t1 where ГоденДо>'11.03.05' order by N", TypeRule::Keep},
        {"range=10", nullptr, TypeRule::Keep},
        {"range=a-b", nullptr, TypeRule::Keep},
        {"prefix=x", nullptr, TypeRule::Keep},
        {"prefix=100", nullptr, TypeRule::Keep},
        {"best-on=11.13.05", nullptr, TypeRule::Keep},
        {"corr-on=26.12.8", nullptr, TypeRule::Keep},
        {"name=", nullptr, TypeRule::Keep},
        {"heavy", nullptr, TypeRule::Keep},
        {"colour=red", nullptr, TypeRule::Keep},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arg);
        const ParsedSelection p = parseSelectionArgument(u(c.arg), kCalendar);
        EXPECT_EQ(p.ok, c.sql != nullptr);
        if (c.sql) {
            EXPECT_EQ(p.sql(), u(c.sql));
            EXPECT_EQ(p.typeRule, c.rule);
        } else {
            EXPECT_FALSE(p.error.isEmpty());
        }
    }
}

class SelectionData : public OnBothStores<ProductTest> {
protected:
    void SetUp() override
    {
        ProductTest::SetUp();
        const ProductSeed rows[] = {
            {1, u("Молоко"), u("0"), u("26.12.07"), u("26.12.01"), 0, u("5")},
            {2, u("МОЛОКО топлёное"), u("1"), u("26.12.08"), u("26.12.08"), 0, u("05")},
            {3, u("Кефир"), u("2"), u("26.12.09"), u("26.12.09"), 0, u("5")},
            {4, u("Жанна Д'Арк"), u(""), u("27.01.01"), u("26.11.30"), 0, u("50")},
            {5, u("сыр_100"), u("0"), u(""), u(""), 0, u("")},
            {6, u("сыр 100"), u("1"), u("25.12.31"), u("26.12.08"), 0, u("5")},
        };
        for (const ProductSeed &p : rows)
            add(p);
    }
    QList<qint64> select(SelectionQuery q, const SelectionArgs &a = {})
    {
        EXPECT_TRUE(ds.open(selectionSql(q, a, store.dialect()))) << ds.errorText().toStdString();
        return numbers();
    }
};

TEST_P(SelectionData, EachSelectionPicksItsRecords)
{
    using L = QList<qint64>;
    SelectionArgs a;
    a.date = kCalendar;
    EXPECT_EQ(select(SelectionQuery::All), (L{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(select(SelectionQuery::Weight), (L{1, 5}));
    EXPECT_EQ(select(SelectionQuery::Piece), (L{2, 6}));
    a.prefix = 5;
    EXPECT_EQ(select(SelectionQuery::Prefix, a), (L{1, 3, 6}));
    EXPECT_EQ(select(SelectionQuery::CorrDateEqual, a), (L{2, 6}));
    EXPECT_EQ(select(SelectionQuery::CorrDateBefore, a), (L{1, 4}));
    EXPECT_EQ(select(SelectionQuery::CorrDateAfter, a), (L{3}));
    // A best-before equal to the calendar date is neither expired nor valid.
    EXPECT_EQ(select(SelectionQuery::BestBeforeEqual, a), (L{2}));
    EXPECT_EQ(select(SelectionQuery::BestBeforeBefore, a), (L{1, 6}));
    EXPECT_EQ(select(SelectionQuery::BestBeforeAfter, a), (L{3, 4}));
    a.low = 2;
    a.high = 4;
    EXPECT_EQ(select(SelectionQuery::NumberRange, a), (L{2, 3, 4}));
    a.low = 4;
    a.high = 2;
    EXPECT_EQ(select(SelectionQuery::NumberRange, a), L{});
    EXPECT_EQ(ds.recordCount(), 0);
}

TEST_P(SelectionData, NameSearch)
{
    using L = QList<qint64>;
    const struct {
        const char *fragment;
        L found;
    } cases[] = {
        {"мол", {1, 2}},       // Cyrillic in any case
        {"МОЛОКО", {1, 2}},
        {"д'арк", {4}},        // an apostrophe is searched for
        {"сыр_1", {5, 6}},     // "_" is any one character
        {"к%р", {3}},          // "%" any run
        {"хлеб", {}},
        {"\\р", {}},           // a backslash is itself, no escape of "р", on either store
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.fragment);
        SelectionArgs a;
        a.nameFragment = u(c.fragment);
        EXPECT_EQ(select(SelectionQuery::Name, a), c.found);
    }
}

INSTANTIATE_ON_BOTH_STORES(SelectionData);
