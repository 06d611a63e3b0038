// libFuzzer target: one line of a product text file, decoded and read against the
// export's header (no store). The first byte picks the locale. What a line gives is
// written back as the export writes it and read again: the same values must come back.

#include "products/ImportLine.h"
#include "products/ProductTextFile.h"

#include <QBuffer>
#include <QLocale>

#include <cstddef>
#include <cstdint>

namespace {

void check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

// A text the export writes back unchanged: no separator, no quote, no control
// character, not blank (a blank one comes back as " ").
bool plain(const QString &text)
{
    if (text.trimmed().isEmpty() || text.contains(QLatin1Char(';')) || text.contains(QLatin1Char('\'')))
        return false;
    for (QChar c : text) {
        if (c.unicode() < 32)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    QBuffer file;
    file.setData(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    file.open(QIODevice::ReadOnly);
    ztk::ProductTextReader lines(file);
    ztk::TextLine line;
    if (!lines.next(line))
        return 0;

    const QStringList fields = ztk::splitImportLine(line.text);
    check(!fields.isEmpty() && fields.size() <= ztk::MaxImportFields);

    static const QLocale russian(QLocale::Russian, QLocale::Russia);
    const QLocale &locale = (data[0] & 1) ? russian : QLocale::c();
    ztk::ImportLineReader reader(QDate(2026, 12, 8), locale);
    reader.setHeader(ztk::exportHeaderLine());
    if (!reader.read(line.text))
        return 0;
    const ztk::ImportValues v = reader.values();
    check(v.number.has_value());

    ztk::Product p;
    p.number = ztk::WholeField{*v.number, {}};
    p.barcode = ztk::WholeField{v.barcode, {}};
    p.prefix = QString::number(v.prefix);
    p.price = ztk::PriceField{v.price, {}};
    p.bestBefore = v.bestBefore;
    p.names = v.names;
    p.type = v.type;
    ztk::ImportLineReader again(QDate(2026, 12, 8), locale);
    again.setHeader(ztk::exportHeaderLine());
    const QString exported = ztk::exportDataLine(p, locale);
    check(again.read(exported));
    const ztk::ImportValues &w = again.values();
    check(w.number == v.number && w.barcode == v.barcode && w.prefix == v.prefix);
    // A double holds ten-thousandths exactly only below 2^53 of them.
    if (v.price.tenThousandths() > -(qint64(1) << 52) && v.price.tenThousandths() < (qint64(1) << 52))
        check(w.price == v.price);
    check(v.bestBefore.trimmed().isEmpty() ? w.bestBefore.trimmed().isEmpty() : w.bestBefore == v.bestBefore);
    bool allPlain = plain(v.type);
    for (const QString &name : v.names)
        allPlain = allPlain && plain(name);
    if (allPlain)
        check(w.names == v.names && w.type == v.type);
    return 0;
}
