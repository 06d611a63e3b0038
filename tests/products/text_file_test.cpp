// ProductTextFile export and import: the bytes written, the reading of lines and
// fields, the storing with the store rules, and bad input.

#include "ProductFixture.h"

#include "products/ImportLine.h"
#include "products/ProductImport.h"
#include "products/ProductTextFile.h"
#include "shared/CodePage.h"
#include "shared/Messages.h"

#include <QBuffer>
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

std::vector<TextLine> linesOf(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    ProductTextReader reader(buffer);
    std::vector<TextLine> lines;
    for (TextLine line; reader.next(line);)
        lines.push_back(line);
    EXPECT_EQ(reader.bytesRead(), bytes.size());
    return lines;
}

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

TEST(ProductTextReader, LineEndsCodePagesAndTheLineLimit)
{
    const std::vector<TextLine> lines = linesOf("a;b;\r\nc;\nlast");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].text, u("a;b;"));
    EXPECT_EQ(lines[0].countedLength(), 5);
    EXPECT_EQ(lines[1].text, u("c;"));
    EXPECT_EQ(lines[2].text, u("last"));
    EXPECT_EQ(lines[2].countedLength(), 4);

    const QString name = u("Сыр «Российский»");
    EXPECT_EQ(linesOf(codepage::toCp1251(name))[0].text, name);
    EXPECT_EQ(linesOf(name.toUtf8())[0].text, name);
    EXPECT_EQ(linesOf("\xEF\xBB\xBF" + name.toUtf8())[0].text, name);
    EXPECT_TRUE(linesOf(QByteArray()).empty());

    // Each line in its own code page; UTF-8 text with a stray byte is flagged, while
    // 1251 text that holds one UTF-8-looking pair ("Р»" is "л") is not.
    const QString caps = u("«САХАР»");
    const std::vector<TextLine> mixed =
        linesOf(name.toUtf8() + "\n" + codepage::toCp1251(name) + "\n" + name.toUtf8() + "\xAB\n" + codepage::toCp1251(caps));
    ASSERT_EQ(mixed.size(), 4u);
    EXPECT_EQ(mixed[0].text, name);
    EXPECT_EQ(mixed[1].text, name);
    EXPECT_FALSE(mixed[1].mixedEncoding);
    EXPECT_TRUE(mixed[2].mixedEncoding);
    EXPECT_EQ(mixed[3].text, caps);
    EXPECT_FALSE(mixed[3].mixedEncoding);

    // 289 characters are a line; of a longer one the start is kept, the rest skipped.
    const QString letters = QString(300, QChar(0x0416)); // "Ж", two bytes in UTF-8
    for (const QByteArray &bytes : {letters.toUtf8(), codepage::toCp1251(letters)}) {
        const std::vector<TextLine> whole = linesOf(bytes.left(bytes.size() / 300 * 289) + "\r\nx");
        ASSERT_EQ(whole.size(), 2u);
        EXPECT_EQ(whole[0].text, letters.left(289));
        EXPECT_TRUE(whole[0].hadLineEnd);
        EXPECT_FALSE(whole[0].tooLong);
        const std::vector<TextLine> cut = linesOf(bytes.repeated(20) + "\r\nx");
        ASSERT_EQ(cut.size(), 2u);
        EXPECT_EQ(cut[0].text, letters.left(289));
        EXPECT_TRUE(cut[0].tooLong);
        EXPECT_TRUE(cut[0].hadLineEnd);
        EXPECT_EQ(cut[1].text, u("x"));
    }
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
        {"any order, foreign columns between",
         u("Цена;X;Name;N;Y;ТипТ;\n12,5;zz;Сыр;8;yy;1;\n0.29;zz;Творог;9;yy;0;\n"),
         {{8, u("Сыр"), QString(), u("1"), 125000}, {9, u("Творог"), QString(), u("0"), 2900}}},
        {"the type carries over", u("N;Name;ТипТ;\n4;Первый;1;\n5;Второй;\n"),
         {{4, u("Первый"), QString(), u("1"), 0}, {5, u("Второй"), QString(), u("1"), 0}}},
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

TEST_P(TextFileTest, MixedEncodingsAreReadLineByLine)
{
    // A UTF-8 file that one line in code page 1251 once made read wholly as 1251.
    const QByteArray file = "\xEF\xBB\xBF" + u("N;Name;Цена;\r\n1;Молоко «Домик»;45,9;\r\n").toUtf8()
        + codepage::toCp1251(u("2;Сыр Российский;459,9;\r\n")) + u("3;Кефир 1%;52,25;\r\n").toUtf8();
    ImportSettings s = settings();
    QList<qint64> done;
    s.progress = [&](qint64 d, qint64 total) {
        done << d;
        EXPECT_EQ(total, file.size());
    };
    QBuffer buffer;
    buffer.setData(file);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    const ImportResult r = importProductText(store, buffer, s);
    EXPECT_TRUE(r.badLines.isEmpty()) << r.badLines.message().toStdString();
    EXPECT_EQ(r.storedLines, 3);
    struct Expect { qint64 n; const char *name; qint64 price; } rows[] = {
        {1, "Молоко «Домик»", 459000}, {2, "Сыр Российский", 4599000}, {3, "Кефир 1%", 522500}};
    for (const Expect &e : rows) {
        EXPECT_EQ(row(e.n).names[0], u(e.name));
        EXPECT_EQ(row(e.n).price.value, Price::fromTenThousandths(e.price));
    }
    ASSERT_EQ(done.size(), 3);
    EXPECT_EQ(done.last(), file.size());
}

// Each case: a good line for product 1, then a line that must be listed and not
// stored; product 1 keeps the good line's values.
TEST_P(TextFileTest, UnreadableLinesAreListedAndNotStored)
{
    const QByteArray header = codepage::toCp1251(u("N;SK5;Префикс;Цена;ГоденДо;Name;\r\n1;4600001;21;12,5;27.01.15;Хлеб;\r\n"));
    auto cp = [](const char *line) { return codepage::toCp1251(u(line)); };
    struct Case { const char *what; QByteArray line; qint64 listed; };
    const Case cases[] = {
        {"price with a currency", cp("1;4600001;21;459,90р;27.01.15;Испорчено;"), 1},
        {"price a word", cp("1;4600001;21;abc;27.01.15;Испорчено;"), 1},
        {"price nan", cp("1;4600001;21;nan;27.01.15;Испорчено;"), 1},
        {"price beyond range", cp("1;4600001;21;1e308;27.01.15;Испорчено;"), 1},
        {"SK5 beyond 32 bits", cp("1;99999999999;21;1;27.01.15;Испорчено;"), 1},
        {"prefix no number", cp("1;4600001;2a;1;27.01.15;Испорчено;"), 1},
        {"best-before no date", cp("1;4600001;21;1;99.99.99;Испорчено;"), 1},
        {"best-before 30 February", cp("1;4600001;21;1;27.02.30;Испорчено;"), 1},
        {"beyond 289 characters", cp("1;4600001;21;1;27.01.15;Испорчено;") + QByteArray(300, 'x') + ";", 1},
        {"UTF-8 name with a stray byte", u("1;4600001;21;1;27.01.15;Испорчено").toUtf8() + "\xAB;", 1},
        {"blank number after a good line", cp(" ;4600001;21;1;27.01.15;Испорчено;"), 0},
        {"number a word", cp("abc;4600001;21;1;27.01.15;Испорчено;"), 0},
        {"number beyond 32 bits", cp("99999999999;4600001;21;1;27.01.15;Испорчено;"), 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QSqlQuery(store.database()).exec(QStringLiteral("delete from lm_t1"));
        const ImportResult r = importBytes(header + c.line + "\r\n");
        EXPECT_EQ(r.badLines.numbers(), QList<qint64>{c.listed});
        EXPECT_EQ(r.storedLines, 1);
        EXPECT_EQ(storedCount(), 1);
        const Product p = row(1);
        EXPECT_EQ(p.names[0], u("Хлеб"));
        EXPECT_EQ(p.price.value, Price::fromTenThousandths(125000));
        EXPECT_EQ(p.barcode.value, 4600001);
        EXPECT_EQ(p.bestBefore, u("27.01.15"));
    }

    // A refused line hands on no type.
    ImportResult r = importText(u("N;Name;ТипТ;Цена;\n4;Первый;1;1;\n6;Плохой;0;abc;\n5;Второй;\n"));
    EXPECT_EQ(r.badLines.numbers(), QList<qint64>{6});
    EXPECT_EQ(row(5).type, u("1"));

    // No N column: no line has a number, none is stored.
    QSqlQuery(store.database()).exec(QStringLiteral("delete from lm_t1"));
    r = importText(u("Name;Цена;\nХлеб белый;12,5;\nМолоко;45,9;\n"));
    EXPECT_EQ(r.badLines.numbers(), (QList<qint64>{0, 0}));
    EXPECT_EQ(storedCount(), 0);
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
    QBuffer file;
    file.setData(codepage::toCp1251(u("N;Name;ТипТ;\r\n1;Колбаса;0;\r\n")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    ASSERT_TRUE(importProductText(store, file, s).badLines.isEmpty());
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
    for (int i = 0; i < 60; ++i) // more than 20, within 289 characters
        wide += "C" + QByteArray::number(i) + ';';
    const QByteArray longName(10000, 'x');
    struct Case { const char *what; QByteArray bytes; int stored; };
    const Case cases[] = {
        {"binary", binary, -1},
        {"empty", QByteArray(), 0},
        {"header only", "N;Name;\r\n", 0},
        {"a 10,000-character line", "N;Name;\r\n2;" + longName + ";\r\n", 0},
        // A server's text holds no NUL: there the line is refused and listed.
        {"NUL and control characters", QByteArray("N;Name;\r\n3;a\0b\x01\x02\x7f" "cdefgh;\r\n", 27), store.isServer() ? 0 : 1},
        {"an unterminated quote", "N;Name;Name2;\r\n3;x;'abc;def\r\n", 1},
        {"60 columns", wide + "\r\n4;" + wide.mid(2) + "\r\n", 1},
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
    EXPECT_EQ(row(2).names[0], u("P2")); // beyond 289 characters: refused whole
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
