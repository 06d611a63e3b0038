#pragma once
// The index window's picking of a key layout: up to 28 products of the main window's
// selection ticked in order, the memo with their numbers in ticking order (line k
// belongs to key k + 1), and "Выполнить", which turns the memo into the 28 cells of
// the layout grid.

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace ztk::common {

class KeyLayout {
public:
    static constexpr int MaxTicked = 28;
    // The piece layout when there are no piece products: every key calls product 5000.
    static constexpr const char NoPieceProduct[] = "5000";

    // A new opening: these entries ("N Name"), nothing ticked, the memo empty.
    void open(const QStringList &entryTexts);

    // The memo is the operator's to edit; the window hands its lines in before each change.
    void setMemoLines(const QStringList &lines) { m_memo = lines; }
    const QStringList &memoLines() const { return m_memo; }

    // Ticks entry `item`: appends it to the ticking order and its number (the text up to
    // its first space) as the memo's last line. A 29th tick is refused: false, and the
    // entry must be shown unticked again.
    bool tick(int item);
    // Removes the entry from the ticking order and the memo line at its place; an entry
    // that is not in the order removes nothing.
    void untick(int item);

    int tickedCount() const { return int(m_order.size()); }
    const QList<int> &tickingOrder() const { return m_order; }

    // "Выполнить": the cells of rows 1..28 — the first `tickedCount` memo lines as they
    // are (a missing line gives an empty cell), then row 1's text repeated. Nothing when
    // nothing is ticked.
    std::optional<QStringList> cells() const;

    // Every key the piece layout gets when there are no piece products.
    static QStringList noPieceProducts();

private:
    QStringList m_entries;
    QList<int> m_order;
    QStringList m_memo;
};

} // namespace ztk::common
