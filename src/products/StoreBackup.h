#pragma once
// A copy of the product store taken before a command that changes many rows:
// "backup/LM_T-YYYY-MM-DD_HH-MM-SS.db" in the working folder, made with SQLite's
// online backup, the newest 20 kept. Restoring is copying that file to "LM_T.db".

#include <QDateTime>
#include <QSqlDatabase>
#include <QString>

namespace ztk {

class ProductStore;

struct BackupResult {
    bool ok = false;
    QString path;  // the copy made
    QString error; // why there is none
};

inline constexpr int BackupsKept = 20;
inline constexpr const char BackupFolder[] = "backup";

// Copies the open store `db` into the backup folder of `workDir`, named by `now`.
BackupResult backupStore(const QSqlDatabase &db, const QString &workDir, const QDateTime &now);
// The open store into the backup folder of the folder it lives in; a store on a
// server is not copied (ok, no path).
BackupResult backupStore(ProductStore &store, const QDateTime &now);
// The same from a store file that is not open.
BackupResult backupStore(const QString &storePath, const QString &workDir, const QDateTime &now);

} // namespace ztk
