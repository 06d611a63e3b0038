#pragma once
// A product store in a temporary directory with a dataset over it, the scripted
// operator and a clock that stands at 8 December 2026, 14:05:33. A fixture made
// OnBothStores runs each of its cases on the file and on the test program's own
// PostgreSQL server, whose table is made anew for every case.

#include "products/ProductDataset.h"
#include "products/ProductFields.h"
#include "products/ProductStore.h"
#include "support/PostgresServer.h"
#include "support/ProductSeeder.h"
#include "support/Scripted.h"
#include "support/TestApplication.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <ostream>

// Readable failures for texts.
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace ztk::test {

struct ProductSeed {
    ProductSeed(qint64 n_, QString name_, QString type_ = QStringLiteral("0"), QString bestBefore_ = {},
            QString date_ = {}, double price_ = 0, QString prefix_ = {})
        : n(n_), name(std::move(name_)), type(std::move(type_)), bestBefore(std::move(bestBefore_)),
          date(std::move(date_)), price(price_), prefix(std::move(prefix_)) {}
    qint64 n = 0;
    QString name;
    QString type = QStringLiteral("0");
    QString bestBefore;
    QString date;
    double price = 0;
    QString prefix;
    qint64 sk5 = 0;
    QString stamp;
};

class ProductTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ensureCoreApplication(); }
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        if (storeKind() == StoreKind::Server) {
            ZTK_NEEDS_POSTGRES_OR_SKIP();
            QString why;
            PostgresServer *server = PostgresServer::instance(&why);
            ASSERT_TRUE(server) << why.toStdString();
            ASSERT_TRUE(server->dropTable(&why)) << why.toStdString();
            ASSERT_TRUE(store.open(server->location())) << store.errorText().toStdString();
            return;
        }
        ASSERT_TRUE(store.open(path())) << store.errorText().toStdString();
    }
    virtual StoreKind storeKind() const { return StoreKind::File; }
    // A part of the store's text for a second row with a number already taken.
    QString duplicateNumberText() const
    {
        return store.isServer() ? QStringLiteral("duplicate key value violates unique constraint")
                                : QStringLiteral("UNIQUE constraint failed");
    }

    QString path() const { return dir.filePath(QStringLiteral("LM_T.db")); }

    // Writes straight into the table, past the dataset.
    void add(const ProductSeed &p)
    {
        SeedRow r;
        r.set(ProductColumn::N, p.n)
            .set(ProductColumn::Name, p.name)
            .set(ProductColumn::Type, p.type)
            .set(ProductColumn::BestBefore, textOrNull(p.bestBefore))
            .set(ProductColumn::Date, textOrNull(p.date))
            .set(ProductColumn::Price, p.price)
            .set(ProductColumn::Prefix, p.prefix)
            .set(ProductColumn::SK5, p.sk5)
            .set(ProductColumn::CorrStamp, textOrNull(p.stamp));
        QString error;
        ASSERT_TRUE(seedRows(store, {r}, &error)) << error.toStdString();
    }
    void addNumbers(qint64 from, qint64 to, const QString &type = QStringLiteral("0"))
    {
        for (qint64 n = from; n <= to; ++n)
            add({n, QStringLiteral("P%1").arg(n), type});
    }

    // A column of the record numbered n, read from the file.
    QVariant stored(qint64 n, const char *column)
    {
        QSqlQuery q(store.database());
        q.prepare(QStringLiteral("select %1 from lm_t1 where N=?").arg(QString::fromUtf8(column)));
        q.addBindValue(n);
        if (!q.exec() || !q.next())
            return QVariant(QStringLiteral("<missing>"));
        return q.value(0);
    }
    int storedCount()
    {
        QSqlQuery q(store.database());
        q.exec(QStringLiteral("select count(*) from lm_t1"));
        return q.next() ? q.value(0).toInt() : -1;
    }
    // "N" of every row of the dataset, in order.
    QList<qint64> numbers() const
    {
        QList<qint64> out;
        for (int r = 0; r < ds.recordCount(); ++r)
            out << ds.rowValue(r, fld::N).toLongLong();
        return out;
    }

    QTemporaryDir dir;
    ProductStore store;
    FakeClock clock;
    ScriptedPrompter prompter;
    ProductDataset ds{store, clock, prompter};
};

// The cases of `Fixture` on both stores: TEST_P, and INSTANTIATE_ON_BOTH_STORES(Fixture).
template <class Fixture>
class OnBothStores : public Fixture, public ::testing::WithParamInterface<StoreKind> {
protected:
    StoreKind storeKind() const override { return this->GetParam(); }
};

} // namespace ztk::test
