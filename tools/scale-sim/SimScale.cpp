#include "SimScale.h"

#include "common/CommonData.h"
#include "link/Commands.h"
#include "totals/TotalsImage.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <cstring>

namespace ztk::sim {

namespace {

constexpr int ClockSize = 8;

struct StateFile {
    const char *name;
    Bytes ScaleMemory::*data;
};
constexpr StateFile StateFiles[] = {
    {"products.bin", &ScaleMemory::products},
    {"common.bin", &ScaleMemory::common},
    {"totals.bin", &ScaleMemory::totals},
    {"clock.bin", &ScaleMemory::clock},
};

} // namespace

ScaleMemory::ScaleMemory()
    : products(std::size_t(cmd::SlotCount) * cmd::RecordSize, 0xFF),
      common(cmd::CommonDataSize, 0),
      totals(cmd::TotalsImageSize, 0),
      clock(ClockSize, 0)
{
}

Bytes ScaleMemory::factoryCommonData(std::uint8_t number, const QDateTime &made)
{
    common::BlockInput in;
    in.scaleNumber = std::int8_t(number);
    in.labelNumber = 1;
    in.reportLabelNumber = 1;
    for (int k = 0; k < common::KeyCount; ++k)
        in.weightKeys[std::size_t(k)] = in.pieceKeys[std::size_t(k)] = k + 1;
    in.companyName = QStringLiteral("ЗТК-М");
    common::Block block = common::buildBlock(in, made);
    block[common::at::ScaleType] = 0x20;
    return Bytes(block.begin(), block.end());
}

void ScaleMemory::load(const QString &dir)
{
    for (const StateFile &f : StateFiles) {
        QFile file(QDir(dir).filePath(QString::fromLatin1(f.name)));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        Bytes &target = this->*f.data;
        const QByteArray bytes = file.read(qint64(target.size()));
        std::memcpy(target.data(), bytes.constData(), std::size_t(bytes.size()));
    }
}

bool ScaleMemory::save(const QString &dir) const
{
    bool ok = QDir().mkpath(dir);
    for (const StateFile &f : StateFiles) {
        QSaveFile file(QDir(dir).filePath(QString::fromLatin1(f.name)));
        const Bytes &source = this->*f.data;
        ok = file.open(QIODevice::WriteOnly)
             && file.write(reinterpret_cast<const char *>(source.data()), qint64(source.size())) == qint64(source.size())
             && file.commit() && ok;
    }
    return ok;
}

void ScaleMemory::setTotals(int product, std::uint32_t amount, std::uint32_t money, std::uint32_t weighings)
{
    if (product < TotalsImage::FirstProduct || product > TotalsImage::LastProduct)
        return;
    le::put4(totals, TotalsImage::counterOffset(TotalsImage::AmountSection, product), amount);
    le::put4(totals, TotalsImage::counterOffset(TotalsImage::MoneySection, product), money);
    le::put4(totals, TotalsImage::counterOffset(TotalsImage::WeighingsSection, product), weighings);
}

bool ScaleMemory::loadTotals(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.read(qint64(totals.size()) + 1);
    if (bytes.size() != qsizetype(totals.size()))
        return false;
    std::memcpy(totals.data(), bytes.constData(), totals.size());
    return true;
}

ScaleMachine::ScaleMachine(ScaleMemory &memory, Faults faults, std::uint8_t number)
    : m_mem(memory), m_faults(faults), m_number(number)
{
}

Bytes ScaleMachine::startUpBytes() const
{
    if (!m_faults.stray || m_faults.silent)
        return {};
    return Bytes(StrayCount, StrayByte);
}

bool ScaleMachine::takeChanged()
{
    const bool c = m_changed;
    m_changed = false;
    return c;
}

void ScaleMachine::abandon()
{
    // A change counts as complete once the command is over, so that a long write is
    // saved once at its end and not after every record.
    if (m_dirty)
        m_changed = true;
    m_dirty = false;
    m_state = State::Idle;
    m_args.clear();
    m_need = 0;
}

void ScaleMachine::expect(State state, int bytes)
{
    m_state = state;
    m_args.clear();
    m_need = std::size_t(bytes);
}

void ScaleMachine::reply(Bytes &out, const std::uint8_t *data, std::size_t size, bool shortened)
{
    if (m_faults.silent)
        return;
    if (shortened) {
        ++m_longReplies;
        if (m_faults.shortReplies)
            size /= 2;
        if (m_faults.cutOccurrence == 0 || m_faults.cutOccurrence == m_longReplies)
            size -= std::min(size, std::size_t(m_faults.cutBytes));
    }
    if (m_faults.noise) {
        for (std::size_t i = 0; i < size; ++i) {
            m_noise ^= m_noise << 13; // xorshift32
            m_noise ^= m_noise >> 17;
            m_noise ^= m_noise << 5;
            out.push_back(std::uint8_t(m_noise));
        }
        return;
    }
    out.insert(out.end(), data, data + size);
}

void ScaleMachine::replyByte(Bytes &out, std::uint8_t byte)
{
    reply(out, &byte, 1, false);
}

void ScaleMachine::ackWrite(Bytes &out, int stage, int occurrence, int bytes)
{
    if (m_faults.noAckStage == stage && (stage == 1 || occurrence == m_faults.noAckOccurrence))
        m_muted = true; // the rest of this write goes unanswered
    if (m_muted)
        return;
    for (int i = 0; i < bytes; ++i)
        replyByte(out, 0x06);
}

void ScaleMachine::endWithoutReply(Bytes &out)
{
    m_dirty = true;
    abandon();
    if (m_faults.stray && !m_faults.silent)
        out.insert(out.end(), StrayCount, StrayByte);
}

void ScaleMachine::feed(std::uint8_t byte, Bytes &out)
{
    if (m_state != State::Idle) {
        m_args.push_back(byte);
        if (m_args.size() >= m_need)
            finishArguments(out);
        return;
    }
    switch (byte) {
    case cmd::ReadCommonData:
        reply(out, m_mem.common.data(), m_mem.common.size(), true);
        break;
    case cmd::WriteCommonData:
        expect(State::CommonWrite, cmd::CommonDataWriteSize);
        break;
    case cmd::WriteProducts:
        m_writeCount = m_writeDone = m_indexesSeen = 0;
        m_muted = false;
        expect(State::WriteCount, 2);
        break;
    case cmd::ReadTotals:
        reply(out, m_mem.totals.data(), m_mem.totals.size(), true);
        break;
    case cmd::ReadRecord:
        expect(State::ReadIndex, 2);
        break;
    case cmd::ClearTotals:
        expect(State::ClearTotals, 2);
        break;
    case cmd::ClearProduct:
        expect(State::ClearProduct, 2);
        break;
    case cmd::LinkProbe:
        replyByte(out, cmd::LinkProbe);
        break;
    case cmd::SetClock:
        expect(State::SetClock, ClockSize);
        break;
    case cmd::ScaleNumber:
        replyByte(out, m_number);
        break;
    default:
        break; // the scale ignores what it does not know
    }
}

void ScaleMachine::finishArguments(Bytes &out)
{
    switch (m_state) {
    case State::Idle:
        break;
    case State::CommonWrite:
        std::copy(m_args.begin(), m_args.end(), m_mem.common.begin() + cmd::CommonDataWriteFirst);
        endWithoutReply(out);
        break;
    case State::WriteCount:
        m_writeCount = word();
        ackWrite(out, 1, 1, 2);
        if (m_writeCount == 0)
            abandon();
        else
            expect(State::WriteIndex, 2);
        break;
    case State::WriteIndex:
        m_writeSlot = word();
        ackWrite(out, 2, ++m_indexesSeen, 2);
        expect(State::WriteRecord, cmd::RecordSize);
        break;
    case State::WriteRecord:
        if (m_writeSlot < cmd::SlotCount) {
            std::copy(m_args.begin(), m_args.end(), m_mem.products.begin() + std::ptrdiff_t(m_writeSlot) * cmd::RecordSize);
            m_dirty = true;
        }
        ackWrite(out, 3, ++m_writeDone, 1);
        if (m_writeDone >= m_writeCount)
            abandon();
        else
            expect(State::WriteIndex, 2);
        break;
    case State::ReadIndex: {
        const int slot = word();
        if (slot < cmd::SlotCount) {
            reply(out, m_mem.products.data() + std::ptrdiff_t(slot) * cmd::RecordSize, cmd::RecordSize, true);
        } else {
            const Bytes empty(cmd::RecordSize, 0xFF);
            reply(out, empty.data(), empty.size(), true);
        }
        abandon();
        break;
    }
    case State::ClearTotals: {
        const int n = word();
        if (n >= 1 && n <= cmd::SlotCount) {
            m_mem.setTotals(n, 0, 0, 0);
        }
        endWithoutReply(out);
        break;
    }
    case State::ClearProduct: {
        const int n = word();
        if (n >= 1 && n <= cmd::SlotCount)
            std::fill_n(m_mem.products.begin() + std::ptrdiff_t(n - 1) * cmd::RecordSize, cmd::RecordSize, 0xFF);
        endWithoutReply(out);
        break;
    }
    case State::SetClock:
        m_mem.clock = m_args;
        endWithoutReply(out);
        break;
    }
}

} // namespace ztk::sim
