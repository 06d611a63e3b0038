// The table shared on a server by several PCs: each PC a store and a dataset of its
// own on the test program's server. A store refused because another PC changed the
// row, grids that follow the others' changes, a connection that is lost and made
// again, and servers that cannot be used.

#include "ProductFixture.h"

#include "products/RecordEditing.h"
#include "products/Selection.h"
#include "shared/Messages.h"

#include <QDeadlineTimer>
#include <QTest>

using namespace ztk;
using namespace ztk::test;

namespace {

QString u(const char *utf8) { return QString::fromUtf8(utf8); }

// PC 1 is the fixture's store and dataset; PC 2 opens the same table.
class SharedStoreFixture : public ProductTest {
protected:
    void SetUp() override
    {
        ProductTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_TRUE(otherStore.open(store.location())) << otherStore.errorText().toStdString();
        addNumbers(1, 5);
        ASSERT_TRUE(ds.open(wholeBaseSql()));
        ASSERT_TRUE(other.open(wholeBaseSql()));
    }
    // Lets the event loop deliver the server's notifications until `done`, for at most
    // ten seconds.
    template <class Done>
    bool pumpUntil(Done done)
    {
        QDeadlineTimer deadline(10000);
        while (!done() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return done();
    }
    void goTo(ProductDataset &d, qint64 n)
    {
        d.first();
        while (d.integer(fld::N) != n && d.next()) {
        }
        ASSERT_EQ(d.integer(fld::N), n);
    }

    ProductStore otherStore;
    ScriptedPrompter otherPrompter;
    ProductDataset other{otherStore, clock, otherPrompter};
};

// Answers yes to every question, having let `meanwhile` happen while it was asked.
class AnsweringPrompter final : public Prompter {
public:
    using Prompter::message;
    void message(const QString &, const QString &) override {}
    Answer ask(const QString &, const QString &, Buttons) override
    {
        if (meanwhile)
            meanwhile();
        return Answer::Yes;
    }
    QString openFileName(const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &, const QString &) override { return {}; }
    std::function<void()> meanwhile;
};

// Server only: the cases are about what only a shared table has.
using SharedStoreTest = OnBothStores<SharedStoreFixture>;
INSTANTIATE_ON_THE_SERVER(SharedStoreTest);

} // namespace

TEST_P(SharedStoreTest, StoringARecordAnotherPcChangedIsRefusedAndShowsItAsItNowIs)
{
    goTo(ds, 3);
    goTo(other, 3);
    ds.setValue(fld::Name, u("Молоко (ПК 1)"));
    ASSERT_TRUE(ds.post());

    other.setValue(fld::Name, u("Кефир (ПК 2)"));
    EXPECT_FALSE(other.post());
    EXPECT_EQ(otherPrompter.texts(), QStringList{msg::text(msg::RowChangedElsewhere)});
    EXPECT_EQ(other.state(), DatasetState::Browse);
    EXPECT_EQ(other.text(fld::Name), u("Молоко (ПК 1)"));
    EXPECT_EQ(stored(3, fld::Name), QVariant(u("Молоко (ПК 1)")));

    // Read again, the record stores.
    other.setValue(fld::Name, u("Кефир (ПК 2)"));
    EXPECT_TRUE(other.post());
    EXPECT_EQ(stored(3, fld::Name), QVariant(u("Кефир (ПК 2)")));
}

TEST_P(SharedStoreTest, SameNumberStoredByTwoPcsLeavesOneRow)
{
    ds.insert();
    ds.setValue(fld::N, qlonglong(7));
    other.insert();
    other.setValue(fld::N, qlonglong(7));
    other.setValue(fld::Name, u("ПК 2"));
    EXPECT_TRUE(ds.post());
    EXPECT_FALSE(other.post());
    ASSERT_EQ(otherPrompter.shown.size(), 1);
    EXPECT_TRUE(otherPrompter.shown[0].text.contains(duplicateNumberText())) << otherPrompter.shown[0].text.toStdString();
    EXPECT_EQ(other.state(), DatasetState::Insert); // nothing typed is lost
    EXPECT_EQ(other.text(fld::Name), u("ПК 2"));
    EXPECT_EQ(storedCount(), 6);
}

TEST_P(SharedStoreTest, GridFollowsTheOtherPcsKeepingItsCurrentRecordAndItsEdit)
{
    ASSERT_TRUE(other.followStoreChanges());
    goTo(other, 4);

    // The rows before the current one move behind it: the current record stays the same record.
    ASSERT_TRUE(QSqlQuery(store.database()).exec(QStringLiteral("update lm_t1 set N=N+10 where N<=2")));
    ASSERT_TRUE(pumpUntil([&] { return other.rowValue(0, fld::N).toLongLong() == 3; }));
    EXPECT_EQ(other.integer(fld::N), 4);
    EXPECT_EQ(other.position(), 2);

    // While PC 2 edits, its record waits; the other PC's change arrives after its store.
    other.setValue(fld::Name, u("правка ПК 2"));
    goTo(ds, 5);
    ds.setValue(fld::Name, u("правка ПК 1"));
    ASSERT_TRUE(ds.post());
    QTest::qWait(300); // the notice arrives meanwhile
    EXPECT_EQ(other.text(fld::Name), u("правка ПК 2"));
    EXPECT_TRUE(other.isModified());
    ASSERT_TRUE(other.post());
    ASSERT_TRUE(pumpUntil([&] { return other.rowValue(2, fld::Name) == QVariant(u("правка ПК 1")); }));
    EXPECT_EQ(other.state(), DatasetState::Browse); // refreshed
    EXPECT_EQ(other.integer(fld::N), 4);
    EXPECT_EQ(stored(4, fld::Name), QVariant(u("правка ПК 2")));
}

TEST_P(SharedStoreTest, RecordAskedAboutIsTheOneDeletedWhateverTheOtherPcsDoMeanwhile)
{
    ASSERT_TRUE(other.followStoreChanges());
    goTo(other, 3);
    QString selection = wholeBaseSql();
    AnsweringPrompter asking;
    RecordEditing editing(other, asking, selection);
    // While PC 2's operator reads "Удалить запись из БД?", PC 1 deletes that record.
    asking.meanwhile = [&] {
        ASSERT_TRUE(QSqlQuery(store.database()).exec(QStringLiteral("delete from lm_t1 where N=3")));
        QTest::qWait(300); // the notice arrives while the question is open
    };
    editing.deleteCurrent();
    EXPECT_EQ(storedCount(), 4); // N=4, current once N=3 went, is still there
    ASSERT_TRUE(pumpUntil([&] { return other.recordCount() == 4; }));
    EXPECT_EQ(other.rowValue(2, fld::N), QVariant(qlonglong(4)));
}

TEST_P(SharedStoreTest, LostConnectionIsMadeAgainAndTheEditStores)
{
    goTo(other, 2);
    other.setValue(fld::Name, u("после обрыва"));
    // The server ends PC 2's session, as a restart or a dropped network would.
    ASSERT_TRUE(QSqlQuery(store.database())
                    .exec(QStringLiteral("select pg_terminate_backend(pid) from pg_stat_activity "
                                         "where application_name = 'ztk' and pid <> pg_backend_pid()")));
    EXPECT_TRUE(other.post()) << other.errorText().toStdString();
    EXPECT_EQ(stored(2, fld::Name), QVariant(u("после обрыва")));
    EXPECT_TRUE(otherPrompter.shown.isEmpty());
}

TEST_P(SharedStoreTest, ServersThatCannotBeUsedAreReportedAndNothingIsWritten)
{
    StoreLocation down = store.location();
    down.host = dir.path(); // no server listens there
    StoreLocation stranger = store.location();
    stranger.user = QStringLiteral("nobody_here");
    StoreLocation noDatabase = store.location();
    noDatabase.database = QStringLiteral("no_such_shop");
    const struct {
        const char *what;
        StoreLocation location;
        const char *errorPart;
    } cases[] = {
        {"server down", down, "No such file or directory"},
        {"login refused", stranger, "role \"nobody_here\" does not exist"},
        {"no database", noDatabase, "database \"no_such_shop\" does not exist"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ProductStore s;
        EXPECT_FALSE(s.open(c.location));
        EXPECT_TRUE(s.errorText().contains(QLatin1String(c.errorPart))) << s.errorText().toStdString();
        EXPECT_FALSE(s.isOpen());
    }

    // A table of another shape is left as it is.
    store.close();
    QString error;
    PostgresServer *server = PostgresServer::instance(&error);
    ASSERT_TRUE(server->dropTable(&error)) << error.toStdString();
    ASSERT_TRUE(server->run(QStringLiteral("create table lm_t1 (N integer, Name text)"), &error)) << error.toStdString();
    ProductStore s;
    EXPECT_FALSE(s.open(store.location()));
    EXPECT_EQ(s.errorText(), msg::text(msg::ServerTableShape).arg(QStringLiteral("shop"), QLatin1String(ServerRowIdColumn)));
    QSqlQuery q(otherStore.database());
    ASSERT_TRUE(q.exec(QStringLiteral("select count(*) from information_schema.columns where table_name = 'lm_t1'")) && q.next());
    EXPECT_EQ(q.value(0).toInt(), 2);
    ASSERT_TRUE(q.exec(QStringLiteral("select count(*) from pg_trigger where tgname like 'ztk%'")) && q.next());
    EXPECT_EQ(q.value(0).toInt(), 0);
}

// --- where the store is

TEST(StoreLocation, AddressesAndServerSettings)
{
    const struct {
        const char *url;
        bool ok;
        const char *host;
        int port;
        const char *database;
        const char *user;
    } cases[] = {
        {"postgresql://kassa@db.shop:5433/shop", true, "db.shop", 5433, "shop", "kassa"},
        {"postgres://db.shop/shop", true, "db.shop", 5432, "shop", ""},
        {"postgresql://kassa@%2Ftmp%2Fpg/shop", true, "/tmp/pg", 5432, "shop", "kassa"},
        {"postgresql://u@[::1]:6000/магазин", true, "::1", 6000, "магазин", "u"},
        {"postgresql://kassa:secret@db/shop", false, "", 0, "", ""}, // a password is never taken
        {"postgresql://db:99999/shop", false, "", 0, "", ""},
        {"postgresql://db/", false, "", 0, "", ""},
        {"mysql://db/shop", false, "", 0, "", ""},
        {"LM_T.db", false, "", 0, "", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.url);
        StoreLocation l;
        QString error;
        EXPECT_EQ(parseStoreUrl(QString::fromUtf8(c.url), l, error), c.ok);
        if (!c.ok) {
            EXPECT_EQ(error, msg::text(msg::StoreUrlBad).arg(QString::fromUtf8(c.url)));
            continue;
        }
        EXPECT_EQ(l.host, QString::fromUtf8(c.host));
        EXPECT_EQ(l.port, c.port);
        EXPECT_EQ(l.database, QString::fromUtf8(c.database));
        EXPECT_EQ(l.user, QString::fromUtf8(c.user));
        // The address shown reads back as the same place.
        StoreLocation again;
        ASSERT_TRUE(parseStoreUrl(l.displayName(), again, error)) << l.displayName().toStdString();
        EXPECT_EQ(again.host, l.host);
        EXPECT_EQ(again.database, l.database);
    }

    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("database.ini"));
    auto withIni = [&](const QByteArray &text, StoreLocation &l, QString &error) {
        QFile f(ini);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
        f.close();
        return storeLocationOf(dir.path(), QString(), l, error);
    };
    StoreLocation l;
    QString error;
    ASSERT_TRUE(storeLocationOf(dir.path(), QString(), l, error)); // no file: LM_T.db
    EXPECT_FALSE(l.isServer());
    EXPECT_EQ(l.path, dir.filePath(QStringLiteral("LM_T.db")));
    ASSERT_TRUE(withIni("[database]\n# the head office\nhost = 10.0.0.5\nport=5433\ndatabase=shop\nuser=kassa1\n", l, error));
    EXPECT_TRUE(l.isServer());
    EXPECT_EQ(l.displayName(), QStringLiteral("postgresql://kassa1@10.0.0.5:5433/shop"));
    // --db wins over the file.
    ASSERT_TRUE(storeLocationOf(dir.path(), QStringLiteral("postgresql://x@y/z"), l, error));
    EXPECT_EQ(l.database, QStringLiteral("z"));
    for (const char *bad : {"host=a\n", "database=shop\nport=http\n", "database=shop\npassword=secret\n", "database shop\n"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(withIni(bad, l, error));
        EXPECT_TRUE(error.startsWith(msg::text(msg::DatabaseIniBad).arg(ini, QString()))) << error.toStdString();
    }
}
