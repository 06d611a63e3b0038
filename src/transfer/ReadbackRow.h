#pragma once
// A product read back from the scale as a row of the read window's grid: twelve cell
// texts made from its ProductRecord, and the fields a save takes from such a row
// (which the operator may have edited).

#include "products/Product.h"
#include "shared/LittleEndian.h"
#include "shared/ProductRecord.h"

#include <QDate>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace ztk::readback {

enum Column {
    ColNumber,
    ColStamp,
    ColName,
    ColSK5,
    ColType,
    ColPrice,
    ColName2,
    ColName3,
    ColName4,
    ColName5,
    ColBestBefore,
    ColPrefix,
};
inline constexpr int ColumnCount = 12;

// "N", "Дата коррекции", "Наименование", ...
const QStringList &columnHeaders();

// The twelve cells of product `number`; the price with `locale`'s decimal separator.
QStringList cellsOf(int number, const ProductRecord &record, const QLocale &locale = QLocale());
// The same from received bytes: DecodeError::Truncated when fewer than 256.
Decoded<QStringList> decodeRow(int number, std::span<const std::uint8_t> bytes, const QLocale &locale = QLocale());

// What a cleared product shows in `column` (1..11); column 0 keeps the number.
QString clearedCell(int column, const QLocale &locale = QLocale());

// True when a save passes the row by: its correction stamp says the slot was empty.
bool skippedBySave(const QStringList &cells);
bool skippedBySave(const ProductRecord &record); // as its cells would be

// The fields a save sets from a row. A cell that does not convert leaves its field as
// the store has it (nothing here).
struct RowFields {
    qint64 number = 0;
    QString type;                                // "0" for "ВЕС", else "1"
    std::optional<Price> price;                  // whole hundredths
    std::array<QString, Product::NameLines> names; // the scale's fill spaces dropped
    std::optional<QString> bestBefore;           // yy.mm.dd
    std::optional<qint64> sk5;
    QString prefix;
};

struct RowConversion {
    std::optional<RowFields> fields;
    QString error; // column 0 is no whole number: the conversion error
};

RowConversion fieldsOf(const QStringList &cells, const QDate &today, const QLocale &locale = QLocale());
// The fields of a record as received, without its cells: what fieldsOf gives for the
// unedited cells of cellsOf.
RowFields fieldsOf(int number, const ProductRecord &record, const QDate &today);

// The rows of the grid a save takes: empty slots passed by, and the first row whose
// number is no whole number ends them (its conversion error in `error`).
struct GridRows {
    std::vector<RowFields> rows;
    QString error;
};
GridRows fieldsOfRows(const std::vector<QStringList> &cells, const QDate &today, const QLocale &locale = QLocale());

} // namespace ztk::readback
