#include "CDisplayPicture.h"

#include "image/CAstroImage.h"

CZoomScaler::Picture CDisplayPicture::Build(CAstroImage& image, int32_t& displayBpp)
{
    displayBpp = 24;
    image.UpdateDisplay();
    CZoomScaler::Picture picture;
    picture.width = image.m_width;
    picture.height = image.m_height;
    picture.channels = image.m_isColor ? 3 : 1;
    const std::size_t count = static_cast<std::size_t>(image.m_width) * static_cast<std::size_t>(image.m_height);
    if (image.m_displayPixels.size() < count * 3)
        return picture;  // nothing was converted
    picture.pixels.resize(count * static_cast<std::size_t>(picture.channels));
    const uint8_t* bgr = image.m_displayPixels.data();
    uint8_t* out = picture.pixels.data();
    if (image.m_isColor) {
        for (std::size_t p = 0; p < count; ++p) {
            out[3 * p] = bgr[3 * p + 2];
            out[3 * p + 1] = bgr[3 * p + 1];
            out[3 * p + 2] = bgr[3 * p];
        }
    } else {
        // A monochrome pixel carries its one intensity in all three bytes.
        for (std::size_t p = 0; p < count; ++p)
            out[p] = bgr[3 * p];
    }
    return picture;
}
