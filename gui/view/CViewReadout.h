#pragma once
#include <QString>
#include <cstdint>

#include "support/CRegion.h"

class CAstroImage;

// The status-bar texts of the image view beside the raw value: where the
// pointer is, and which rectangle of image pixels is selected.
class CViewReadout {
public:
    // "x 123  y 456" for the pixel at nIndex of the planes (column and row as
    // stored); colour images add "  R 1200  G 1180  B 1215".
    static QString PositionText(const CAstroImage& image, int32_t nIndex);
    // "412,130 - 488,390 (76 x 260)": left,top - right,bottom (right and
    // bottom the first column and row outside) and the size.
    static QString RegionText(const CRegion& rc);
};
