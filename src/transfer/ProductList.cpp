#include "transfer/ProductList.h"

#include "shared/Messages.h"

namespace ztk {

void ProductList::open(const QStringList &entryTexts)
{
    m_entries = entryTexts;
    m_ticked.clear();
    m_memo.clear();
}

bool ProductList::tick(int position)
{
    if (tickedCount() + 1 > MaxTicked)
        return false;
    m_ticked.append(position);
    const QString text = position >= 0 && position < m_entries.size() ? m_entries.at(position) : QString();
    m_memo.append(text.section(QLatin1Char(' '), 0, 0));
    return true;
}

void ProductList::untick(int position)
{
    const qsizetype at = m_ticked.indexOf(position);
    if (at < 0)
        return;
    m_ticked.removeAt(at);
    if (at < m_memo.size()) // the operator may have deleted memo lines
        m_memo.removeAt(at);
}

ProductList::Outcome ProductList::form()
{
    if (m_ticked.isEmpty()) {
        m_formed = false;
        return {false, msg::text(msg::ListNotFormed)};
    }
    QList<int> numbers;
    for (int i = 0; i < tickedCount(); ++i) {
        // A missing line reads as an empty one and fails like any other bad text.
        const QString line = i < m_memo.size() ? m_memo.at(i) : QString();
        bool ok = false;
        const int n = line.trimmed().toInt(&ok, 10);
        if (!ok)
            return {false, msg::text(msg::NotAnInteger).arg(line)};
        numbers.append(n);
    }
    m_numbers = numbers;
    m_formed = true;
    return {true, msg::text(msg::ListFormed)};
}

QString ProductList::leave() const { return m_formed ? QString() : msg::text(msg::ListNotFormed); }

std::optional<QSet<int>> ProductList::filter() const
{
    if (m_ticked.isEmpty())
        return std::nullopt;
    QSet<int> set;
    for (int i = 0; i < tickedCount() && i < m_numbers.size(); ++i)
        set.insert(m_numbers.at(i));
    return set;
}

} // namespace ztk
