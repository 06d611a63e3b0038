// A received record as the read window's twelve cells, and the fields a save takes back
// from them; records are built byte by byte from the layout.
#include "transfer/ProductClearer.h"
#include "transfer/ProductReader.h"
#include "transfer/ReadbackRow.h"

#include <QLocale>
#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace ztk;
using namespace ztk::readback;

namespace {

const QLocale russian(QLocale::Russian, QLocale::Russia);

struct Poke {
    int offset;
    QByteArray bytes;
};

ProductRecord recordWith(const std::vector<Poke> &pokes)
{
    ProductRecord r;
    for (const Poke &p : pokes)
        for (int i = 0; i < p.bytes.size(); ++i)
            r.bytes[std::size_t(p.offset + i)] = std::uint8_t(p.bytes[i]);
    return r;
}

QByteArray hex(const char *h) { return QByteArray::fromHex(h); }
QString spaces(int n) { return QString(n, QLatin1Char(' ')); }

TEST(ReadbackCells, EachColumnFromItsBytes)
{
    struct Case {
        const char *what;
        std::vector<Poke> pokes;
        int column;
        QString text;
    } cases[] = {
        {"stamp in day, month, year, hours, minutes, seconds order", {{210, hex("090514ff150210")}}, ColStamp,
         "15.02.10 14:05:09"},
        {"a stamp byte that is no BCD shows as it came", {{214, hex("3a")}}, ColStamp, "3a.ff.ff ff:ff:ff"},
        {"type 0", {{92, hex("00")}}, ColType, "ВЕС"},
        {"type 1", {{92, hex("01")}}, ColType, "ШТУКА"},
        {"type FF", {{92, hex("ff")}}, ColType, "0"},
        {"type 2", {{92, hex("02")}}, ColType, "ВЕС"},
        {"type 7", {{92, hex("07")}}, ColType, "ВЕС"},
        {"price 1234 hundredths", {{32, hex("d2040000")}}, ColPrice, "12,34"},
        {"price 5 hundredths", {{32, hex("05000000")}}, ColPrice, "0,05"},
        {"price above 2^24 hundredths keeps every digit", {{32, hex("15cd5b07")}}, ColPrice, "1234567,89"},
        {"price FF FF FF 7F", {{32, hex("ffffff7f")}}, ColPrice, "21474836,47"},
        {"price read as unsigned", {{32, hex("feffffff")}}, ColPrice, "42949672,94"},
        {"price all FF", {}, ColPrice, "0,00"},
        {"prefix 0x80", {{254, hex("80")}}, ColPrefix, "-128"},
        {"prefix 0x7F", {{254, hex("7f")}}, ColPrefix, "127"},
        {"prefix FF", {}, ColPrefix, "0"},
        {"barcode five digits", {{0, hex("2a000000")}}, ColSK5, "00042"},
        {"barcode signed", {{0, hex("fbffffff")}}, ColSK5, "-0005"},
        {"barcode all FF", {}, ColSK5, "00000"},
        {"name swapped back, fill kept", {{4, hex("8e819c9f828b858d8885") + QByteArray(18, ' ')}}, ColName,
         "ОБЪЯВЛЕНИЕ" + spaces(18)},
        {"name ends at a 0 byte", {{36, QByteArray("AB\0CD", 5) + QByteArray(23, ' ')}}, ColName2, "AB"},
        {"fifth name line", {{121, hex("8aaeadea") + QByteArray(24, ' ')}}, ColName5, "Конь" + spaces(24)},
        {"best-before text without the swap", {{149, hex("9c") + QByteArray(27, ' ')}}, ColBestBefore,
         "Ь" + spaces(27)},
    };
    for (const Case &c : cases) {
        const QStringList cells = cellsOf(7, recordWith(c.pokes), russian);
        ASSERT_EQ(cells.size(), ColumnCount);
        EXPECT_EQ(cells[c.column], c.text) << c.what;
        EXPECT_EQ(cells[ColNumber], "7");
    }
}

TEST(ReadbackCells, EmptySlotAndClearedRow)
{
    const QString hard(28, QChar(0x00A0));
    const QStringList expected = {"300", "00.00.00 00:00:00", hard, "00000", "0", "0,00", hard, hard, hard, hard, hard, "0"};
    EXPECT_EQ(cellsOf(300, ProductRecord(), russian), expected);
    EXPECT_TRUE(skippedBySave(expected));

    const QStringList cleared = {"", "00.00.00 00:00:00", "", "00000", "0", "0,00", "", "", "", "", "", "0"};
    for (int c = 1; c < ColumnCount; ++c)
        EXPECT_EQ(clearedCell(c, russian), cleared[c]) << c;
}

TEST(ReadbackCells, DecodeRowRefusesShortInput)
{
    std::vector<std::uint8_t> bytes(300, 0x20);
    for (std::size_t n = 0; n < 256; ++n) {
        const auto d = decodeRow(1, std::span<const std::uint8_t>(bytes.data(), n), russian);
        EXPECT_EQ(d.error, DecodeError::Truncated) << n;
        EXPECT_EQ(d.have, n);
        EXPECT_EQ(d.need, 256u);
    }
    // Odd bytes everywhere decode to something, and what follows the record is not read.
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = std::uint8_t(i * 37);
    const auto d = decodeRow(1, bytes, russian);
    ASSERT_TRUE(d.ok());
    EXPECT_EQ(d.value.size(), ColumnCount);
    EXPECT_EQ(d.value, cellsOf(1, ProductRecord::decode(bytes).value, russian));
}

TEST(ReadbackFields, SaveRulesOfEachCell)
{
    const QDate today(2026, 12, 8);
    QStringList base = {"12", "15.02.10 14:05:09", "Хлеб" + spaces(24), "00042", "ВЕС", "12,34", "  вторая  ", "", "",
                        "", "15.02.10" + spaces(20), "-128"};
    const RowConversion plain = fieldsOf(base, today, russian);
    ASSERT_TRUE(plain.fields);
    const RowFields &f = *plain.fields;
    EXPECT_EQ(f.number, 12);
    EXPECT_EQ(f.type, "0");
    EXPECT_EQ(f.price, Price::fromTenThousandths(123400));
    EXPECT_EQ(f.names[0], "Хлеб");
    EXPECT_EQ(f.names[1], "  вторая"); // only the trailing fill goes
    EXPECT_EQ(f.bestBefore, QString("10.02.15"));
    EXPECT_EQ(f.sk5, 42);
    EXPECT_EQ(f.prefix, "-128");

    struct Case {
        const char *what;
        int column;
        QString text;
        std::function<bool(const RowFields &)> check;
    } cases[] = {
        {"ШТУКА is a piece", ColType, "ШТУКА", [](const RowFields &r) { return r.type == "1"; }},
        {"0 is a piece", ColType, "0", [](const RowFields &r) { return r.type == "1"; }},
        {"0,29 stays 29 hundredths", ColPrice, "0,29", [](const RowFields &r) { return r.price == Price::fromTenThousandths(2900); }},
        {"the fraction of a hundredth goes", ColPrice, "12,349", [](const RowFields &r) { return r.price == Price::fromTenThousandths(123400); }},
        {"the largest price", ColPrice, "42949672,95", [](const RowFields &r) { return r.price == Price::fromTenThousandths(429496729500); }},
        {"a price that is no number is not set", ColPrice, "12,3x", [](const RowFields &r) { return !r.price; }},
        {"no date, no best-before", ColBestBefore, "31.02.10", [](const RowFields &r) { return !r.bestBefore; }},
        {"a time of day stays", ColBestBefore, "15.02.10 14:00:00" + spaces(11),
         [](const RowFields &r) { return r.bestBefore == QString("10.02.15 14:00:00"); }},
        {"a barcode that is no number is not set", ColSK5, "4x", [](const RowFields &r) { return !r.sk5; }},
    };
    for (const Case &c : cases) {
        QStringList cells = base;
        cells[c.column] = c.text;
        const RowConversion conv = fieldsOf(cells, today, russian);
        ASSERT_TRUE(conv.fields) << c.what;
        EXPECT_TRUE(c.check(*conv.fields)) << c.what;
    }

    base[ColNumber] = "12*";
    const RowConversion bad = fieldsOf(base, today, russian);
    EXPECT_FALSE(bad.fields);
    EXPECT_EQ(bad.error, "'12*' is not a valid integer value");
}

TEST(ReadbackFields, SkippedRowsAreThoseOfEmptySlots)
{
    for (const char *stamp : {"ff.ff.ff ff:ff:ff", "00.00.00 00:00:00", "0"})
        EXPECT_TRUE(skippedBySave({"1", stamp}));
    for (const char *stamp : {"", "15.02.10 14:05:09", "00.00.00 00:00:01"})
        EXPECT_FALSE(skippedBySave({"1", stamp}));
}

TEST(ReadbackRange, WideningAndGauges)
{
    struct Case { int first, last, wantFirst, wantLast; } cases[] = {
        {1, 1, 1, 2}, {5000, 5000, 5000, 5000}, {7000, 3, 4999, 5000}, {3, 6000, 3, 5000},
        {10, 5, 10, 11}, {4999, 4999, 4999, 5000}, {5, 20, 5, 20}, {0, 0, 0, 1},
    };
    for (const Case &c : cases) {
        const Range r = widened(c.first, c.last);
        EXPECT_EQ(r.first, c.wantFirst) << c.first << "-" << c.last;
        EXPECT_EQ(r.last, c.wantLast) << c.first << "-" << c.last;
    }
    EXPECT_EQ(readGauge(0, 2), 1);  // rows: header and two products
    EXPECT_EQ(readGauge(1, 2), 34);
    EXPECT_EQ(clearGauge(10, 10, 12), 0);
    EXPECT_EQ(clearGauge(11, 10, 12), 50);
    EXPECT_EQ(clearGauge(12, 10, 12), 100);
    EXPECT_EQ(clearGauge(7, 7, 7), 100); // a range of one
}

} // namespace
