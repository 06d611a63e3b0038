#pragma once
// What the totals paths tell the sales history: a complete reception, and the clears this
// program sent. A history that cannot be written is said through the prompter and costs
// the exchange nothing: the image kept under totals/ is still there for sales-import, and
// a clear not recorded shows as counters gone down.

#include "sales/SalesHistory.h"

#include "shared/Seams.h"
#include "totals/TotalsArchive.h"

#include <memory>
#include <span>

namespace ztk {

class ProductStore;

class SalesRecorder {
public:
    // The store of the working folder (`storeUrl`, else its "database.ini", else
    // "LM_T.db"), opened on this thread with a connection of its own: for an exchange on
    // a scale's thread.
    SalesRecorder(const QString &workDir, const QString &storeUrl, QString scale, Prompter &prompter);
    // An open store that outlives this (the windows').
    SalesRecorder(ProductStore &store, QString scale, Prompter &prompter);
    ~SalesRecorder();
    SalesRecorder(const SalesRecorder &) = delete;
    SalesRecorder &operator=(const SalesRecorder &) = delete;

    // A complete reception; `kept` the image's keeping (its file names the reception, so
    // that sales-import does not take it a second time).
    bool reception(const QDateTime &completed, const TotalsImage &image, const KeepResult &kept);
    // Products whose clear commands went out.
    bool cleared(const QDateTime &moment, std::span<const int> products);

private:
    bool usable(const char *failure);

    std::unique_ptr<ProductStore> m_own;
    ProductStore *m_store = nullptr;
    QString m_scale;
    Prompter &m_prompter;
    QString m_openError;
};

} // namespace ztk
