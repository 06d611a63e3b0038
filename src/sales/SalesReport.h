#pragma once
// A sales listing as text: the tab-separated lines of ztk-cli sales, the spreadsheet file
// (UTF-8 with a byte order mark, ";" between fields, a decimal comma, CR LF: what a Russian
// spreadsheet opens without asking) and the printed report.

#include "sales/SalesHistory.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace ztk {

// "YYYY-MM-DD" and only that; nothing otherwise.
std::optional<QDate> parseSalesDay(const QString &text);
// The text of a grouping as --by takes it ("product", "day", "scale").
std::optional<SalesGrouping> parseSalesGrouping(const QString &text);

// The columns of a grouping: the day or the scale first, then the product's number,
// name, amount, money and weighings.
QStringList salesHeaders(SalesGrouping by);
// One row's cells: the amount in kilograms with three decimals for weighed goods, in
// pieces for piece goods, the money with two; `decimalPoint` between.
QStringList salesCells(const SalesRow &row, SalesGrouping by, const QString &decimalPoint);
// The total line: "Итого", the money and the weighings (kilograms and pieces do not add up).
QStringList salesTotalCells(const SalesListing &listing, SalesGrouping by, const QString &decimalPoint);

// The rows and the total line, fields joined by tabs.
QStringList salesLines(const SalesListing &listing, SalesGrouping by, const QString &decimalPoint);
// The spreadsheet file: the headers, the rows and the total line.
QByteArray salesCsv(const SalesListing &listing, SalesGrouping by);
// The report for paper: a title with the period, then columns aligned.
QString salesReport(const SalesListing &listing, SalesGrouping by, const SalesPeriod &period);

// An amount of hundredths or thousandths as "12,345".
QString unitsText(std::int64_t units, int decimals, const QString &decimalPoint);

} // namespace ztk
