#include "app/Workspace.h"

#include "link/ScaleLink.h"
#include "products/EditHistory.h"
#include "products/ProductDataset.h"
#include "products/ProductFields.h"
#include "products/ProductStore.h"
#include "products/RecordEditing.h"
#include "shared/Messages.h"
#include "transfer/ExchangeJournal.h"
#include "transfer/ProductImage.h"
#include "transfer/ScaleState.h"

namespace ztk {

Workspace::Workspace(const AppContext &context)
    : m_context(context),
      m_link(std::make_unique<ScaleLink>()),
      m_store(std::make_unique<ProductStore>()),
      m_dataset(std::make_unique<ProductDataset>(*m_store, *context.clock, *context.prompter)),
      m_copyBuffer(std::make_unique<CopyBuffer>()),
      m_history(std::make_unique<EditHistory>()),
      m_journal(std::make_unique<ExchangeJournal>())
{
    m_store->setRecorder(m_history.get());
}

Workspace::~Workspace()
{
    // The reader must be gone before the buffers it fills.
    m_link->stopReader();
    m_store->setRecorder(nullptr);
    m_link->setLinkStateHandler({});
    m_scaleState.reset(); // stored before the store goes
    if (m_store->isOpen())
        m_journal->keep(*m_store);
}

ExchangeLog *Workspace::journalLog()
{
    const QString port = QString::fromLocal8Bit(m_portConfig.portName);
    return m_journal->scale(scales().nameOfPort(port), port);
}

ExchangeLog *Workspace::journalLog(const ScaleEntry &scale)
{
    return m_journal->scale(scale.name, scale.port);
}

void Workspace::keepJournal()
{
    if (m_journal->waiting() == 0)
        return;
    if (!m_journal->keep(*m_store)) {
        if (const QString why = m_journal->failureToTell(); !why.isEmpty())
            prompter().message(MessageKind::Warning, msg::text(msg::JournalNotKept).arg(why));
        return;
    }
    Q_EMIT journalKept();
}

bool Workspace::reopenLink()
{
    const bool opened = m_link->open(m_portConfig, *m_context.prompter).port == SerialPort::Opened;
    Q_EMIT linkReopened(opened);
    return opened;
}

SlotWatcher *Workspace::slotWatcher() const
{
    return m_scaleState.get();
}

void Workspace::followScale()
{
    m_scaleState.reset();
    if (!m_store->isOpen())
        return;
    // Once the store is open: what is older than a year goes.
    if (!m_journalPruned)
        m_journalPruned = ExchangeJournal::prune(*m_store, m_context.clock->now());
    if (!ScaleState::prepare(*m_store))
        return;
    const QString name = scales().nameOfPort(QString::fromLocal8Bit(m_portConfig.portName));
    m_scaleState = std::make_unique<ScaleState>(*m_store, name, *m_context.clock);
}

void Workspace::setImage(std::unique_ptr<ProductImage> image)
{
    m_image = std::move(image);
}

ScaleList Workspace::scales() const
{
    return ScaleList::load(m_context.workDir, m_portConfig);
}

bool Workspace::reopenSelection()
{
    m_dataset->setTypeRule(m_selection.typeRule());
    return m_dataset->open(m_selection.sql());
}

QStringList Workspace::selectionEntries()
{
    m_dataset->first();
    QStringList entries;
    const int count = m_dataset->isOpen() ? m_dataset->recordCount() : 0;
    entries.reserve(count);
    for (int i = 0; i < count; ++i)
        entries << m_dataset->rowValue(i, fld::N).toString() + QLatin1Char(' ')
                       + m_dataset->rowValue(i, fld::Name).toString();
    return entries;
}

} // namespace ztk
