// The report text: the fixed-width layout of the five lines, the walk over the
// selection and the list; the RTF file read back by an independent reader.

#include "ProductFixture.h"

#include "products/ProductReport.h"
#include "products/RtfWriter.h"

#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

using namespace ztk;
using namespace ztk::test;

namespace {

QString u(const char *utf8) { return QString::fromUtf8(utf8); }
QString spaces(int n) { return QString(n, QLatin1Char(' ')); }

const QDateTime kNow(QDate(2026, 12, 8), QTime(14, 5, 33));

Product product(qint64 n, const QString &name, const QString &prefix = u("20"), qint64 priceTenThousandths = 125000)
{
    Product p;
    p.number = WholeField{n, {}};
    p.names[0] = name;
    p.barcode = WholeField{123, {}};
    p.prefix = prefix;
    p.price = PriceField{Price::fromTenThousandths(priceTenThousandths), {}};
    p.bestBefore = u("26.12.31");
    p.correctionStamp = u("2026-12-01 09:30:00");
    return p;
}

QStringList lines(const QString &report)
{
    QStringList out = report.split(QLatin1Char('\n'));
    EXPECT_TRUE(out.isEmpty() || out.last().isEmpty()); // every line ends with a break
    out.removeLast();
    return out;
}

QString collapsed(QString s)
{
    return s.simplified();
}

} // namespace

TEST(ProductReport, LineOneLayout)
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia)); // the price keeps its point
    const QString name30 = u("Колбаса докторская высший сорт");
    ASSERT_EQ(name30.size(), 30);
    struct Case { Product p; QString line; } cases[] = {
        {product(7, u("Молоко"), u("2")),
         spaces(10) + u("   7 ") + spaces(22) + u("Молоко 00123 2    12.50 31.12.26 ") + spaces(17) + u(" 01.12.26 09:30:00")},
        {product(12, u("Сыр"), u("12"), 123450), // 12.345 rounds up; a two-digit prefix widens the line
         spaces(10) + u("  12 ") + spaces(25) + u("Сыр 00123 12    12.35 31.12.26 ") + spaces(17) + u(" 01.12.26 09:30:00")},
        {product(5000, name30, u("ab"), 0), // a longer name widens; a prefix that is no number is 0
         spaces(10) + u("5000 ") + name30 + u(" 00123 0     0.00 31.12.26 ") + spaces(17) + u(" 01.12.26 09:30:00")},
    };
    for (const Case &c : cases) {
        const QStringList got = lines(reportLines(c.p, kNow));
        ASSERT_EQ(got.size(), 5);
        EXPECT_EQ(got[0], c.line);
    }
    EXPECT_EQ(lines(reportLines(cases[0].p, kNow))[0].size(), 105);
    QLocale::setDefault(QLocale::c());
}

TEST(ProductReport, NameLinesAlwaysFour)
{
    Product p = product(3, u("Хлеб"));
    p.names[2] = u("третья");
    const QStringList got = lines(reportLines(p, kNow));
    ASSERT_EQ(got.size(), 5);
    EXPECT_EQ(got[1], spaces(43));
    EXPECT_EQ(got[2], spaces(15) + spaces(22) + u("третья"));
    EXPECT_EQ(got[3], spaces(43));
    EXPECT_EQ(got[4], spaces(43));
}

TEST(ProductReport, WalkListAndEmptySelection)
{
    std::vector<Product> rows;
    Product zero = product(0, u("Ноль")); // sorts first and must not stop the walk
    rows.push_back(zero);
    for (int n : {1, 2, 4, 5})
        rows.push_back(product(n, u("Товар %1").arg(n)));
    rows.push_back(product(5001, u("Сверх")));

    auto numbers = [](const QString &report) {
        QList<int> out;
        const QStringList l = lines(report);
        for (qsizetype i = 0; i < l.size(); i += 5)
            out << l[i].mid(10, 4).trimmed().toInt();
        return out;
    };
    EXPECT_EQ(numbers(buildReport(rows, std::nullopt, kNow)), (QList<int>{1, 2, 4, 5}));
    EXPECT_EQ(numbers(buildReport(rows, QSet<int>{5, 2, 3}, kNow)), (QList<int>{2, 5}));
    EXPECT_EQ(buildReport(rows, QSet<int>{}, kNow), QString());
    EXPECT_EQ(buildReport({}, std::nullopt, kNow), QString());
}

TEST(ReportRtf, ReadBackByUnrtfFindsEveryLine)
{
    const QString unrtf = QStandardPaths::findExecutable(QStringLiteral("unrtf"));
    if (unrtf.isEmpty())
        GTEST_SKIP() << "unrtf is not installed";
    std::vector<Product> rows{product(1, u("Молоко «Весёлое»")), product(2, u("Tea {green} \\ €"))};
    rows[1].names[1] = u("Ёжик в тумане");
    const QString report = buildReport(rows, std::nullopt, kNow);

    const QByteArray rtf = rtfDocument(report, u("Courier New"), 9.75);
    EXPECT_TRUE(rtf.startsWith("{\\rtf1"));
    EXPECT_TRUE(rtf.contains("Courier New"));
    EXPECT_TRUE(rtf.contains("\\fs20"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.txt"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(rtf);
    f.close();

    QProcess p;
    p.start(unrtf, {QStringLiteral("--html"), path});
    ASSERT_TRUE(p.waitForFinished(30000));
    QString html = QString::fromUtf8(p.readAllStandardOutput());
    // The entities carry the letters.
    static const QRegularExpression entity(QStringLiteral("&#(\\d+);"));
    QString decoded;
    qsizetype at = 0;
    for (auto it = entity.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        decoded += html.mid(at, m.capturedStart() - at) + QChar(m.captured(1).toInt());
        at = m.capturedEnd();
    }
    decoded += html.mid(at);
    decoded.replace(u("&euro;"), u("€")).replace(u("&laquo;"), u("«")).replace(u("&raquo;"), u("»"));
    decoded.replace(u("&lt;"), u("<")).replace(u("&gt;"), u(">")).replace(u("&amp;"), u("&"));
    decoded.replace(u("&nbsp;"), u(" "));
    QStringList found;
    for (const QString &part : decoded.split(u("<br>")))
        found << collapsed(part.section(QLatin1Char('>'), -1)); // the text after any tag
    for (const QString &line : lines(report)) {
        if (!line.trimmed().isEmpty()) {
            EXPECT_TRUE(found.contains(collapsed(line))) << line.toStdString() << "\n" << decoded.toStdString();
        }
    }
    EXPECT_TRUE(decoded.contains(u("Courier New")));
}
