#include "support/ProductSeeder.h"

#include "products/ProductStore.h"
#include "shared/Files.h"

#include <QSqlError>
#include <QSqlQuery>

namespace ztk::test {

bool seedRows(ProductStore &store, const QList<SeedRow> &rows, QString *error)
{
    QStringList cols, marks;
    for (const ColumnInfo &c : productColumns()) {
        // The server's table has its names folded to lower case: unquoted there.
        const QString name = QString::fromUtf8(c.name);
        cols << (store.isServer() ? name : QLatin1Char('"') + name + QLatin1Char('"'));
        marks << QStringLiteral("?");
    }
    QSqlQuery q(store.database());
    if (!q.prepare(QStringLiteral("insert into %1 (%2) values (%3)")
                       .arg(QLatin1String(files::TableName), cols.join(u','), marks.join(u',')))) {
        if (error)
            *error = q.lastError().text();
        return false;
    }
    for (const SeedRow &r : rows) {
        for (const QVariant &v : r.values)
            q.addBindValue(v.isNull() ? QVariant() : v);
        if (!q.exec()) {
            if (error)
                *error = q.lastError().text();
            return false;
        }
    }
    return true;
}

} // namespace ztk::test
