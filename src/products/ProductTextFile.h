#pragma once
// ProductTextFile: the product table as text, one record a line, every field followed
// by ";" (an empty value written as " "), CR LF line ends, code page 1251. The export
// writes it; the reader hands the import its lines one at a time.

#include "products/Product.h"

#include <QByteArray>
#include <QFile>
#include <QIODevice>
#include <QLocale>
#include <QString>
#include <QStringList>

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

// Characters of a line the import reads. A longer line is no line of the format: its
// first characters are read (for its number) and the rest is skipped.
inline constexpr int MaxImportLineLength = 289;

// A line as read: its text without the line end, and whether it had one.
struct TextLine {
    QString text;
    bool hadLineEnd = false;
    // Not UTF-8 as a whole, yet holding UTF-8 text: read as code page 1251 it would be
    // mojibake, so the import refuses it.
    bool mixedEncoding = false;
    // Longer than MaxImportLineLength characters: `text` is its start; refused too.
    bool tooLong = false;
    // The length the short-line rule counts: the line end as one character.
    qsizetype countedLength() const { return text.size() + (hadLineEnd ? 1 : 0); }
};

// Reads a ProductTextFile line by line, holding no more than a block of the file and
// one line, whatever the size of the file or of a line. Lines end in LF
// or CR LF. Each line is decoded on its own: valid UTF-8 as UTF-8, anything else as
// code page 1251; a UTF-8 byte-order mark at the start of the file is dropped.
class ProductTextReader {
public:
    explicit ProductTextReader(QIODevice &device) : m_device(device) {}

    // The next line; false at the end of the file or when reading fails (failed()).
    bool next(TextLine &line);
    bool failed() const { return m_failed; }
    // Bytes of the file taken so far.
    qint64 bytesRead() const { return m_bytesRead; }

private:
    // At least `wanted` bytes from m_pos on, unless the file ends first.
    void fill(qsizetype wanted);

    QIODevice &m_device;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    qint64 m_bytesRead = 0;
    bool m_started = false;
    bool m_atEnd = false;
    bool m_failed = false;
};

// Opens `file` (made with its path) for reading; false when it is missing, a folder or
// cannot be read.
bool openImportFile(QFile &file);

// A file dialog's default extension: `path` with ".ext" added when it has none. For a
// file to open, only when the name as given does not exist.
QString withDefaultExtension(const QString &path, const char *ext, bool mustExist);

} // namespace ztk
