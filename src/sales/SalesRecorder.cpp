#include "sales/SalesRecorder.h"

#include "products/ProductStore.h"
#include "shared/Messages.h"

#include <QFileInfo>

namespace ztk {

SalesRecorder::SalesRecorder(const QString &workDir, const QString &storeUrl, QString scale, Prompter &prompter)
    : m_own(std::make_unique<ProductStore>()), m_scale(std::move(scale)), m_prompter(prompter)
{
    if (openWorkingStore(*m_own, workDir, storeUrl))
        m_store = m_own.get();
    else
        m_openError = m_own->errorText();
}

SalesRecorder::SalesRecorder(ProductStore &store, QString scale, Prompter &prompter)
    : m_store(&store), m_scale(std::move(scale)), m_prompter(prompter)
{
}

SalesRecorder::~SalesRecorder() = default;

bool SalesRecorder::usable(const char *failure)
{
    if (m_store && m_store->isOpen())
        return true;
    m_prompter.message(MessageKind::Error,
                       msg::text(failure).arg(m_openError.isEmpty() ? msg::text(msg::StoreNotOpen) : m_openError));
    return false;
}

bool SalesRecorder::reception(const QDateTime &completed, const TotalsImage &image, const KeepResult &kept)
{
    if (!usable(msg::SalesNotStored))
        return false;
    SalesHistory history(*m_store);
    const QString stem = kept.ok ? QFileInfo(kept.path).completeBaseName() : QString();
    if (history.storeReception(m_scale, completed, image, stem) == SalesHistory::Stored::Failed) {
        m_prompter.message(MessageKind::Error, msg::text(msg::SalesNotStored).arg(history.errorText()));
        return false;
    }
    return true;
}

bool SalesRecorder::cleared(const QDateTime &moment, std::span<const int> products)
{
    if (products.empty())
        return true;
    if (!usable(msg::SalesClearNotStored))
        return false;
    SalesHistory history(*m_store);
    if (!history.recordClear(m_scale, moment, products)) {
        m_prompter.message(MessageKind::Error, msg::text(msg::SalesClearNotStored).arg(history.errorText()));
        return false;
    }
    return true;
}

} // namespace ztk
