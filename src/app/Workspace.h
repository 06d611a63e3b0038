#pragma once
// The state the windows share, outside any window: the working folder and the seams,
// the product store and its dataset, the grid's selection, the port settings and the
// link, the last product image, the copy buffer, the exchange lock and the scales
// list. Every window is given the workspace when it is made; what one window asks of
// another goes through its methods and signals.

#include "app/AppContext.h"
#include "app/ExchangeLock.h"
#include "link/ScaleList.h"
#include "products/Selection.h"
#include "shared/PortConfig.h"

#include <QObject>
#include <QStringList>

#include <cstdint>
#include <memory>

namespace ztk {

class ProductDataset;
class ProductImage;
class ProductStore;
class ExchangeJournal;
class ExchangeLog;
class ScaleLink;
class ScaleState;
class SlotWatcher;
struct CopyBuffer;
class EditHistory;

class Workspace : public QObject {
    Q_OBJECT
public:
    // The context's seams outlive the workspace.
    explicit Workspace(const AppContext &context);
    ~Workspace() override; // the link's reader stopped first

    const AppContext &context() const { return m_context; }
    const Clock &clock() const { return *m_context.clock; }
    EventPump &pump() const { return *m_context.pump; }
    Prompter &prompter() const { return *m_context.prompter; }
    QString path(const char *fileName) const { return m_context.path(fileName); }

    ProductStore &store() const { return *m_store; }
    ProductDataset &dataset() const { return *m_dataset; }
    SelectionState &selection() { return m_selection; }
    const SelectionState &selection() const { return m_selection; }
    PortConfig &portConfig() { return m_portConfig; }
    ScaleLink &link() const { return *m_link; }
    ExchangeLock &exchangeLock() { return m_exchange; }
    CopyBuffer &copyBuffer() const { return *m_copyBuffer; }
    // This run's changes to the table, to undo and redo: the store tells it of each.
    EditHistory &history() const { return *m_history; }
    // The image last built from the selection; nullptr before the first.
    const ProductImage *image() const { return m_image.get(); }
    void setImage(std::unique_ptr<ProductImage> image);
    // The scales of "scales.ini", or the one of the port settings without it.
    ScaleList scales() const;
    // Opens the link on the port settings again (after the port was let go of for
    // several scales at once); tells linkReopened.
    bool reopenLink();
    // What the link's scale holds, kept as the exchanges change it: made once the store
    // is open and again when the port changes. Nothing when the store cannot keep it.
    SlotWatcher *slotWatcher() const;
    void followScale();
    // Where the exchanges of the windows are journalled: the link's scale, or `scale`.
    ExchangeLog *journalLog();
    ExchangeLog *journalLog(const ScaleEntry &scale);
    // Keeps the journal's rows in the store (a failure is said once); tells journalKept.
    void keepJournal();

    // --- what the windows ask of each other

    // The selection's rows again, the type rule with them; false with the store's text
    // (not shown).
    bool reopenSelection();
    // The rows of the selection as the list windows show them: "N Name" each.
    QStringList selectionEntries();
    // Asks the main window to make "Вес" (weight) or "Штука" the selection.
    void selectByType(bool weight) { Q_EMIT typeSelectionRequested(weight); }
    // Asks the main window to put back the selection that selectByType replaced.
    void restoreSelection() { Q_EMIT selectionRestoreRequested(); }
    // Asks the main window to store its current record and advance, as "Запись" does.
    void storeCurrentRecord() { Q_EMIT storeRecordRequested(); }
    // Hides the product grid while many rows are walked, and shows it again.
    void suspendGrid(bool suspended) { Q_EMIT gridSuspended(suspended); }
    // Asks the main window to ask the scale's number, as its own query does.
    void requestScaleNumber() { Q_EMIT scaleNumberRequested(); }
    // The scale's number came: the windows that show it take it.
    void announceScaleNumber(std::int8_t number) { Q_EMIT scaleNumberAnswered(number); }
    // A short line about what an exchange did ("Записано товаров: 50").
    void announceDone(const QString &line) { Q_EMIT exchangeDone(line); }

Q_SIGNALS:
    void typeSelectionRequested(bool weight);
    void selectionRestoreRequested();
    void storeRecordRequested();
    void gridSuspended(bool suspended);
    void scaleNumberRequested();
    void scaleNumberAnswered(std::int8_t number);
    void exchangeDone(const QString &line);
    void linkReopened(bool opened);
    void journalKept();

private:
    AppContext m_context;
    std::unique_ptr<ScaleLink> m_link;
    std::unique_ptr<ProductStore> m_store;
    std::unique_ptr<ProductDataset> m_dataset;
    SelectionState m_selection;
    PortConfig m_portConfig;
    ExchangeLock m_exchange;
    std::unique_ptr<ProductImage> m_image;
    std::unique_ptr<CopyBuffer> m_copyBuffer;
    std::unique_ptr<EditHistory> m_history;
    std::unique_ptr<ScaleState> m_scaleState;
    std::unique_ptr<ExchangeJournal> m_journal;
    bool m_journalPruned = false;
};

} // namespace ztk
