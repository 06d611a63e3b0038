#include "products/StoreCopy.h"

#include "products/ProductStore.h"
#include "products/Selection.h"
#include "shared/Messages.h"

#include <vector>

namespace ztk {

CopyResult copyProducts(ProductStore &from, ProductStore &to, bool replace,
                        const std::function<void(qint64, qint64)> &progress)
{
    CopyResult r;
    std::vector<Product> rows;
    ColumnSet present;
    if (!from.select(wholeBaseSql(), rows, &present)) {
        r.error = from.errorText();
        return r;
    }
    StoreTransaction transaction(to);
    if (!transaction.active()) {
        r.error = to.errorText();
        return r;
    }
    const qint64 already = to.count();
    if (already < 0) {
        r.error = to.errorText();
        return r;
    }
    if (already > 0 && !replace) {
        r.targetNotEmpty = true;
        r.error = msg::text(msg::CopyTargetNotEmpty).arg(to.path());
        return r;
    }
    if (already > 0 && !to.removeAll()) {
        r.error = to.errorText();
        return r;
    }
    const qint64 total = qint64(rows.size());
    for (Product &p : rows) {
        // The source's columns only: a column it lacks stays NULL in the target.
        if (!to.insert(p, present)) {
            r.error = QStringLiteral("N=%1: %2").arg(p.number.value ? QString::number(*p.number.value) : p.number.other.toString(),
                                                     to.errorText());
            return r;
        }
        ++r.copied;
        if (progress && (r.copied % 500 == 0 || r.copied == total))
            progress(r.copied, total);
    }
    if (!transaction.commit()) {
        r.copied = 0;
        r.error = to.errorText();
        return r;
    }
    r.ok = true;
    return r;
}

} // namespace ztk
