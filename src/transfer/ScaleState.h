#pragma once
// What each scale holds, kept in the product store beside "lm_t1" (so that the PCs
// sharing a server share it):
//
//   ztk_scale  (scale, number, syncer, syncer_seen, last_sync, last_outcome)
//              the scale's number the state is from, the PC syncing it now, the last sync
//   ztk_slot   (scale, slot, content, seen)
//              a slot (0-based) whose content is known: the digest of the record the scale
//              acknowledged or gave back, or "" for an empty slot; no row: unknown
//
// It never claims more than the scale acknowledged: a slot about to be written or
// cleared is forgotten first, and known again only once acknowledged (or read).

#include "link/Exchange.h"
#include "shared/Seams.h"

#include <QByteArray>
#include <QString>

#include <map>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace ztk {

class ProductStore;

// The digest of a 256-byte record; empty for an empty slot (all 0xFF).
QByteArray recordDigest(std::span<const std::uint8_t> record);

struct SlotContent {
    enum Kind { Unknown, Empty, Record };
    Kind kind = Unknown;
    QByteArray digest; // of a Record
    bool operator==(const SlotContent &) const = default;
};

class ScaleState final : public SlotWatcher {
public:
    static constexpr int SlotCount = 5000;

    // Makes the two tables when the store lacks them; false with the store's text when
    // one is of another shape.
    static bool prepare(ProductStore &store);
    // Forgets all of a scale, its slots and its row (the scale left the list).
    static bool forgetScale(ProductStore &store, const QString &scale);

    // `store` is open (and prepared) and outlives this.
    ScaleState(ProductStore &store, QString scale, const Clock &clock);
    ~ScaleState() override; // what is pending is stored
    ScaleState(const ScaleState &) = delete;
    ScaleState &operator=(const ScaleState &) = delete;

    const QString &scale() const { return m_scale; }
    // The first failure to store the state; the exchanges go on regardless (a slot not
    // known is only sent again).
    const QString &error() const { return m_error; }

    // Every slot's content, by slot; false with error().
    bool load(std::vector<SlotContent> &slots);
    // The scale's number the known content is from; nothing when not recorded.
    std::optional<int> number();
    bool setNumber(int number);
    // Every slot unknown from now on.
    bool forget();
    // The last sync's moment and outcome, for the scales' window.
    bool recordSync(const QString &outcome);
    struct LastSync {
        QString moment, outcome;
    };
    std::optional<LastSync> lastSync();

    // The PC that syncs the scale: taken by `holder` (host and process) unless another
    // holds it and has been seen within `staleSeconds`; false with the holder in `heldBy`.
    bool claim(const QString &holder, int staleSeconds, QString &heldBy);
    void release();

    // SlotWatcher: sending(), a record acknowledged and a clear are stored at once, so
    // that a sync cut short sends nothing again that the scale took; what a read gave
    // back is stored in batches (a lost one is only read or sent again).
    void sending(std::span<const int> slots) override;
    void holds(int slot, std::span<const std::uint8_t> record, Source source) override;
    void cleared(int slot) override;
    bool flush() override;

private:
    bool ensureScaleRow();
    QString now() const;
    void failed();

    ProductStore &m_store;
    QString m_scale;
    const Clock &m_clock;
    QString m_error;
    std::map<int, QByteArray> m_pending; // slot -> content not yet stored
    QString m_holder;                    // our claim, while we sync
};

// Reads and keeps the state of the scale `scale` of the working folder's store for an
// exchange on another thread: opens its own connection to the store.
class OwnScaleState {
public:
    // A state that could not be stored is said once to `reportTo`, when this goes.
    OwnScaleState(const QString &workDir, const QString &storeUrl, const QString &scale, const Clock &clock,
                  Prompter *reportTo = nullptr);
    ~OwnScaleState();
    // Nothing when the store did not open (the state is then simply not kept).
    ScaleState *state() { return m_state.get(); }
    QString error() const { return m_error; }

private:
    std::unique_ptr<ProductStore> m_store;
    std::unique_ptr<ScaleState> m_state;
    QString m_error;
    Prompter *m_reportTo = nullptr;
};

} // namespace ztk
