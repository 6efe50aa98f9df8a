#include "CPlaneFilterRun.h"

#include <algorithm>

#include "filter/CBloomFilter.h"
#include "filter/MirrorPlane.h"
#include "image/CAstroImage.h"
#include "support/CSharedState.h"

namespace {

// The region limited to the image; an empty result keeps left <= right and
// top <= bottom.
CRegion ClipToImage(const CRegion& region, int32_t width, int32_t height)
{
    CRegion clipped;
    clipped.left = std::clamp(region.left, 0, width);
    clipped.right = std::clamp(region.right, clipped.left, width);
    clipped.top = std::clamp(region.top, 0, height);
    clipped.bottom = std::clamp(region.bottom, clipped.top, height);
    return clipped;
}

}  // namespace

void CPlaneFilterRun::Run(CAstroImage& image, std::vector<uint32_t>& plane, const CPlaneParams& params,
                          bool mirror, const char* suffix, const CSharedState& shared,
                          IFilterStatus* status)
{
    const int32_t width = image.m_width;
    const int32_t height = image.m_height;
    // The engine gets its own copy of the shared values, so the program's
    // FilterRegion stays in the coordinates the user selected it in.
    CSharedState state = shared;
    if (state.m_bRegionSet) {
        CRegion clipped = ClipToImage(state.m_rcRegionImage, width, height);
        if (mirror)
            clipped = {width - clipped.right, clipped.top, width - clipped.left, clipped.bottom};
        state.m_rcRegionImage = clipped;
    }
    if (mirror)
        MirrorPlane(plane, width, height);
    struct MirrorBack {
        bool active;
        std::vector<uint32_t>& plane;
        int32_t width, height;
        ~MirrorBack()
        {
            // Also on a failed run, so the plane never stays reversed.
            if (active)
                MirrorPlane(plane, width, height);
        }
    } mirrorBack{mirror, plane, width, height};
    CBloomFilter filter(image, plane, params.m_nIntensity, static_cast<int32_t>(params.m_nLength),
                        static_cast<int32_t>(params.m_nWidth));
    filter.Run(suffix, state, status);
}
