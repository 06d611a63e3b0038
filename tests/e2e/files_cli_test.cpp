// ztk-cli export, import and report against a real product file, and an import
// killed half-way.

#include "products/ProductReport.h"
#include "support/Programs.h"
#include "products/ProductStore.h"
#include "products/ProductTextFile.h"
#include "shared/CodePage.h"
#include "shared/Messages.h"
#include "support/CliProcess.h"
#include "support/ProductSeeder.h"
#include "support/TestApplication.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using namespace ztk;
using namespace ztk::test;

namespace {

QString u(const char *utf8) { return QString::fromUtf8(utf8); }

class FilesCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensureCoreApplication();
        ASSERT_TRUE(dir.isValid());
    }
    QString path(const QString &name) const { return dir.filePath(name); }

    void seed(int from, int to)
    {
        ProductStore store;
        ASSERT_TRUE(store.open(path(u("LM_T.db"))));
        QList<SeedRow> rows;
        for (int n = from; n <= to; ++n) {
            SeedRow r;
            r.set(ProductColumn::N, n)
                .set(ProductColumn::Name, u("Товар %1").arg(n))
                .set(ProductColumn::Price, n * 1.25)
                .set(ProductColumn::SK5, 10000 + n)
                .set(ProductColumn::Prefix, u("2%1").arg(n % 10))
                .set(ProductColumn::Type, QString::number(n % 2))
                .set(ProductColumn::BestBefore, u("27.01.15"))
                .set(ProductColumn::CorrStamp, u("2026-11-30 10:00:00"));
            rows << r;
        }
        QString error;
        StoreTransaction transaction(store);
        ASSERT_TRUE(seedRows(store, rows, &error)) << error.toStdString();
        ASSERT_TRUE(transaction.commit());
    }
    std::vector<Product> rows(const QString &sql = u("select * from lm_t1 order by N"))
    {
        ProductStore store;
        EXPECT_TRUE(store.open(path(u("LM_T.db"))));
        std::vector<Product> out;
        EXPECT_TRUE(store.select(sql, out)) << store.errorText().toStdString();
        return out;
    }
    CliRun cli(const QStringList &args) { return runCli(dir.path(), QStringList{u("--dir"), dir.path()} + args); }
    QByteArray bytes(const QString &name)
    {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void write(const QString &name, const QByteArray &b)
    {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(b);
    }

    QTemporaryDir dir;
};

// The shell's locale for the child processes, put back afterwards.
class ShellLocale {
public:
    explicit ShellLocale(const char *name) : m_old(qgetenv("LC_ALL")) { qputenv("LC_ALL", name); }
    ~ShellLocale() { qputenv("LC_ALL", m_old); }
private:
    QByteArray m_old;
};

} // namespace

TEST_F(FilesCli, ExportWritesTheProgramsBytesInAnyShellLocale)
{
    seed(1, 6);
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    ShellLocale c("C");
    CliRun r = cli({u("export"), u("all.txt")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(bytes(u("all.txt")), productTextFileBytes(rows(), russian));
    EXPECT_TRUE(bytes(u("all.txt")).contains(";1,25;"));

    r = cli({u("export"), u("piece.txt"), u("--selection"), u("piece")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(bytes(u("piece.txt")), productTextFileBytes(rows(u("select * from lm_t1 where ТипТ='1' order by N")), russian));

    // Onto a folder: the message names it, the exit is 2.
    QDir(dir.path()).mkdir(u("sub"));
    r = cli({u("export"), u("sub")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains(path(u("sub")))) << r.err.toStdString();
}

TEST_F(FilesCli, ImportListsBadLinesAndRefusesAMissingFile)
{
    seed(1, 3);
    write(u("in.txt"), codepage::toCp1251(u("N;Name;Цена\r\n0;Новый товар;1.5\r\n2;Кефир обезжиренный;2,75\r\n")));
    CliRun r = cli({u("import"), u("in.txt")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err.trimmed(), u("Некорректные записи:0")); // 0 became 1, which is taken
    const std::vector<Product> after = rows();
    ASSERT_EQ(after.size(), 3u);
    EXPECT_EQ(after[1].names[0], u("Кефир обезжиренный"));
    EXPECT_EQ(after[1].price.value, Price::fromTenThousandths(27500));

    r = cli({u("import"), u("missing.txt")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err.trimmed(), msg::text(msg::FileDoesNotOpen));
}

TEST_F(FilesCli, ImportIntoATableThatRefusesWritesSaysSoAndChangesNothing)
{
    seed(1, 3);
    const std::vector<Product> before = rows();
    {
        // Refuses every write as a read-only file does, for root as well.
        ProductStore store;
        ASSERT_TRUE(store.open(path(u("LM_T.db"))));
        QSqlQuery q(store.database());
        for (const char *event : {"insert", "update"})
            ASSERT_TRUE(q.exec(u("create trigger refuse_%1 before %1 on lm_t1 begin select raise(abort, 'read-only'); end")
                                   .arg(u(event))));
    }
    write(u("in.txt"), codepage::toCp1251(u("N;Name;Цена;\r\n2;Кефир;2,75;\r\n9;Новый товар;1,5;\r\n")));
    const CliRun r = cli({u("import"), u("in.txt")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.startsWith(msg::text(msg::TableNotWritable).arg(QString()))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(u("read-only"))) << r.err.toStdString(); // the store's own words
    EXPECT_FALSE(r.err.contains(msg::text(msg::BadLines)));
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(rows(), before);
}

TEST_F(FilesCli, ReportAsTextPdfAndRtf)
{
    seed(1, 5);
    const QDateTime anyNow = QDateTime::currentDateTime(); // every stamp reads, so now is not shown
    CliRun r = cli({u("report"), u("--list"), u("4,2")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, buildReport(rows(), QSet<int>{2, 4}, anyNow));
    EXPECT_TRUE(r.out.contains(u("    5.00 15.01.27")));

    r = cli({u("report"), u("--selection"), u("range=2-3"), u("--out"), u("r.pdf")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    EXPECT_TRUE(bytes(u("r.pdf")).startsWith("%PDF"));

    r = cli({u("report"), u("--out"), u("r.txt")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QByteArray rtf = bytes(u("r.txt"));
    EXPECT_TRUE(rtf.startsWith("{\\rtf1"));
    EXPECT_TRUE(rtf.contains("\\'d2\\'ee\\'e2\\'e0\\'f0 5")); // "Товар 5" in code page 1251
}

TEST_F(FilesCli, KilledImportLeavesTheTableAsBefore)
{
    seed(1, 5000);
    const std::vector<Product> before = rows();
    // 100,000 lines that rewrite every product twenty times.
    QByteArray file = codepage::toCp1251(u("N;Name;Цена;ТипТ;\r\n"));
    file.reserve(4 * 1024 * 1024);
    for (int i = 0; i < 100000; ++i)
        file += QByteArray::number(i % 5000 + 1) + ";Imported " + QByteArray::number(i) + ";9,99;1;\r\n";
    write(u("big.txt"), file);

    QProcess p;
    p.setWorkingDirectory(dir.path());
    p.start(test::cliProgram(), {u("--dir"), dir.path(), u("import"), u("big.txt")});
    ASSERT_TRUE(p.waitForStarted());
    // The journal shows that the import has begun writing.
    const QString journal = path(u("LM_T.db-journal"));
    for (int i = 0; i < 2000 && !QFileInfo::exists(journal) && p.state() == QProcess::Running; ++i)
        QThread::msleep(5);
    ASSERT_TRUE(QFileInfo::exists(journal));
    QThread::msleep(300);
    ASSERT_EQ(p.state(), QProcess::Running) << "the import ended before it could be killed";
    p.kill(); // SIGKILL
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_EQ(p.exitStatus(), QProcess::CrashExit);

    const std::vector<Product> after = rows();
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < before.size(); ++i)
        ASSERT_EQ(after[i], before[i]) << "row " << i;
}
