#pragma once
// Printing the report: one landscape job "Печать БД" of the text in the report's
// fixed-pitch font, laid out over the printable area of each page. The print window
// prints through here to the printer the operator picks; a PDF goes the same way.
// Needs a QGuiApplication.

#include <QByteArray>
#include <QFont>
#include <QString>

class QPagedPaintDevice;
class QPrinter;

namespace ztk {

// The design's family, named in saved reports; readers without it take another
// fixed-pitch one.
inline constexpr char ReportFontDesignFamily[] = "Courier New";
// "Courier New", or the system's fixed-pitch family where that is missing.
QString reportFontFamily();
// The design's 13-pixel font for the screen.
QFont reportScreenFont();
// The same size in points (13 px at 96 dpi), so that paper and PDF keep it.
QFont reportPrintFont();
inline constexpr double ReportPointSize = 9.75;

// Lays `text` out over the landscape pages of `device`.
void drawReport(QPagedPaintDevice &device, const QString &text);
// Sets the job name and prints `text` (landscape).
void printReport(QPrinter &printer, const QString &text);
// The report as the bytes of a PDF file, laid out as printed, the job name its title.
QByteArray reportPdf(const QString &text);

} // namespace ztk
