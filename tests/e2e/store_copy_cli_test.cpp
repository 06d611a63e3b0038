// Moving a shop to the server and back with ztk-cli db-copy, and a working folder
// whose "database.ini" names the server.
#include "transfer/ProductRows.h"

#include "products/Selection.h"
#include "shared/Messages.h"
#include "support/CliProcess.h"
#include "support/SimProcess.h"

#include <QDir>
#include <QFile>
#include <QUrl>

using namespace ztk;
using namespace ztk::test;

namespace {

QString u(const char *utf8) { return QString::fromUtf8(utf8); }

// A folder whose "LM_T.db" holds three products, and the server's table made anew.
class StoreCopyCli : public ::testing::TestWithParam<StoreKind> {
protected:
    void SetUp() override
    {
        ZTK_NEEDS_POSTGRES_OR_SKIP();
        QString why;
        server = PostgresServer::instance(&why);
        ASSERT_TRUE(server) << why.toStdString();
        ASSERT_TRUE(server->dropTable(&why)) << why.toStdString();
        StoredRow odd(3, u("Сыр «Д'Арк»"));
        odd.price = 0.29;
        odd.name5 = u("5");
        shop.add(odd);
        shop.addNumbers({1, 2});
        shop.store.close();
    }
    CliRun cli(const QString &dir, const QStringList &args) const
    {
        return runCli(dir, QStringList{QStringLiteral("--dir"), dir} + args);
    }
    // Every product of the store, the ids left out.
    static std::vector<Product> products(ProductStore &store)
    {
        std::vector<Product> rows;
        EXPECT_TRUE(store.select(wholeBaseSql(), rows)) << store.errorText().toStdString();
        for (Product &p : rows)
            p.rowid = -1;
        return rows;
    }
    std::vector<Product> onServer()
    {
        ProductStore s;
        EXPECT_TRUE(s.open(server->location())) << s.errorText().toStdString();
        return products(s);
    }
    std::vector<Product> inFolder(const QString &dir, const QString &file = QStringLiteral("LM_T.db"))
    {
        ProductStore s;
        EXPECT_TRUE(s.open(dir + QLatin1Char('/') + file)) << s.errorText().toStdString();
        return products(s);
    }

    PostgresServer *server = nullptr;
    ProductRowsFixture shop;
};
INSTANTIATE_ON_THE_SERVER(StoreCopyCli);

TEST_P(StoreCopyCli, ToTheServerAndBackInOneTransaction)
{
    const QString url = server->url();
    const std::vector<Product> original = inFolder(shop.dir.path());
    ASSERT_EQ(original.size(), 3u);

    CliRun r = cli(shop.dir.path(), {"db-copy", "--to", url});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, msg::text(msg::CopyDone).arg(3) + '\n');
    EXPECT_EQ(onServer(), original);

    // A table that holds rows is replaced only when asked to.
    r = cli(shop.dir.path(), {"db-copy", "--to", url});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, msg::text(msg::CopyTargetNotEmpty).arg(url) + '\n');
    QString error;
    ASSERT_TRUE(server->run(QStringLiteral("update lm_t1 set Name='изменено' where N=1"), &error)) << error.toStdString();
    r = cli(shop.dir.path(), {"db-copy", "--to", url, "--replace"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(onServer(), original);

    // Back into a new folder, and not over a folder's rows without --replace.
    QTemporaryDir other;
    r = cli(other.path(), {"db-copy", "--from", url});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(inFolder(other.path()), original);
    EXPECT_EQ(cli(shop.dir.path(), {"db-copy", "--from", url}).exitCode, 2);
    // Over a folder's rows with --replace: the rows as they were are kept in a backup first.
    r = cli(other.path(), {"db-copy", "--from", url, "--replace"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList backups = QDir(QDir(other.path()).filePath(QStringLiteral("backup"))).entryList(QDir::Files);
    ASSERT_EQ(backups.size(), 1);
    EXPECT_TRUE(r.err.contains(msg::text(msg::BackupMade).arg(QString()))) << r.err.toStdString();
    EXPECT_EQ(inFolder(QDir(other.path()).filePath(QStringLiteral("backup")), backups.first()), original);

    // A row the target refuses leaves the target as it was: all or nothing.
    ASSERT_TRUE(server->run(QStringLiteral("update lm_t1 set Name='x' where N=3"), &error)) << error.toStdString();
    ASSERT_TRUE(server->run(QStringLiteral("alter table lm_t1 add constraint short_names check (length(Name) < 10)"), &error))
        << error.toStdString();
    const std::vector<Product> before = onServer();
    r = cli(shop.dir.path(), {"db-copy", "--to", url, "--replace"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains(QLatin1String("short_names"))) << r.err.toStdString();
    EXPECT_EQ(onServer(), before);
}

TEST_P(StoreCopyCli, BadUsageAndAServerThatIsDown)
{
    const QString url = server->url();
    QTemporaryDir elsewhere;
    const struct {
        QStringList args;
        const char *errorPart;
    } cases[] = {
        {{"db-copy"}, "either --to URL or --from URL"},
        {{"db-copy", "--to", url, "--from", url}, "either --to URL or --from URL"},
        {{"db-copy", "--to", "shop.db"}, "postgresql://"},
        {{"--db", "mysql://x/y", "products"}, "postgresql://"},
        {{"--db"}, "--db needs a value"},
        {{"db-copy", "--to", "postgresql://ztk@" + QString::fromLatin1(QUrl::toPercentEncoding(elsewhere.path())) + "/shop"},
         "No such file or directory"},
    };
    const QByteArray file = readFileBytes(shop.dir.filePath(QStringLiteral("LM_T.db")));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const CliRun r = cli(shop.dir.path(), c.args);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(r.err.contains(QLatin1String(c.errorPart))) << r.err.toStdString();
    }
    EXPECT_EQ(readFileBytes(shop.dir.filePath(QStringLiteral("LM_T.db"))), file);
}

TEST_P(StoreCopyCli, FolderWhoseSettingsNameTheServerUsesIt)
{
    ASSERT_EQ(cli(shop.dir.path(), {"db-copy", "--to", server->url()}).exitCode, 0);
    QTemporaryDir till;
    QFile ini(till.filePath(QStringLiteral("database.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    const StoreLocation l = server->location();
    ini.write(QStringLiteral("host=%1\nport=%2\ndatabase=%3\nuser=%4\n").arg(l.host).arg(l.port).arg(l.database, l.user).toUtf8());
    ini.close();
    const CliRun listed = cli(till.path(), {"export", "out.txt"});
    EXPECT_EQ(listed.exitCode, 0) << listed.err.toStdString();
    EXPECT_TRUE(QFile::exists(till.filePath(QStringLiteral("out.txt"))));
    EXPECT_FALSE(QFile::exists(till.filePath(QStringLiteral("LM_T.db")))); // the server's table, no file
    const QStringList lines = QString::fromUtf8(readFileBytes(till.filePath(QStringLiteral("out.txt")))).split('\n');
    EXPECT_EQ(lines.size(), 5); // the header, three products and the end of the last line
}

} // namespace
