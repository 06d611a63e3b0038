#include "products/StoreBackend.h"

#include "products/PostgresBackend.h"
#include "products/SqliteBackend.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <array>

namespace ztk {

std::unique_ptr<StoreBackend> storeBackendFor(const StoreLocation &location)
{
    if (location.isServer())
        return std::make_unique<PostgresBackend>();
    return std::make_unique<SqliteBackend>();
}

bool selectThroughDriver(QSqlDatabase &db, const QString &sql, const QString &rowIdName, const QString &versionName,
                         std::vector<Product> &rows, ColumnSet *present, QString &error)
{
    rows.clear();
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(sql)) {
        error = q.lastError().text();
        return false;
    }
    const QSqlRecord rec = q.record();
    const int rowidAt = rec.indexOf(rowIdName);
    const int versionAt = versionName.isEmpty() ? -1 : rec.indexOf(versionName);
    std::array<int, ProductColumnCount> at{};
    for (int c = 0; c < ProductColumnCount; ++c) {
        at[std::size_t(c)] = rec.indexOf(QString::fromUtf8(productColumns()[std::size_t(c)].name));
        if (present)
            (*present)[std::size_t(c)] = at[std::size_t(c)] >= 0;
    }
    while (q.next()) {
        Product p;
        p.rowid = rowidAt >= 0 ? q.value(rowidAt).toLongLong() : -1;
        p.version = versionAt >= 0 ? q.value(versionAt).toLongLong() : -1;
        for (int c = 0; c < ProductColumnCount; ++c)
            if (at[std::size_t(c)] >= 0)
                p.setValue(ProductColumn(c), q.value(at[std::size_t(c)]));
        rows.push_back(std::move(p));
    }
    if (q.lastError().isValid()) {
        error = q.lastError().text();
        rows.clear();
        return false;
    }
    return true;
}

} // namespace ztk
