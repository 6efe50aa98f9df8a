#include "filter/RankKeys.h"

#include <algorithm>

namespace {

// An open-addressing set of at most 65536 values, each with a rank.
class CValueTable {
public:
    static constexpr uint32_t kEmpty = 0xFFFFFFFFu;  // never a value: values are at most INT32_MAX
    static constexpr int kBits = 18;

    CValueTable() : m_values(std::size_t{1} << kBits, kEmpty), m_ranks(std::size_t{1} << kBits, 0) {}

    std::size_t Slot(uint32_t value) const
    {
        std::size_t slot = (value * 0x9E3779B1u) >> (32 - kBits);
        while (m_values[slot] != kEmpty && m_values[slot] != value)
            slot = (slot + 1) & ((std::size_t{1} << kBits) - 1);
        return slot;
    }

    // False when the value is new and the table already holds 65536 values.
    bool Insert(uint32_t value)
    {
        const std::size_t slot = Slot(value);
        if (m_values[slot] == value)
            return true;
        if (m_nCount == 65536)
            return false;
        m_values[slot] = value;
        ++m_nCount;
        return true;
    }

    std::vector<uint32_t> m_values;
    std::vector<uint16_t> m_ranks;
    std::size_t m_nCount = 0;
};

uint32_t Clamped(uint32_t raw)
{
    const int32_t v = static_cast<int32_t>(raw);
    return v < 0 ? 0u : static_cast<uint32_t>(v);
}

}  // namespace

bool BuildRankKeys(const uint32_t* plane, std::size_t count, std::vector<uint16_t>& keys,
                   std::vector<uint32_t>& values)
{
    keys.clear();
    values.clear();
    CValueTable table;
    uint32_t last = CValueTable::kEmpty;
    for (std::size_t i = 0; i < count; ++i) {
        const uint32_t v = Clamped(plane[i]);
        if (v == last)
            continue;
        if (!table.Insert(v))
            return false;
        last = v;
    }
    for (uint32_t v : table.m_values)
        if (v != CValueTable::kEmpty)
            values.push_back(v);
    std::sort(values.begin(), values.end());
    for (std::size_t rank = 0; rank < values.size(); ++rank)
        table.m_ranks[table.Slot(values[rank])] = static_cast<uint16_t>(rank);
    keys.resize(count);
    last = CValueTable::kEmpty;
    uint16_t lastKey = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const uint32_t v = Clamped(plane[i]);
        if (v != last) {
            last = v;
            lastKey = table.m_ranks[table.Slot(v)];
        }
        keys[i] = lastKey;
    }
    return true;
}
