#include "totals/TotalsText.h"

#include "shared/CodePage.h"
#include "shared/Messages.h"
#include "shared/OutputFile.h"

#include <QFileInfo>

namespace ztk {

namespace {

// Right-aligned as printf's "%Ns" does with the 1251 bytes of the text.
QString field(const QString &text, int width)
{
    const int length = int(codepage::toCp1251(text).size());
    return length >= width ? text : QString(width - length, QLatin1Char(' ')) + text;
}

} // namespace

TotalsCells totalsHeaders()
{
    return {msg::text(msg::TotalsHeaderN), msg::text(msg::TotalsHeaderAmount), msg::text(msg::TotalsHeaderMoney),
            msg::text(msg::TotalsHeaderWeighings), msg::text(msg::TotalsHeaderName)};
}

QString totalsHeaderLine(const TotalsCells &headers)
{
    const QString gap(3, QLatin1Char(' '));
    return QString(5, QLatin1Char(' ')) + headers[0] + gap + headers[1] + gap + headers[2] + gap + headers[3] + gap
        + headers[4];
}

QString totalsLine(const TotalsCells &c)
{
    return field(c[0], 8) + QLatin1Char(' ') + field(c[1], 8) + QLatin1Char(' ') + field(c[2], 13)
        + QStringLiteral("  ") + field(c[3], 4) + QStringLiteral("       ") + field(c[4], 28);
}

QStringList totalsLines(const TotalsCells &headers, const std::vector<TotalsCells> &rows)
{
    QStringList lines;
    lines.reserve(qsizetype(rows.size()) + 1);
    lines << totalsHeaderLine(headers);
    for (const TotalsCells &r : rows)
        lines << totalsLine(r);
    return lines;
}

QByteArray totalsFileBytes(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += codepage::toCp1251(line) + "\r\n";
    return bytes;
}

bool writeTotalsFile(const QString &workDir, const QString &path, const QByteArray &bytes, QString *error)
{
    const QString why = writeOutputFile(workDir, path, bytes, msg::TotalsCannotWrite);
    if (error)
        *error = why;
    return why.isEmpty();
}

QString withTotalsExtension(const QString &path)
{
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    return path + QStringLiteral(".id");
}

} // namespace ztk
