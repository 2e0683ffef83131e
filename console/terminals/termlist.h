#pragma once

#include "console/terminals/termitem.h"

#include <QMutex>
#include <optional>
#include <vector>

namespace quorvel {

// The terminal list window's records, in list order (row i of the view shows
// item i). The window changes the list; the monitor thread reads addresses
// and writes statuses while it does, so every access is under one lock.
// Each record carries a key that never changes and is never reused, so a
// status that arrives after the list changed finds its own record or none.
class TermList {
public:
    using Key = quint64;

    // What a status pass needs of one record, taken under the lock.
    struct Probe {
        Key key = 0;
        QString ip;
    };

    Key append(const TermItem& item);
    bool removeKey(Key key);
    void clear();
    // Replaces the stored fields of a record; its status stays.
    bool updateFields(Key key, const TermItem& fields);

    int size() const;
    std::vector<TermItem> items() const;
    std::vector<Key> keys() const;
    std::optional<TermItem> item(Key key) const;
    std::optional<TermItem> itemAt(int index) const;
    std::optional<Key> keyAt(int index) const;
    int indexOf(Key key) const; // -1 when gone

    std::vector<Probe> probes() const;
    // Stores a status query's outcome for the record `key`, unless the record
    // is gone or its address is no longer `ip`. true when its Status changed.
    bool setHelloReply(Key key, const QString& ip, bool answered, const QString& reply);

private:
    struct Entry {
        Key key;
        TermItem item;
    };
    int indexOfLocked(Key key) const;

    mutable QMutex m_mutex;
    std::vector<Entry> m_entries;
    Key m_nextKey = 1;
};

} // namespace quorvel
