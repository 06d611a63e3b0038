#pragma once
// The product list that narrows a write to at most 280 hand-picked products: the
// entries of the list window, the ticked ones in the order of ticking, the lines of
// its memo and the numbers formed from them by "Выполнить".
//
// A write uses the numbers of the last "Выполнить", as many of them as there are
// ticks now; a list with no ticks counts as no list.

#include "shared/TickedList.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>

namespace ztk {

class ProductList : public TickedList {
public:
    static constexpr int MaxTicked = 280;

    ProductList() : TickedList(MaxTicked) {}

    // Activation of the window: the formed flag goes down.
    void activate() { m_formed = false; }

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
    QList<int> m_numbers;
    bool m_formed = false;
};

} // namespace ztk
