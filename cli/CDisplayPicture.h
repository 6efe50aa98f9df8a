#pragma once
#include "CZoomScaler.h"

class CAstroImage;

// The picture the desktop program shows for an image: its display pixels,
// built by the image's own display mapping at 24 bits (b, g, r per pixel),
// as grey (monochrome) or RGB (colour) bytes.
class CDisplayPicture {
public:
    // Rebuilds the image's display pixels at 24 bits through `shared`'s
    // display depth, with the image's current stretch.
    static CZoomScaler::Picture Build(CAstroImage& image, int32_t& displayBpp);
};
