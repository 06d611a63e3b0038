#pragma once
// Bringing a scale in step with the product table by sending only the difference:
// the records it is not known to hold (0x07, in ascending slots, acknowledged as any
// write), then clears (0x0C) of the products it holds that the table no longer has.
// A slot whose content is unknown and that the table does not hold is left alone.

#include "link/Exchange.h"
#include "link/ScaleRunner.h"
#include "shared/ProductRecord.h"
#include "transfer/ScaleState.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace ztk {

class ProductImage;

struct SyncPlan {
    std::vector<int> write; // 0-based slots, ascending
    std::vector<int> clear; // product numbers, ascending
    int unchanged = 0;      // slots known to hold what the table holds (a product, or nothing)
    int unknown = 0;        // slots the table does not hold, of unknown content
};

// `table`: every product of the table as the image build makes it; `known`: the
// scale's slots as its state has them.
SyncPlan planSync(const ProductImage &table, const std::vector<SlotContent> &known);

struct SyncReport {
    SyncPlan plan;
    int written = 0;
    int cleared = 0;
    QString note; // why the sync became a full one, when it did
    // "Записано: 3, удалено: 1, без изменений: 4995, неизвестно: 0"
    QString line() const;
};

struct SyncSettings {
    int expectedNumber = 1; // the scale's number as the list gives it
    bool full = false;      // forget what is known first
};

// The sync exchange: the scale's number asked (a scale other than the list's, or a
// state of another scale, makes it a full sync), then the plan carried out with the
// state kept exactly as acknowledged. The result counts the records and clears sent.
ExchangeResult syncScale(ExchangeSession &session, ScaleState &state, const ProductImage &table,
                         const SyncSettings &settings, SyncReport &report);

class ScaleJob;

// A sync on one scale of ScaleRunner (or of ztk-cli's one port) as a job: the state of
// `stateName` kept with a connection of the job's own, the scale claimed for this PC
// while it runs, the report line printed. `table` outlives the job.
struct SyncJob {
    QString workDir, storeUrl;
    const ProductImage *table = nullptr;
    bool full = false;
};
ScaleStatus syncOnScale(ScaleJob &job, const SyncJob &sync, const QString &stateName, int expectedNumber);

// "host:pid": which PC and process syncs a scale.
QString syncHolder();

// How a slot read back from the scale stands against the table.
enum class Difference { None, Differs, OnlyInScale, OnlyInTable };
Difference differenceOf(const ProductImage &table, int slot, const ProductRecord &read);
// "товар 4 отличается", and so on; empty for None.
QString differenceText(Difference difference, int number);

// What a sync would send, without sending: the state as it is, nothing asked.
SyncReport planOnly(ScaleState &state, const ProductImage &table, bool full, QString *error = nullptr);
// The lines of a dry run: one a product to write or clear.
QStringList planLines(const SyncPlan &plan, const ProductImage &table);

} // namespace ztk
