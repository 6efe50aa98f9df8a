#include "filter/CPlaneFilterRun.h"

#include "filter/CBloomFilter.h"
#include "filter/CFilterRunRecord.h"
#include "filter/MirrorPlane.h"
#include "image/CAstroImage.h"
#include "support/CSharedState.h"

int CPlaneFilterRun::Run(CAstroImage& image, std::vector<uint32_t>& plane, int planeIndex,
                          const SParameters& parameters, bool mirror, const std::string& suffix,
                          const CSharedState& shared, IFilterStatus* status, int threads, CPlaneRunRecord* record)
{
    const int32_t width = image.m_width;
    const int32_t height = image.m_height;
    // The engine gets its own copy of the shared values, so the caller's
    // FilterRegion stays in the coordinates it was selected in.
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
    CBloomFilter filter(image, plane, parameters.intensity, parameters.length, parameters.width);
    filter.SetThreadCount(threads);
    if (record)
        filter.RecordChanges(&record->changes);
    filter.Run(suffix, state, status);
    if (!record)
        return filter.LengthCheckedCount();
    record->plane = planeIndex;
    record->intensity = parameters.intensity;
    record->length = parameters.length;
    record->width = parameters.width;
    record->detected = filter.ShownDetectedCount();
    record->kept = filter.ShownLengthCheckCount();
    if (mirror)
        record->changes.Mirror();
    return filter.LengthCheckedCount();
}
