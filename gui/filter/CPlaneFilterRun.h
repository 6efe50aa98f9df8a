#pragma once
#include <cstdint>
#include <vector>

#include "CFilterParams.h"

class CAstroImage;
class IFilterStatus;
struct CSharedState;

// One filter run over one plane of an image, as the command line runs it too:
// the FilterRegion clipped to the image, and with Mirror the plane mirrored
// around the run with the rectangle mirrored alongside, so the filter still
// acts on the selected pixels.
class CPlaneFilterRun {
public:
    static void Run(CAstroImage& image, std::vector<uint32_t>& plane, const CPlaneParams& params,
                    bool mirror, const char* suffix, const CSharedState& shared, IFilterStatus* status);
};
