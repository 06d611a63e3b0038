// The main window's product transfer: building the product image, writing it to the
// scale, and the "Список" check box that opens the product list.

#include "app/ui/Pd1.h"

#include "ui/Mess.h"
#include "link/ScaleLink.h"
#include "link/ScaleList.h"
#include "link/ScaleRunner.h"
#include "products/ProductDataset.h"
#include "products/ProductFields.h"
#include "products/ProductStore.h"
#include "transfer/ExchangeJournal.h"
#include "shared/Files.h"
#include "shared/Messages.h"
#include "transfer/ProductImage.h"
#include "transfer/ProductWriter.h"
#include "transfer/ScaleStanding.h"
#include "transfer/ScaleState.h"
#include "transfer/ScaleSync.h"
#include "transfer/ui/Vljourn.h"
#include "transfer/ui/Vlsost.h"
#include "ui/ScalesRun.h"
#include "ui/ExchangeRun.h"
#include "transfer/ui/Formspisok.h"

#include <QCheckBox>
#include <QLabel>
#include <QMenuBar>
#include <QScopeGuard>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>

namespace {
constexpr int SummaryLookMs = 3000; // how often the status bar looks for others' changes
}

using namespace ztk;

void TForm1::Button2Click()
{
    // Going to the first row stores a pending edit, so the image holds what is on screen.
    m_ws.dataset().first();
    std::optional<QSet<int>> list;
    if (CheckBox2 && CheckBox2->isChecked() && Form7)
        list = Form7->list().filter(); // no ticks: no list
    auto image = std::make_unique<ProductImage>();
    image->build(selectionRows(m_ws.dataset()), list, m_context.clock->now().date());
    m_ws.setImage(std::move(image));
}

ExchangeResult TForm1::COM1Click(ExchangeSession &session)
{
    return writeProductFile(session, m_context.path(files::ProductImage));
}

bool TForm1::storeSelectionImage()
{
    // A selection that could not be read whole (a damaged table) sends nothing.
    if (!m_ws.dataset().isOpen()) {
        m_context.prompter->message(ztk::MessageKind::Error, m_ws.dataset().errorText());
        return false;
    }
    DBGrid1->hide();
    Button2Click();
    // An image that could not be stored must not let the previous file go out.
    const QString refused = storeImageFile(*m_ws.image(), m_context.workDir, m_context.path(files::ProductImage));
    DBGrid1->show();
    if (!refused.isEmpty()) {
        m_context.prompter->message(ztk::MessageKind::Error, refused);
        return false;
    }
    m_ws.dataset().first();
    return true;
}

void TForm1::N5Click()
{
    ExchangeRun run(m_ws, this, Operation::WriteProducts, ExchangeRun::Wait{msg::text(msg::WriteCaption), msg::text(msg::WritePreparing)});
    if (!run.started() || !storeSelectionImage())
        return;
    run.setText(msg::text(msg::WriteLoading));
    const ExchangeResult r = COM1Click(run.session());
    run.finish(r, msg::text(msg::WriteDone).arg(r.done));
}

void TForm1::updateAllScalesItem()
{
    N11->setEnabled(!m_exchange.busy() && m_ws.scales().scales().size() > 1);
}

void TForm1::N11Click()
{
    const ScaleList list = m_ws.scales();
    if (!list.problems().isEmpty())
        m_context.prompter->message(ztk::MessageKind::Warning, list.problems().join(QLatin1Char('\n')));
    if (list.scales().size() < 2) {
        updateAllScalesItem();
        return;
    }
    if (m_exchange.busy() || !storeSelectionImage())
        return;
    const QString path = m_context.path(files::ProductImage);
    const auto outcomes = runOnScales(m_ws, this, Operation::WriteProducts, msg::text(msg::WriteAllCaption),
                                      list.scales(), [&](ScaleJob &j) {
        OwnScaleState state(m_context.workDir, QString(), j.scale.name, j.clock, &j.prompter);
        j.watcher = state.state();
        ExchangeSession session = j.session();
        const ExchangeResult r = session.logged(Operation::WriteProducts, writeProductFile(session, path));
        if (!r.ok)
            j.prompter.message(r.message);
        return r.ok ? ScaleStatus::Done : ScaleStatus::NoAnswer;
    });
    if (!outcomes)
        return;
    const QString failed = failedScalesText(*outcomes);
    if (failed.isEmpty())
        m_context.prompter->message(msg::text(msg::ScalesDone));
    else
        m_context.prompter->message(ztk::MessageKind::Warning, failed);
}

void TForm1::N12Click()
{
    const ScaleList list = m_ws.scales();
    if (!list.problems().isEmpty())
        m_context.prompter->message(ztk::MessageKind::Warning, list.problems().join(QLatin1Char('\n')));
    QString error;
    m_ws.dataset().first(); // a pending edit is stored first, so the scales get what is on screen
    const std::unique_ptr<ProductImage> table = tableImage(m_ws.store(), m_context.clock->now().date(), error);
    if (!table) {
        m_context.prompter->message(ztk::MessageKind::Error, error);
        return;
    }
    const SyncJob sync{m_context.workDir, QString(), table.get(), false};
    const auto outcomes = runOnScales(m_ws, this, Operation::Sync, msg::text(msg::SyncCaption), list.scales(),
                                      [&](ScaleJob &j) { return syncOnScale(j, sync, j.scale.name, j.scale.number); });
    if (!outcomes)
        return;
    const QString failed = failedScalesText(*outcomes);
    if (failed.isEmpty())
        m_ws.announceDone(msg::text(msg::SyncAllDone).arg(outcomes->size()));
    else
        m_context.prompter->message(ztk::MessageKind::Warning, failed);
}

void TForm1::N13Click()
{
    if (FormSost)
        FormSost->exec();
}

void TForm1::N14Click()
{
    if (FormJourn)
        FormJourn->exec();
}

void TForm1::followScalesSummary()
{
    if (!Label21) {
        Label21 = new QLabel(this);
        Label21->setObjectName(QStringLiteral("Label21"));
        statusBar()->addPermanentWidget(Label21);
    }
    const auto dirty = [this] { m_summaryDirty = true; };
    connect(&m_ws, &Workspace::journalKept, this, dirty);
    connect(&m_ws.dataset(), &ProductDataset::stored, this, dirty);
    connect(&m_ws.dataset(), &ProductDataset::reset, this, dirty);
    m_summaryTimer = new QTimer(this);
    m_summaryTimer->setInterval(SummaryLookMs);
    connect(m_summaryTimer, &QTimer::timeout, this, &TForm1::lookAtScalesSummary);
    m_summaryTimer->start();
    refreshScalesSummary();
}

void TForm1::lookAtScalesSummary()
{
    // The watch and the other PCs add to the journal and change the table too.
    ProductStore &store = m_ws.store();
    if (!store.isOpen() || m_exchange.busy())
        return;
    const std::optional<qint64> journal = ExchangeJournal::lastId(store);
    qint64 version = m_tableVersion;
    std::vector<QVariantList> rows;
    if (!store.isServer() && store.exec(QStringLiteral("pragma data_version"), {}, &rows) && !rows.empty())
        version = rows.front().value(0).toLongLong();
    if (m_summaryDirty || journal != m_journalSeen || version != m_tableVersion)
        refreshScalesSummary();
    m_tableVersion = version;
}

void TForm1::refreshScalesSummary()
{
    if (!Label21 || !m_ws.store().isOpen())
        return;
    m_summaryDirty = false;
    m_journalSeen = ExchangeJournal::lastId(m_ws.store());
    ScalesSummary summary;
    QString error;
    if (summarizeScales(m_ws.store(), m_ws.scales(), m_ws.clock(), summary, error))
        Label21->setText(summary.text());
    else
        Label21->setText(error);
}

void TForm1::CheckBox2Click()
{
    if (!CheckBox2->isChecked() || !Form7)
        return;
    Form7->fill(selectionEntries());
    Form7->exec();
}

QStringList TForm1::selectionEntries()
{
    return m_ws.selectionEntries();
}
