#pragma once
// One product of "lm_t1" as a typed value, and the one table of the table's columns
// from which the schema, the dataset, the grid and the command-line listing take
// theirs.
//
// SQLite keeps any value in any column. A number column that holds something that
// is no number of its kind (a text, a REAL beyond 64 bits) keeps that value as it is
// stored: it shows as it is and goes back unchanged, and converts to nothing.

#include "products/ProductFields.h"

#include <QLocale>
#include <QString>
#include <QVariant>

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>

namespace ztk {

// An exact decimal of at most four places: a price. Doubles are rounded to
// ten-thousandths once, on the way in, so 0.29 is 2900 ten-thousandths, never 2899.
class Price {
public:
    // Prices beyond this many units do not fit the ten-thousandths of 64 bits safely.
    static constexpr double MaxUnits = 9.0e14;

    constexpr Price() = default;
    static constexpr Price fromTenThousandths(qint64 v) { Price p; p.m_tenThousandths = v; return p; }
    // Nothing when not finite or beyond MaxUnits.
    static std::optional<Price> fromDouble(double v);
    // The locale's decimal separator, a point or a comma; surrounding spaces ignored.
    static std::optional<Price> fromText(const QString &text, const QLocale &locale = QLocale());

    qint64 tenThousandths() const { return m_tenThousandths; }
    double toDouble() const { return double(m_tenThousandths) / 10000.0; }
    // Whole hundredths, the fraction of a hundredth dropped towards zero (12.345 -> 1234).
    qint64 hundredthsTowardZero() const { return m_tenThousandths / 100; }
    // The locale's separator, up to four places, no trailing zeros ("12,5").
    QString text(const QLocale &locale = QLocale()) const;

    bool operator==(const Price &) const = default;

private:
    qint64 m_tenThousandths = 0;
};

// A number column's value: NULL, a number, or what else the store holds there.
template <class T>
struct NumberField {
    std::optional<T> value;
    QVariant other; // only without a value: the stored value that is no number

    bool isNull() const { return !value && other.isNull(); }
    bool operator==(const NumberField &o) const { return value == o.value && other == o.other; }
};
using WholeField = NumberField<qint64>;
using PriceField = NumberField<Price>;

// "ТипТ" as the table keeps it: "0" sold by weight, "1" by the piece.
enum class ProductType { Weight = 0, Piece = 1 };
QString typeText(ProductType type);
// The type the type selector shows for a stored text: a text that is no number, or 0,
// is weight; 1 is piece; any other number neither.
std::optional<ProductType> selectorType(const QString &typeText);

enum class ColumnKind { Whole, Decimal, Text };

// The columns of "lm_t1" in the order of the schema.
enum class ProductColumn { N, CorrStamp, Name, SK5, Prefix, Price, BestBefore, Name2, Name3, Name4, Name5, Type, Date, Time };
inline constexpr int ProductColumnCount = 14;
using ColumnSet = std::bitset<ProductColumnCount>;

struct ColumnInfo {
    const char *name;    // as in the table and in fld::
    ColumnKind kind;
    const char *sqlType; // in the schema
};

const std::array<ColumnInfo, ProductColumnCount> &productColumns();
inline const ColumnInfo &columnInfo(ProductColumn c) { return productColumns()[std::size_t(c)]; }
// The column of a field name; nothing for a calculated or unknown field.
std::optional<ProductColumn> columnOf(const char *field);
inline ColumnSet allColumns() { return ColumnSet().set(); }
// "CREATE TABLE lm_t1 (N INTEGER UNIQUE, ДатаКоррекции TEXT, ...)"
QString productSchemaSql();
// The same table on a PostgreSQL server, with ServerRowIdColumn and ServerVersionColumn.
QString productServerSchemaSql();
inline constexpr const char ServerRowIdColumn[] = "ztk_rowid";
inline constexpr const char ServerVersionColumn[] = "ztk_version";

struct Product {
    static constexpr int NameLines = 5;

    qint64 rowid = -1;               // the store's row id; -1 until stored
    qint64 version = -1;             // the server's row version as read; -1 for the file
    WholeField number;               // "N"
    QString correctionStamp;         // "ДатаКоррекции", YYYY-MM-DD HH:MM:SS
    std::array<QString, NameLines> names; // "Name", "Name2" .. "Name5"
    WholeField barcode;              // "SK5"
    QString prefix;                  // "Префикс"
    PriceField price;                // "Цена"
    QString bestBefore;              // "ГоденДо", yy.mm.dd
    QString type;                    // "ТипТ": "0" by weight, "1" by the piece
    QString date;                    // "Дата", yy.mm.dd
    QString time;                    // "Время", HH:mm:ss

    // The column as the store and the dataset see it: a null QVariant for NULL,
    // qlonglong, double (a price, four places) or QString; `other` as stored.
    QVariant value(ProductColumn c) const;
    // Converts by the column's kind: a text that reads as a number becomes one, an
    // empty text is NULL, a double price is rounded to four places.
    void setValue(ProductColumn c, const QVariant &v);

    // Every field and the rowid; the version says when the row was read, not what it holds.
    bool operator==(const Product &o) const;
};

// The conversions of one column's value, as setValue applies them.
WholeField wholeFieldOf(const QVariant &v);
PriceField priceFieldOf(const QVariant &v);
QString textFieldOf(const QVariant &v);

} // namespace ztk
