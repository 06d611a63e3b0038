// The product table as text and as a report, 5000 products in a temporary folder:
// milliseconds to export, to import (into an empty table and over the same
// products), to build the report, and seconds to print it into a PDF.
// Targets: import under 1 s, export and report under 200 ms.

#include "products/ProductDataset.h"
#include "products/ProductImport.h"
#include "products/ProductReport.h"
#include "products/ProductStore.h"
#include "products/ProductTextFile.h"
#include "products/print/ReportPrinter.h"
#include "shared/DateText.h"
#include "shared/OutputFile.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

using namespace ztk;

namespace {

class CountingPrompter final : public Prompter {
public:
    void message(const QString &, const QString &) override { ++shown; }
    Answer ask(const QString &, const QString &, Buttons) override { return Answer::Ok; }
    QString openFileName(const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &, const QString &) override { return {}; }
    int shown = 0;
};

bool fill(ProductStore &store, int count)
{
    QSqlDatabase db = store.database();
    db.transaction();
    QSqlQuery q(db);
    q.prepare(QString::fromUtf8("insert into lm_t1 (N, Name, Name2, SK5, Префикс, Цена, ГоденДо, ТипТ, Дата, Время, "
                                "ДатаКоррекции) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    const QDate base(2026, 1, 1);
    for (int n = 1; n <= count; ++n) {
        q.addBindValue(n);
        q.addBindValue(QString::fromUtf8("Молоко пастеризованное %1").arg(n));
        q.addBindValue(QString::fromUtf8("жирность 3,2%"));
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

// The median of `runs` timings, in milliseconds.
double medianMs(int runs, const std::function<void()> &work)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    constexpr int Products = 5000;
    QTemporaryDir dir;
    ProductStore store;
    if (!store.open(dir.filePath(QStringLiteral("LM_T.db"))) || !fill(store, Products)) {
        std::fprintf(stderr, "cannot fill the store\n");
        return 1;
    }
    const QLocale locale(QLocale::Russian, QLocale::Russia);
    const QString file = dir.filePath(QStringLiteral("products.txt"));
    std::vector<Product> rows;

    const double exportMs = medianMs(5, [&] {
        store.select(QStringLiteral("select * from lm_t1 order by N"), rows);
        writeOutputFile(dir.path(), file, productTextFileBytes(rows, locale), msg::FileNotWritten);
    });
    std::printf("export of %d products: %.1f ms (target < 200 ms)\n", Products, exportMs);

    SystemClock clock;
    CountingPrompter prompter;
    ImportSettings settings;
    settings.clock = &clock;
    settings.prompter = &prompter;
    settings.locale = locale;
    const double updateMs = medianMs(3, [&] { importProductFile(store, file, settings); });
    std::printf("import of %d lines over the same products: %.1f ms (target < 1000 ms)\n", Products, updateMs);
    int run = 0;
    const double insertMs = medianMs(3, [&] {
        ProductStore empty;
        empty.open(dir.filePath(QStringLiteral("empty%1.db").arg(run++)));
        importProductFile(empty, file, settings);
    });
    std::printf("import of %d lines into an empty table: %.1f ms (target < 1000 ms)\n", Products, insertMs);

    store.select(QStringLiteral("select * from lm_t1 order by N"), rows);
    const QDateTime now = QDateTime::currentDateTime();
    QString report;
    const double reportMs = medianMs(5, [&] { report = buildReport(rows, std::nullopt, now); });
    std::printf("report of %d products: %.1f ms (target < 200 ms), %lld lines\n", Products, reportMs,
                static_cast<long long>(report.count(QLatin1Char('\n'))));

    const double pdfMs = medianMs(1, [&] { 
        writeOutputFile(dir.path(), dir.filePath(QStringLiteral("report.pdf")), reportPdf(report), msg::FileNotWritten);
     });
    std::printf("PDF of the report: %.2f s\n", pdfMs / 1000.0);
    return prompter.shown == 0 ? 0 : 1;
}
