#pragma once
// ProductTextFile: the product table as text, one record a line, every field followed
// by ";" (an empty value written as " "), CR LF line ends, code page 1251. The export
// writes it; the reader hands the import its lines.

#include "products/Product.h"

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace ztk {

// N;SK5;Префикс;Цена;ГоденДо;Name;Name2;Name3;Name4;Name5;ТипТ — the export's columns.
const std::vector<ProductColumn> &exportColumns();

// One line without its line end: the header, or a product's data line (the price in
// its shortest form with the locale's decimal separator).
QString exportHeaderLine();
QString exportDataLine(const Product &product, const QLocale &locale);
// The whole file: header and one line per product, in code page 1251 with CR LF.
QByteArray productTextFileBytes(const std::vector<Product> &products, const QLocale &locale);

// A line as read: its text without the line end, and whether it had one.
struct TextLine {
    QString text;
    bool hadLineEnd = false;
    // The length the short-line rule counts: the line end as one character.
    qsizetype countedLength() const { return text.size() + (hadLineEnd ? 1 : 0); }
};

// The lines of a file's bytes, each read whole. Lines end in LF or CR LF. Bytes with a
// UTF-8 byte-order mark, or valid UTF-8 with non-ASCII text, read as UTF-8; any
// others as code page 1251.
std::vector<TextLine> productTextLines(const QByteArray &bytes);
// The lines of the file at `path`; nothing when it is missing or cannot be read.
std::optional<std::vector<TextLine>> readProductTextFile(const QString &path);

// A file dialog's default extension: `path` with ".ext" added when it has none. For a
// file to open, only when the name as given does not exist.
QString withDefaultExtension(const QString &path, const char *ext, bool mustExist);

} // namespace ztk
