#pragma once
// A rich-text (RTF) document of plain lines in one font: each line a paragraph,
// Cyrillic as code page 1251 escapes (\'xx), any other character as \uN with "?"
// for readers without Unicode.

#include <QByteArray>
#include <QString>

namespace ztk {

// `pointSize` in points (RTF keeps half points).
QByteArray rtfDocument(const QString &text, const QString &fontFamily, double pointSize);

} // namespace ztk
