#pragma once
// The selections of the product grid: every query text they run, built from its
// format in one place, the number-range input rule, and the selection argument of
// ztk-cli. Every text begins "select * from lm_t1" and ends "order by N".

#include "products/ProductDataset.h"
#include "products/StoreBackend.h"

#include <QDate>
#include <QString>
#include <optional>

namespace ztk {

// Which query RefreshSelection rebuilds from the input boxes; None runs SelectionSql unchanged.
enum class SelectionBuilder {
    None,
    Name,
    NumberRange,
    CorrDateEqual,
    CorrDateBefore,
    CorrDateAfter,
    BestBeforeEqual,
    BestBeforeBefore,
    BestBeforeAfter
};

// Every query the selections run.
enum class SelectionQuery {
    All,
    Weight,
    Piece,
    Prefix,
    Name,
    NumberRange,
    CorrDateEqual,
    CorrDateBefore,
    CorrDateAfter,
    BestBeforeEqual,
    BestBeforeBefore,
    BestBeforeAfter
};

struct SelectionArgs {
    int prefix = 0;        // Prefix: the spin value
    QDate date;            // the date queries: the calendar date
    QString nameFragment;  // Name: the operator's text, without the "%" around it
    int low = 1;           // NumberRange
    int high = 5000;
};

// The query text of `query` for a store of `dialect`, e.g. "select * from lm_t1 where
// Дата<'26.12.08' order by N"; the case-blind match is the store's own (LIKE in the
// file, which registers a Unicode one; ILIKE on the server). An apostrophe of the name
// fragment is doubled, so that it is searched for rather than ending the SQL text;
// "%" and "_" stay wildcards.
QString selectionSql(SelectionQuery query, const SelectionArgs &args = {}, const SqlDialect &dialect = SqliteDialect);
QString wholeBaseSql(); // "select * from lm_t1 order by N"
// "select * from lm_t1 where N=<n>": the whole table, whatever the selection.
QString numberLookupSql(qint64 n);
QString quotedSqlText(const QString &text); // apostrophes doubled

struct NumberRange {
    int low = 1;
    int high = 5000;
    bool valid = true; // false: a bound was not a whole number and 1..5000 is used
};
// Both texts as whole numbers; when either is not one, 1..5000 and valid == false
// (the caller shows "Некорректные данные, принят интервал 1 - 5000").
NumberRange parseNumberRange(const QString &low, const QString &high);

bool isDateBuilder(SelectionBuilder builder);
// The query a builder rebuilds; none for None.
std::optional<SelectionQuery> queryOf(SelectionBuilder builder);
// "Вес" and "Штука" force the type of every stored record; the others keep it.
TypeRule typeRuleOf(SelectionQuery query);

// The grid's selection: the text that runs (SelectionSql), the builder that rebuilds
// it from the input boxes, and the type rule every store follows under it.
class SelectionState {
public:
    const QString &sql() const { return m_sql; }
    SelectionBuilder builder() const { return m_builder; }
    TypeRule typeRule() const { return m_typeRule; }

    // The whole table, no builder: as at start-up.
    void reset();
    // A selection that runs at once: its text, no builder, its type rule.
    void choose(SelectionQuery query, const SelectionArgs &args = {});
    // A selection that runs from its input boxes; the type is kept.
    void chooseBuilder(SelectionBuilder builder);
    // The builder's text again from `args`; nothing without a builder.
    void rebuild(const SelectionArgs &args);
    // The store the texts are for, from now on.
    void setDialect(const SqlDialect &dialect) { m_dialect = &dialect; }

private:
    const SqlDialect *m_dialect = &SqliteDialect;
    QString m_sql = wholeBaseSql();
    SelectionBuilder m_builder = SelectionBuilder::None;
    TypeRule m_typeRule = TypeRule::Keep;
};

// The selection argument of ztk-cli: all (default), weight, piece, prefix=P,
// name=FRAGMENT, range=A-B, corr-on=yy.mm.dd, corr-before=, corr-after=,
// best-on=, best-before=, best-after=. Two-digit years as `today` reads them.
struct ParsedSelection {
    bool ok = false;
    SelectionQuery query = SelectionQuery::All;
    SelectionArgs args;
    TypeRule typeRule = TypeRule::Keep;
    QString error; // when !ok
    // Its text for a store of `dialect`.
    QString sql(const SqlDialect &dialect = SqliteDialect) const { return selectionSql(query, args, dialect); }
};
ParsedSelection parseSelectionArgument(const QString &argument, const QDate &today);

} // namespace ztk
