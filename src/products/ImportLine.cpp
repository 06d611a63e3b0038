#include "products/ImportLine.h"

#include "products/ProductFields.h"
#include "shared/DateText.h"
#include "shared/Messages.h"

namespace ztk {

namespace {

constexpr QChar kSeparator = QLatin1Char(';');
constexpr QChar kQuote = QLatin1Char('\'');

bool isLineEnd(QChar c)
{
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

bool isBlank(const QString &field)
{
    return field.trimmed().isEmpty();
}

// A whole number as the design's integer fields take it (32 bits).
std::optional<qint64> wholeNumber(const QString &field)
{
    bool ok = false;
    const int v = field.trimmed().toInt(&ok);
    if (!ok)
        return std::nullopt;
    return v;
}

void dropLineEndField(QStringList &fields)
{
    if (!fields.isEmpty() && !fields.last().isEmpty() && isLineEnd(fields.last().front()))
        fields.removeLast();
}

} // namespace

QStringList splitImportLine(const QString &line)
{
    QString text = line;
    if (!text.isEmpty() && isLineEnd(text.front()))
        text.remove(0, 1);

    QStringList fields;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && fields.size() < MaxImportFields) {
        while (i < n && text[i] == kSeparator)
            ++i;
        if (i >= n)
            break;
        if (!fields.isEmpty() && text[i] == kQuote) {
            const qsizetype close = text.indexOf(kQuote, i + 1);
            if (close < 0) {
                fields << text.mid(i);
                break;
            }
            // What follows the closing apostrophe up to the separator stays in the
            // field, so that nothing is lost and no column moves.
            qsizetype end = text.indexOf(kSeparator, close + 1);
            if (end < 0)
                end = n;
            fields << text.mid(i, end - i);
            i = end;
            continue;
        }
        qsizetype end = text.indexOf(kSeparator, i);
        if (end < 0)
            end = n;
        fields << text.mid(i, end - i);
        i = end;
    }
    if (!text.isEmpty() && text.front().unicode() < 32) {
        fields.prepend(QString());
        while (fields.size() > MaxImportFields)
            fields.removeLast();
    }
    if (fields.isEmpty())
        fields << text;
    return fields;
}

ImportLineReader::ImportLineReader(const QDate &today, const QLocale &locale)
    : m_today(today), m_defaultBestBefore(datetext::yearFirst(today)), m_locale(locale)
{
}

void ImportLineReader::setHeader(const QString &line)
{
    m_header = splitImportLine(line);
    dropLineEndField(m_header);
}

bool ImportLineReader::read(const QString &line)
{
    QStringList fields = splitImportLine(line);
    dropLineEndField(fields);

    ImportValues &v = m_values;
    const QString carriedType = v.type;
    v.number.reset();
    v.names.fill(QString());
    v.prefix = 0;
    v.barcode = 0;
    v.price = Price();
    v.bestBefore = m_defaultBestBefore;

    static const QString kN = QString::fromUtf8(fld::N), kPrefix = QString::fromUtf8(fld::Prefix),
                         kSK5 = QString::fromUtf8(fld::SK5), kBest = QString::fromUtf8(fld::BestBefore),
                         kPrice = QString::fromUtf8(fld::Price), kType = QString::fromUtf8(fld::Type);
    static const std::array<QString, Product::NameLines> kNames{
        QString::fromUtf8(fld::Name), QString::fromUtf8(fld::Name2), QString::fromUtf8(fld::Name3),
        QString::fromUtf8(fld::Name4), QString::fromUtf8(fld::Name5)};

    // A number field: blank keeps the default; anything else must read.
    bool readable = true;
    auto whole = [&](const QString &field, qint64 &to) {
        if (isBlank(field))
            return;
        if (const auto n = wholeNumber(field))
            to = *n;
        else
            readable = false;
    };
    const qsizetype count = std::min(fields.size(), m_header.size());
    for (qsizetype j = 0; j < count; ++j) {
        const QString &name = m_header[j];
        const QString &field = fields[j];
        if (name == kN) {
            v.number = wholeNumber(field); // blank or not: no number, no record
        } else if (name == kPrefix) {
            whole(field, v.prefix);
        } else if (name == kSK5) {
            whole(field, v.barcode);
        } else if (name == kBest) {
            // Blank is a product without one, as the export writes it; kept as given.
            if (!isBlank(field) && !datetext::readYearFirst(field, m_today))
                readable = false;
            v.bestBefore = field;
        } else if (name == kPrice) {
            if (isBlank(field))
                continue;
            if (const auto p = Price::fromText(field, m_locale))
                v.price = *p;
            else
                readable = false;
        } else if (name == kType) {
            v.type = field;
        } else {
            for (int k = 0; k < Product::NameLines; ++k) {
                if (name == kNames[std::size_t(k)]) {
                    v.names[std::size_t(k)] = field;
                    break;
                }
            }
        }
    }
    if (readable && v.number)
        return true;
    v.type = carriedType; // a line not stored hands nothing on
    return false;
}

QString BadLineList::message() const
{
    QStringList shown;
    const qsizetype count = std::min<qsizetype>(m_numbers.size(), ShownNumbers);
    for (qsizetype i = 0; i < count; ++i)
        shown << QString::number(m_numbers[i]);
    QString text = msg::text(msg::BadLines) + shown.join(QLatin1Char(','));
    if (m_numbers.size() > ShownNumbers)
        text += msg::text(msg::BadLinesMore).arg(m_numbers.size());
    return text;
}

} // namespace ztk
