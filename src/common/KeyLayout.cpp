#include "common/KeyLayout.h"

namespace ztk::common {

void KeyLayout::open(const QStringList &entryTexts)
{
    m_entries = entryTexts;
    m_order.clear();
    m_memo.clear();
}

bool KeyLayout::tick(int item)
{
    if (tickedCount() + 1 > MaxTicked)
        return false;
    m_order.append(item);
    const QString text = item >= 0 && item < m_entries.size() ? m_entries.at(item) : QString();
    m_memo.append(text.section(QLatin1Char(' '), 0, 0));
    return true;
}

void KeyLayout::untick(int item)
{
    const qsizetype at = m_order.indexOf(item);
    if (at < 0)
        return;
    m_order.removeAt(at);
    if (at < m_memo.size()) // the operator may have deleted memo lines
        m_memo.removeAt(at);
}

std::optional<QStringList> KeyLayout::cells() const
{
    const int n = tickedCount();
    if (n == 0)
        return std::nullopt;
    QStringList out;
    for (int r = 0; r < n; ++r)
        out << (r < m_memo.size() ? m_memo.at(r) : QString());
    while (out.size() < MaxTicked)
        out << out.first();
    return out;
}

QStringList KeyLayout::noPieceProducts()
{
    QStringList out;
    for (int r = 0; r < MaxTicked; ++r)
        out << QString::fromLatin1(NoPieceProduct);
    return out;
}

} // namespace ztk::common
