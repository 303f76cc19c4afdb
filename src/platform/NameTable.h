#pragma once

#include <QtGlobal>

#include <algorithm>
#include <cstdint>
#include <vector>

// An open-addressing hash table of non-negative int values (indexes into the owner's arrays).
// The owner hashes and compares: the table stores no keys, so building it makes no allocation
// per entry.
class NameTable
{
public:
    // The first value stored under `hash` for which match(value) holds, or -1.
    template <typename Match> std::int32_t find(std::uint64_t hash, Match match) const;
    // Stores `value` under `hash`; hashOf(value) gives the hash of a stored value when the
    // table grows.
    template <typename HashOf> void insert(std::uint64_t hash, std::int32_t value, HashOf hashOf);

private:
    std::vector<std::int32_t> m_slots; // -1: free
    qsizetype m_count = 0;
};

template <typename Match>
inline std::int32_t NameTable::find(std::uint64_t hash, Match match) const
{
    if (m_slots.empty())
        return -1;
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const std::int32_t value = m_slots[i];
        if (value < 0)
            return -1;
        if (match(value))
            return value;
    }
}

template <typename HashOf>
inline void NameTable::insert(std::uint64_t hash, std::int32_t value, HashOf hashOf)
{
    const auto place = [this](std::uint64_t h, std::int32_t v) {
        const std::size_t mask = m_slots.size() - 1;
        std::size_t i = h & mask;
        while (m_slots[i] >= 0)
            i = (i + 1) & mask;
        m_slots[i] = v;
    };
    if (std::size_t(m_count + 1) * 2 > m_slots.size()) {
        std::vector<std::int32_t> old(std::max<std::size_t>(16, m_slots.size() * 2), -1);
        old.swap(m_slots);
        for (std::int32_t v : old) {
            if (v >= 0)
                place(hashOf(v), v);
        }
    }
    place(hash, value);
    ++m_count;
}
