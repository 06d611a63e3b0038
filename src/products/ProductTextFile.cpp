#include "products/ProductTextFile.h"

#include "shared/CodePage.h"
#include "shared/Messages.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace ztk {

const std::vector<ProductColumn> &exportColumns()
{
    static const std::vector<ProductColumn> columns{
        ProductColumn::N,     ProductColumn::SK5,   ProductColumn::Prefix, ProductColumn::Price,
        ProductColumn::BestBefore, ProductColumn::Name, ProductColumn::Name2, ProductColumn::Name3,
        ProductColumn::Name4, ProductColumn::Name5, ProductColumn::Type,
    };
    return columns;
}

QString exportHeaderLine()
{
    QString line;
    for (ProductColumn c : exportColumns())
        line += QString::fromUtf8(columnInfo(c).name) + QLatin1Char(';');
    return line;
}

QString exportDataLine(const Product &product, const QLocale &locale)
{
    QString line;
    for (ProductColumn c : exportColumns()) {
        QString text;
        if (c == ProductColumn::Price && product.price.value)
            text = product.price.value->text(locale);
        else
            text = product.value(c).toString(); // NULL gives ""
        line += (text.isEmpty() ? QStringLiteral(" ") : text) + QLatin1Char(';');
    }
    return line;
}

QByteArray productTextFileBytes(const std::vector<Product> &products, const QLocale &locale)
{
    QByteArray out = codepage::toCp1251(exportHeaderLine()) + "\r\n";
    out.reserve(out.size() + qsizetype(products.size()) * 64);
    for (const Product &p : products)
        out += codepage::toCp1251(exportDataLine(p, locale)) + "\r\n";
    return out;
}

namespace {

bool isUtf8Text(const QByteArray &bytes)
{
    bool nonAscii = false;
    for (char c : bytes) {
        if (uchar(c) >= 0x80) {
            nonAscii = true;
            break;
        }
    }
    if (!nonAscii)
        return false;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

} // namespace

std::vector<TextLine> productTextLines(const QByteArray &bytes)
{
    QString text;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        text = QString::fromUtf8(bytes.mid(3));
    else if (isUtf8Text(bytes))
        text = QString::fromUtf8(bytes);
    else
        text = codepage::fromCp1251(bytes);

    std::vector<TextLine> lines;
    qsizetype start = 0;
    while (start < text.size()) {
        const qsizetype lf = text.indexOf(QLatin1Char('\n'), start);
        TextLine line;
        if (lf < 0) {
            line.text = text.mid(start);
            start = text.size();
        } else {
            qsizetype end = lf;
            if (end > start && text[end - 1] == QLatin1Char('\r'))
                --end;
            line.text = text.mid(start, end - start);
            line.hadLineEnd = true;
            start = lf + 1;
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

std::optional<std::vector<TextLine>> readProductTextFile(const QString &path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return productTextLines(bytes);
}

QString withDefaultExtension(const QString &path, const char *ext, bool mustExist)
{
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    if (mustExist && QFileInfo::exists(path))
        return path;
    return path + QLatin1Char('.') + QLatin1String(ext);
}

} // namespace ztk
