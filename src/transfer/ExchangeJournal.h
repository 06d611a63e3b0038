#pragma once
// The journal of exchanges: a row for every exchange with a scale, from the windows,
// ztk-cli and the watch alike, in the product store (table ztk_journal), so that PCs
// sharing a server share it. Rows are gathered as the exchanges end, on any thread,
// and kept afterwards: a store that is slow or gone never holds an exchange up, and a
// row that cannot be kept is said once.

#include "link/Exchange.h"

#include <QDate>
#include <QDateTime>
#include <QString>

#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace ztk {

class ProductStore;

struct JournalRow {
    qint64 id = 0;
    QDateTime started, ended;
    QString host, user, scale, port, operation;
    int written = 0, read = 0, cleared = 0;
    bool ok = false;
    QString message;
};

struct JournalFilter {
    std::optional<QDate> since; // rows started on that day or later
    QString scale;              // empty: every scale
    bool failedOnly = false;
};

class ExchangeJournal {
public:
    // Rows of this PC (its host name) and user.
    ExchangeJournal();
    ~ExchangeJournal();
    ExchangeJournal(const ExchangeJournal &) = delete;
    ExchangeJournal &operator=(const ExchangeJournal &) = delete;

    // The log of the exchanges with one scale (its name in the scales list, its port),
    // one for each; it lives as long as the journal. Safe from any thread.
    ExchangeLog *scale(const QString &name, const QString &port);
    // Keeps the rows gathered so far. False (with error()) when the store refused
    // them or is not open (its text says why): they wait for the next time, the
    // oldest dropped beyond MaxWaiting.
    bool keep(ProductStore &store);
    QString error() const;
    // The failure to tell: empty when there is none, or when it was told already and
    // no row has been kept since.
    QString failureToTell();
    int waiting() const;

    static constexpr int MaxWaiting = 1000;
    static constexpr int KeptDays = 366;

    // --- the table

    // Makes ztk_journal when the store lacks it; false with the store's text when it
    // is of another shape.
    static bool prepare(ProductStore &store);
    // Removes the rows older than a year before `now`.
    static bool prune(ProductStore &store, const QDateTime &now);
    // The rows of `filter`, oldest first.
    static bool list(ProductStore &store, const JournalFilter &filter, std::vector<JournalRow> &rows);
    // The last row of each scale that has one.
    static bool lastOfEachScale(ProductStore &store, std::vector<JournalRow> &rows);
    // The highest row number: it changes whenever a row is added, by any PC.
    static std::optional<qint64> lastId(ProductStore &store);
    // started, ended, host, user, scale, port, operation, written, read, cleared,
    // outcome ("ok" or "failed"), message: tab-separated.
    static QString line(const JournalRow &row);

private:
    class ScaleLog;
    void add(JournalRow row);

    const QString m_host, m_user;
    mutable std::mutex m_mutex;
    std::deque<std::unique_ptr<ScaleLog>> m_scales;
    std::vector<JournalRow> m_waiting;
    QString m_error;
    bool m_told = false;
};

} // namespace ztk
