#include "shared/DateText.h"

namespace ztk::datetext {

namespace {

QString two(int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); }

// Exactly two ASCII digits at `pos`; -1 otherwise.
int twoDigits(const QString &s, qsizetype pos)
{
    if (pos + 2 > s.size())
        return -1;
    const QChar a = s.at(pos), b = s.at(pos + 1);
    if (a < QLatin1Char('0') || a > QLatin1Char('9') || b < QLatin1Char('0') || b > QLatin1Char('9'))
        return -1;
    return (a.unicode() - '0') * 10 + (b.unicode() - '0');
}

// "HH:mm" or "HH:mm:ss", the whole of `s`.
std::optional<QTime> parseTime(const QString &s)
{
    if (s.size() != 5 && s.size() != 8)
        return std::nullopt;
    const int h = twoDigits(s, 0), m = twoDigits(s, 3);
    int sec = 0;
    if (h < 0 || m < 0 || s.at(2) != QLatin1Char(':'))
        return std::nullopt;
    if (s.size() == 8) {
        sec = twoDigits(s, 6);
        if (sec < 0 || s.at(5) != QLatin1Char(':'))
            return std::nullopt;
    }
    const QTime t(h, m, sec);
    if (!t.isValid())
        return std::nullopt;
    return t;
}

// "aa.bb.cc" with an optional " time" after it; gives the three fields and the time.
bool splitDotted(const QString &input, int &a, int &b, int &c, QTime &time)
{
    const QString s = input.trimmed();
    if (s.size() < 8)
        return false;
    a = twoDigits(s, 0);
    b = twoDigits(s, 3);
    c = twoDigits(s, 6);
    if (a < 0 || b < 0 || c < 0 || s.at(2) != QLatin1Char('.') || s.at(5) != QLatin1Char('.'))
        return false;
    time = QTime(0, 0);
    if (s.size() == 8)
        return true;
    if (s.at(8) != QLatin1Char(' '))
        return false;
    const auto t = parseTime(s.mid(9));
    if (!t)
        return false;
    time = *t;
    return true;
}

std::optional<WallTime> make(int year, int month, int day, const QTime &time)
{
    const QDate d(year, month, day);
    if (!d.isValid())
        return std::nullopt;
    return WallTime{d, time};
}

std::optional<QDateTime> asDateTime(const std::optional<WallTime> &w)
{
    if (!w)
        return std::nullopt;
    return w->toDateTime();
}

} // namespace

QString yearFirst(const QDate &date)
{
    return two(date.year() % 100) + QLatin1Char('.') + two(date.month()) + QLatin1Char('.') + two(date.day());
}

QString dayFirst(const QDate &date)
{
    return two(date.day()) + QLatin1Char('.') + two(date.month()) + QLatin1Char('.') + two(date.year() % 100);
}

QString longTime(const QTime &time)
{
    return two(time.hour()) + QLatin1Char(':') + two(time.minute()) + QLatin1Char(':') + two(time.second());
}

QString storeStamp(const QDateTime &moment)
{
    const QDate d = moment.date();
    return QStringLiteral("%1-%2-%3 ").arg(d.year(), 4, 10, QLatin1Char('0')).arg(two(d.month()), two(d.day()))
        + longTime(moment.time());
}

int fullYear(int twoDigitYear, const QDate &today)
{
    const int first = today.year() - 50; // the window is first .. first + 99
    int year = first - ((first % 100) + 100) % 100 + ((twoDigitYear % 100) + 100) % 100;
    if (year < first)
        year += 100;
    return year;
}

std::optional<QDateTime> parseYearFirst(const QString &text, const QDate &today)
{
    return asDateTime(readYearFirst(text, today));
}

std::optional<WallTime> readYearFirst(const QString &text, const QDate &today)
{
    int yy, mm, dd;
    QTime time;
    if (!splitDotted(text, yy, mm, dd, time))
        return std::nullopt;
    return make(fullYear(yy, today), mm, dd, time);
}

std::optional<QDateTime> parseDayFirst(const QString &text, const QDate &today)
{
    int dd, mm, yy;
    QTime time;
    if (!splitDotted(text, dd, mm, yy, time))
        return std::nullopt;
    return asDateTime(make(fullYear(yy, today), mm, dd, time));
}

std::optional<QDateTime> parseStoreStamp(const QString &text, const QDate &today)
{
    return asDateTime(readStoreStamp(text, today));
}

std::optional<WallTime> readStoreStamp(const QString &text, const QDate &today)
{
    const QString s = text.trimmed();
    if (s.size() >= 10 && s.at(4) == QLatin1Char('-')) {
        const int c = twoDigits(s, 0), y = twoDigits(s, 2);
        const int mm = twoDigits(s, 5), dd = twoDigits(s, 8);
        if (c < 0 || y < 0 || mm < 0 || dd < 0 || s.at(7) != QLatin1Char('-'))
            return std::nullopt;
        QTime time(0, 0);
        if (s.size() > 10) {
            // The store keeps a space; an ISO 'T' is read as well.
            if (s.at(10) != QLatin1Char(' ') && s.at(10) != QLatin1Char('T'))
                return std::nullopt;
            const auto t = parseTime(s.mid(11));
            if (!t)
                return std::nullopt;
            time = *t;
        }
        return make(c * 100 + y, mm, dd, time);
    }
    return readYearFirst(s, today);
}

QString dayFirstWithTime(const QDateTime &moment)
{
    return dayFirstWithTime(WallTime{moment.date(), moment.time()});
}

QString dayFirstWithTime(const WallTime &moment)
{
    const QString date = dayFirst(moment.date);
    if (moment.time == QTime(0, 0))
        return date;
    return date + QLatin1Char(' ') + longTime(moment.time);
}

} // namespace ztk::datetext
