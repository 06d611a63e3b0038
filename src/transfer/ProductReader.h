#pragma once
// Reading products back from the scale, one ProductRecord per command 0x0A, and the
// rules of the read window's range fields.

#include "shared/ProductRecord.h"
#include "shared/Seams.h"

#include <QString>
#include <functional>
#include <optional>

namespace ztk {

class ScaleLink;

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

struct ReadResult {
    bool ok = false;
    QString message; // empty on success; else the text to show
    int read = 0;    // products received, in order from the first
};

class ProductReader {
public:
    // Product `number`, the `index`-th of the range (0-based), has come.
    using Received = std::function<void(int index, int number, const ProductRecord &record)>;
    // Before the `index`-th product is asked for.
    using Progress = std::function<void(int index)>;

    // All references outlive the reader; the clock sets the 15 s limit of each wait.
    ProductReader(ScaleLink &link, const Clock &clock, EventPump &pump);

    // Reads products first..last, each armed, asked for and waited for in turn. Stops
    // at the first product that does not come whole within 15 s ("Возможно, нет связи
    // с весами") or comes as no scale holds it (RecordImplausible); what came before
    // it has been handed over.
    ReadResult read(int first, int last, const Received &received, const Progress &progress = {});

private:
    ScaleLink &m_link;
    const Clock &m_clock;
    EventPump &m_pump;
};

} // namespace ztk
