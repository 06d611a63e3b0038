#include "transfer/ScaleState.h"

#include "link/Commands.h"
#include "products/ProductStore.h"
#include "shared/DateText.h"
#include "shared/Messages.h"

#include <QCryptographicHash>
#include <QDateTime>

#include <algorithm>
#include <cerrno>
#include <csignal>

namespace ztk {

namespace {

constexpr int BatchSize = 200; // slots read back, stored together

const QString ScaleTable = QStringLiteral("ztk_scale");
const QString SlotTable = QStringLiteral("ztk_slot");

QString moment(const QDateTime &t)
{
    return t.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

// "host:pid" of this host whose process is no more.
bool holderGone(const QString &heldBy, const QString &us)
{
    const qsizetype colon = heldBy.lastIndexOf(QLatin1Char(':'));
    if (colon < 0 || heldBy.left(colon) != us.left(us.lastIndexOf(QLatin1Char(':'))))
        return false;
    bool ok = false;
    const qint64 pid = heldBy.mid(colon + 1).toLongLong(&ok);
    return ok && pid > 0 && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
}

// An empty slot's content is an empty text, never NULL.
QString contentText(const QByteArray &digest)
{
    return digest.isEmpty() ? QStringLiteral("") : QString::fromLatin1(digest);
}

} // namespace

QByteArray recordDigest(std::span<const std::uint8_t> record)
{
    if (std::all_of(record.begin(), record.end(), [](std::uint8_t b) { return b == 0xFF; }))
        return QByteArray();
    return QCryptographicHash::hash(QByteArrayView(record.data(), qsizetype(record.size())), QCryptographicHash::Sha1)
        .toHex();
}

bool ScaleState::prepare(ProductStore &store)
{
    return store.ensureTable(ScaleTable,
                             QStringLiteral("create table ztk_scale (scale text primary key, number integer, "
                                            "syncer text, syncer_seen text, last_sync text, last_outcome text)"),
                             {QStringLiteral("scale"), QStringLiteral("number"), QStringLiteral("syncer"),
                              QStringLiteral("syncer_seen"), QStringLiteral("last_sync"), QStringLiteral("last_outcome")})
        && store.ensureTable(SlotTable,
                             QStringLiteral("create table ztk_slot (scale text not null, slot integer not null, "
                                            "content text not null, seen text, primary key (scale, slot))"),
                             {QStringLiteral("scale"), QStringLiteral("slot"), QStringLiteral("content"),
                              QStringLiteral("seen")});
}

bool ScaleState::forgetScale(ProductStore &store, const QString &scale)
{
    return store.exec(QStringLiteral("delete from ztk_slot where scale=?"), {scale})
        && store.exec(QStringLiteral("delete from ztk_scale where scale=?"), {scale});
}

ScaleState::ScaleState(ProductStore &store, QString scale, const Clock &clock)
    : m_store(store), m_scale(std::move(scale)), m_clock(clock)
{
}

ScaleState::~ScaleState()
{
    flush();
}

QString ScaleState::now() const
{
    return moment(m_clock.now());
}

void ScaleState::failed()
{
    if (m_error.isEmpty())
        m_error = m_store.errorText();
}

bool ScaleState::load(std::vector<SlotContent> &slots)
{
    flush();
    slots.assign(SlotCount, SlotContent{});
    std::vector<QVariantList> rows;
    if (!m_store.exec(QStringLiteral("select slot, content from ztk_slot where scale=?"), {m_scale}, &rows)) {
        failed();
        return false;
    }
    for (const QVariantList &row : rows) {
        const int slot = row.value(0).toInt();
        if (slot < 0 || slot >= SlotCount)
            continue;
        const QByteArray content = row.value(1).toString().toLatin1();
        slots[std::size_t(slot)] = content.isEmpty() ? SlotContent{SlotContent::Empty, {}}
                                                     : SlotContent{SlotContent::Record, content};
    }
    return true;
}

bool ScaleState::ensureScaleRow()
{
    if (m_store.exec(QStringLiteral("insert into ztk_scale (scale) values (?) on conflict (scale) do nothing"), {m_scale}))
        return true;
    failed();
    return false;
}

std::optional<int> ScaleState::number()
{
    std::vector<QVariantList> rows;
    if (!m_store.exec(QStringLiteral("select number from ztk_scale where scale=?"), {m_scale}, &rows) || rows.empty()
        || rows.front().value(0).isNull())
        return std::nullopt;
    return rows.front().value(0).toInt();
}

bool ScaleState::setNumber(int number)
{
    if (!ensureScaleRow())
        return false;
    if (m_store.exec(QStringLiteral("update ztk_scale set number=? where scale=?"), {number, m_scale}))
        return true;
    failed();
    return false;
}

bool ScaleState::forget()
{
    m_pending.clear();
    if (m_store.exec(QStringLiteral("delete from ztk_slot where scale=?"), {m_scale}))
        return true;
    failed();
    return false;
}

bool ScaleState::recordSync(const QString &outcome)
{
    if (!ensureScaleRow())
        return false;
    if (m_store.exec(QStringLiteral("update ztk_scale set last_sync=?, last_outcome=? where scale=?"),
                     {now(), outcome, m_scale}))
        return true;
    failed();
    return false;
}

std::optional<ScaleState::LastSync> ScaleState::lastSync()
{
    std::vector<QVariantList> rows;
    if (!m_store.exec(QStringLiteral("select last_sync, last_outcome from ztk_scale where scale=?"), {m_scale}, &rows)
        || rows.empty() || rows.front().value(0).isNull())
        return std::nullopt;
    return LastSync{rows.front().value(0).toString(), rows.front().value(1).toString()};
}

bool ScaleState::claim(const QString &holder, int staleSeconds, QString &heldBy)
{
    if (!ensureScaleRow())
        return false;
    const QDateTime t = m_clock.now();
    // Taken only when free, ours, or not seen for a while (its PC went away mid-sync).
    if (!m_store.exec(QStringLiteral("update ztk_scale set syncer=?, syncer_seen=? where scale=? and "
                                     "(syncer is null or syncer=? or syncer_seen is null or syncer_seen<?)"),
                      {holder, moment(t), m_scale, holder, moment(t.addSecs(-staleSeconds))})) {
        failed();
        return false;
    }
    std::vector<QVariantList> rows;
    if (!m_store.exec(QStringLiteral("select syncer from ztk_scale where scale=?"), {m_scale}, &rows) || rows.empty()) {
        failed();
        return false;
    }
    heldBy = rows.front().value(0).toString();
    // A sync of this PC whose process is gone (killed) holds nothing.
    if (heldBy != holder && holderGone(heldBy, holder)) {
        if (!m_store.exec(QStringLiteral("update ztk_scale set syncer=?, syncer_seen=? where scale=? and syncer=?"),
                          {holder, moment(t), m_scale, heldBy})) {
            failed();
            return false;
        }
        heldBy = holder;
    }
    if (heldBy != holder)
        return false;
    m_holder = holder;
    return true;
}

void ScaleState::release()
{
    flush();
    if (m_holder.isEmpty())
        return;
    m_store.exec(QStringLiteral("update ztk_scale set syncer=null, syncer_seen=null where scale=? and syncer=?"),
                 {m_scale, m_holder});
    m_holder.clear();
}

void ScaleState::sending(std::span<const int> slots)
{
    for (const int slot : slots)
        m_pending.erase(slot);
    // Unknown before the first byte goes: a write cut short never leaves the old content claimed.
    StoreTransaction transaction(m_store);
    bool ok = transaction.active();
    for (std::size_t i = 0; ok && i < slots.size(); ++i)
        ok = m_store.exec(QStringLiteral("delete from ztk_slot where scale=? and slot=?"), {m_scale, slots[i]});
    if (!ok || !transaction.commit())
        failed();
}

void ScaleState::holds(int slot, std::span<const std::uint8_t> record, Source source)
{
    m_pending[slot] = recordDigest(record);
    if (source == Source::Acknowledged || int(m_pending.size()) >= BatchSize)
        flush();
}

void ScaleState::cleared(int slot)
{
    m_pending[slot] = QByteArray();
    flush();
}

bool ScaleState::flush()
{
    if (m_pending.empty())
        return true;
    const QString seen = now();
    StoreTransaction transaction(m_store);
    bool ok = transaction.active();
    for (auto it = m_pending.begin(); ok && it != m_pending.end(); ++it)
        ok = m_store.exec(QStringLiteral("insert into ztk_slot (scale, slot, content, seen) values (?, ?, ?, ?) "
                                         "on conflict (scale, slot) do update set content=excluded.content, "
                                         "seen=excluded.seen"),
                          {m_scale, it->first, contentText(it->second), seen});
    // A sync that goes on is seen to go on: others wait for it rather than take over.
    if (!m_holder.isEmpty())
        ok = ok && m_store.exec(QStringLiteral("update ztk_scale set syncer_seen=? where scale=? and syncer=?"),
                                {seen, m_scale, m_holder});
    m_pending.clear();
    if (ok && transaction.commit())
        return true;
    failed();
    return false;
}

OwnScaleState::OwnScaleState(const QString &workDir, const QString &storeUrl, const QString &scale, const Clock &clock,
                             Prompter *reportTo)
    : m_store(std::make_unique<ProductStore>()), m_reportTo(reportTo)
{
    if (!openWorkingStore(*m_store, workDir, storeUrl) || !ScaleState::prepare(*m_store)) {
        m_error = m_store->errorText();
        return;
    }
    m_state = std::make_unique<ScaleState>(*m_store, scale, clock);
}

OwnScaleState::~OwnScaleState()
{
    if (!m_state)
        return;
    m_state->flush();
    if (m_reportTo && !m_state->error().isEmpty())
        m_reportTo->message(msg::text(msg::StateNotKept).arg(m_state->error()));
    m_state.reset(); // stored before the connection goes
}

} // namespace ztk
