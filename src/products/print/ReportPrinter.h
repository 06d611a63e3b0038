#pragma once
// Printing the report: one landscape job "Печать БД" of the text in the report's
// fixed-pitch font, laid out over the printable area of each page. The print window
// prints through here to the printer the operator picks; a PDF goes the same way.
// Needs a QGuiApplication.

#include <QFont>
#include <QString>

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

// Sets landscape and the job name, and prints `text`.
void printReport(QPrinter &printer, const QString &text);
// printReport into a PDF file; false with `error` when the file cannot be written.
bool printReportPdf(const QString &path, const QString &text, QString *error);

} // namespace ztk
