#pragma once
// The date text forms of the program. "." is the separator everywhere.
//   stored "Дата", "ГоденДо", the date box:  yy.mm.dd   (17 May 2010 -> 10.05.17)
//   shown "Goden":                           dd.mm.yy   (17.05.10)
//   "Время", the long time form:             HH:mm:ss
//   "ДатаКоррекции" in the store:            yyyy-MM-dd HH:mm:ss
// Two-digit years fall in the hundred years that begin fifty years before the
// current year (the year of `today`).

#include <QDate>
#include <QDateTime>
#include <QString>
#include <optional>

namespace ztk::datetext {

QString yearFirst(const QDate &date);          // yy.mm.dd
QString dayFirst(const QDate &date);           // dd.mm.yy
QString longTime(const QTime &time);           // HH:mm:ss
QString storeStamp(const QDateTime &moment);   // yyyy-MM-dd HH:mm:ss

int fullYear(int twoDigitYear, const QDate &today);

// A date and a time of day, in no time zone. Building a local QDateTime looks the
// zone up each time, which a walk over thousands of records cannot afford.
struct WallTime {
    WallTime() = default;
    WallTime(const QDate &d, const QTime &t) : date(d), time(t) {}
    WallTime(const QDateTime &moment) : date(moment.date()), time(moment.time()) {} // NOLINT: implicit on purpose
    QDateTime toDateTime() const { return QDateTime(date, time); }

    QDate date;
    QTime time;
};

// The parsers below without the QDateTime.
std::optional<WallTime> readYearFirst(const QString &text, const QDate &today);
std::optional<WallTime> readStoreStamp(const QString &text, const QDate &today);

// yy.mm.dd, optionally followed by a space and a time (HH:mm or HH:mm:ss).
std::optional<QDateTime> parseYearFirst(const QString &text, const QDate &today);
// dd.mm.yy, optionally followed by a space and a time.
std::optional<QDateTime> parseDayFirst(const QString &text, const QDate &today);
// yyyy-MM-dd HH:mm:ss (or without the time); also accepts yy.mm.dd HH:mm:ss.
std::optional<QDateTime> parseStoreStamp(const QString &text, const QDate &today);

// "Dcorr": dd.mm.yy and, unless exactly midnight, a space and HH:mm:ss.
QString dayFirstWithTime(const QDateTime &moment);
QString dayFirstWithTime(const WallTime &moment);

} // namespace ztk::datetext
