// Milliseconds to back up a 5000-product store (SQLite's online backup into the
// backup folder), as done before every command that changes many rows.

#include "products/ProductStore.h"
#include "products/StoreBackup.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace ztk;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    ProductStore store;
    if (!store.open(dir.filePath(QStringLiteral("LM_T.db"))))
        return 1;
    {
        QSqlDatabase db = store.database();
        db.transaction();
        QSqlQuery q(db);
        q.prepare(QString::fromUtf8("insert into lm_t1 (N, Name, Name2, SK5, Префикс, Цена, ГоденДо, ТипТ) "
                                    "values (?, ?, ?, ?, ?, ?, ?, ?)"));
        for (int n = 1; n <= 5000; ++n) {
            for (const QVariant &v : {QVariant(n), QVariant(QString::fromUtf8("Товар номер %1 высшего сорта").arg(n)),
                                      QVariant(QString::fromUtf8("вторая строка названия %1").arg(n)), QVariant(n * 7),
                                      QVariant(QStringLiteral("21")), QVariant(double(n % 1000) + 0.25),
                                      QVariant(QStringLiteral("26.12.31")), QVariant(QString::number(n % 2))})
                q.addBindValue(v);
            if (!q.exec())
                return 1;
        }
        db.commit();
    }
    constexpr int Rounds = 25;
    std::vector<double> ms;
    QString last;
    const QDateTime start(QDate(2026, 1, 1), QTime(0, 0));
    for (int i = 0; i < Rounds; ++i) {
        QElapsedTimer t;
        t.start();
        const BackupResult r = backupStore(store.database(), dir.path(), start.addSecs(i));
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
        if (!r.ok) {
            std::fprintf(stderr, "%s\n", r.error.toUtf8().constData());
            return 1;
        }
        last = r.path;
    }
    std::sort(ms.begin(), ms.end());
    std::printf("backup of 5000 products (%lld bytes): median %.2f ms, worst %.2f ms\n",
                static_cast<long long>(QFileInfo(last).size()), ms[ms.size() / 2], ms.back());
    return 0;
}
