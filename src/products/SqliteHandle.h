#pragma once
// The sqlite3 handle behind a Qt connection, for what the driver does not offer.

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>

#include <sqlite3.h>

namespace ztk {

// nullptr when the connection is not SQLite's.
inline sqlite3 *sqliteHandle(QSqlDatabase &db)
{
    if (!db.driver())
        return nullptr;
    const QVariant v = db.driver()->handle();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(v.constData());
}

} // namespace ztk
