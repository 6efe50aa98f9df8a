#pragma once
#include <cstdint>
#include <string>
#include <vector>

class CBinaryFileReader;

// What the primary header scan found. Values of keywords that never appeared
// keep these starting values.
struct CFitsHeaderInfo {
    int32_t axes = 0;       // NAXIS, or the last NAXISn card other than NAXIS1/NAXIS2
    int32_t width = 0;      // NAXIS1
    int32_t height = 0;     // NAXIS2
    int32_t bitsPerPixel = 0;
    int32_t bzero = 0;
    int32_t bscale = 1;
    // Whether a card set the value; BZERO and BSCALE may be left out.
    bool hasAxes = false;
    bool hasWidth = false;
    bool hasHeight = false;
    bool hasBitsPerPixel = false;

    bool HasRequired() const { return hasAxes && hasWidth && hasHeight && hasBitsPerPixel; }
    // False when the last BZERO or BSCALE card holds a number that no
    // signed 32-bit integer can stand for (NaN and infinity included).
    bool bzeroInRange = true;
    bool bscaleInRange = true;
};

// Reads the header from the start of the file in whole 2880-byte blocks of
// 36 cards, up to and including the block that holds the END card, and tests
// every card (those after END in its block too) against the keywords. The
// header's length is where the scan leaves the reader; its bytes are not kept
// here, so that a refused file never costs the memory of its header.
class CFitsHeader {
public:
    static constexpr std::size_t kCardBytes = 80;
    static constexpr std::size_t kBlockBytes = 2880;

    // False when the file ended (or a read failed) before the END card's
    // block was complete, or when BITPIX, NAXIS, NAXIS1 or NAXIS2 is missing;
    // info keeps what was found either way.
    static bool Scan(CBinaryFileReader& reader, CFitsHeaderInfo& info);

    // Tests one card against the keywords, in their order; true for END.
    static bool TestCard(const char* card, CFitsHeaderInfo& info);

    // The cards of a header as the file holds it, 80 characters each, up to
    // and including the one that ended the scan (the blank cards that fill
    // its block are left out).
    static std::vector<std::string> Cards(const std::vector<uint8_t>& header);
};
