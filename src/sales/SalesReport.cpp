#include "sales/SalesReport.h"

#include "shared/Messages.h"
#include "shared/ProgramLocale.h"

namespace ztk {

namespace {

QString csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(';')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n'))
        && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

bool grouped(SalesGrouping by)
{
    return by != SalesGrouping::Product;
}

} // namespace

std::optional<QDate> parseSalesDay(const QString &text)
{
    const QDate day = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
    // fromString takes "2026-1-5" too.
    if (!day.isValid() || day.toString(QStringLiteral("yyyy-MM-dd")) != text)
        return std::nullopt;
    return day;
}

std::optional<SalesGrouping> parseSalesGrouping(const QString &text)
{
    if (text == QLatin1String("product"))
        return SalesGrouping::Product;
    if (text == QLatin1String("day"))
        return SalesGrouping::Day;
    if (text == QLatin1String("scale"))
        return SalesGrouping::Scale;
    return std::nullopt;
}

QString unitsText(std::int64_t units, int decimals, const QString &decimalPoint)
{
    std::int64_t scale = 1;
    for (int i = 0; i < decimals; ++i)
        scale *= 10;
    const bool negative = units < 0;
    const std::uint64_t magnitude = negative ? std::uint64_t(0) - std::uint64_t(units) : std::uint64_t(units);
    QString text = (negative ? QStringLiteral("-") : QString()) + QString::number(magnitude / std::uint64_t(scale));
    if (decimals > 0)
        text += decimalPoint + QStringLiteral("%1").arg(magnitude % std::uint64_t(scale), decimals, 10, QLatin1Char('0'));
    return text;
}

QStringList salesHeaders(SalesGrouping by)
{
    QStringList h;
    if (by == SalesGrouping::Day)
        h << msg::text(msg::SalesHeaderDay);
    else if (by == SalesGrouping::Scale)
        h << msg::text(msg::SalesHeaderScale);
    h << msg::text(msg::TotalsHeaderN) << msg::text(msg::TotalsHeaderName) << msg::text(msg::SalesHeaderAmount)
      << msg::text(msg::TotalsHeaderMoney) << msg::text(msg::TotalsHeaderWeighings);
    return h;
}

QStringList salesCells(const SalesRow &row, SalesGrouping by, const QString &decimalPoint)
{
    QStringList c;
    if (grouped(by))
        c << row.group;
    c << QString::number(row.product) << row.name
      << (row.weighed ? unitsText(row.sold.amount, 3, decimalPoint) : QString::number(row.sold.amount))
      << unitsText(row.sold.money, 2, decimalPoint) << QString::number(row.sold.weighings);
    return c;
}

QStringList salesTotalCells(const SalesListing &listing, SalesGrouping by, const QString &decimalPoint)
{
    QStringList c{msg::text(msg::SalesTotal)};
    if (grouped(by))
        c << QString();
    c << QString() << QString() << unitsText(listing.total.money, 2, decimalPoint)
      << QString::number(listing.total.weighings);
    return c;
}

QStringList salesLines(const SalesListing &listing, SalesGrouping by, const QString &decimalPoint)
{
    QStringList lines;
    for (const SalesRow &row : listing.rows)
        lines << salesCells(row, by, decimalPoint).join(QLatin1Char('\t'));
    lines << salesTotalCells(listing, by, decimalPoint).join(QLatin1Char('\t'));
    return lines;
}

QByteArray salesCsv(const SalesListing &listing, SalesGrouping by)
{
    const QString comma = programLocale().decimalPoint();
    const auto line = [](const QStringList &cells) {
        QStringList fields;
        for (const QString &c : cells)
            fields << csvField(c);
        return fields.join(QLatin1Char(';')) + QStringLiteral("\r\n");
    };
    QString text = line(salesHeaders(by));
    for (const SalesRow &row : listing.rows)
        text += line(salesCells(row, by, comma));
    text += line(salesTotalCells(listing, by, comma));
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

QString salesReport(const SalesListing &listing, SalesGrouping by, const SalesPeriod &period)
{
    const QString comma = programLocale().decimalPoint();
    const auto day = [](const std::optional<QDate> &d) {
        return d ? d->toString(QStringLiteral("yyyy-MM-dd")) : msg::text(msg::SalesAllTime);
    };
    std::vector<QStringList> table{salesHeaders(by)};
    for (const SalesRow &row : listing.rows)
        table.push_back(salesCells(row, by, comma));
    table.push_back(salesTotalCells(listing, by, comma));
    // Every column as wide as its widest cell; the name left-aligned, figures right.
    const int nameColumn = grouped(by) ? 2 : 1;
    std::vector<qsizetype> width(std::size_t(table.front().size()), 0);
    for (const QStringList &cells : table)
        for (qsizetype c = 0; c < cells.size(); ++c)
            width[std::size_t(c)] = std::max(width[std::size_t(c)], cells[c].size());
    QStringList lines{msg::text(msg::SalesCaption),
                      msg::text(msg::SalesPeriodLine).arg(day(period.from), day(period.to)), QString()};
    for (const QStringList &cells : table) {
        QStringList padded;
        for (qsizetype c = 0; c < cells.size(); ++c) {
            const int w = int(width[std::size_t(c)]);
            padded << (c == nameColumn || (c == 0 && grouped(by)) ? cells[c].leftJustified(w) : cells[c].rightJustified(w));
        }
        QString line = padded.join(QStringLiteral("  "));
        while (line.endsWith(QLatin1Char(' ')))
            line.chop(1);
        lines << line;
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace ztk
