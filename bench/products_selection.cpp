// Milliseconds per selection switch and per "Запись" (store and advance) over a
// table of 5000 products in a temporary folder. The grid wants each under 50 ms.
// With --server, the same on a PostgreSQL server of its own on this machine.

#include "products/ProductDataset.h"
#include "products/ProductStore.h"
#include "products/RecordEditing.h"
#include "products/Selection.h"
#include "shared/DateText.h"
#ifndef ZTK_NO_SERVER
#include "support/PostgresServer.h"
#endif

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>

using namespace ztk;

namespace {

class SilentPrompter final : public Prompter {
public:
    void message(const QString &text, const QString &) override
    {
        std::fprintf(stderr, "message: %s\n", text.toUtf8().constData());
    }
    Answer ask(const QString &, const QString &, Buttons b) override { return b == Buttons::YesNo ? Answer::Yes : Answer::Ok; }
    QString openFileName(const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &, const QString &) override { return {}; }
};

bool fill(ProductStore &store, int count)
{
    QSqlDatabase db = store.database();
    db.transaction();
    QSqlQuery q(db);
    q.prepare(QString::fromUtf8("insert into lm_t1 (N, Name, SK5, Префикс, Цена, ГоденДо, ТипТ, Дата, Время, "
                                "ДатаКоррекции) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    const QStringList names{QString::fromUtf8("Молоко"), QString::fromUtf8("Кефир"), QString::fromUtf8("Сыр"),
                            QString::fromUtf8("Колбаса"), QString::fromUtf8("Хлеб")};
    const QDate base(2026, 1, 1);
    for (int n = 1; n <= count; ++n) {
        q.addBindValue(n);
        q.addBindValue(names[n % names.size()] + QStringLiteral(" %1").arg(n));
        q.addBindValue(n % 100000);
        q.addBindValue(QString::number(20 + n % 10));
        q.addBindValue(double(n % 1000) + 0.25);
        q.addBindValue(datetext::yearFirst(base.addDays(n % 365)));
        q.addBindValue(QString::number(n % 2));
        q.addBindValue(datetext::yearFirst(base.addDays(n % 200)));
        q.addBindValue(QStringLiteral("12:00:00"));
        q.addBindValue(datetext::storeStamp(QDateTime(base.addDays(n % 200), QTime(12, 0))));
        if (!q.exec())
            return false;
    }
    return db.commit();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    ProductStore store;
#ifndef ZTK_NO_SERVER
    test::PostgresServer *server = nullptr;
    if (app.arguments().contains(QStringLiteral("--server"))) {
        QString why;
        server = test::PostgresServer::instance(&why);
        if (!server) {
            std::fprintf(stderr, "no server: %s\n", why.toUtf8().constData());
            return 1;
        }
    }
#else // built without the tests' support: the file only
    struct NoServer { StoreLocation location() const { return {}; } void stop() {} } *server = nullptr;
#endif
    const bool opened = server ? store.open(server->location()) : store.open(dir.filePath(QStringLiteral("LM_T.db")));
    if (!dir.isValid() || !opened || !fill(store, 5000)) {
        std::fprintf(stderr, "cannot prepare the table: %s\n", store.errorText().toUtf8().constData());
        return 1;
    }
    std::printf("store: %s\n", server ? "PostgreSQL server (Unix socket)" : "SQLite file");
    SystemClock clock;
    SilentPrompter prompter;
    ProductDataset ds(store, clock, prompter);

    SelectionArgs nameArgs;
    nameArgs.nameFragment = QString::fromUtf8("мол");
    SelectionArgs rangeArgs;
    rangeArgs.low = 10;
    rangeArgs.high = 2500;
    SelectionArgs dateArgs;
    dateArgs.date = QDate(2026, 6, 1);
    const struct {
        const char *what;
        QString sql;
    } switches[] = {
        {"all (5000 rows)", selectionSql(SelectionQuery::All)},
        {"weight (2500)", selectionSql(SelectionQuery::Weight)},
        {"name LIKE %мол%", selectionSql(SelectionQuery::Name, nameArgs)},
        {"range 10..2500", selectionSql(SelectionQuery::NumberRange, rangeArgs)},
        {"best-before after a date", selectionSql(SelectionQuery::BestBeforeAfter, dateArgs)},
    };
    constexpr int rounds = 20;
    std::printf("selection switch, ms (average of %d)\n", rounds);
    for (const auto &s : switches) {
        QElapsedTimer t;
        t.start();
        int rows = 0;
        for (int i = 0; i < rounds; ++i) {
            ds.open(s.sql);
            rows = ds.recordCount();
        }
        std::printf("  %-28s %7.2f  (%d rows)\n", s.what, double(t.nsecsElapsed()) / 1e6 / rounds, rows);
    }

    // "Запись": store the current record, reload the whole base, go to the next position.
    QString selection = selectionSql(SelectionQuery::All);
    ds.open(selection);
    ds.moveBy(1000);
    RecordEditing editing(ds, prompter, selection);
    // What the grid and the panel would redraw on: counted per command.
    int resets = 0, currentChanges = 0;
    QObject::connect(&ds, &ProductDataset::reset, [&] { ++resets; });
    QObject::connect(&ds, &ProductDataset::currentChanged, [&] { ++currentChanges; });
    constexpr int stores = 30;
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < stores; ++i) {
        ds.setValue(fld::Name2, QStringLiteral("bench %1").arg(i));
        editing.storeAndAdvance();
    }
    std::printf("store and advance, ms (average of %d): %7.2f  (now at %d)\n", stores,
                double(t.nsecsElapsed()) / 1e6 / stores, ds.position());
    std::printf("  grid resets per command: %.2f, current-record changes per command: %.2f\n",
                double(resets) / stores, double(currentChanges) / stores);
    store.close();
    if (server)
        server->stop();
    return 0;
}
