#pragma once
// The product list that narrows a write to at most 280 hand-picked products: the
// entries of the list window, the ticked ones in the order of ticking, the lines of
// its memo and the numbers formed from them by "Выполнить".
//
// A write uses the numbers of the last "Выполнить", as many of them as there are
// ticks now; a list with no ticks counts as no list.

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>

namespace ztk {

class ProductList {
public:
    static constexpr int MaxTicked = 280;

    // A new opening: these entry texts ("N Name"), nothing ticked, memo empty.
    // The formed numbers stay.
    void open(const QStringList &entryTexts);
    // Activation of the window: the formed flag goes down.
    void activate() { m_formed = false; }

    // The memo is the operator's to edit; the window hands its lines in before each change.
    void setMemoLines(const QStringList &lines) { m_memo = lines; }
    const QStringList &memoLines() const { return m_memo; }

    // Ticks entry `position`: appends it and a memo line with its number. A tick beyond
    // 280 is refused: false, and the entry must be shown unticked.
    bool tick(int position);
    // Removes the entry from the ticked ones and the memo line at the same place.
    void untick(int position);

    int tickedCount() const { return int(m_ticked.size()); }
    const QList<int> &tickedEntries() const { return m_ticked; }
    const QStringList &entries() const { return m_entries; }

    struct Outcome {
        bool ok = false;       // the command did its work
        QString message;       // what to show (may be empty)
    };
    // "Выполнить": the first tickedCount memo lines as whole numbers. A line that is not one
    // gives the conversion error and changes nothing.
    Outcome form();
    // "Выход": the message to show when nothing was formed since activation.
    QString leave() const;
    bool formed() const { return m_formed; }
    const QList<int> &formedNumbers() const { return m_numbers; }

    // The numbers a write keeps, or nothing when the list counts as empty (no ticks).
    std::optional<QSet<int>> filter() const;

private:
    QStringList m_entries;
    QList<int> m_ticked;
    QStringList m_memo;
    QList<int> m_numbers;
    bool m_formed = false;
};

} // namespace ztk
