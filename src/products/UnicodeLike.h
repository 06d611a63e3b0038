#pragma once
// LIKE for SQLite that ignores the case of Cyrillic letters as well as Latin ones.

#include <QSqlDatabase>

#include <string>

namespace ztk {

// Registers like(pattern, text) and like(pattern, text, escape) on the connection.
bool registerUnicodeLike(QSqlDatabase &db);

// '%' matches any run, '_' any one character; `escape` (0 for none) makes the
// character after it literal. Both sides are case-folded beforehand.
bool likeMatch(const std::u32string &pattern, const std::u32string &text, char32_t escape);

} // namespace ztk
