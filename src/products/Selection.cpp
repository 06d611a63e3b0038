#include "products/Selection.h"

#include "shared/DateText.h"
#include "shared/Files.h"

#include <QRegularExpression>

namespace ztk {

namespace {

QString table() { return QLatin1String(files::TableName); }

QString number(qint64 n) { return QString::number(n); }

// The formats of the selections; %1 is the table name, %2 the argument, %3 the store's
// LIKE and %4 what follows its pattern.
const char *format(SelectionQuery query)
{
    switch (query) {
    case SelectionQuery::All: return "select * from %1 order by N";
    case SelectionQuery::Weight:
    case SelectionQuery::Piece: return "select * from %1 where ТипТ %3 '%2'%4 order by N";
    case SelectionQuery::Prefix: return "select * from %1 where Префикс %3 '%2'%4 order by N";
    case SelectionQuery::Name: return "select * from %1 where NAME %3 '%2'%4 order by N";
    case SelectionQuery::NumberRange: return "select * from %1 where N>=%2 and N<=%3 order by N";
    case SelectionQuery::CorrDateEqual: return "select * from %1 where Дата='%2' order by N";
    case SelectionQuery::CorrDateBefore: return "select * from %1 where Дата<'%2' order by N";
    case SelectionQuery::CorrDateAfter: return "select * from %1 where Дата>'%2' order by N";
    case SelectionQuery::BestBeforeEqual: return "select * from %1 where ГоденДо='%2' order by N";
    case SelectionQuery::BestBeforeBefore: return "select * from %1 where ГоденДо<'%2' order by N";
    case SelectionQuery::BestBeforeAfter: return "select * from %1 where ГоденДо>'%2' order by N";
    }
    return "select * from %1 order by N";
}

// Whole number as the operator types it: optional sign, digits, spaces around.
std::optional<int> wholeNumber(const QString &text)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    return ok ? std::optional<int>(v) : std::nullopt;
}

} // namespace

QString quotedSqlText(const QString &text)
{
    QString out = text;
    out.replace(QLatin1Char('\''), QLatin1String("''"));
    return out;
}

QString selectionSql(SelectionQuery query, const SelectionArgs &args, const SqlDialect &dialect)
{
    const QString f = QString::fromUtf8(format(query));
    const QString like = QLatin1String(dialect.like), escape = QLatin1String(dialect.escape);
    switch (query) {
    case SelectionQuery::All:
        return f.arg(table());
    case SelectionQuery::Weight:
        return f.arg(table(), number(0), like, escape);
    case SelectionQuery::Piece:
        return f.arg(table(), number(1), like, escape);
    case SelectionQuery::Prefix:
        return f.arg(table(), number(args.prefix), like, escape);
    case SelectionQuery::Name:
        return f.arg(table(), QLatin1Char('%') + quotedSqlText(args.nameFragment) + QLatin1Char('%'), like, escape);
    case SelectionQuery::NumberRange:
        return f.arg(table(), number(args.low), number(args.high));
    case SelectionQuery::CorrDateEqual:
    case SelectionQuery::CorrDateBefore:
    case SelectionQuery::CorrDateAfter:
    case SelectionQuery::BestBeforeEqual:
    case SelectionQuery::BestBeforeBefore:
    case SelectionQuery::BestBeforeAfter:
        return f.arg(table(), datetext::yearFirst(args.date));
    }
    return wholeBaseSql();
}

QString wholeBaseSql()
{
    return selectionSql(SelectionQuery::All);
}

QString numberLookupSql(qint64 n)
{
    return QStringLiteral("select * from %1 where N=%2").arg(table(), number(n));
}

NumberRange parseNumberRange(const QString &low, const QString &high)
{
    const auto a = wholeNumber(low);
    const auto b = wholeNumber(high);
    if (!a || !b)
        return NumberRange{1, 5000, false};
    return NumberRange{*a, *b, true};
}

bool isDateBuilder(SelectionBuilder builder)
{
    switch (builder) {
    case SelectionBuilder::CorrDateEqual:
    case SelectionBuilder::CorrDateBefore:
    case SelectionBuilder::CorrDateAfter:
    case SelectionBuilder::BestBeforeEqual:
    case SelectionBuilder::BestBeforeBefore:
    case SelectionBuilder::BestBeforeAfter:
        return true;
    default:
        return false;
    }
}

std::optional<SelectionQuery> queryOf(SelectionBuilder builder)
{
    switch (builder) {
    case SelectionBuilder::None: return std::nullopt;
    case SelectionBuilder::Name: return SelectionQuery::Name;
    case SelectionBuilder::NumberRange: return SelectionQuery::NumberRange;
    case SelectionBuilder::CorrDateEqual: return SelectionQuery::CorrDateEqual;
    case SelectionBuilder::CorrDateBefore: return SelectionQuery::CorrDateBefore;
    case SelectionBuilder::CorrDateAfter: return SelectionQuery::CorrDateAfter;
    case SelectionBuilder::BestBeforeEqual: return SelectionQuery::BestBeforeEqual;
    case SelectionBuilder::BestBeforeBefore: return SelectionQuery::BestBeforeBefore;
    case SelectionBuilder::BestBeforeAfter: return SelectionQuery::BestBeforeAfter;
    }
    return std::nullopt;
}

TypeRule typeRuleOf(SelectionQuery query)
{
    if (query == SelectionQuery::Weight)
        return TypeRule::Weight;
    if (query == SelectionQuery::Piece)
        return TypeRule::Piece;
    return TypeRule::Keep;
}

ParsedSelection parseSelectionArgument(const QString &argument, const QDate &today)
{
    ParsedSelection out;
    const QString arg = argument.trimmed();
    const qsizetype eq = arg.indexOf(QLatin1Char('='));
    const QString key = (eq < 0 ? arg : arg.left(eq)).toLower();
    const QString value = eq < 0 ? QString() : arg.mid(eq + 1);
    auto fail = [&out, &argument](const QString &why) {
        out.ok = false;
        out.error = QStringLiteral("bad selection '%1': %2").arg(argument, why);
        return out;
    };
    auto done = [&out](SelectionQuery q, const SelectionArgs &a = {}) {
        out.ok = true;
        out.query = q;
        out.args = a;
        out.typeRule = typeRuleOf(q);
        return out;
    };

    if (eq < 0) {
        if (key.isEmpty() || key == QLatin1String("all"))
            return done(SelectionQuery::All);
        if (key == QLatin1String("weight"))
            return done(SelectionQuery::Weight);
        if (key == QLatin1String("piece"))
            return done(SelectionQuery::Piece);
        return fail(QStringLiteral("expected all, weight, piece or KEY=VALUE"));
    }

    SelectionArgs a;
    if (key == QLatin1String("prefix")) {
        const auto p = wholeNumber(value);
        if (!p || *p < 0 || *p > 99)
            return fail(QStringLiteral("the prefix is a whole number 0..99"));
        a.prefix = *p;
        return done(SelectionQuery::Prefix, a);
    }
    if (key == QLatin1String("name")) {
        if (value.isEmpty())
            return fail(QStringLiteral("the name fragment is empty"));
        a.nameFragment = value;
        return done(SelectionQuery::Name, a);
    }
    if (key == QLatin1String("range")) {
        static const QRegularExpression re(QStringLiteral("^\\s*(-?\\d+)\\s*-\\s*(-?\\d+)\\s*$"));
        const QRegularExpressionMatch m = re.match(value);
        const auto lo = m.hasMatch() ? wholeNumber(m.captured(1)) : std::nullopt;
        const auto hi = m.hasMatch() ? wholeNumber(m.captured(2)) : std::nullopt;
        if (!lo || !hi)
            return fail(QStringLiteral("the range is A-B with whole numbers"));
        a.low = *lo;
        a.high = *hi;
        return done(SelectionQuery::NumberRange, a);
    }

    static const struct {
        const char *key;
        SelectionQuery query;
    } dated[] = {
        {"corr-on", SelectionQuery::CorrDateEqual},
        {"corr-before", SelectionQuery::CorrDateBefore},
        {"corr-after", SelectionQuery::CorrDateAfter},
        {"best-on", SelectionQuery::BestBeforeEqual},
        {"best-before", SelectionQuery::BestBeforeBefore},
        {"best-after", SelectionQuery::BestBeforeAfter},
    };
    for (const auto &d : dated) {
        if (key != QLatin1String(d.key))
            continue;
        const QString text = value.trimmed();
        const auto date = text.size() == 8 ? datetext::parseYearFirst(text, today) : std::nullopt;
        if (!date)
            return fail(QStringLiteral("the date is yy.mm.dd"));
        a.date = date->date();
        return done(d.query, a);
    }
    return fail(QStringLiteral("unknown selection"));
}

void SelectionState::reset()
{
    m_sql = wholeBaseSql();
    m_builder = SelectionBuilder::None;
    m_typeRule = TypeRule::Keep;
}

void SelectionState::choose(SelectionQuery query, const SelectionArgs &args)
{
    m_builder = SelectionBuilder::None;
    m_typeRule = typeRuleOf(query);
    m_sql = selectionSql(query, args, *m_dialect);
}

void SelectionState::chooseBuilder(SelectionBuilder builder)
{
    m_builder = builder;
    m_typeRule = TypeRule::Keep;
}

void SelectionState::rebuild(const SelectionArgs &args)
{
    if (const std::optional<SelectionQuery> query = queryOf(m_builder))
        m_sql = selectionSql(*query, args, *m_dialect);
}

} // namespace ztk
