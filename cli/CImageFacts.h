#pragma once
#include <cstdint>
#include <string>

class CDorvaneDoc;

// What `info` reports about one opened file.
struct CImageFacts {
    std::string format;  // "FITS" or "SBIG"
    int32_t width = 0;
    int32_t height = 0;
    int32_t bitsPerPixel = 0;
    int32_t planes = 1;
    uint32_t maxValue = 0;
    int32_t stretchLow = 0;
    int32_t stretchHigh = 0;
    bool isFits = false;
    int32_t bzero = 0;       // FITS only
    int32_t bscale = 1;      // FITS only
    bool compressed = false; // SBIG only

    // Reads the facts of a document whose image is open.
    static CImageFacts FromDocument(const CDorvaneDoc& doc);
    std::string JsonLine(const std::string& path) const;
    std::string TextLine(const std::string& path) const;
};
