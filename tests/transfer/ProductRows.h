#pragma once
// A real product store in a temporary folder, filled row by row, and its selection
// as a dataset, for the image and list tests.

#include "products/ProductDataset.h"
#include "products/ProductStore.h"
#include "support/PostgresServer.h"
#include "support/ProductSeeder.h"
#include "support/Scripted.h"
#include "support/TestApplication.h"
#include "transfer/ProductImage.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>
#include <gtest/gtest.h>

#include <memory>

namespace ztk::test {

struct StoredRow {
    StoredRow(QVariant number, QString firstName) : n(std::move(number)), name(std::move(firstName)) {}
    QVariant n;
    QString name;
    QVariant sk5 = 1;
    QVariant price = 1.5;
    QVariant bestBefore;
    QVariant stamp;
    QVariant type = QStringLiteral("0");
    QVariant prefix = QStringLiteral("21");
    QString name2, name3, name4, name5;
};

class ProductRowsFixture {
public:
    // The folder's "LM_T.db", or the test program's server with its table made anew.
    explicit ProductRowsFixture(StoreKind kind = StoreKind::File)
    {
        ensureCoreApplication();
        if (kind == StoreKind::Server) {
            QString why;
            PostgresServer *server = PostgresServer::instance(&why);
            EXPECT_TRUE(server && server->dropTable(&why)) << why.toStdString();
            EXPECT_TRUE(server && store.open(server->location())) << store.errorText().toStdString();
            return;
        }
        EXPECT_TRUE(store.open(dir.filePath(QStringLiteral("LM_T.db")))) << store.errorText().toStdString();
    }
    // ztk-cli's option for the store: none for the folder's file.
    QStringList storeOption() const
    {
        return store.isServer() ? QStringList{QStringLiteral("--db"), store.location().displayName()} : QStringList{};
    }

    void add(const StoredRow &p)
    {
        SeedRow r;
        r.set(ProductColumn::N, p.n)
            .set(ProductColumn::CorrStamp, p.stamp)
            .set(ProductColumn::Name, p.name)
            .set(ProductColumn::SK5, p.sk5)
            .set(ProductColumn::Prefix, p.prefix)
            .set(ProductColumn::Price, p.price)
            .set(ProductColumn::BestBefore, p.bestBefore)
            .set(ProductColumn::Name2, p.name2)
            .set(ProductColumn::Name3, p.name3)
            .set(ProductColumn::Name4, p.name4)
            .set(ProductColumn::Name5, p.name5)
            .set(ProductColumn::Type, p.type);
        QString error;
        EXPECT_TRUE(seedRows(store, {r}, &error)) << error.toStdString();
    }
    void addNumbers(std::initializer_list<int> numbers)
    {
        for (int n : numbers)
            add(StoredRow{n, QStringLiteral("Товар %1").arg(n)});
    }

    // The rows of `sql` as the image build sees them.
    std::vector<ztk::Product> rows(const QString &sql = QStringLiteral("select * from lm_t1 order by N"))
    {
        dataset = std::make_unique<ProductDataset>(store, clock, prompter);
        EXPECT_TRUE(dataset->open(sql)) << dataset->errorText().toStdString();
        return selectionRows(*dataset);
    }

    ProductImage image(const std::optional<QSet<int>> &list = std::nullopt,
                       const QString &sql = QStringLiteral("select * from lm_t1 order by N"))
    {
        ProductImage img;
        img.build(rows(sql), list, clock.now().date());
        return img;
    }

    QTemporaryDir dir;
    ProductStore store;
    FakeClock clock;
    ScriptedPrompter prompter;
    std::unique_ptr<ProductDataset> dataset;
};

} // namespace ztk::test
