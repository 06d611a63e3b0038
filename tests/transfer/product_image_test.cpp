// Building the product image from a real product store, and its file.
#include "ProductRows.h"

#include "shared/Files.h"

#include <QFile>

using namespace ztk;
using namespace ztk::test;

namespace {

QByteArray bytesAt(const ProductImage &img, int slot, int offset, int size)
{
    return QByteArray(reinterpret_cast<const char *>(img.slotData(slot)) + offset, size);
}

QList<int> filledSlots(const ProductImage &img)
{
    QList<int> out;
    for (int i = 0; i < ProductImage::SlotCount; ++i)
        if (!img.slotEmpty(i))
            out.append(i);
    return out;
}

TEST(ProductImage, WholeRecordMatchesTheLayoutByHand)
{
    ProductRowsFixture f;
    StoredRow p{7, QStringLiteral("ОБЪЯВЛЕНИЕ")};
    p.sk5 = 12345;
    p.price = 12.345;
    p.name2 = QStringLiteral("Конь");
    p.bestBefore = QStringLiteral("10.02.15");
    p.stamp = QStringLiteral("2010-02-15 14:05:09");
    p.type = QStringLiteral("1");
    p.prefix = QStringLiteral("22");
    f.add(p);
    const ProductImage img = f.image();

    QByteArray expected(256, char(0xFF));
    expected.replace(0, 4, QByteArray::fromHex("39300000"));
    expected.replace(4, 28, QByteArray::fromHex("8E819C9F828B858D8885") + QByteArray(18, ' '));
    expected.replace(32, 4, QByteArray::fromHex("D2040000"));
    expected.replace(36, 28, QByteArray::fromHex("8AAEADEA") + QByteArray(24, ' '));
    expected.replace(64, 28, QByteArray(28, ' '));
    expected[92] = 0x01;
    expected.replace(93, 28, QByteArray(28, ' '));
    expected.replace(121, 28, QByteArray(28, ' '));
    expected.replace(149, 28, QByteArray("15.02.10") + QByteArray(20, ' '));
    expected.replace(177, 3, QByteArray::fromHex("000000"));
    expected.replace(181, 3, QByteArray::fromHex("150210"));
    expected.replace(210, 7, QByteArray::fromHex("090514FF150210"));
    expected[254] = 22;
    EXPECT_EQ(bytesAt(img, 6, 0, 256).toHex(' '), expected.toHex(' '));
    EXPECT_EQ(filledSlots(img), QList<int>{6});
}

TEST(ProductImage, SlotsFollowTheNumbers)
{
    struct Case { std::vector<int> numbers; QList<int> slots; } cases[] = {
        {{}, {}},
        {{1, 2, 5}, {0, 1, 4}},
        {{5000}, {4999}},
        {{1, 5000}, {0, 4999}},
    };
    for (const Case &c : cases) {
        ProductRowsFixture f;
        for (int n : c.numbers)
            f.add(StoredRow{n, QStringLiteral("Товар %1").arg(n)});
        const ProductImage img = f.image();
        EXPECT_EQ(filledSlots(img), c.slots);
        EXPECT_EQ(img.nonEmptyCount(), int(c.slots.size()));
    }
    ProductRowsFixture f;
    f.addNumbers({5000});
    const ProductImage img = f.image();
    // StoredRow 5000 fills the last 256 bytes of the 1,280,000.
    EXPECT_EQ(img.slotData(4999) - img.data(), ProductImage::ImageSize - 256);
    EXPECT_EQ(bytesAt(img, 4999, 4, 10), QByteArray::fromHex("92AEA2A0E02035303030"));
}

TEST(ProductImage, RowsOutOfOrderAreSkippedAndTheWalkGoesOn)
{
    // The selection is ordered by something other than N, so every kind of bad row reaches the walk.
    ProductRowsFixture f;
    int order = 0;
    ASSERT_TRUE(QSqlQuery(f.store.database()).exec(QStringLiteral("alter table lm_t1 add column pos INTEGER")));
    const auto add = [&](QVariant n) {
        f.add(StoredRow{n, QStringLiteral("x")});
        QSqlQuery q(f.store.database());
        q.prepare(QStringLiteral("update lm_t1 set pos = ? where rowid = last_insert_rowid()"));
        q.addBindValue(++order);
        EXPECT_TRUE(q.exec());
    };
    // negative first, a NULL N, then 3 (and a repeat of it), 5001, 2 below the current
    // slot, 7, 0, a text that is no number, 4999.
    add(-4);
    add(QVariant());
    add(3);
    add(5001);
    add(2);
    add(7);
    add(0);
    add(QStringLiteral("x9"));
    add(4999);
    auto rows = f.rows(QStringLiteral("select * from lm_t1 order by pos"));
    ASSERT_EQ(rows.size(), 9u);
    rows.insert(rows.begin() + 3, rows[2]); // N is unique in the store; a repeat can only come from a join
    ProductImage img;
    img.build(rows, std::nullopt, f.clock.now().date());
    EXPECT_EQ(filledSlots(img), (QList<int>{2, 6, 4998}));
}

TEST(ProductImage, Prices)
{
    struct Row { QVariant price; QByteArray bytes; } rows[] = {
        {12.345, QByteArray::fromHex("D2040000")},
        {0, QByteArray::fromHex("00000000")},
        {0.29, QByteArray::fromHex("1D000000")},
        {1.15, QByteArray::fromHex("73000000")},
        {19.99, QByteArray::fromHex("CF070000")},
        {12, QByteArray::fromHex("B0040000")},
        {QVariant(), QByteArray::fromHex("00000000")},        // NULL reads as 0
        {-0.29, QByteArray::fromHex("E3FFFFFF")},
        {QStringLiteral("4,5"), QByteArray::fromHex("C2010000")},
        {QStringLiteral("abc"), QByteArray::fromHex("FFFFFFFF")}, // not a number: left alone
        {1.0e10, QByteArray::fromHex("FFFFFFFF")},                // beyond 32 bits: left alone
    };
    for (const Row &r : rows) {
        ProductRowsFixture f;
        StoredRow p{1, QStringLiteral("x")};
        p.price = r.price;
        f.add(p);
        EXPECT_EQ(bytesAt(f.image(), 0, 32, 4).toHex(), r.bytes.toHex()) << r.price.toString().toStdString();
    }
}

TEST(ProductImage, NumbersAndTexts)
{
    struct Row {
        const char *what;
        QVariant sk5, type, prefix;
        QByteArray sk5Bytes;
        char typeByte, prefixByte;
    } rows[] = {
        {"plain", 123, QStringLiteral("1"), QStringLiteral("22"), QByteArray::fromHex("7B000000"), 1, 22},
        {"weight", 0, QStringLiteral("0"), QStringLiteral("0"), QByteArray::fromHex("00000000"), 0, 0},
        {"NULL SK5", QVariant(), QStringLiteral("1"), QStringLiteral("5"), QByteArray::fromHex("00000000"), 1, 5},
        {"SK5 65535", 65535, QStringLiteral("1"), QStringLiteral("5"), QByteArray::fromHex("FFFF0000"), 1, 5},
        {"not whole", QStringLiteral("7x"), QStringLiteral("Вес"), QStringLiteral("a1"), QByteArray::fromHex("FFFFFFFF"),
         char(0xFF), char(0xFF)},
        {"empty texts", 1, QStringLiteral(""), QVariant(), QByteArray::fromHex("01000000"), char(0xFF), char(0xFF)},
        {"low 8 bits", -2, QStringLiteral("257"), QStringLiteral("-1"), QByteArray::fromHex("FEFFFFFF"), 1, char(0xFF)},
        {"spaces", QStringLiteral(" 9 "), QStringLiteral(" 1"), QStringLiteral("3 "), QByteArray::fromHex("09000000"), 1, 3},
    };
    for (const Row &r : rows) {
        ProductRowsFixture f;
        StoredRow p{1, QStringLiteral("x")};
        p.sk5 = r.sk5;
        p.type = r.type;
        p.prefix = r.prefix;
        f.add(p);
        const ProductImage img = f.image();
        EXPECT_EQ(bytesAt(img, 0, 0, 4).toHex(), r.sk5Bytes.toHex()) << r.what;
        EXPECT_EQ(bytesAt(img, 0, 92, 1), QByteArray(1, r.typeByte)) << r.what;
        EXPECT_EQ(bytesAt(img, 0, 254, 1), QByteArray(1, r.prefixByte)) << r.what;
    }
}

TEST(ProductImage, Names)
{
    const QString thirty = QStringLiteral("АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭ");
    ASSERT_EQ(thirty.size(), 30);
    struct Row { QString name; QByteArray bytes; } rows[] = {
        {QStringLiteral("ОБЪЯВЛЕНИЕ"), QByteArray::fromHex("8E819C9F828B858D8885") + QByteArray(18, ' ')},
        {QStringLiteral("Конь"), QByteArray::fromHex("8AAEADEA") + QByteArray(24, ' ')},
        {QStringLiteral("объявление"), QByteArray::fromHex("AEA1ECEFA2ABA5ADA8A5") + QByteArray(18, ' ')},
        {thirty, QByteArray::fromHex("808182838485868788898A8B8C8D8E8F90919293949596979899") + QByteArray::fromHex("9C9B")},
        {QStringLiteral("Цена €5 №1"), QByteArray::fromHex("96A5ADA0203F3520FC31") + QByteArray(18, ' ')},
        {QString(), QByteArray(28, ' ')},
    };
    for (const Row &r : rows) {
        ProductRowsFixture f;
        f.add(StoredRow{1, r.name});
        EXPECT_EQ(bytesAt(f.image(), 0, 4, 28).toHex(' '), r.bytes.toHex(' ')) << r.name.toStdString();
    }
    // The five lines land at their offsets.
    ProductRowsFixture f;
    StoredRow p{1, QStringLiteral("1")};
    p.name2 = QStringLiteral("2");
    p.name3 = QStringLiteral("3");
    p.name4 = QStringLiteral("4");
    p.name5 = QStringLiteral("5");
    f.add(p);
    const ProductImage img = f.image();
    for (int line = 0; line < 5; ++line)
        EXPECT_EQ(bytesAt(img, 0, ProductRecord::NameOffsets[line], 2), QByteArray::number(line + 1) + ' ');
}

TEST(ProductImage, Dates)
{
    struct Row {
        QVariant bestBefore, stamp;
        QByteArray bestBeforeBytes; // 149..183
        QByteArray stampBytes;      // 210..216
    } rows[] = {
        {QStringLiteral("10.02.15"), QStringLiteral("2010-02-15 14:05:09"),
         QByteArray("15.02.10") + QByteArray(20, ' ') + QByteArray::fromHex("000000FF150210"),
         QByteArray::fromHex("090514FF150210")},
        {QStringLiteral("99.12.31 23:59"), QStringLiteral("2026-12-08 00:00:00"),
         QByteArray("31.12.99 23:59:00") + QByteArray(11, ' ') + QByteArray::fromHex("005923FF311299"),
         QByteArray::fromHex("000000FF081226")},
        {QStringLiteral(""), QStringLiteral(""), QByteArray(35, char(0xFF)), QByteArray(7, char(0xFF))},
        {QVariant(), QVariant(), QByteArray(35, char(0xFF)), QByteArray(7, char(0xFF))},
        {QStringLiteral("10.02.30"), QStringLiteral("вчера"), QByteArray(35, char(0xFF)), QByteArray(7, char(0xFF))},
        {QStringLiteral("15.02.10x"), QStringLiteral("10.02.15 14:05:09"), QByteArray(35, char(0xFF)),
         QByteArray::fromHex("090514FF150210")},
    };
    for (const Row &r : rows) {
        ProductRowsFixture f;
        StoredRow p{1, QStringLiteral("x")};
        p.bestBefore = r.bestBefore;
        p.stamp = r.stamp;
        f.add(p);
        const ProductImage img = f.image();
        EXPECT_EQ(bytesAt(img, 0, 149, 35).toHex(' '), r.bestBeforeBytes.toHex(' ')) << r.bestBefore.toString().toStdString();
        EXPECT_EQ(bytesAt(img, 0, 210, 7).toHex(' '), r.stampBytes.toHex(' ')) << r.stamp.toString().toStdString();
        // The bytes between the stamps and after them stay 0xFF.
        EXPECT_EQ(bytesAt(img, 0, 184, 26), QByteArray(26, char(0xFF)));
        EXPECT_EQ(bytesAt(img, 0, 217, 37), QByteArray(37, char(0xFF)));
    }
}

TEST(ProductImage, ProductListNarrowsTheImage)
{
    ProductRowsFixture f;
    f.addNumbers({1, 2, 3, 4, 5, 6, 7, 8});
    EXPECT_EQ(filledSlots(f.image(QSet<int>{3, 7})), (QList<int>{2, 6}));
    EXPECT_EQ(filledSlots(f.image(std::nullopt)).size(), 8);
    EXPECT_EQ(filledSlots(f.image(QSet<int>{})), QList<int>{}); // a list that matches nothing
    EXPECT_EQ(filledSlots(f.image(QSet<int>{7, 9000})), QList<int>{6});
}

TEST(ProductImage, SelectionIsTheSourceAndTheCursorStays)
{
    ProductRowsFixture f;
    f.addNumbers({1, 2, 3, 10, 11});
    const auto rows = f.rows(QStringLiteral("select * from lm_t1 where N >= 3 order by N"));
    f.dataset->last();
    const int before = f.dataset->position();
    ProductImage img;
    img.build(rows, std::nullopt, f.clock.now().date());
    EXPECT_EQ(filledSlots(img), (QList<int>{2, 9, 10}));
    EXPECT_EQ(f.dataset->position(), before);
}

TEST(ProductImage, FileSaveAndLoad)
{
    ProductRowsFixture f;
    f.addNumbers({1, 300, 5000});
    const ProductImage img = f.image();
    const QString path = f.dir.filePath(QString::fromUtf8(files::ProductImage));

    // A longer file keeps its tail; the first 1,280,000 bytes are the image.
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(ProductImage::ImageSize + 10, 'z'));
    }
    ASSERT_TRUE(img.save(path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray all = file.readAll();
    file.close();
    ASSERT_EQ(all.size(), ProductImage::ImageSize + 10);
    EXPECT_EQ(all.left(ProductImage::ImageSize), QByteArray(reinterpret_cast<const char *>(img.data()), ProductImage::ImageSize));
    EXPECT_EQ(all.mid(ProductImage::ImageSize), QByteArray(10, 'z'));

    ProductImage back;
    ASSERT_TRUE(back.load(path));
    EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(back.data()), ProductImage::ImageSize),
              all.left(ProductImage::ImageSize));

    // Missing, short or empty: refused, the image unchanged.
    const QString fresh = f.dir.filePath(QStringLiteral("fresh.bd"));
    ASSERT_TRUE(img.save(fresh));
    EXPECT_EQ(QFile(fresh).size(), ProductImage::ImageSize);
    for (qint64 size : {qint64(0), qint64(256), qint64(ProductImage::ImageSize - 1)}) {
        ASSERT_TRUE(QFile::resize(fresh, size));
        ProductImage other;
        EXPECT_FALSE(other.load(fresh)) << size;
        EXPECT_EQ(other.nonEmptyCount(), 0);
    }
    EXPECT_FALSE(back.load(f.dir.filePath(QStringLiteral("missing.bd"))));
    EXPECT_EQ(back.nonEmptyCount(), 3);
}

} // namespace
