#pragma once
// A product store in a temporary directory with a dataset over it, the scripted
// operator and a clock that stands at 8 December 2026, 14:05:33.

#include "products/ProductDataset.h"
#include "products/ProductFields.h"
#include "products/ProductStore.h"
#include "support/Scripted.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <ostream>

// Readable failures for texts.
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace ztk::test {

inline void ensureCoreApplication()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "test_products";
    static char *argv[] = {name, nullptr};
    new QCoreApplication(argc, argv); // lives for the whole test program
}

struct Product {
    Product(qint64 n_, QString name_, QString type_ = QStringLiteral("0"), QString bestBefore_ = {},
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
        ASSERT_TRUE(store.open(path())) << store.errorText().toStdString();
    }

    QString path() const { return dir.filePath(QStringLiteral("LM_T.db")); }

    // Writes straight into the table, past the dataset.
    void add(const Product &p)
    {
        QSqlQuery q(store.database());
        ASSERT_TRUE(q.prepare(QString::fromUtf8(
            "insert into lm_t1 (N, Name, ТипТ, ГоденДо, Дата, Цена, Префикс, SK5, ДатаКоррекции) "
            "values (?, ?, ?, ?, ?, ?, ?, ?, ?)")));
        q.addBindValue(p.n);
        q.addBindValue(p.name);
        q.addBindValue(p.type);
        q.addBindValue(p.bestBefore.isEmpty() ? QVariant() : QVariant(p.bestBefore));
        q.addBindValue(p.date.isEmpty() ? QVariant() : QVariant(p.date));
        q.addBindValue(p.price);
        q.addBindValue(p.prefix);
        q.addBindValue(p.sk5);
        q.addBindValue(p.stamp.isEmpty() ? QVariant() : QVariant(p.stamp));
        ASSERT_TRUE(q.exec()) << q.lastError().text().toStdString();
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
        q.prepare(QStringLiteral("select \"%1\" from lm_t1 where N=?").arg(QString::fromUtf8(column)));
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

} // namespace ztk::test
