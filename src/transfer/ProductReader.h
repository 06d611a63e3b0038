#pragma once
// Reading products back from the scale, one ProductRecord per command 0x0A, and the
// rules of the read window's range fields.

#include "link/Exchange.h"
#include "shared/ProductRecord.h"

#include <QString>
#include <functional>
#include <optional>

namespace ztk {

namespace readback {

inline constexpr int FirstNumber = 1;
inline constexpr int LastNumber = 5000;

// A range field read: a whole number as typed (outside 1..5000 too), nothing for any
// other text (the field then reads and shows 1).
std::optional<int> fieldNumber(const QString &text);
// A value the program puts into a range field: held within 1..5000.
int heldNumber(qint64 value);

struct Range {
    int first = FirstNumber;
    int last = FirstNumber;
    int count() const { return last >= first ? last - first + 1 : 0; }
};
// The read window's widening: a first number above 5000 becomes 4999, a last one 5000,
// and a last number not above the first becomes first + 1 (held at 5000).
Range widened(int first, int last);

// The wait window's gauge before product `k` (0-based) of `count`: the grid's rows,
// header included, are the base.
int readGauge(int k, int count);

} // namespace readback

// Product `number`, the `index`-th of the range (0-based), has come.
using RecordReceived = std::function<void(int index, int number, const ProductRecord &record)>;

// Reads products first..last, each armed, asked for (0x0A and its 0-based slot) and
// waited for within 15 s in turn. Stops at the first product that does not come whole
// ("Возможно, нет связи с весами") or comes as no scale holds it (RecordImplausible);
// what came before it has been handed over. The result counts the products read; the
// gauge before product k is readGauge(k, count).
ExchangeResult readProducts(ExchangeSession &session, int first, int last, const RecordReceived &received);

} // namespace ztk
