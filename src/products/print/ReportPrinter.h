#pragma once
// Laying the report out for paper: the text in the report's fixed-pitch font over
// the printable area of each landscape page. The print window draws it on the
// printer the operator picks; a PDF (job name "Печать БД") is drawn the same way,
// without any printing support. Needs a QGuiApplication.

#include <QByteArray>
#include <QFont>
#include <QString>

class QPagedPaintDevice;

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
// The report as the bytes of a PDF file, laid out as printed, the job name its title.
QByteArray reportPdf(const QString &text);

} // namespace ztk
