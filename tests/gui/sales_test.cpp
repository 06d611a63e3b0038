// The window "История продаж" offscreen: opened from the main window's menu over a history
// in the store, its period, grouping and scales, sorting, charts, export and report; and
// the main window's reception and the totals window's clears landing in the history.

#include "support/GuiFixture.h"
#include "support/SimProcess.h"

#include "app/Workspace.h"
#include "app/ui/Pd1.h"
#include "products/ProductStore.h"
#include "products/print/ReportPrinter.h"
#include "sales/SalesReport.h"
#include "sales/ui/Istprod.h"
#include "shared/Messages.h"
#include "totals/ui/Pdsd.h"

#include <QAction>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QHorizontalBarSeries>
#include <QLabel>
#include <QLineSeries>
#include <QListWidget>
#include <QProcess>
#include <QStandardPaths>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>
#include <gtest/gtest.h>

using namespace ztk;
using namespace ztk::test;

// Readable failures for texts.
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {

QList<SeedProduct> shop()
{
    SeedProduct milk;
    milk.n = 260;
    milk.name = QStringLiteral("Молоко");
    milk.prefix = QStringLiteral("0");
    SeedProduct bread;
    bread.n = 4999;
    bread.name = QStringLiteral("Хлеб");
    bread.prefix = QStringLiteral("21");
    return {milk, bread};
}

TotalsImage imageOf(std::initializer_list<std::pair<int, TotalsCounters>> sales)
{
    TotalsImage image;
    for (const auto &[n, c] : sales)
        image.setCounters(n, c);
    return image;
}

QDateTime night(int day)
{
    return QDateTime(QDate(2026, 12, day), QTime(23, 30));
}

TFormIstprod *openFromMenu()
{
    QAction *item = Form1->findChild<QAction *>(QStringLiteral("N15"));
    if (!item)
        return nullptr;
    item->trigger();
    return Form1->findChild<TFormIstprod *>();
}

QStringList shownRow(const TFormIstprod *w, int row)
{
    QStringList cells;
    const QAbstractItemModel *m = w->StringGrid1->model();
    for (int c = 0; c < m->columnCount(); ++c)
        cells << m->index(row, c).data().toString();
    return cells;
}

QString pdfText(const QByteArray &pdf, const QString &dir)
{
    const QString path = QDir(dir).filePath(QStringLiteral("report.pdf"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(pdf) != pdf.size())
        return {};
    f.close();
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

TEST(SalesWindow, ShowsFiltersSortsChartsExportsAndPrints)
{
    GuiFixture f;
    ASSERT_TRUE(f.seedProducts(shop())) << f.error().toStdString();
    {
        ProductStore store;
        ASSERT_TRUE(store.open(f.path("LM_T.db"))) << store.errorText().toStdString();
        SalesHistory h(store);
        const auto put = [&](const char *scale, const QDateTime &at, const TotalsImage &image) {
            ASSERT_EQ(h.storeReception(QString::fromLatin1(scale), at, image), SalesHistory::Stored::Added)
                << h.errorText().toStdString();
        };
        // November's reception is before the month the window opens on.
        put("kassa1", QDateTime(QDate(2026, 11, 30), QTime(23, 30)), imageOf({{260, {1000, 3000, 1}}}));
        put("kassa1", night(1), imageOf({{260, {2500, 7530, 4}}, {4999, {7, 123456, 2}}}));
        put("kassa2", night(1), imageOf({{260, {100, 50, 1}}}));
        put("kassa1", night(3), imageOf({{260, {3000, 9000, 6}}, {4999, {9, 130000, 3}}}));
    }
    ASSERT_TRUE(f.start());
    TFormIstprod *w = openFromMenu();
    ASSERT_TRUE(w);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->windowTitle(), msg::text(msg::SalesCaption));
    EXPECT_EQ(openFromMenu(), w); // one window, raised again

    // This month, by product, every scale.
    EXPECT_EQ(w->DateEdit1->date(), QDate(2026, 12, 1));
    EXPECT_EQ(w->DateEdit2->date(), QDate(2026, 12, 8));
    ASSERT_EQ(w->StringGrid1->model()->rowCount(), 2);
    EXPECT_EQ(shownRow(w, 0), (QStringList{"260", "Молоко", "2,100", "60,50", "6"}));
    EXPECT_EQ(shownRow(w, 1), (QStringList{"4999", "Хлеб", "9", "1300,00", "3"}));
    EXPECT_TRUE(w->Label1->text().contains(QStringLiteral("1360,50"))) << w->Label1->text().toStdString();

    // Sorting by money, then by name, whatever the order of the texts.
    w->StringGrid1->sortByColumn(3, Qt::DescendingOrder);
    EXPECT_EQ(shownRow(w, 0)[0], QStringLiteral("4999"));
    w->StringGrid1->sortByColumn(3, Qt::AscendingOrder); // 60,50 before 1300,00 as values, not as texts
    EXPECT_EQ(shownRow(w, 0)[0], QStringLiteral("260"));
    w->StringGrid1->sortByColumn(1, Qt::DescendingOrder);
    EXPECT_EQ(shownRow(w, 0)[1], QStringLiteral("Хлеб"));

    // The charts: the products by money, the days with receptions.
    auto *bars = qobject_cast<QHorizontalBarSeries *>(w->Chart1->chart()->series().value(0));
    ASSERT_TRUE(bars);
    ASSERT_EQ(bars->barSets().size(), 1);
    EXPECT_EQ(bars->barSets()[0]->count(), 2);
    EXPECT_DOUBLE_EQ(bars->barSets()[0]->at(1), 1300.0); // the most money on top
    auto *line = qobject_cast<QLineSeries *>(w->Chart2->chart()->series().value(0));
    ASSERT_TRUE(line);
    ASSERT_EQ(line->count(), 2);
    EXPECT_DOUBLE_EQ(line->at(0).y(), 1280.36); // 1 December, both scales
    EXPECT_DOUBLE_EQ(line->at(1).y(), 80.14);

    // By day, kassa2 not ticked.
    w->ComboBox1->setCurrentIndex(w->ComboBox1->findData(int(SalesGrouping::Day)));
    // The scales of the history, and the port's scale of the list, which has none yet.
    ASSERT_EQ(w->CheckListBox1->count(), 3);
    const QList<QListWidgetItem *> kassa2 = w->CheckListBox1->findItems(QStringLiteral("kassa2"), Qt::MatchExactly);
    ASSERT_EQ(kassa2.size(), 1);
    kassa2.front()->setCheckState(Qt::Unchecked);
    w->Button1Click();
    ASSERT_EQ(w->StringGrid1->model()->rowCount(), 4);
    w->StringGrid1->sortByColumn(-1, Qt::AscendingOrder);
    EXPECT_EQ(shownRow(w, 0), (QStringList{"2026-12-01", "260", "Молоко", "1,500", "45,30", "3"}));
    EXPECT_EQ(shownRow(w, 3), (QStringList{"2026-12-03", "4999", "Хлеб", "2", "65,44", "1"}));

    // Export: the spreadsheet file of what is shown, ".csv" added.
    const QString exported = QDir(f.dir()).filePath(QStringLiteral("week"));
    f.prompter.file(exported);
    w->Button2Click();
    QFile csv(exported + QStringLiteral(".csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_EQ(csv.readAll(), salesCsv(w->listing(), SalesGrouping::Day));

    // The report as printed.
    if (!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) {
        const QString text = pdfText(reportPdf(w->reportText()), f.dir());
        EXPECT_TRUE(text.contains(msg::text(msg::SalesCaption))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("2026-12-03"))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("65,44"))) << text.toStdString();
    }

    // Today: nothing yet, a total of zero. A period the wrong way round: said, nothing changed.
    w->SpeedButton1Click();
    w->Button1Click();
    EXPECT_EQ(w->StringGrid1->model()->rowCount(), 0);
    EXPECT_TRUE(w->Label1->text().contains(QStringLiteral("0,00")));
    w->SpeedButton2Click();
    EXPECT_EQ(w->DateEdit1->date(), QDate(2026, 12, 7)); // Monday
    w->DateEdit1->setDate(QDate(2026, 12, 9));
    f.prompter.clear();
    w->Button1Click();
    EXPECT_EQ(f.prompter.texts(), QStringList{msg::text(msg::SalesBadPeriod).arg("2026-12-09", "2026-12-08")});
    EXPECT_EQ(w->shownQuery().period.to, QDate(2026, 12, 8));
}

TEST(SalesWindow, TheMainWindowsReceptionAndTheTotalsWindowsClearsAreRecorded)
{
    GuiFixture f;
    ASSERT_TRUE(f.seedProducts(shop())) << f.error().toStdString();
    ASSERT_TRUE(f.startSimulator({"--sale", "260:1500:4530:3", "--sale", "4999:7:123456:2"})) << f.error().toStdString();
    ASSERT_TRUE(f.start());
    ASSERT_TRUE(f.showMain());
    const auto receive = [&](const std::function<void()> &inside) {
        bool shown = false;
        QTimer poll;
        poll.setInterval(5);
        QObject::connect(&poll, &QTimer::timeout, Form5, [&] {
            if (!Form5->isVisible())
                return;
            poll.stop();
            shown = true;
            inside();
            Form5->N3Click();
        });
        poll.start();
        Form1->N4Click();
        return shown;
    };
    // Received, then "Очистка ИД товара" of 260 alone.
    ASSERT_TRUE(receive([&] {
        Form5->StringGrid1->setCurrentCell(0, 1);
        Form5->N2Click();
    }));
    ProductStore &store = Form1->workspace().store();
    const auto clears = [&] {
        std::vector<QVariantList> rows;
        EXPECT_TRUE(store.exec(QStringLiteral("select product from ztk_totals_clear order by moment, product"), {}, &rows));
        QList<int> products;
        for (const QVariantList &r : rows)
            products << r.value(0).toInt();
        return products;
    };
    EXPECT_EQ(clears(), QList<int>{260});
    // Received again: 260 is cleared in the scale, 4999 unchanged; "Очистка всех ИД" clears
    // 4999 (the save offered is cancelled).
    f.clock.advance(60000);
    ASSERT_TRUE(receive([&] { Form5->N1Click(); }));
    EXPECT_EQ(clears(), (QList<int>{260, 4999}));

    // Two receptions, each sale counted once.
    SalesHistory history(store);
    SalesListing listing;
    ASSERT_TRUE(history.listing({}, listing)) << history.errorText().toStdString();
    EXPECT_EQ(salesLines(listing, SalesGrouping::Product, QStringLiteral(",")),
              (QStringList{"260\tМолоко\t1,500\t45,30\t3", "4999\tХлеб\t7\t1234,56\t2", "Итого\t\t\t1279,86\t5"}));
    QStringList scales;
    ASSERT_TRUE(history.scales(scales));
    EXPECT_EQ(scales, QStringList{Form1->workspace().scales().nameOfPort(
                          QString::fromLocal8Bit(Form1->workspace().portConfig().portName))});
}
