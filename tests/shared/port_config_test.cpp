// The 19-byte "fbdves.cfg": its bytes, reading what there is, writing in place.
#include "shared/PortConfig.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

using namespace ztk;

namespace {

const QByteArray Com3Bytes = QByteArray::fromHex("434F4D3300000000000080250000020000000" "5");

PortConfig com3()
{
    PortConfig c;
    c.portName = "COM3";
    c.baudRate = 9600;
    c.stopBitsIndex = 2;
    c.parityIndex = 1; // not stored
    c.lastScaleNumber = 5;
    return c;
}

TEST(PortConfig, BytesOfCom3)
{
    ASSERT_EQ(Com3Bytes.size(), 19);
    EXPECT_EQ(com3().toBytes(), Com3Bytes);

    PortConfig back;
    back.fromBytes(Com3Bytes);
    EXPECT_EQ(back.portName, QByteArray("COM3"));
    EXPECT_EQ(back.baudRate, 9600);
    EXPECT_EQ(back.stopBitsIndex, 2);
    EXPECT_EQ(back.lastScaleNumber, 5);
    EXPECT_EQ(back.parityIndex, 0);
}

TEST(PortConfig, NegativeAndLongValues)
{
    PortConfig c;
    c.portName = "ttyUSB0123456"; // cut to 9
    c.baudRate = -2;
    c.stopBitsIndex = 0x01020304;
    c.lastScaleNumber = 255;
    const QByteArray b = c.toBytes();
    EXPECT_EQ(b, QByteArray::fromHex("747479555342303132" "00" "FEFFFFFF" "04030201" "FF"));
    PortConfig back;
    back.fromBytes(b);
    EXPECT_EQ(back.portName, QByteArray("ttyUSB012"));
    EXPECT_EQ(back.baudRate, -2);
    EXPECT_EQ(back.stopBitsIndex, 0x01020304);
    EXPECT_EQ(back.lastScaleNumber, 255);
}

TEST(PortConfig, ShortInputReadsWhatThereIs)
{
    // Every prefix of the file: the fields wholly present are read, the rest keep their values.
    for (int n = 0; n <= Com3Bytes.size(); ++n) {
        PortConfig c;
        c.portName = "KEEP";
        c.baudRate = 111;
        c.stopBitsIndex = 1;
        c.lastScaleNumber = 9;
        c.fromBytes(Com3Bytes.left(n));
        EXPECT_EQ(c.portName, n == 0 ? QByteArray("KEEP") : QByteArray("COM3").left(n)) << n;
        EXPECT_EQ(c.baudRate, n >= 14 ? 9600 : 111) << n;
        EXPECT_EQ(c.stopBitsIndex, n >= 18 ? 2 : 1) << n;
        EXPECT_EQ(c.lastScaleNumber, n >= 19 ? 5 : 9) << n;
    }
}

TEST(PortConfig, UnterminatedNameIsAtMostNineBytes)
{
    QByteArray b = Com3Bytes;
    b.replace(0, 10, "ABCDEFGHIJ");
    PortConfig c;
    c.fromBytes(b);
    EXPECT_EQ(c.portName, QByteArray("ABCDEFGHI"));
    EXPECT_EQ(c.baudRate, 9600);
    c.fromBytes(QByteArray("ABCDEFGHIJKL")); // short and unterminated
    EXPECT_EQ(c.portName, QByteArray("ABCDEFGHI"));
}

TEST(PortConfig, SaveCreatesAndLoadReads)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fbdves.cfg"));
    PortConfig missing;
    EXPECT_FALSE(missing.load(path));
    ASSERT_TRUE(com3().save(path));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), Com3Bytes);
    PortConfig back;
    ASSERT_TRUE(back.load(path));
    EXPECT_EQ(back.toBytes(), Com3Bytes);
}

TEST(PortConfig, SaveOverwritesInPlaceAndKeepsTheTail)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fbdves.cfg"));
    const QByteArray old = QByteArray(19, char(0xAA)) + QByteArray("tail bytes");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(old);
    }
    ASSERT_TRUE(com3().save(path));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), Com3Bytes + QByteArray("tail bytes"));
}

TEST(PortConfig, ShortFileLoadsWhatThereIs)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fbdves.cfg"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(Com3Bytes.left(12));
    }
    PortConfig c;
    c.baudRate = 4800;
    EXPECT_TRUE(c.load(path));
    EXPECT_EQ(c.portName, QByteArray("COM3"));
    EXPECT_EQ(c.baudRate, 4800);
}

TEST(PortConfig, SaveFailsWhereNoFileCanBe)
{
    QTemporaryDir dir;
    EXPECT_FALSE(com3().save(dir.filePath(QStringLiteral("no/such/dir/fbdves.cfg"))));
}

} // namespace
