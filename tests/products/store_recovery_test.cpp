// The store after crashes and damage: a journal left by a killed writer, a creation
// killed at its first write, a damaged page; and the backup before "Удалить все".

#include "ProductFixture.h"
#include "products/DisplayFormat.h"
#include "products/RecordEditing.h"
#include "products/StoreBackup.h"
#include "shared/Messages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace ztk;
using namespace ztk::test;

namespace {

// Runs `body` in a child process and returns the signal that ended it (0 when it exited).
template <typename F>
int inChild(F body)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        body();
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFSIGNALED(status) ? WTERMSIG(status) : 0;
}

QStringList names(ProductStore &store)
{
    QStringList out;
    QSqlQuery q(store.database());
    EXPECT_TRUE(q.exec(QStringLiteral("select Name from lm_t1 order by N")));
    while (q.next())
        out << q.value(0).toString();
    return out;
}

class StoreRecoveryTest : public ProductTest {
protected:
    void fill(int count)
    {
        QSqlDatabase db = store.database();
        db.transaction();
        for (int n = 1; n <= count; ++n)
            add(ProductSeed(n, QStringLiteral("Товар %1 ").arg(n) + QString(40, QLatin1Char('x'))));
        db.commit();
    }
    QString journal() const { return path() + QStringLiteral("-journal"); }
};

} // namespace

TEST_F(StoreRecoveryTest, JournalOfAWriterKilledMidTransactionIsRolledBack)
{
    fill(300);
    const QStringList before = names(store);
    store.close();

    // A writer that spills its changes into the file before it dies, as a big update does.
    const int signal = inChild([&] {
        sqlite3 *h = nullptr;
        sqlite3_open(QFile::encodeName(path()).constData(), &h);
        sqlite3_exec(h, "pragma cache_size=1; begin; update lm_t1 set Name=Name||hex(randomblob(200));",
                     nullptr, nullptr, nullptr);
        ::raise(SIGKILL);
    });
    ASSERT_EQ(signal, SIGKILL);
    ASSERT_TRUE(QFileInfo(journal()).size() > 0) << "the child should leave a hot journal";

    for (int start = 0; start < 2; ++start) { // and again: recovered for good
        ProductStore reopened;
        ASSERT_TRUE(reopened.open(path())) << reopened.errorText().toStdString();
        EXPECT_EQ(names(reopened), before);
        QSqlQuery q(reopened.database());
        EXPECT_TRUE(q.exec(QStringLiteral("update lm_t1 set Цена=1 where N=1"))) << q.lastError().text().toStdString();
    }
    EXPECT_FALSE(QFileInfo(journal()).size() > 0);
}

TEST_F(StoreRecoveryTest, CreationKilledAtItsFirstWriteLeavesNoStore)
{
    const QString fresh = dir.filePath(QStringLiteral("fresh/LM_T.db"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("fresh")));
    // No byte may be written: the first write raises SIGXFSZ, which ends the child.
    const int signal = inChild([&] {
        const rlimit none{0, 0};
        ::setrlimit(RLIMIT_FSIZE, &none);
        ProductStore s;
        s.open(fresh);
    });
    ASSERT_EQ(signal, SIGXFSZ);
    EXPECT_FALSE(QFileInfo::exists(fresh));

    ProductStore s;
    ASSERT_TRUE(s.open(fresh)) << s.errorText().toStdString();
    EXPECT_TRUE(names(s).isEmpty());
    EXPECT_EQ(QDir(dir.filePath(QStringLiteral("fresh"))).entryList(QDir::Files), QStringList{QStringLiteral("LM_T.db")});
}

TEST_F(StoreRecoveryTest, DatabaseWithoutTablesGetsTheSchema)
{
    store.close();
    // A file of no bytes, and a database whose tables are all gone.
    for (const bool empty : {true, false}) {
        QFile::remove(path());
        if (empty) {
            QFile f(path());
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        } else {
            sqlite3 *h = nullptr;
            sqlite3_open(QFile::encodeName(path()).constData(), &h);
            sqlite3_exec(h, "create table t(a); drop table t;", nullptr, nullptr, nullptr);
            sqlite3_close(h);
        }
        ProductStore s;
        ASSERT_TRUE(s.open(path())) << s.errorText().toStdString();
        QSqlQuery q(s.database());
        EXPECT_TRUE(q.exec(QStringLiteral("insert into lm_t1 (N, Name) values (1, 'a')")));
    }
}

// One page of the table overwritten, as a failing disk leaves it.
TEST_F(StoreRecoveryTest, DamagedPageIsReportedAtOpenAndByEveryWalk)
{
    fill(5000);
    store.close();
    QByteArray bytes;
    {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        bytes = f.readAll();
        const qint64 pageSize = 4096;
        ASSERT_GT(bytes.size(), 40 * pageSize);
        f.seek(pageSize * (bytes.size() / pageSize / 2));
        f.write(QByteArray(int(pageSize), char(0x5A)));
    }
    const QString malformed = QString::fromUtf8(sqlite3_errstr(SQLITE_CORRUPT));
    ProductStore damaged;
    EXPECT_FALSE(damaged.open(path()));
    EXPECT_TRUE(damaged.errorText().startsWith(malformed)) << damaged.errorText().toStdString();

    // Past the open's check (the connection opened again by hand), the walk itself
    // must not pass half the table off as the whole.
    ProductStore good;
    {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    ASSERT_TRUE(good.open(path()));
    {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.seek(4096 * (bytes.size() / 4096 / 2));
        f.write(QByteArray(4096, char(0x5A)));
    }
    QSqlDatabase db = good.database();
    db.close();
    ASSERT_TRUE(db.open());
    ProductDataset dataset(good, clock, prompter);
    EXPECT_FALSE(dataset.open(QStringLiteral("select * from lm_t1 order by N")));
    EXPECT_TRUE(dataset.errorText().contains(malformed)) << dataset.errorText().toStdString();
    EXPECT_EQ(dataset.recordCount(), 0);
    EXPECT_FALSE(dataset.isOpen());
}

TEST_F(StoreRecoveryTest, ValuesBeyondSixtyFourBitsReadBackAsStored)
{
    QSqlQuery q(store.database());
    ASSERT_TRUE(q.exec(QString::fromUtf8("insert into lm_t1 (N, SK5, Цена) values (-9223372036854775808, 1.23e19, 1e308)")));
    ProductDataset dataset(store, clock, prompter);
    ASSERT_TRUE(dataset.open(QStringLiteral("select * from lm_t1")));
    EXPECT_EQ(display::productNumber(dataset.rowValue(0, fld::N)), QLatin1String("-9223372036854775808"));
    EXPECT_EQ(display::sk5(dataset.rowValue(0, fld::SK5)), QLatin1String("1.23e+19"));
    EXPECT_EQ(display::price(dataset.rowValue(0, fld::Price)), QLatin1String("1e+308"));
    ASSERT_TRUE(dataset.first());
    bool ok = true;
    dataset.integer(fld::SK5, &ok);
    EXPECT_FALSE(ok);
}

TEST_F(StoreRecoveryTest, DeletingASelectionIsBackedUpFirstAndTheBackupRestores)
{
    fill(50);
    const QStringList before = names(store);
    ProductDataset dataset(store, clock, prompter);
    const QString all = QStringLiteral("select * from lm_t1 order by N");
    ASSERT_TRUE(dataset.open(all));
    prompter.answer(Answer::Yes);
    ASSERT_TRUE(RecordEditing(dataset, prompter, all).deleteSelection());
    EXPECT_TRUE(names(store).isEmpty());

    const QDir backups(dir.filePath(QString::fromLatin1(BackupFolder)));
    const QStringList files = backups.entryList(QDir::Files);
    ASSERT_EQ(files, QStringList{QStringLiteral("LM_T-2026-12-08_14-05-33.db")});
    // Restoring is copying one file back.
    store.close();
    QFile::remove(path());
    ASSERT_TRUE(QFile::copy(backups.filePath(files[0]), path()));
    ProductStore restored;
    ASSERT_TRUE(restored.open(path())) << restored.errorText().toStdString();
    EXPECT_EQ(names(restored), before);
}

TEST_F(StoreRecoveryTest, BackupThatCannotBeMadeStopsTheDeletion)
{
    fill(5);
    // A file where the folder should be.
    QFile blocker(dir.filePath(QString::fromLatin1(BackupFolder)));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    ProductDataset dataset(store, clock, prompter);
    const QString all = QStringLiteral("select * from lm_t1 order by N");
    ASSERT_TRUE(dataset.open(all));
    prompter.answer(Answer::Yes);
    EXPECT_FALSE(RecordEditing(dataset, prompter, all).deleteSelection());
    EXPECT_EQ(names(store).size(), 5);
    ASSERT_FALSE(prompter.shown.isEmpty());
    EXPECT_TRUE(prompter.shown.last().text.startsWith(msg::text(msg::BackupFailed).section(QLatin1Char('%'), 0, 0)));
}

TEST_F(StoreRecoveryTest, NewestTwentyBackupsAreKept)
{
    fill(3);
    const QDateTime start(QDate(2026, 1, 1), QTime(10, 0));
    for (int i = 0; i < BackupsKept + 5; ++i) {
        const BackupResult r = backupStore(store.database(), dir.path(), start.addSecs(i * 3600));
        ASSERT_TRUE(r.ok) << r.error.toStdString();
    }
    // Two in one second are both kept.
    const BackupResult twin = backupStore(path(), dir.path(), start.addSecs((BackupsKept + 4) * 3600));
    ASSERT_TRUE(twin.ok) << twin.error.toStdString();
    EXPECT_TRUE(twin.path.endsWith(QLatin1String("-2.db"))) << twin.path.toStdString();

    const QStringList files = QDir(dir.filePath(QString::fromLatin1(BackupFolder))).entryList(QDir::Files, QDir::Name);
    ASSERT_EQ(files.size(), BackupsKept);
    EXPECT_EQ(files.first(), QStringLiteral("LM_T-2026-01-01_16-00-00.db")); // the six oldest went
    EXPECT_EQ(files.last(), QStringLiteral("LM_T-2026-01-02_10-00-00.db"));
}
