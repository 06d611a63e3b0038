#pragma once
// A real product store in a temporary folder, filled row by row, and its selection
// as a dataset, for the image and list tests.

#include "products/ProductDataset.h"
#include "products/ProductStore.h"
#include "support/Scripted.h"
#include "transfer/ProductImage.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>
#include <gtest/gtest.h>

#include <memory>

namespace ztk::test {

inline void ensureCoreApp()
{
    static int argc = 1;
    static char arg0[] = "test_transfer";
    static char *argv[] = {arg0, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv); // lives for the whole test program
}

struct Product {
    Product(QVariant number, QString firstName) : n(std::move(number)), name(std::move(firstName)) {}
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
    ProductRowsFixture()
    {
        ensureCoreApp();
        EXPECT_TRUE(store.open(dir.filePath(QStringLiteral("LM_T.db")))) << store.errorText().toStdString();
    }

    void add(const Product &p)
    {
        QSqlQuery q(store.database());
        q.prepare(QStringLiteral("insert into lm_t1 (N, ДатаКоррекции, Name, SK5, Префикс, Цена, ГоденДо, Name2, "
                                 "Name3, Name4, Name5, ТипТ) values (?,?,?,?,?,?,?,?,?,?,?,?)"));
        for (const QVariant &v : {p.n, p.stamp, QVariant(p.name), p.sk5, p.prefix, p.price, p.bestBefore,
                                  QVariant(p.name2), QVariant(p.name3), QVariant(p.name4), QVariant(p.name5), p.type})
            q.addBindValue(v);
        EXPECT_TRUE(q.exec()) << q.lastError().text().toStdString();
    }
    void addNumbers(std::initializer_list<int> numbers)
    {
        for (int n : numbers)
            add(Product{n, QStringLiteral("Товар %1").arg(n)});
    }

    // The rows of `sql` as the image build sees them.
    std::vector<ProductRow> rows(const QString &sql = QStringLiteral("select * from lm_t1 order by N"))
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
