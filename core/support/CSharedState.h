#pragma once
#include <cstdint>

#include "CRegion.h"

// The application's shared values that the core reads and writes. The desktop
// program's application object holds one; the command line holds one per file
// it works on, so that files processed at the same time do not share them.
struct CSharedState {
    int32_t m_nDisplayBpp = 0;    // display depth, set before the first image opens
    uint32_t m_nFullScale = 0;    // full-scale value of the image opened last
    CRegion m_rcRegionImage;      // the FilterRegion in image pixels
    bool m_bRegionSet = false;    // a FilterRegion is selected
    // False where nothing shows the images (a batch that only filters and
    // saves them): opening then skips the automatic stretch, which would
    // take a pass over every pixel, and leaves the stretch at 0..0.
    bool m_bShowsImages = true;
};
