#include "products/UnicodeLike.h"

#include "products/SqliteHandle.h"

#include <QList>
#include <QString>

#include <sqlite3.h>

#include <cstdint>
#include <vector>

namespace ztk {

namespace {

// One element of a LIKE pattern.
struct PatternItem {
    enum Kind { Literal, AnyOne, AnyRun } kind;
    char32_t ch = 0;
};

std::u32string folded(const unsigned char *utf8)
{
    const QString s = QString::fromUtf8(reinterpret_cast<const char *>(utf8)).toCaseFolded();
    const QList<uint> ucs = s.toUcs4();
    return std::u32string(ucs.begin(), ucs.end());
}

} // namespace

bool likeMatch(const std::u32string &pattern, const std::u32string &text, char32_t escape)
{
    std::vector<PatternItem> items;
    items.reserve(pattern.size());
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char32_t c = pattern[i];
        if (escape && c == escape) {
            if (i + 1 < pattern.size())
                items.push_back({PatternItem::Literal, pattern[++i]});
            else
                items.push_back({PatternItem::Literal, c});
        } else if (c == U'%') {
            items.push_back({PatternItem::AnyRun, 0});
        } else if (c == U'_') {
            items.push_back({PatternItem::AnyOne, 0});
        } else {
            items.push_back({PatternItem::Literal, c});
        }
    }

    // The usual two-cursor wildcard match: on a mismatch, go back to the last
    // '%' and let it swallow one more character.
    size_t p = 0, t = 0;
    size_t starP = SIZE_MAX, starT = 0;
    while (t < text.size()) {
        if (p < items.size() && items[p].kind == PatternItem::AnyRun) {
            starP = p++;
            starT = t;
        } else if (p < items.size()
                   && (items[p].kind == PatternItem::AnyOne || items[p].ch == text[t])) {
            ++p;
            ++t;
        } else if (starP != SIZE_MAX) {
            p = starP + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < items.size() && items[p].kind == PatternItem::AnyRun)
        ++p;
    return p == items.size();
}

namespace {

// like(pattern, text) and like(pattern, text, escape), as SQLite calls them for
// "text LIKE pattern [ESCAPE escape]".
void sqlLike(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    for (int i = 0; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
            sqlite3_result_null(ctx);
            return;
        }
    }
    char32_t escape = 0;
    if (argc == 3) {
        const std::u32string e = folded(sqlite3_value_text(argv[2]));
        if (e.size() != 1) {
            sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
            return;
        }
        escape = e[0];
    }
    const std::u32string pattern = folded(sqlite3_value_text(argv[0]));
    const std::u32string text = folded(sqlite3_value_text(argv[1]));
    sqlite3_result_int(ctx, likeMatch(pattern, text, escape) ? 1 : 0);
}


} // namespace

bool registerUnicodeLike(QSqlDatabase &db)
{
    sqlite3 *h = sqliteHandle(db);
    if (!h)
        return false;
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    return sqlite3_create_function(h, "like", 2, flags, nullptr, sqlLike, nullptr, nullptr) == SQLITE_OK
        && sqlite3_create_function(h, "like", 3, flags, nullptr, sqlLike, nullptr, nullptr) == SQLITE_OK;
}

} // namespace ztk
