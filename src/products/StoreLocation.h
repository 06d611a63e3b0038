#pragma once
// Where a working folder's product table lives: the file "LM_T.db" in the folder, or
// a PostgreSQL server named by "database.ini" in the folder or by an address
// "postgresql://user@host:port/name". The password is never kept here: libpq takes
// it from ~/.pgpass or PGPASSWORD.

#include <QString>

namespace ztk {

struct StoreLocation {
    enum Kind { File, Server };
    Kind kind = File;
    QString path;     // File: the store file
    QString host;     // Server: a name, an address, or a socket folder; empty: libpq's default
    int port = 5432;
    QString database;
    QString user;

    bool isServer() const { return kind == Server; }
    // "postgresql://user@host:port/name", or the file's path.
    QString displayName() const;
};

// "postgresql://[user@]host[:port]/name" (also "postgres://"); a host that is a
// socket folder is written percent-encoded ("%2Ftmp%2Fpg"). False and `error` (the
// operator's message) when it is no such address.
bool parseStoreUrl(const QString &url, StoreLocation &out, QString &error);

// The store of `workDir`: `url` when given, else the server of "database.ini" when
// the folder has one, else "LM_T.db". False and `error` when the address or the
// file is wrong.
bool storeLocationOf(const QString &workDir, const QString &url, StoreLocation &out, QString &error);

} // namespace ztk
