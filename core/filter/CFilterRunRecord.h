#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "filter/CChangeMask.h"
#include "support/CRegion.h"

class CAstroImage;
struct CSharedState;

// One filtered plane of a Remove Blooming run: its parameters, the counts
// its status display ended on, and the pixels it changed.
struct CPlaneRunRecord {
    int plane = 0;  // 0 red (the only plane of a monochrome image), 1 green, 2 blue
    uint32_t intensity = 0;
    int32_t length = 0;
    int32_t width = 0;
    int detected = 0;  // "bloom pixels detected", as the status display shows it
    int kept = 0;      // "bloom pixels after length check", likewise
    CChangeMask changes;  // in the image's own orientation
};

// What one Remove Blooming run did to one image: the settings that apply to
// every plane, and one record per filtered plane, in plane order. Written to
// the replaced-pixel mask file, the FITS history and the command line's
// report; the desktop program keeps the last one per image.
struct CFilterRunRecord {
    int32_t imageWidth = 0;
    int32_t imageHeight = 0;
    bool isColor = false;
    bool mirror = false;
    // The working rectangle in image pixels (right and bottom exclusive):
    // the FilterRegion clipped to the image, or the whole image.
    CRegion region;
    std::vector<CPlaneRunRecord> planes;

    // A record of no planes yet for a run over image with the FilterRegion
    // of shared.
    static CFilterRunRecord Start(const CAstroImage& image, const CSharedState& shared, bool mirror);

    // Pixels changed, over all planes (a pixel changed in two planes counts
    // twice).
    int64_t ReplacedCount() const;
    // The plane's record, or null when that plane was not filtered.
    const CPlaneRunRecord* Plane(int plane) const;

    // "red", "green", "blue", or "mono" for a monochrome image.
    std::string PlaneName(int plane) const;
    // "left,top,right,bottom" of the working rectangle.
    std::string RegionText() const;
    // The run in a few lines of plain text: the
    // parameters of every filtered plane, mirror and region.
    std::vector<std::string> DescriptionLines() const;
};
