// Milliseconds to open a 5000-product store, its quick check included (the program
// does this at every start; wanted under 50 ms), and of the quick check alone.

#include "products/ProductStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace ztk;

namespace {

bool fill(const QString &path, int count)
{
    ProductStore store;
    if (!store.open(path))
        return false;
    QSqlDatabase db = store.database();
    db.transaction();
    QSqlQuery q(db);
    q.prepare(QString::fromUtf8("insert into lm_t1 (N, Name, Name2, SK5, Префикс, Цена, ГоденДо, ТипТ, ДатаКоррекции) "
                                "values (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (int n = 1; n <= count; ++n) {
        q.addBindValue(n);
        q.addBindValue(QString::fromUtf8("Товар номер %1 высшего сорта").arg(n));
        q.addBindValue(QString::fromUtf8("вторая строка названия %1").arg(n));
        q.addBindValue(n * 7);
        q.addBindValue(QStringLiteral("21"));
        q.addBindValue(double(n % 1000) + 0.25);
        q.addBindValue(QStringLiteral("26.12.31"));
        q.addBindValue(QString::number(n % 2));
        q.addBindValue(QStringLiteral("2026-12-08 14:05:33"));
        if (!q.exec())
            return false;
    }
    return db.commit();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("LM_T.db"));
    if (!fill(path, 5000)) {
        std::fprintf(stderr, "could not fill the store\n");
        return 1;
    }
    constexpr int Rounds = 30;
    std::vector<double> open, check;
    for (int i = 0; i < Rounds; ++i) {
        ProductStore store;
        QElapsedTimer t;
        t.start();
        if (!store.open(path)) {
            std::fprintf(stderr, "%s\n", store.errorText().toUtf8().constData());
            return 1;
        }
        open.push_back(double(t.nsecsElapsed()) / 1e6);
        t.restart();
        store.quickCheck();
        check.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::printf("store open with quick check, 5000 products: median %.2f ms, worst %.2f ms (target < 50 ms)\n",
                median(open), *std::max_element(open.begin(), open.end()));
    std::printf("quick check alone: median %.2f ms\n", median(check));
    return 0;
}
