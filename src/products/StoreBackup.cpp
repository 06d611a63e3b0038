#include "products/StoreBackup.h"

#include "products/ProductStore.h"
#include "shared/Messages.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QSqlDriver>
#include <QVariant>

#include <sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace ztk {

namespace {

sqlite3 *handleOf(const QSqlDatabase &db)
{
    if (!db.isOpen() || !db.driver())
        return nullptr;
    const QVariant v = db.driver()->handle();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(v.constData());
}

// Keeps the newest `BackupsKept`; the names sort by their time.
void prune(QDir dir)
{
    const QStringList names = dir.entryList({QStringLiteral("LM_T-*.db")}, QDir::Files, QDir::Name | QDir::Reversed);
    for (qsizetype i = BackupsKept; i < names.size(); ++i)
        dir.remove(names[i]);
}

BackupResult copyFrom(sqlite3 *source, const QString &workDir, const QDateTime &now)
{
    BackupResult r;
    QDir dir(workDir);
    if (!dir.mkpath(QString::fromLatin1(BackupFolder)) || !dir.cd(QString::fromLatin1(BackupFolder))) {
        r.error = msg::text(msg::CannotWriteFile).arg(dir.filePath(QString::fromLatin1(BackupFolder)),
                                                     QString::fromLocal8Bit(std::strerror(errno)));
        return r;
    }
    const QString stem = QStringLiteral("LM_T-") + now.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
    QString name = stem + QStringLiteral(".db");
    // Two commands within one second keep both copies.
    for (int n = 2; dir.exists(name); ++n)
        name = QStringLiteral("%1-%2.db").arg(stem).arg(n);
    r.path = dir.filePath(name);

    // Written under a working name and renamed when complete, so that a copy in the
    // folder is always a whole one.
    const QString working = r.path + QStringLiteral(".part");
    QFile::remove(working);
    sqlite3 *target = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(working).constData(), &target,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_backup *b = sqlite3_backup_init(target, "main", source, "main");
        if (!b) {
            rc = sqlite3_errcode(target);
        } else {
            // All pages in one step: the table is small and a step at a time would
            // start over whenever our own connection writes in between.
            rc = sqlite3_backup_step(b, -1);
            const int finish = sqlite3_backup_finish(b);
            rc = rc == SQLITE_DONE ? finish : rc;
        }
    }
    if (rc != SQLITE_OK)
        r.error = QString::fromUtf8(target ? sqlite3_errmsg(target) : sqlite3_errstr(rc));
    sqlite3_close(target);
    if (rc != SQLITE_OK) {
        QFile::remove(working);
        r.path.clear();
        return r;
    }
    if (std::rename(QFile::encodeName(working).constData(), QFile::encodeName(r.path).constData()) != 0) {
        r.error = msg::text(msg::CannotWriteFile).arg(r.path, QString::fromLocal8Bit(std::strerror(errno)));
        QFile::remove(working);
        r.path.clear();
        return r;
    }
    prune(dir);
    r.ok = true;
    return r;
}

} // namespace

BackupResult backupStore(const QSqlDatabase &db, const QString &workDir, const QDateTime &now)
{
    sqlite3 *source = handleOf(db);
    if (!source) {
        BackupResult r;
        r.error = msg::text(msg::StoreNotOpen);
        return r;
    }
    return copyFrom(source, workDir, now);
}

BackupResult backupStore(const QString &storePath, const QString &workDir, const QDateTime &now)
{
    sqlite3 *source = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(storePath).constData(), &source, SQLITE_OPEN_READONLY, nullptr);
    BackupResult r;
    if (rc != SQLITE_OK)
        r.error = QString::fromUtf8(source ? sqlite3_errmsg(source) : sqlite3_errstr(rc));
    else
        r = copyFrom(source, workDir, now);
    sqlite3_close(source);
    return r;
}

BackupResult backupStore(ProductStore &store, const QDateTime &now)
{
    // A server's table is the server's to back up: there is no file here to copy.
    if (store.isServer()) {
        BackupResult r;
        r.ok = true;
        return r;
    }
    return backupStore(store.database(), QFileInfo(store.path()).absolutePath(), now);
}

} // namespace ztk
