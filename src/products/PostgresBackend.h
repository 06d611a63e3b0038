#pragma once
// The product store as the table "lm_t1" on a PostgreSQL server that several PCs
// share: made when missing (with the triggers that number versions and tell the other
// connections of changes), refused when of another shape; a lost connection is made
// again.

#include "products/StoreBackend.h"

namespace ztk {

class PostgresBackend final : public StoreBackend {
public:
    bool open(const StoreLocation &location, const QString &connection, QString &error) override;
    const SqlDialect &dialect() const override { return PostgresDialect; }
    QString rowIdColumn() const override { return QLatin1String(ServerRowIdColumn); }
    QString column(int c) const override;
    bool select(QSqlDatabase &db, const QString &sql, std::vector<Product> &rows, ColumnSet *present,
                QString &error) override;
    QString insertTail() const override;
    QString keptIdClause() const override { return QStringLiteral(" overriding system value"); }
    void takeInsertedId(QSqlQuery &query, Product &product) const override;
    bool guardsVersions() const override { return true; }
    bool quickCheck(QSqlDatabase &, QString &) override { return true; }
    bool watchChanges(QSqlDatabase &db, std::function<void()> handler, QString &error) override;
    bool reconnect(QSqlDatabase &db, QString &error) override;

private:
    bool prepareTable(QSqlDatabase &db, QString &error);
    bool subscribe(QSqlDatabase &db, QString &error);

    QString m_database;
    std::function<void()> m_onChange;
    bool m_notifyConnected = false;
};

} // namespace ztk
