#pragma once
#include <cstdint>
#include <string>
#include <vector>

class CAstroImage;
class IFilterStatus;
struct CPlaneRunRecord;
struct CSharedState;

// One filter run over one plane of an image, as the desktop command and the
// command line make it: the FilterRegion clipped to the image, and with
// Mirror the plane mirrored around the run with the rectangle mirrored
// alongside, so the filter still acts on the selected pixels.
class CPlaneFilterRun {
public:
    struct SParameters {
        uint32_t intensity = 60000;
        int32_t length = 5;
        int32_t width = 2;
    };

    // threads: as CBloomFilter::SetThreadCount (0: the engine decides).
    // record, when not null, receives the parameters, the status counts and
    // the changed pixels (in the image's own orientation); plane numbers it
    // as given. Returns the bloom pixels left after the length check. Throws
    // std::bad_alloc like CBloomFilter::Run; the plane is then back in its
    // own orientation.
    static int Run(CAstroImage& image, std::vector<uint32_t>& plane, int planeIndex, const SParameters& parameters,
                    bool mirror, const std::string& suffix, const CSharedState& shared, IFilterStatus* status,
                    int threads = 0, CPlaneRunRecord* record = nullptr);
};
