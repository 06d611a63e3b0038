#include "transfer/ProductList.h"

#include "shared/Messages.h"

namespace ztk {

ProductList::Outcome ProductList::form()
{
    if (tickedCount() == 0) {
        m_formed = false;
        return {false, msg::text(msg::ListNotFormed)};
    }
    QList<int> numbers;
    for (int i = 0; i < tickedCount(); ++i) {
        // A missing line reads as an empty one and fails like any other bad text.
        const QString line = i < memoLines().size() ? memoLines().at(i) : QString();
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
    if (tickedCount() == 0)
        return std::nullopt;
    QSet<int> set;
    for (int i = 0; i < tickedCount() && i < m_numbers.size(); ++i)
        set.insert(m_numbers.at(i));
    return set;
}

} // namespace ztk
