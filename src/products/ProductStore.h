#pragma once
// The SQLite file that holds "lm_t1". A missing file (or a database without any
// table) gets the schema; a file that is not this database is reported and never
// touched; a damaged one is refused at open.

#include <QSqlDatabase>
#include <QString>

namespace ztk {

class ProductStore {
public:
    ProductStore();
    ~ProductStore();
    ProductStore(const ProductStore &) = delete;
    ProductStore &operator=(const ProductStore &) = delete;

    // False and errorText() when the file cannot be opened as the product store or
    // fails the quick check.
    bool open(const QString &path);
    // SQLite's quick check of the whole file; false and errorText() naming the first fault.
    bool quickCheck();
    QString path() const; // the file opened
    void close();
    bool isOpen() const;
    QString errorText() const { return m_error; }
    QSqlDatabase database() const;

    static const char *schemaSql();

private:
    QString m_connection;
    QString m_error;
};

// Registers LIKE (with and without ESCAPE) that ignores the case of Cyrillic letters
// as well as Latin ones on the connection.
bool registerUnicodeLike(QSqlDatabase &db);

} // namespace ztk
