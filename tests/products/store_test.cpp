#include "ProductFixture.h"

#include <QFile>
#include <QDir>
#include <QSqlDatabase>
#include <functional>

using namespace ztk;
using namespace ztk::test;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

class StoreFileTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ensureCoreApplication(); }
    QTemporaryDir dir;
    QString path() const { return dir.filePath(QStringLiteral("LM_T.db")); }
};

} // namespace

TEST_F(StoreFileTest, MissingFileIsCreatedWithTheTable)
{
    ProductStore store;
    ASSERT_TRUE(store.open(path())) << store.errorText().toStdString();
    QSqlQuery q(store.database());
    ASSERT_TRUE(q.exec(QString::fromUtf8("select N, ДатаКоррекции, Name, SK5, Префикс, Цена, ГоденДо, Name2, Name3, "
                                         "Name4, Name5, ТипТ, Дата, Время from lm_t1")))
        << q.lastError().text().toStdString();
    // N is unique at the store.
    ASSERT_TRUE(q.exec(QStringLiteral("insert into lm_t1 (N) values (7)")));
    EXPECT_FALSE(q.exec(QStringLiteral("insert into lm_t1 (N) values (7)")));
}

TEST_F(StoreFileTest, FilesThatAreNotTheStoreAreReportedAndLeftAlone)
{
    struct Case {
        const char *what;
        std::function<void(const QString &)> make;
        const char *errorPart;
    };
    const Case cases[] = {
        {"text file",
         [](const QString &p) { writeAll(p, QByteArray("N;Name\r\n1;Молоко\r\n").repeated(50)); },
         "not a database"},
        {"database without lm_t1",
         [](const QString &p) {
             {
                 QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("maker"));
                 db.setDatabaseName(p);
                 ASSERT_TRUE(db.open());
                 QSqlQuery(db).exec(QStringLiteral("create table other (a)"));
                 db.close();
             }
             QSqlDatabase::removeDatabase(QStringLiteral("maker"));
         },
         "no such table"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(path());
        c.make(path());
        const QByteArray before = readAll(path());
        ASSERT_FALSE(before.isEmpty());

        ProductStore store;
        EXPECT_FALSE(store.open(path()));
        EXPECT_TRUE(store.errorText().contains(QLatin1String(c.errorPart))) << store.errorText().toStdString();
        EXPECT_FALSE(store.isOpen());
        EXPECT_EQ(readAll(path()), before);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1); // no journal left behind
    }
}

TEST_F(ProductTest, LikeIgnoresCaseOfCyrillicAndLatinLetters)
{
    struct Case {
        const char *text;
        const char *pattern;
        const char *escape; // nullptr: no ESCAPE clause
        int expected;
    };
    const Case cases[] = {
        {"Молоко", "%мол%", nullptr, 1},
        {"МОЛОКО 3,2%", "%молоко%", nullptr, 1},
        {"йогурт Ёжик", "%ЁЖИК", nullptr, 1},
        {"Apple", "%PL%", nullptr, 1},
        {"кефир", "%мол%", nullptr, 0},
        {"0", "0", nullptr, 1},
        {"05", "5", nullptr, 0},
        {"сыр", "с_р", nullptr, 1},
        {"сыр", "с_", nullptr, 0},
        {"Д'Арк", "%д'а%", nullptr, 1},
        {"100%", "100!%", "!", 1},
        {"1000", "100!%", "!", 0},
        {"a_b", "a!_b", "!", 1},
        {"axb", "a!_b", "!", 0},
        {"", "%", nullptr, 1},
        {"abcabd", "%ab_", nullptr, 1},
        {"mississippi", "%ss%pp_", nullptr, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.text) + " LIKE " + c.pattern);
        QSqlQuery q(store.database());
        ASSERT_TRUE(q.prepare(c.escape ? QStringLiteral("select ? like ? escape ?") : QStringLiteral("select ? like ?")));
        q.addBindValue(QString::fromUtf8(c.text));
        q.addBindValue(QString::fromUtf8(c.pattern));
        if (c.escape)
            q.addBindValue(QString::fromUtf8(c.escape));
        ASSERT_TRUE(q.exec() && q.next()) << q.lastError().text().toStdString();
        EXPECT_EQ(q.value(0).toInt(), c.expected);
    }
    QSqlQuery q(store.database());
    ASSERT_TRUE(q.exec(QStringLiteral("select NULL like 'a', 'a' like NULL")) && q.next());
    EXPECT_TRUE(q.value(0).isNull());
    EXPECT_TRUE(q.value(1).isNull());
    EXPECT_FALSE(q.exec(QStringLiteral("select 'a' like 'a' escape 'xy'")));
}
