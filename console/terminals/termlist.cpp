#include "console/terminals/termlist.h"

namespace quorvel {

TermList::Key TermList::append(const TermItem& item)
{
    QMutexLocker lock(&m_mutex);
    const Key key = m_nextKey++;
    m_entries.push_back({key, item});
    return key;
}

bool TermList::removeKey(Key key)
{
    QMutexLocker lock(&m_mutex);
    const int index = indexOfLocked(key);
    if (index < 0)
        return false;
    m_entries.erase(m_entries.begin() + index);
    return true;
}

void TermList::clear()
{
    QMutexLocker lock(&m_mutex);
    m_entries.clear();
}

bool TermList::updateFields(Key key, const TermItem& fields)
{
    QMutexLocker lock(&m_mutex);
    const int index = indexOfLocked(key);
    if (index < 0)
        return false;
    TermItem& item = m_entries[size_t(index)].item;
    item.ID = fields.ID;
    item.IP = fields.IP;
    item.MAC = fields.MAC;
    item.Group = fields.Group;
    item.Position = fields.Position;
    item.Note = fields.Note;
    return true;
}

int TermList::size() const
{
    QMutexLocker lock(&m_mutex);
    return int(m_entries.size());
}

std::vector<TermItem> TermList::items() const
{
    QMutexLocker lock(&m_mutex);
    std::vector<TermItem> items;
    items.reserve(m_entries.size());
    for (const Entry& entry : m_entries)
        items.push_back(entry.item);
    return items;
}

std::vector<TermList::Key> TermList::keys() const
{
    QMutexLocker lock(&m_mutex);
    std::vector<Key> keys;
    keys.reserve(m_entries.size());
    for (const Entry& entry : m_entries)
        keys.push_back(entry.key);
    return keys;
}

std::optional<TermItem> TermList::item(Key key) const
{
    QMutexLocker lock(&m_mutex);
    const int index = indexOfLocked(key);
    if (index < 0)
        return std::nullopt;
    return m_entries[size_t(index)].item;
}

std::optional<TermItem> TermList::itemAt(int index) const
{
    QMutexLocker lock(&m_mutex);
    if (index < 0 || size_t(index) >= m_entries.size())
        return std::nullopt;
    return m_entries[size_t(index)].item;
}

std::optional<TermList::Key> TermList::keyAt(int index) const
{
    QMutexLocker lock(&m_mutex);
    if (index < 0 || size_t(index) >= m_entries.size())
        return std::nullopt;
    return m_entries[size_t(index)].key;
}

int TermList::indexOf(Key key) const
{
    QMutexLocker lock(&m_mutex);
    return indexOfLocked(key);
}

std::vector<TermList::Probe> TermList::probes() const
{
    QMutexLocker lock(&m_mutex);
    std::vector<Probe> probes;
    probes.reserve(m_entries.size());
    for (const Entry& entry : m_entries)
        probes.push_back({entry.key, entry.item.IP});
    return probes;
}

bool TermList::setHelloReply(Key key, const QString& ip, bool answered, const QString& reply)
{
    QMutexLocker lock(&m_mutex);
    const int index = indexOfLocked(key);
    if (index < 0)
        return false;
    TermItem& item = m_entries[size_t(index)].item;
    // The address was edited while the query ran: its answer is not this
    // terminal's.
    if (item.IP != ip)
        return false;
    const TermStatus before = item.Status;
    item.setHelloReply(answered, reply);
    return item.Status != before;
}

int TermList::indexOfLocked(Key key) const
{
    for (size_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].key == key)
            return int(i);
    return -1;
}

} // namespace quorvel
