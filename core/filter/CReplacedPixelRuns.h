#pragma once
#include <array>

#include "filter/CChangeMask.h"

struct CFilterRunRecord;

// The pixels a Remove Blooming run replaced in any of its planes, as runs
// along the rows, at the image's size and reduced 2 and 4 times (a reduced
// pixel is marked when any pixel it covers is): what a view draws at each
// zoom, so that a single replaced pixel still shows at 25 %.
class CReplacedPixelRuns {
public:
    static constexpr int kLevels = 3;

    explicit CReplacedPixelRuns(const CFilterRunRecord& record);

    // Level 0: image pixels; level k: blocks of 2^k x 2^k pixels.
    const CChangeMask& Level(int level) const { return m_levels[static_cast<std::size_t>(level)]; }
    // The level whose pixels a zoom draws one to one (or enlarged): 2 at
    // 25 %, 1 at 50 %, 0 at 100 % and above.
    static int LevelForZoom(int zoomPercent);

private:
    std::array<CChangeMask, kLevels> m_levels;
};
