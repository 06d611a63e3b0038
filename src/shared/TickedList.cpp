#include "shared/TickedList.h"

namespace ztk {

void TickedList::open(const QStringList &entryTexts)
{
    m_entries = entryTexts;
    m_ticked.clear();
    m_memo.clear();
}

bool TickedList::tick(int position)
{
    if (tickedCount() + 1 > m_limit)
        return false;
    m_ticked.append(position);
    const QString text = position >= 0 && position < m_entries.size() ? m_entries.at(position) : QString();
    m_memo.append(text.section(QLatin1Char(' '), 0, 0));
    return true;
}

void TickedList::untick(int position)
{
    const qsizetype at = m_ticked.indexOf(position);
    if (at < 0)
        return;
    m_ticked.removeAt(at);
    if (at < m_memo.size()) // the operator may have deleted memo lines
        m_memo.removeAt(at);
}

} // namespace ztk
