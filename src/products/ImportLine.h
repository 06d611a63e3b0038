#pragma once
// Reading the lines of a ProductTextFile: SplitImportLine, the ImportHeader, the
// values of one data line (ImportLine without its storing), and the BadLineList.
// Nothing here touches the store, so any bytes can be fed to it.

#include "products/Product.h"

#include <QDate>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace ztk {

inline constexpr int MaxImportFields = 20;
// Data lines shorter than this, the line end counted, are skipped.
inline constexpr int MinImportLineLength = 10;

// The fields of a line: ";" ends a field and a run of them counts as one, so no
// field is empty; from the second field on, a field that starts with an apostrophe
// runs to the next apostrophe, separators included. At most 20 fields; a line that
// starts with a control character gets an empty field in front.
QStringList splitImportLine(const QString &line);

// The values one data line gives. The type carries over from the line before; the
// others start from their defaults on every line.
struct ImportValues {
    std::optional<qint64> number; // none: no readable product number on the line
    QString type = QStringLiteral("0");
    std::array<QString, Product::NameLines> names;
    qint64 prefix = 0;
    qint64 barcode = 0;
    Price price;
    QString bestBefore;
};

class ImportLineReader {
public:
    // `today` gives the default best-before and the century of two-digit years;
    // `locale` the decimal separator (a point and a comma are both taken).
    ImportLineReader(const QDate &today, const QLocale &locale);

    // The header line: its fields become the column names, compared exactly.
    void setHeader(const QString &line);
    const QStringList &header() const { return m_header; }

    // Reads one data line into values(). A blank field (empty or the export's " ")
    // keeps the line's default. False when the line must not be stored: its product
    // number is blank, unreadable or not in the header, or a field that is there
    // cannot be read (a number that is none or beyond 32 bits, a price that is none
    // or beyond the price range, a best-before that is no yy.mm.dd date). Such a line
    // leaves the carried type as it was.
    bool read(const QString &line);
    const ImportValues &values() const { return m_values; }

private:
    QStringList m_header;
    ImportValues m_values;
    QDate m_today;
    QString m_defaultBestBefore;
    QLocale m_locale;
};

// The product numbers of the lines that were not stored, in file order: a line that
// could not be read or whose record the store refused. A line without a readable
// number is listed as 0, the number no product keeps (0 is always renumbered).
class BadLineList {
public:
    static constexpr int ShownNumbers = 100;

    void clear() { m_numbers.clear(); }
    void append(qint64 number) { m_numbers.append(number); }
    bool isEmpty() const { return m_numbers.isEmpty(); }
    const QList<qint64> &numbers() const { return m_numbers; }
    // "Некорректные записи:5,7"; beyond the first hundred "… всего N".
    QString message() const;

private:
    QList<qint64> m_numbers;
};

} // namespace ztk
