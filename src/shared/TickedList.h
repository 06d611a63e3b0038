#pragma once
// The entries of a check-list window ticked in the order of ticking, at most `limit`
// of them, and the window's memo: one line per ticked entry, its number (the entry's
// text up to the first space) in ticking order. The product list and the key layouts
// are made of it.

#include <QList>
#include <QString>
#include <QStringList>

namespace ztk {

class TickedList {
public:
    explicit TickedList(int limit) : m_limit(limit) {}

    int limit() const { return m_limit; }

    // A new opening: these entry texts ("N Name"), nothing ticked, the memo empty.
    void open(const QStringList &entryTexts);

    // The memo is the operator's to edit; the window hands its lines in before each change.
    void setMemoLines(const QStringList &lines) { m_memo = lines; }
    const QStringList &memoLines() const { return m_memo; }

    // Ticks entry `position`: appends it and a memo line with its number. A tick beyond
    // the limit is refused: false, and the entry must be shown unticked.
    bool tick(int position);
    // Removes the entry from the ticked ones and the memo line at its place; an entry
    // that is not ticked removes nothing.
    void untick(int position);

    int tickedCount() const { return int(m_ticked.size()); }
    const QList<int> &tickedEntries() const { return m_ticked; }
    const QStringList &entries() const { return m_entries; }

private:
    int m_limit;
    QStringList m_entries;
    QList<int> m_ticked;
    QStringList m_memo;
};

} // namespace ztk
