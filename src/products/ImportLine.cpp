#include "products/ImportLine.h"

#include "products/ProductFields.h"
#include "shared/DateText.h"
#include "shared/Messages.h"

#include <optional>

namespace ztk {

namespace {

constexpr QChar kSeparator = QLatin1Char(';');
constexpr QChar kQuote = QLatin1Char('\'');

bool isLineEnd(QChar c)
{
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
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
    : m_defaultBestBefore(datetext::yearFirst(today)), m_locale(locale)
{
}

void ImportLineReader::setHeader(const QString &line)
{
    m_header = splitImportLine(line);
    dropLineEndField(m_header);
}

const ImportValues &ImportLineReader::read(const QString &line)
{
    QStringList fields = splitImportLine(line);
    dropLineEndField(fields);

    ImportValues &v = m_values;
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

    const qsizetype count = std::min(fields.size(), m_header.size());
    for (qsizetype j = 0; j < count; ++j) {
        const QString &name = m_header[j];
        const QString &field = fields[j];
        if (name == kN) {
            if (const auto n = wholeNumber(field))
                v.number = *n;
        } else if (name == kPrefix) {
            if (const auto n = wholeNumber(field))
                v.prefix = *n;
        } else if (name == kSK5) {
            if (const auto n = wholeNumber(field))
                v.barcode = *n;
        } else if (name == kBest) {
            v.bestBefore = field;
        } else if (name == kPrice) {
            if (const auto p = Price::fromText(field, m_locale))
                v.price = *p;
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
    return v;
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
