#include "products/print/ReportPrinter.h"

#include "shared/Messages.h"

#include <QBuffer>
#include <QFontDatabase>
#include <QFontInfo>
#include <QPageLayout>
#include <QPdfWriter>
#include <QTextDocument>
#include <QTextOption>

namespace ztk {

QString reportFontFamily()
{
    static const QString family = [] {
        const QString design = QString::fromLatin1(ReportFontDesignFamily);
        if (QFontDatabase::hasFamily(design))
            return design;
        // The system's fixed font may resolve to one whose glyphs are not all of one
        // width (Noto Sans Mono), which would put the report's columns out of line.
        const QFont system = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        if (QFontInfo(system).fixedPitch())
            return system.family();
        for (const char *known : {"Liberation Mono", "DejaVu Sans Mono", "FreeMono"}) {
            const QString family = QString::fromLatin1(known);
            if (QFontDatabase::hasFamily(family) && QFontDatabase::isFixedPitch(family))
                return family;
        }
        for (const QString &family : QFontDatabase::families())
            if (QFontDatabase::isFixedPitch(family))
                return family;
        return system.family();
    }();
    return family;
}

namespace {
QFont fixedFont()
{
    QFont font(reportFontFamily());
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}
} // namespace

QFont reportScreenFont()
{
    QFont font = fixedFont();
    font.setPixelSize(13);
    return font;
}

QFont reportPrintFont()
{
    QFont font = fixedFont();
    font.setPointSizeF(ReportPointSize);
    return font;
}

void drawReport(QPagedPaintDevice &device, const QString &text)
{
    device.setPageOrientation(QPageLayout::Landscape);
    QTextDocument document;
    document.setDefaultFont(reportPrintFont());
    // Spaces line the columns up; a line wider than the page wraps at any character.
    QTextOption option = document.defaultTextOption();
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    document.setDefaultTextOption(option);
    document.setPlainText(text);
    document.print(&device);
}

QByteArray reportPdf(const QString &text)
{
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setTitle(msg::text(msg::PrintJobName));
        writer.setCreator(msg::text(msg::MainCaption));
        drawReport(writer, text);
    } // the writer finishes the file as it goes
    return bytes;
}

} // namespace ztk
