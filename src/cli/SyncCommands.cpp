// Keeping the scales in step with the product table: sync sends what changed, compare
// reads the scale back and says what differs.

#include "cli/CliCommand.h"
#include "cli/RangeOption.h"

#include "products/ProductStore.h"
#include "shared/Messages.h"
#include "transfer/ProductImage.h"
#include "transfer/ProductReader.h"
#include "transfer/ScaleState.h"
#include "transfer/ScaleStanding.h"
#include "transfer/ScaleSync.h"

#include "transfer/ScaleWatch.h"

#include <QCoreApplication>
#include <QLockFile>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <memory>
#include <mutex>
#include <utility>

using namespace ztk;
using namespace ztk::cli;

constexpr CommandOption FullOption{"full", nullptr, QT_TRANSLATE_NOOP("ztk-cli",
                                                        "forgets what the scale is known to hold and writes every "
                                                        "product")};
constexpr CommandOption DryRunOption{"dry-run", nullptr, QT_TRANSLATE_NOOP("ztk-cli",
                                                             "prints what would be written and cleared, and sends "
                                                             "nothing")};
constexpr CommandOption WatchOption{"watch", nullptr,
                                    QT_TRANSLATE_NOOP("ztk-cli", "keeps the scales in step until stopped (SIGTERM, "
                                                                 "SIGINT): a sync whenever the table changes, a "
                                                                 "scale that does not answer tried again after 2 s "
                                                                 "up to once a minute")};

ZTK_CLI_COMMAND(sync,
                {.name = "sync",
                 .summary = QT_TRANSLATE_NOOP("ztk-cli", "brings each scale in step with the product table, sending "
                                                         "only what changed"),
                 .options = {FullOption, DryRunOption, WatchOption},
                 .details = {QT_TRANSLATE_NOOP("ztk-cli", "Asks the scale's number, writes the products whose "
                                                          "record differs from what the scale is known to hold (or "
                                                          "whose slot is unknown), then clears the products it "
                                                          "holds that the table no longer has. What each scale "
                                                          "holds is kept in the product store. A scale whose number "
                                                          "is not the list's is forgotten and written whole. Prints "
                                                          "one line per scale: written, cleared, unchanged, unknown "
                                                          "slots. With --watch it runs until stopped, one line per "
                                                          "sync on standard error; one watch per working folder. "
                                                          "The user unit ztk-sync.service of the package runs it in "
                                                          "~/ztk (systemctl --user enable --now ztk-sync.service).")}})
ZTK_CLI_COMMAND(compare,
                {.name = "compare",
                 .summary = QT_TRANSLATE_NOOP("ztk-cli", "reads products A..B back and lists those that differ from "
                                                         "the product table"),
                 .options = {FromOption, ToOption},
                 .details = {QT_TRANSLATE_NOOP("ztk-cli", "One line per product that differs, is only in the scale "
                                                          "or only in the table, then a summary line; what was read "
                                                          "is kept as what the scale holds. Exit 0 whether they "
                                                          "differ or not.")}})

namespace {

// Every product of the table as the image build makes it, the state's tables made;
// nothing on bad input (shown).
std::unique_ptr<ProductImage> tableOf(CliContext &ctx, ProductStore &store)
{
    if (!ctx.openStoreForReading(store))
        return nullptr;
    QString error;
    std::unique_ptr<ProductImage> image = tableImage(store, ctx.clock.now().date(), error);
    if (image && !ScaleState::prepare(store))
        error = store.errorText();
    if (!error.isEmpty()) {
        ctx.prompter.message(error);
        return nullptr;
    }
    return image;
}

// The number the list gives the scale; for the one scale of the port, the list's scale
// on that port, else the last scale number of "fbdves.cfg".
int expectedNumber(const CliContext &ctx, const ScaleEntry &scale)
{
    if (!scale.name.isEmpty())
        return scale.number;
    const ScaleList list = ScaleList::load(ctx.workDir, ctx.port);
    const ScaleEntry *listed = list.find(list.nameOfPort(scale.port));
    return listed ? listed->number : int(ctx.port.lastScaleNumber);
}

std::atomic<bool> stopAsked{false};
extern "C" void askStop(int) { stopAsked.store(true); }

// Whether the table changed since the last look: the server's notifications, or the
// file's data version (changed by every other connection's commit).
class TableChanges {
public:
    explicit TableChanges(ProductStore &store) : m_store(store)
    {
        m_notified = store.isServer() && store.watchChanges([this] { m_changed = true; });
        version();
    }
    bool changed()
    {
        if (m_store.isServer()) {
            // Without notifications, or after a lost connection, look at the table now and
            // then (every 6 s at a look every 100 ms).
            const bool look = !m_notified || ++m_looks % 60 == 0;
            return std::exchange(m_changed, false) || look;
        }
        const qint64 before = m_version;
        return version() != before;
    }

private:
    qint64 version()
    {
        std::vector<QVariantList> rows;
        if (m_store.exec(QStringLiteral("pragma data_version"), {}, &rows) && !rows.empty())
            m_version = rows.front().value(0).toLongLong();
        return m_version;
    }
    ProductStore &m_store;
    bool m_notified = false;
    bool m_changed = false;
    int m_looks = 0;
    qint64 m_version = -1;
};

int watchScales(CliContext &ctx, ProductStore &store, std::unique_ptr<ProductImage> first)
{
    QLockFile lock(ctx.path(files::WatchLock));
    lock.setStaleLockTime(0); // a lock whose process is gone is taken over
    if (!lock.tryLock(0)) {
        qint64 pid = 0;
        QString host, application;
        lock.getLockInfo(&pid, &host, &application);
        ctx.prompter.message(msg::text(msg::WatchRunning).arg(pid));
        return ExitBadUsage;
    }
    ExchangeJournal::prune(store, ctx.clock.now()); // a year is kept; a failure costs nothing here
    ctx.tellDefaultPort();
    QList<ScaleWatch::Scale> scales;
    for (const ScaleEntry &scale : ctx.manyScales() ? ctx.scales : QList<ScaleEntry>{ctx.singleScale()})
        scales.append({scale, ctx.scaleName(scale), expectedNumber(ctx, scale)});
    std::signal(SIGTERM, askStop);
    std::signal(SIGINT, askStop);
    std::mutex out;
    const auto log = [&out](const QString &line) {
        std::lock_guard<std::mutex> hold(out);
        std::fprintf(stderr, "%s\n", line.toUtf8().constData());
        std::fflush(stderr);
    };
    log(msg::text(msg::WatchStarted).arg(scales.size()));
    ScaleWatch watch(scales, ctx.port, ctx.workDir, ctx.storeUrl, ctx.clock, log);
    std::shared_ptr<const ProductImage> table(std::move(first));
    watch.publish(table);

    auto changes = std::make_unique<TableChanges>(store);
    bool dirty = false;
    // A stop is seen within 100 ms; the file is looked at every 300 ms.
    for (int tick = 1; !stopAsked.load(); ++tick) {
        QCoreApplication::processEvents();
        QThread::msleep(100);
        // The server's notifications are only a flag to read: looked at every tick.
        dirty = ((store.isServer() || tick % 3 == 0) && changes->changed()) || dirty;
        if (!dirty)
            continue;
        QString error;
        std::shared_ptr<const ProductImage> now(tableImage(store, ctx.clock.now().date(), error));
        if (!now) {
            // Locked by another writer, or the server away: look again in a second. A
            // server that went away took the connection and its notifications with it.
            log(msg::text(msg::WatchTableUnreadable).arg(error));
            if (store.isServer() && !store.isOpen()) {
                const StoreLocation where = store.location();
                changes.reset();
                if (store.open(where))
                    log(msg::text(msg::WatchStoreBack));
                changes = std::make_unique<TableChanges>(store);
            }
            for (int i = 0; i < 10 && !stopAsked.load(); ++i)
                QThread::msleep(100);
            continue;
        }
        dirty = false;
        if (std::equal(now->data(), now->data() + ProductImage::ImageSize, table->data()))
            continue; // what changed was not the table (the scales' state, say)
        table = now;
        watch.publish(table);
    }
    watch.stop();
    // A sync cut here is finished by the next one; nothing acknowledged goes again.
    if (!watch.waitEnded(800)) {
        log(msg::text(msg::WatchStopped));
        lock.unlock();
        std::_Exit(ExitOk);
    }
    log(msg::text(msg::WatchStopped));
    return ExitOk;
}

} // namespace

int sync(CliContext &ctx, const QStringList &args)
{
    Options o;
    if (const auto bad = parseOptions(ctx, args, o))
        return *bad;
    ProductStore store;
    std::unique_ptr<ProductImage> table = tableOf(ctx, store);
    if (!table)
        return ExitBadUsage;

    if (o.flag(DryRunOption)) {
        const QList<ScaleEntry> scales = ctx.manyScales() ? ctx.scales : QList<ScaleEntry>{ctx.singleScale()};
        for (const ScaleEntry &scale : scales) {
            ScaleState state(store, ctx.scaleName(scale), ctx.clock);
            QString error;
            const SyncReport report = planOnly(state, *table, o.flag(FullOption), &error);
            if (!error.isEmpty()) {
                ctx.prompter.message(error);
                return ExitBadUsage;
            }
            const QString lead = ctx.manyScales() ? scale.name + QStringLiteral(": ") : QString();
            for (const QString &line : planLines(report.plan, *table))
                ctx.print(lead + line);
            ctx.print(lead + report.line());
        }
        return ExitOk;
    }

    if (o.flag(WatchOption))
        return watchScales(ctx, store, std::move(table));

    const SyncJob job{ctx.workDir, ctx.storeUrl, table.get(), o.flag(FullOption)};
    return ctx.onScales(
        Operation::Sync,
        [&](ScaleJob &j) { return syncOnScale(j, job, ctx.scaleName(j.scale), expectedNumber(ctx, j.scale)); },
        msg::text(msg::SyncCaption));
}

int compare(CliContext &ctx, const QStringList &args)
{
    Options o;
    if (const auto bad = parseOptions(ctx, args, o))
        return *bad;
    const std::optional<readback::Range> range = readRange(ctx, o);
    if (!range)
        return ExitBadUsage;
    ProductStore store;
    const std::unique_ptr<ProductImage> table = tableOf(ctx, store);
    if (!table)
        return ExitBadUsage;
    return ctx.onScales(
        Operation::ReadProducts,
        [&](ScaleJob &j) {
            const auto state = ctx.keepState(j);
            ExchangeSession session = j.session();
            int counts[4] = {};
            const ExchangeResult r = session.logged(
                Operation::ReadProducts,
                readProducts(session, range->first, range->last, [&](int, int number, const ProductRecord &record) {
                    const Difference d = differenceOf(*table, number - 1, record);
                    ++counts[int(d)];
                    if (d != Difference::None)
                        j.print(differenceText(d, number));
                }));
            if (!r.ok) {
                j.prompter.message(r.message);
                return ScaleStatus::NoAnswer;
            }
            j.print(msg::text(msg::CompareDone)
                        .arg(r.done)
                        .arg(counts[int(Difference::Differs)])
                        .arg(counts[int(Difference::OnlyInScale)])
                        .arg(counts[int(Difference::OnlyInTable)]));
            return ScaleStatus::Done;
        },
        msg::text(msg::ReadCaption));
}
