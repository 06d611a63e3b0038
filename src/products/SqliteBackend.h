#pragma once
// The product store as the SQLite file of the working folder.

#include "products/StoreBackend.h"

namespace ztk {

class SqliteBackend final : public StoreBackend {
public:
    bool open(const StoreLocation &location, const QString &connection, QString &error) override;
    const SqlDialect &dialect() const override { return SqliteDialect; }
    QString rowIdColumn() const override { return QStringLiteral("rowid"); }
    QString column(int c) const override;
    bool select(QSqlDatabase &db, const QString &sql, std::vector<Product> &rows, ColumnSet *present,
                QString &error) override;
    QString insertTail() const override { return QString(); }
    void takeInsertedId(QSqlQuery &query, Product &product) const override;
    bool guardsVersions() const override { return false; }
    bool quickCheck(QSqlDatabase &db, QString &error) override;
    bool watchChanges(QSqlDatabase &db, std::function<void()> handler, QString &error) override;
    bool reconnect(QSqlDatabase &db, QString &error) override;
};

} // namespace ztk
