#include "products/RtfWriter.h"

#include "shared/CodePage.h"

#include <QStringList>

#include <cmath>

namespace ztk {

namespace {

void appendEscaped(QByteArray &out, const QString &text)
{
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            out += '\\';
            out += char(u);
        } else if (u == '\t') {
            out += "\\tab ";
        } else if (u >= 0x20 && u < 0x80) {
            out += char(u);
        } else if (u < 0x20) {
            continue; // no other control character belongs in a line
        } else {
            const QByteArray cp = codepage::toCp1251(QString(ch));
            if (cp.size() == 1 && cp[0] != '?') {
                out += QByteArray("\\'") + QByteArray::number(uchar(cp[0]), 16).rightJustified(2, '0');
            } else {
                // RTF's \u takes a signed 16-bit value.
                out += "\\u" + QByteArray::number(qint16(u)) + "\\'3f";
            }
        }
    }
}

} // namespace

QByteArray rtfDocument(const QString &text, const QString &fontFamily, double pointSize)
{
    QByteArray out;
    out.reserve(text.size() * 2 + 256);
    out += "{\\rtf1\\ansi\\ansicpg1251\\deff0\\uc1\n{\\fonttbl{\\f0\\fmodern\\fprq1\\fcharset204 ";
    appendEscaped(out, fontFamily);
    out += ";}}\n\\f0\\fs" + QByteArray::number(int(std::lround(pointSize * 2))) + "\n";
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast(); // the last line's break, not a line of its own
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        appendEscaped(out, line);
        out += "\\par\n";
    }
    out += "}\n";
    return out;
}

} // namespace ztk
