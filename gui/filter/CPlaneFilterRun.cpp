#include "CPlaneFilterRun.h"


#include "filter/CBloomFilter.h"
#include "filter/MirrorPlane.h"
#include "image/CAstroImage.h"
#include "support/CSharedState.h"

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
        const CRegion clipped = state.m_rcRegionImage.ClippedTo(width, height);
        state.m_rcRegionImage = mirror ? clipped.MirroredIn(width) : clipped;
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
