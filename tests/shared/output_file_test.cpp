#include "shared/OutputFile.h"

#include "shared/Messages.h"
#include "support/SimProcess.h"
#include "support/SmallDisk.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace ztk;
using ztk::test::readFileBytes;

namespace {

const char *const Failure = msg::FileNotWritten;

bool put(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QString reason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

// Where the output may go and what happens to what was there.
TEST(OutputFile, ProtectedFilesRefusedOtherTargetsReplacedWholeOrWrittenInPlace)
{
    QTemporaryDir work, other;
    const QDir w(work.path());
    const QString store = w.filePath(QStringLiteral("LM_T.db"));
    ASSERT_TRUE(put(store, "the table"));
    for (const char *name : {"fbdves.cfg", "scales.ini", "BDpost.pd", "database.ini"})
        ASSERT_TRUE(put(w.filePath(QString::fromLatin1(name)), "settings"));
    ASSERT_TRUE(QFile::link(store, QDir(other.path()).filePath(QStringLiteral("report.txt"))));
    const QString old = w.filePath(QStringLiteral("old.txt"));
    ASSERT_TRUE(put(old, "old contents"));
    const QString elsewhere = QDir(other.path()).filePath(QStringLiteral("target.txt"));
    ASSERT_TRUE(put(elsewhere, "old"));
    const QString toElsewhere = w.filePath(QStringLiteral("link.txt"));
    ASSERT_TRUE(QFile::link(elsewhere, toElsewhere));

    const struct {
        QString path;
        QString error; // empty: written
    } rows[] = {
        {store, msg::text(msg::ProtectedFile).arg(store)},
        {QDir(other.path()).filePath(QStringLiteral("report.txt")),
         msg::text(msg::ProtectedFile).arg(QDir(other.path()).filePath(QStringLiteral("report.txt")))},
        {w.filePath(QStringLiteral("scales.ini")), msg::text(msg::ProtectedFile).arg(w.filePath(QStringLiteral("scales.ini")))},
        {w.filePath(QStringLiteral("BDpost.pd")), msg::text(msg::ProtectedFile).arg(w.filePath(QStringLiteral("BDpost.pd")))},
        {w.filePath(QStringLiteral("database.ini")),
         msg::text(msg::ProtectedFile).arg(w.filePath(QStringLiteral("database.ini")))},
        {work.path(), msg::text(Failure).arg(work.path(), reason(EISDIR))},
        {w.filePath(QStringLiteral("no/such/x.txt")), QStringLiteral("no/such/x.txt")}, // named, with a reason
        {old, QString()},
        {toElsewhere, QString()},
    };
    for (const auto &row : rows) {
        const QString error = writeOutputFile(work.path(), row.path, "new contents", Failure);
        if (row.error.isEmpty())
            EXPECT_TRUE(error.isEmpty()) << qPrintable(row.path) << ": " << qPrintable(error);
        else
            EXPECT_TRUE(error.contains(row.error)) << qPrintable(row.path) << ": " << qPrintable(error);
    }
    EXPECT_EQ(readFileBytes(store), QByteArray("the table"));
    EXPECT_EQ(readFileBytes(w.filePath(QStringLiteral("scales.ini"))), QByteArray("settings"));
    EXPECT_EQ(readFileBytes(old), QByteArray("new contents"));
    // Through a link the target is replaced and the link stays one.
    EXPECT_TRUE(QFileInfo(toElsewhere).isSymLink());
    EXPECT_EQ(readFileBytes(elsewhere), QByteArray("new contents"));
    // No temporary file is left behind by any of them.
    EXPECT_EQ(w.entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("old.txt.")), QStringList());

    if (::geteuid() != 0) { // root writes into read-only files
        ASSERT_TRUE(QFile::setPermissions(old, QFile::ReadOwner));
        EXPECT_FALSE(writeOutputFile(work.path(), old, "newer", Failure).isEmpty());
        EXPECT_EQ(readFileBytes(old), QByteArray("new contents"));
    }
}

TEST(OutputFile, DevicesAndFifosAreWrittenInPlace)
{
    QTemporaryDir work;
    EXPECT_EQ(writeOutputFile(work.path(), QStringLiteral("/dev/null"), "bytes", Failure), QString());
    EXPECT_TRUE(QFileInfo(QStringLiteral("/dev/null")).exists() && !QFileInfo(QStringLiteral("/dev/null")).isFile());
    // A device that takes nothing fails with its reason, and stays a device.
    if (QFileInfo::exists(QStringLiteral("/dev/full"))) {
        EXPECT_EQ(writeOutputFile(work.path(), QStringLiteral("/dev/full"), "bytes", Failure),
                  msg::text(Failure).arg(QStringLiteral("/dev/full"), reason(ENOSPC)));
        struct stat st {};
        ASSERT_EQ(::stat("/dev/full", &st), 0);
        EXPECT_TRUE(S_ISCHR(st.st_mode));
    }

    const QString fifo = QDir(work.path()).filePath(QStringLiteral("pipe"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QByteArray got;
    std::thread reader([&] {
        QFile f(fifo);
        if (f.open(QIODevice::ReadOnly))
            got = f.readAll();
    });
    const QByteArray bytes(100000, 'p'); // more than a pipe holds at once
    EXPECT_EQ(writeOutputFile(work.path(), fifo, bytes, Failure), QString());
    reader.join();
    EXPECT_EQ(got, bytes);
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(fifo).constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST(OutputFile, FullDiskFailsAndKeepsTheOldFile)
{
    test::SmallDisk disk(64);
    if (!disk.available())
        GTEST_SKIP() << "a small disk needs root";
    const QString old = disk.filePath(QStringLiteral("report.pdf"));
    ASSERT_TRUE(put(old, "the old report"));
    ASSERT_TRUE(disk.fill());
    const QString error = writeOutputFile(disk.path(), old, QByteArray(200000, 'x'), Failure);
    EXPECT_TRUE(error.startsWith(msg::text(Failure).arg(old, QString()))) << qPrintable(error);
    EXPECT_TRUE(error.contains(reason(ENOSPC))) << qPrintable(error);
    EXPECT_EQ(readFileBytes(old), QByteArray("the old report"));
}
