// The report printed into a PDF through the print path: landscape pages, the job
// name, and every line found again by pdftotext.

#include "products/ProductReport.h"
#include "products/print/ReportPrinter.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ztk;

namespace {

QString u(const char *utf8) { return QString::fromUtf8(utf8); }

QGuiApplication &app()
{
    static int argc = 1;
    static char name[] = "test_print";
    static char *argv[] = {name, nullptr};
    static QGuiApplication *a = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QGuiApplication(argc, argv);
    }();
    return *a;
}

QString run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000))
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

TEST(ReportPrint, FontIsFixedPitch)
{
    app();
    EXPECT_TRUE(QFontInfo(reportScreenFont()).fixedPitch());
    EXPECT_EQ(QFontInfo(reportScreenFont()).pixelSize(), 13);
}

TEST(ReportPrint, PdfIsLandscapeAndHoldsEveryLine)
{
    app();
    const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdfinfo.isEmpty() || pdftotext.isEmpty())
        GTEST_SKIP() << "poppler-utils are not installed";

    std::vector<Product> rows;
    for (int n = 1; n <= 40; ++n) { // more than one page
        Product p;
        p.number = WholeField{n, {}};
        p.names[0] = u("Товар номер %1").arg(n);
        p.names[1] = u("строка два");
        p.price = PriceField{Price::fromTenThousandths(n * 12500), {}};
        p.bestBefore = u("26.12.31");
        p.correctionStamp = u("2026-12-01 09:30:00");
        p.prefix = u("21");
        rows.push_back(p);
    }
    const QString report = buildReport(rows, std::nullopt, QDateTime(QDate(2026, 12, 8), QTime(14, 5, 33)));
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    {
        QFile out(pdf);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(reportPdf(report));
    }

    const QString info = run(pdfinfo, {pdf});
    const QRegularExpressionMatch size = QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+)")).match(info);
    ASSERT_TRUE(size.hasMatch()) << info.toStdString();
    EXPECT_GT(size.captured(1).toDouble(), size.captured(2).toDouble()); // landscape
    EXPECT_GT(QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info).captured(1).toInt(), 1);
    EXPECT_TRUE(info.contains(u("Печать БД"))) << info.toStdString();

    const QString text = run(pdftotext, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QStringList found;
    for (const QString &line : text.split(QLatin1Char('\n')))
        found << line.simplified();
    for (const QString &line : report.split(QLatin1Char('\n'))) {
        if (!line.trimmed().isEmpty()) {
            EXPECT_TRUE(found.contains(line.simplified())) << line.toStdString();
        }
    }
}
