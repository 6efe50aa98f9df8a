#include "CPlaneSnapshot.h"

#include <algorithm>
#include <atomic>

#include "support/CLargeBuffer.h"
#include "support/CParallel.h"

namespace {
// Elements per step between looks at the other half's verdict.
constexpr std::size_t kStep = std::size_t(1) << 16;
}  // namespace

CPlaneSnapshot::~CPlaneSnapshot()
{
    for (SKept& kept : m_kept)
        CLargeBuffer::Release(kept.values);
}

void CPlaneSnapshot::Add(const std::vector<uint32_t>& plane)
{
    SKept kept{&plane, plane.size(), true, {}};
    if (!Pack(plane, kept.values)) {
        kept.packed = false;
        CLargeBuffer::Copy(kept.values, plane);
    }
    m_kept.push_back(std::move(kept));
}

bool CPlaneSnapshot::Changed() const
{
    return std::any_of(m_kept.begin(), m_kept.end(), [](const SKept& kept) { return Differs(kept); });
}

bool CPlaneSnapshot::Pack(const std::vector<uint32_t>& plane, std::vector<uint32_t>& packed)
{
    const std::size_t pairs = plane.size() / 2;
    CLargeBuffer::AssignZeroed(packed, pairs + plane.size() % 2);
    const uint32_t* in = plane.data();
    uint32_t* out = packed.data();
    std::atomic<bool> wide{false};
    CParallel::ForRange(pairs, [&](std::size_t begin, std::size_t end, unsigned) {
        for (std::size_t at = begin; at < end && !wide; at += kStep) {
            uint32_t high = 0;
            const std::size_t stop = std::min(end, at + kStep);
            for (std::size_t i = at; i < stop; ++i) {
                const uint32_t a = in[2 * i];
                const uint32_t b = in[2 * i + 1];
                high |= (a | b) >> 16;
                out[i] = a | (b << 16);
            }
            if (high != 0)
                wide = true;
        }
    });
    // A last value without a partner is kept whole.
    if (plane.size() % 2)
        out[pairs] = plane.back();
    return !wide;
}

bool CPlaneSnapshot::Differs(const SKept& kept)
{
    const std::vector<uint32_t>& plane = *kept.plane;
    if (plane.size() != kept.size)
        return true;
    if (!kept.packed)
        return plane != kept.values;
    const std::size_t pairs = plane.size() / 2;
    const uint32_t* now = plane.data();
    const uint32_t* was = kept.values.data();
    std::atomic<bool> differs{false};
    CParallel::ForRange(pairs, [&](std::size_t begin, std::size_t end, unsigned) {
        for (std::size_t at = begin; at < end && !differs; at += kStep) {
            uint32_t diff = 0;
            const std::size_t stop = std::min(end, at + kStep);
            for (std::size_t i = at; i < stop; ++i) {
                // A value above 16 bits now differs in its high bits.
                diff |= now[2 * i] ^ (was[i] & 0xFFFFu);
                diff |= now[2 * i + 1] ^ (was[i] >> 16);
            }
            if (diff != 0)
                differs = true;
        }
    });
    if (plane.size() % 2 && plane.back() != was[pairs])
        differs = true;
    return differs;
}
