#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// The values of the planes a filter run may change, kept to tell afterwards
// whether it changed any (an unchanged file is then copied byte for byte).
// A plane whose values all fit in 16 bits, as every 16-bit camera frame's
// do, is kept two values to an element: half the memory and half the memory
// traffic of a copy. Both halves of a plane are copied and compared at once.
// The kept values go to CLargeBuffer's spares when the snapshot goes.
class CPlaneSnapshot {
public:
    CPlaneSnapshot() = default;
    ~CPlaneSnapshot();
    CPlaneSnapshot(const CPlaneSnapshot&) = delete;
    CPlaneSnapshot& operator=(const CPlaneSnapshot&) = delete;

    // Keeps plane's values; plane must outlive the snapshot's use.
    void Add(const std::vector<uint32_t>& plane);
    // True when a plane's values differ from those Add kept.
    bool Changed() const;

private:
    struct SKept {
        const std::vector<uint32_t>* plane;
        std::size_t size;
        bool packed;                  // two 16-bit values per element
        std::vector<uint32_t> values;
    };
    static bool Pack(const std::vector<uint32_t>& plane, std::vector<uint32_t>& packed);
    static bool Differs(const SKept& kept);

    std::vector<SKept> m_kept;
};
