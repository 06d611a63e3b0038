#pragma once
// The index window's picking of a key layout: up to 28 products of the main window's
// selection ticked in order, the memo with their numbers in ticking order (line k
// belongs to key k + 1), and "Выполнить", which turns the memo into the 28 cells of
// the layout grid.

#include "shared/TickedList.h"

#include <QStringList>

#include <optional>

namespace ztk::common {

class KeyLayout : public TickedList {
public:
    static constexpr int MaxTicked = 28;
    // The piece layout when there are no piece products: every key calls product 5000.
    static constexpr const char NoPieceProduct[] = "5000";

    KeyLayout() : TickedList(MaxTicked) {}

    // "Выполнить": the cells of rows 1..28 — the first `tickedCount` memo lines as they
    // are (a missing line gives an empty cell), then row 1's text repeated. Nothing when
    // nothing is ticked.
    std::optional<QStringList> cells() const;

    // Every key the piece layout gets when there are no piece products.
    static QStringList noPieceProducts();
};

} // namespace ztk::common
