#include "products/print/ReportPrinter.h"

#include "shared/Messages.h"

#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QPageLayout>
#include <QPrinter>
#include <QTextDocument>
#include <QTextOption>

namespace ztk {

QString reportFontFamily()
{
    static const QString family = [] {
        const QString design = QString::fromLatin1(ReportFontDesignFamily);
        if (QFontDatabase::hasFamily(design))
            return design;
        return QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
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

void printReport(QPrinter &printer, const QString &text)
{
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(msg::text(msg::PrintJobName));
    QTextDocument document;
    document.setDefaultFont(reportPrintFont());
    // Spaces line the columns up; a line wider than the page wraps at any character.
    QTextOption option = document.defaultTextOption();
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    document.setDefaultTextOption(option);
    document.setPlainText(text);
    document.print(&printer);
}

bool printReportPdf(const QString &path, const QString &text, QString *error)
{
    // QPrinter reports no failure to write its file; try the place first.
    QFile probe(path);
    const bool existed = probe.exists();
    if (QFileInfo(path).isDir() || !probe.open(QIODevice::WriteOnly | QIODevice::Append)) {
        if (error)
            *error = msg::text(msg::FileNotWritten)
                         .arg(path, QFileInfo(path).isDir() ? QStringLiteral("Is a directory") : probe.errorString());
        return false;
    }
    probe.close();
    if (!existed)
        QFile::remove(path);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printReport(printer, text);
    if (!QFileInfo(path).isFile() || QFileInfo(path).size() == 0) {
        if (error)
            *error = msg::text(msg::FileNotWritten).arg(path, QString());
        return false;
    }
    return true;
}

} // namespace ztk
