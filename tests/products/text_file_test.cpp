// ProductTextFile export and import: the bytes written, the reading of lines and
// fields, the storing with the store rules, and bad input.

#include "ProductFixture.h"

#include "products/ImportLine.h"
#include "products/ProductImport.h"
#include "products/ProductTextFile.h"
#include "shared/CodePage.h"
#include "shared/Messages.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QRandomGenerator>

#include <unistd.h>

using namespace ztk;
using namespace ztk::test;

namespace {

const QLocale kRussian(QLocale::Russian, QLocale::Russia);

QString u(const char *utf8) { return QString::fromUtf8(utf8); }

Product product7()
{
    Product p;
    p.number = WholeField{7, {}};
    p.barcode = WholeField{123, {}};
    p.prefix = QStringLiteral("20");
    p.price = PriceField{Price::fromTenThousandths(125000), {}};
    p.bestBefore = QStringLiteral("26.12.31");
    p.names[0] = u("Молоко");
    p.type = QStringLiteral("1");
    return p;
}

class TextFileTest : public OnBothStores<ProductTest> {
protected:
    ImportSettings settings(const QLocale &locale = kRussian)
    {
        ImportSettings s;
        s.clock = &clock;
        s.prompter = &prompter;
        s.typeRule = TypeRule::Keep;
        s.locale = locale;
        return s;
    }
    ImportResult importBytes(const QByteArray &bytes, const QLocale &locale = kRussian)
    {
        const QString file = dir.filePath(QStringLiteral("in.txt"));
        QFile f(file);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        return importProductFile(store, file, settings(locale));
    }
    // The text in code page 1251 with CR LF for every "\n".
    ImportResult importText(const QString &text) { return importBytes(codepage::toCp1251(QString(text).replace(u("\n"), u("\r\n")))); }

    std::vector<Product> all()
    {
        std::vector<Product> rows;
        EXPECT_TRUE(store.select(QStringLiteral("select * from lm_t1 order by N"), rows));
        return rows;
    }
    Product row(qint64 n)
    {
        const auto p = store.findByNumber(n);
        return p ? *p : Product{};
    }
};

} // namespace

TEST(ProductTextFileExport, DataLinesByteForByte)
{
    Product empty;
    empty.number = WholeField{3, {}};
    Product prefix05 = product7();
    prefix05.prefix = QStringLiteral("05");
    prefix05.price = PriceField{Price::fromTenThousandths(120000), {}};
    Product cents = product7();
    cents.price = PriceField{Price::fromTenThousandths(123450), {}};
    struct Case { Product p; const char *line; } cases[] = {
        {product7(), "7;123;20;12,5;26.12.31;Молоко; ; ; ; ;1;"},
        {empty, "3; ; ; ; ; ; ; ; ; ; ;"},                      // NULL numbers and empty texts
        {prefix05, "7;123;05;12;26.12.31;Молоко; ; ; ; ;1;"},    // prefix as stored, a whole price
        {cents, "7;123;20;12,345;26.12.31;Молоко; ; ; ; ;1;"},
    };
    for (const Case &c : cases) {
        const QByteArray bytes = productTextFileBytes({c.p}, kRussian);
        const QByteArray header = codepage::toCp1251(u("N;SK5;Префикс;Цена;ГоденДо;Name;Name2;Name3;Name4;Name5;ТипТ;")) + "\r\n";
        EXPECT_EQ(bytes, header + codepage::toCp1251(u(c.line)) + "\r\n") << c.line;
    }
    // "Молоко" in code page 1251, checked against the byte values themselves.
    EXPECT_TRUE(productTextFileBytes({product7()}, kRussian).contains("\xCC\xEE\xEB\xEE\xEA\xEE;"));
    EXPECT_EQ(productTextFileBytes({}, kRussian), codepage::toCp1251(exportHeaderLine()) + "\r\n");
    // The point where the locale has one.
    EXPECT_TRUE(productTextFileBytes({product7()}, QLocale::c()).contains(";12.5;"));
}

TEST(SplitImportLine, Fields)
{
    struct Case { QString line; QStringList fields; } cases[] = {
        {u("a;b;"), {u("a"), u("b")}},
        {u(";;a;;;b"), {u("a"), u("b")}},                 // runs of separators, none in front
        {u("a;'b;c';d;"), {u("a"), u("'b;c'"), u("d")}},  // quoted from the second field
        {u("'a;b';"), {u("'a"), u("b'")}},                // the first field is never quoted
        {u("a;'b'c;d"), {u("a"), u("'b'c"), u("d")}},     // after the closing apostrophe
        {u("a;'b;c"), {u("a"), u("'b;c")}},               // unterminated: to the end
        {u(";;;"), {u(";;;")}},                           // no field: the whole text
        {QString(), {QString()}},
        {u("\x01" "a;b;"), {QString(), u("\x01" "a"), u("b")}}, // a control character in front
        {u("\na;b;"), {u("a"), u("b")}},                  // a leading line end goes
    };
    for (const Case &c : cases)
        EXPECT_EQ(splitImportLine(c.line), c.fields) << c.line.toStdString();

    QStringList many;
    for (int i = 0; i < 30; ++i)
        many << QString::number(i);
    EXPECT_EQ(splitImportLine(many.join(u';')), many.mid(0, 20));
    EXPECT_EQ(splitImportLine(u("\x02") + many.join(u';')).size(), 20);
}

TEST(ProductTextLines, LineEndsAndCodePages)
{
    const std::vector<TextLine> lines = productTextLines("a;b;\r\nc;\nlast");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].text, u("a;b;"));
    EXPECT_EQ(lines[0].countedLength(), 5);
    EXPECT_EQ(lines[1].text, u("c;"));
    EXPECT_EQ(lines[2].text, u("last"));
    EXPECT_EQ(lines[2].countedLength(), 4);

    const QString name = u("Сыр «Российский»");
    EXPECT_EQ(productTextLines(codepage::toCp1251(name))[0].text, name);
    EXPECT_EQ(productTextLines(name.toUtf8())[0].text, name);
    EXPECT_EQ(productTextLines("\xEF\xBB\xBF" + name.toUtf8())[0].text, name);
    EXPECT_TRUE(productTextLines(QByteArray()).empty());
}

TEST(BadLineListMessage, FirstHundredThenTheCount)
{
    BadLineList list;
    list.append(5);
    list.append(0);
    list.append(6000);
    EXPECT_EQ(list.message(), u("Некорректные записи:5,0,6000"));
    BadLineList many;
    for (int i = 1; i <= 150; ++i)
        many.append(i);
    const QString text = many.message();
    EXPECT_TRUE(text.startsWith(u("Некорректные записи:1,2,3,")));
    EXPECT_TRUE(text.contains(u(",100… всего 150"))) << text.toStdString();
    EXPECT_FALSE(text.contains(u(",101")));
    EXPECT_EQ(many.numbers().size(), 150);
}

// Each case: the file, then what the table holds.
TEST_P(TextFileTest, ImportEdgeCases)
{
    struct Expect { qint64 n; QString name, name2, type; qint64 price; };
    struct Case { const char *what; QString text; QList<Expect> rows; };
    const QList<Case> cases{
        {"a ; inside a text moves the fields on",
         u("N;SK5;Префикс;Цена;ГоденДо;Name;Name2;Name3;Name4;Name5;ТипТ;\n1;0;0;0;26.12.31;A;B; ; ; ; ;1;\n"),
         {{1, u("A"), u("B"), u(" "), 0}}},
        {"a quoted field", u("N;Name;Name2;\n3;'молоко;сыр';хлеб;\n"), {{3, u("'молоко;сыр'"), u("хлеб"), u("0"), 0}}},
        {"no final ; keeps the last column", u("N;Name;ТипТ\n5;Хлеб белый;1\n"), {{5, u("Хлеб белый"), QString(), u("1"), 0}}},
        {"short lines are skipped", u("N;Name;\n\n1;x;\n2;Кефир 1%;\n"), {{2, u("Кефир 1%"), QString(), u("0"), 0}}},
        {"unknown headers: the defaults, number 0 renumbered", u("A;B;C;\nfoo;bar;baz;qux;\n"),
         {{1, QString(), QString(), u("0"), 0}}},
        {"any order, foreign columns between",
         u("Цена;X;Name;N;Y;ТипТ;\n12,5;zz;Сыр;8;yy;1;\n0.29;zz;Творог;9;yy;0;\n"),
         {{8, u("Сыр"), QString(), u("1"), 125000}, {9, u("Творог"), QString(), u("0"), 2900}}},
        {"number and type carry over", u("N;Name;ТипТ;\n4;Первый;1;\nнет;Второй;\n"), {{4, u("Второй"), QString(), u("1"), 0}}},
        {"the price exactly", u("N;Цена;Name;\n6;12.345;Масло;\n7;12,3456;Масло;\n"),
         {{6, u("Масло"), QString(), u("0"), 123450}, {7, u("Масло"), QString(), u("0"), 123456}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QSqlQuery(store.database()).exec(QStringLiteral("delete from lm_t1"));
        const ImportResult r = importText(c.text);
        EXPECT_TRUE(r.opened);
        EXPECT_TRUE(r.badLines.isEmpty()) << r.badLines.message().toStdString();
        const std::vector<Product> rows = all();
        ASSERT_EQ(int(rows.size()), c.rows.size());
        for (qsizetype i = 0; i < c.rows.size(); ++i) {
            const Expect &e = c.rows[i];
            const Product &p = rows[std::size_t(i)];
            EXPECT_EQ(p.number.value, e.n);
            EXPECT_EQ(p.names[0], e.name);
            EXPECT_EQ(p.names[1], e.name2);
            EXPECT_EQ(p.type, e.type);
            EXPECT_EQ(p.price.value, Price::fromTenThousandths(e.price));
            EXPECT_EQ(p.date, u("26.12.08"));                // the store rules ran
            EXPECT_EQ(p.correctionStamp, u("2026-12-08 14:05:33"));
        }
    }
}

TEST_P(TextFileTest, DefaultsOfALineAndTheSameFileTwice)
{
    add({2, u("Старое"), u("1"), u("27.01.01"), {}, 9.5, u("21")});
    const QString text = u("N;Name;\n2;Новое имя;\n3;Ещё товар;\n");
    ASSERT_TRUE(importText(text).badLines.isEmpty());
    const Product p = row(2);
    EXPECT_EQ(p.names[0], u("Новое имя"));
    EXPECT_EQ(p.prefix, u("0"));          // reset on every line
    EXPECT_EQ(p.bestBefore, u("26.12.08")); // today
    EXPECT_EQ(p.price.value, Price());
    EXPECT_EQ(p.barcode.value, 0);
    EXPECT_EQ(p.type, u("0"));            // the first line's type
    const std::vector<Product> once = all();
    ASSERT_TRUE(importText(text).badLines.isEmpty());
    const std::vector<Product> twice = all();
    ASSERT_EQ(twice.size(), once.size());
    for (std::size_t i = 0; i < once.size(); ++i)
        EXPECT_EQ(twice[i], once[i]); // edited in place: same rows, same values
}

TEST_P(TextFileTest, BothDecimalSeparatorsInEitherLocale)
{
    for (const QLocale &locale : {kRussian, QLocale::c()}) {
        for (const char *price : {"1,5", "1.5"}) {
            QSqlQuery(store.database()).exec(QStringLiteral("delete from lm_t1"));
            importBytes(QByteArray("N;Name;Цена;\r\n1;Кефир;").replace("Цена", codepage::toCp1251(u("Цена"))) + price
                            + ";\r\n",
                        locale);
            EXPECT_EQ(row(1).price.value, Price::fromTenThousandths(15000)) << price << ' ' << locale.name().toStdString();
        }
    }
}

TEST_P(TextFileTest, UnstorableLinesAreListedAndRolledBackAlone)
{
    addNumbers(1, 3);
    prompter.clear();
    // 0 and 6000 (shown as too large, then 0) both become 1, which is taken.
    const ImportResult r = importText(u("N;Name;\n0;Новый товар;\n6000;Другой товар;\n2;Второй товар;\n"));
    EXPECT_EQ(r.badLines.numbers(), (QList<qint64>{0, 6000}));
    EXPECT_EQ(r.storedLines, 1);
    EXPECT_EQ(prompter.texts(), QStringList{msg::text(msg::NumberAbove5000)});
    EXPECT_EQ(storedCount(), 3);
    EXPECT_EQ(row(1).names[0], u("P1"));
    EXPECT_EQ(row(2).names[0], u("Второй товар"));
    // The table as it was before the import, kept as a copy; a server's table is
    // the server's to back up.
    if (store.isServer())
        return;
    const QStringList backups = QDir(dir.filePath(QStringLiteral("backup"))).entryList(QDir::Files);
    ASSERT_EQ(backups.size(), 1);
    ProductStore copy;
    ASSERT_TRUE(copy.open(dir.filePath(QStringLiteral("backup/")) + backups[0]));
    std::vector<Product> copied;
    ASSERT_TRUE(copy.select(QStringLiteral("select * from lm_t1 order by N"), copied));
    ASSERT_EQ(copied.size(), 3u);
    EXPECT_EQ(copied[1].names[0], u("P2"));
}

TEST_P(TextFileTest, TypeForcedByTheCheckedSelection)
{
    ImportSettings s = settings();
    s.typeRule = TypeRule::Piece;
    const std::vector<TextLine> lines = productTextLines(codepage::toCp1251(u("N;Name;ТипТ;\r\n1;Колбаса;0;\r\n")));
    ASSERT_TRUE(storeImportLines(store, lines, s).badLines.isEmpty());
    EXPECT_EQ(row(1).type, u("1"));
}

TEST_P(TextFileTest, RoundTripIntoAnEmptyTable)
{
    add({1, u("Молоко 3,2%"), u("0"), u("26.12.31"), {}, 12.345, u("05")});
    add({2, u("Хлеб"), u("1"), {}, {}, 0.29, u("21")});
    QSqlQuery(store.database()).exec(u("update lm_t1 set Name2='вторая строка', SK5=4711 where N=1"));
    const std::vector<Product> before = all();
    const QString file = dir.filePath(QStringLiteral("out.txt"));
    {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(productTextFileBytes(before, kRussian));
    }

    QTemporaryDir other;
    ProductStore empty;
    ASSERT_TRUE(empty.open(other.filePath(QStringLiteral("LM_T.db"))));
    const ImportResult r = importProductFile(empty, file, settings());
    EXPECT_EQ(r.storedLines, 2);
    std::vector<Product> after;
    ASSERT_TRUE(empty.select(QStringLiteral("select * from lm_t1 order by N"), after));
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
        const Product &b = before[i], &a = after[i];
        EXPECT_EQ(a.number, b.number);
        EXPECT_EQ(a.price.value, b.price.value);
        EXPECT_EQ(a.type, b.type);
        EXPECT_EQ(a.names[0], b.names[0]);
        for (int k = 1; k < Product::NameLines; ++k) // an empty text comes back as one space
            EXPECT_EQ(a.names[std::size_t(k)], b.names[std::size_t(k)].isEmpty() ? u(" ") : b.names[std::size_t(k)]);
        EXPECT_EQ(a.barcode.value.value_or(0), b.barcode.value.value_or(0));
        // "05" comes back as "5"; an empty best-before as " "
        EXPECT_EQ(a.prefix, QString::number(b.prefix.toInt()));
        EXPECT_EQ(a.bestBefore, b.bestBefore.isEmpty() ? u(" ") : b.bestBefore);
    }
    EXPECT_EQ(after[0].names[1], u("вторая строка"));
    EXPECT_EQ(after[0].barcode.value, 4711);
}

TEST_P(TextFileTest, BadInputNeverBreaksTheTable)
{
    addNumbers(1, 3);
    QByteArray binary(4096, '\0');
    QRandomGenerator gen(12345);
    for (char &c : binary)
        c = char(gen.bounded(256));
    QByteArray wide = "N;";
    for (int i = 0; i < 500; ++i)
        wide += "C" + QByteArray::number(i) + ';';
    const QByteArray longName(10000, 'x');
    struct Case { const char *what; QByteArray bytes; int stored; };
    const Case cases[] = {
        {"binary", binary, -1},
        {"empty", QByteArray(), 0},
        {"header only", "N;Name;\r\n", 0},
        {"a 10,000-character line", "N;Name;\r\n2;" + longName + ";\r\n", 1},
        // A server's text holds no NUL: there the line is refused and listed.
        {"NUL and control characters", QByteArray("N;Name;\r\n3;a\0b\x01\x02\x7f" "cdefgh;\r\n", 27), store.isServer() ? 0 : 1},
        {"an unterminated quote", "N;Name;Name2;\r\n3;x;'abc;def\r\n", 1},
        {"500 columns", wide + "\r\n4;" + wide.mid(2) + "\r\n", 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const ImportResult r = importBytes(c.bytes);
        EXPECT_TRUE(r.opened);
        EXPECT_TRUE(r.storeError.isEmpty());
        if (c.stored >= 0) {
            EXPECT_EQ(r.storedLines, c.stored);
        }
        if (!store.isServer()) {
            EXPECT_EQ(QSqlQuery(store.database()).exec(QStringLiteral("pragma integrity_check")), true);
        }
        EXPECT_GE(storedCount(), 3);
    }
    EXPECT_EQ(row(2).names[0], QString::fromLatin1(longName)); // read whole
    EXPECT_EQ(row(3).names[1], u("'abc;def"));
    EXPECT_EQ(row(1).names[0], u("P1"));

    // A file that does not open changes nothing.
    const ImportResult missing = importProductFile(store, dir.filePath(QStringLiteral("missing.txt")), settings());
    EXPECT_FALSE(missing.opened);
    EXPECT_FALSE(importProductFile(store, dir.path(), settings()).opened);
}

TEST(DefaultExtension, AddedWhenTheNameHasNone)
{
    EXPECT_EQ(withDefaultExtension(u("/tmp/a"), "txt", false), u("/tmp/a.txt"));
    EXPECT_EQ(withDefaultExtension(u("/tmp/a.csv"), "txt", false), u("/tmp/a.csv"));
    EXPECT_EQ(withDefaultExtension(QString(), "txt", false), QString());
    EXPECT_EQ(withDefaultExtension(QDir::rootPath() + u("tmp"), "txt", true), QDir::rootPath() + u("tmp"));
}

INSTANTIATE_ON_BOTH_STORES(TextFileTest);
