#pragma once
// The program's locale: Russian, a decimal comma. Files the command-line tool writes
// use it whatever the locale of the shell, so that they equal the windows' files.

#include <QLocale>

namespace ztk {
inline QLocale programLocale() { return QLocale(QLocale::Russian, QLocale::Russia); }
} // namespace ztk
