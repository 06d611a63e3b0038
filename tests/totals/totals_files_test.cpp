// The totals text file and the kept raw images.
#include "totals/TotalsArchive.h"
#include "totals/TotalsText.h"

#include "shared/Messages.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>


using namespace ztk;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The header line in 1251 bytes, built by hand.
QByteArray headerBytes()
{
    return QByteArray("     N\xef/\xef   \xd1\xf3\xec \xe2\xe5\xf1/\xea\xee\xeb   \xd1\xf3\xec\xec\xe0   \xca\xee\xeb "
                      "\xe2\xe7\xe2.   \xcd\xe0\xe8\xec\xe5\xed\xee\xe2\xe0\xed\xe8\xe5\r\n");
}

TEST(TotalsText, ProductLineByteForByte)
{
    const TotalsCells milk = {"12", "1,500", "45,30", "3", "Молоко"};
    const QByteArray expected = QByteArray(6, ' ') + "12" + " " + QByteArray(3, ' ') + "1,500" + " "
        + QByteArray(8, ' ') + "45,30" + "  " + QByteArray(3, ' ') + "3" + QByteArray(7, ' ') + QByteArray(22, ' ')
        + "\xcc\xee\xeb\xee\xea\xee" + "\r\n";
    EXPECT_EQ(totalsFileBytes({totalsLine(milk)}), expected);

    // Longer texts are written whole; an empty name still takes its 28 places.
    const TotalsCells wide = {"123456789", "1234567,891", "42949672,95", "100000", ""};
    EXPECT_EQ(totalsLine(wide), QStringLiteral("123456789 1234567,891   42949672,95  100000       ") + QString(28, ' '));
}

TEST(TotalsText, FileOfHeaderAndRows)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("day.id"));
    ASSERT_TRUE(writeTotalsFile(dir.path(), path, QByteArray(100, 'x'))); // an earlier, longer content
    // No product rows: only the header line.
    ASSERT_TRUE(writeTotalsFile(dir.path(), path, totalsFileBytes(totalsLines(totalsHeaders(), {}))));
    EXPECT_EQ(readAll(path), headerBytes());

    const QStringList lines = totalsLines(totalsHeaders(), {{"5*", "0,250", "1,00", "1", ""}, {"7", "2", "3,00", "2", "Сок"}});
    ASSERT_EQ(lines.size(), 3);
    const QByteArray bytes = totalsFileBytes(lines);
    EXPECT_TRUE(bytes.startsWith(headerBytes()));
    EXPECT_EQ(bytes.count("\r\n"), 3);
    EXPECT_TRUE(bytes.endsWith("\xd1\xee\xea\r\n"));

    QString error;
    EXPECT_FALSE(writeTotalsFile(dir.path(), dir.filePath(QStringLiteral("no/such/dir.id")), bytes, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("no/such/dir.id"))) << error.toStdString();
}

TEST(KeptTotals, WrittenByMomentAndReadBack)
{
    QTemporaryDir dir;
    TotalsImage image;
    image.setCounters(5000, {0xFFFFFFFFu, 7, 1});
    const QDateTime moment(QDate(2026, 12, 9), QTime(18, 5, 33));
    const KeepResult first = keepTotals(dir.path(), image, moment);
    ASSERT_TRUE(first.ok) << first.error.toStdString();
    EXPECT_EQ(first.path, dir.filePath(QStringLiteral("totals/2026-12-09_18-05-33.bin")));
    EXPECT_EQ(readAll(first.path), image.toByteArray());

    // The same second again: a new file, the first one untouched.
    TotalsImage other;
    const KeepResult second = keepTotals(dir.path(), other, moment);
    ASSERT_TRUE(second.ok);
    EXPECT_EQ(second.path, dir.filePath(QStringLiteral("totals/2026-12-09_18-05-33_2.bin")));
    EXPECT_EQ(readAll(first.path), image.toByteArray());

    const LoadedTotals loaded = loadKeptTotals(first.path);
    ASSERT_TRUE(loaded.image.has_value()) << loaded.error.toStdString();
    EXPECT_EQ(*loaded.image, image);
}

TEST(KeptTotals, WrongSizeOrMissingIsRefused)
{
    QTemporaryDir dir;
    for (const qsizetype size : {qsizetype(0), qsizetype(153599), qsizetype(153601)}) {
        const QString path = dir.filePath(QStringLiteral("x%1.bin").arg(size));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(size, '\0'));
        f.close();
        const LoadedTotals r = loadKeptTotals(path);
        EXPECT_FALSE(r.image.has_value()) << size;
        EXPECT_EQ(r.error, msg::text(msg::TotalsWrongSize).arg(path).arg(size));
    }
    EXPECT_FALSE(loadKeptTotals(dir.filePath(QStringLiteral("absent.bin"))).image.has_value());
}

TEST(KeptTotals, FolderNotWritable)
{
    // A file where the folder should be: no folder can be made there, whoever runs this.
    QTemporaryDir dir;
    QFile blocker(dir.filePath(QStringLiteral("totals")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const KeepResult r = keepTotals(dir.path(), TotalsImage(), QDateTime(QDate(2026, 12, 9), QTime(18, 0)));
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.error.startsWith(msg::text(msg::TotalsNotKept).arg(dir.filePath(QStringLiteral("totals")))))
        << r.error.toStdString();
}

} // namespace
