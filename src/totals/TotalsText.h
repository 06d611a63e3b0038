#pragma once
// The totals text file of "Сохр. ИД": a header line, then one line per product row
// formatted as "%8s %8s %13s  %4s       %28s"; code page 1251, every line ended by CR LF.
// The sum row is not written.

#include "totals/TotalsRows.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace ztk {

// The headers the grid shows after a reception.
TotalsCells totalsHeaders();

// Five spaces, then the headers separated by three spaces.
QString totalsHeaderLine(const TotalsCells &headers);
// Each field right-aligned in at least 8, 8, 13, 4 and 28 characters (of code page
// 1251, one byte each); a longer text is written whole.
QString totalsLine(const TotalsCells &cells);
// The header line and one line per row.
QStringList totalsLines(const TotalsCells &headers, const std::vector<TotalsCells> &rows);
// The lines in code page 1251, each ended by CR LF.
QByteArray totalsFileBytes(const QStringList &lines);

// Writes `bytes` as the output file `path` of the working folder `workDir` (OutputFile):
// false with `error` set when it cannot, the old file then as it was.
bool writeTotalsFile(const QString &workDir, const QString &path, const QByteArray &bytes, QString *error = nullptr);

// A name without an extension gets ".id", as the save dialog's default.
QString withTotalsExtension(const QString &path);

} // namespace ztk
