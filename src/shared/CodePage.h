#pragma once
// Code pages 1251 (Windows Cyrillic, text files) and 866 (DOS Cyrillic, scale data),
// by tables of our own. A character a code page lacks becomes '?'.
// Byte 0x98, which has no character in 1251, reads as U+0098 and writes back as 0x98.

#include <QByteArray>
#include <QString>

namespace ztk::codepage {
QByteArray toCp1251(const QString &text);
QString fromCp1251(const QByteArray &bytes);
QByteArray toCp866(const QString &text);
QString fromCp866(const QByteArray &bytes);
char16_t cp1251ToUnicode(unsigned char byte);
char16_t cp866ToUnicode(unsigned char byte);
} // namespace ztk::codepage
