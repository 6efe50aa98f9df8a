#include "CFitsHeader.h"

#include "CAstroImage.h"
#include "support/CBinaryFileReader.h"

bool CFitsHeader::TestCard(const char* card, CFitsHeaderInfo& info)
{
    // Matching is by prefix, so the longer keywords come first: "NAXIS" last
    // also takes NAXIS3 (and any other NAXISn) as the axis count.
    auto matches = [card](const char* keyword) {
        return CAstroImage::KeywordMatches(keyword, card, kCardBytes);
    };
    int32_t* target = nullptr;
    bool* seen = nullptr;
    if (matches("END"))
        return true;
    if (matches("NAXIS1")) {
        target = &info.width;
        seen = &info.hasWidth;
    } else if (matches("NAXIS2")) {
        target = &info.height;
        seen = &info.hasHeight;
    } else if (matches("BITPIX")) {
        target = &info.bitsPerPixel;
        seen = &info.hasBitsPerPixel;
    } else if (matches("BZERO")) {
        target = &info.bzero;
    } else if (matches("BSCALE")) {
        target = &info.bscale;
    } else if (matches("NAXIS")) {
        target = &info.axes;
        seen = &info.hasAxes;
    }
    if (target != nullptr)
        *target = CAstroImage::KeywordValue(card, kCardBytes);
    if (seen != nullptr)
        *seen = true;
    // KeywordValue clamps; a clamped scale would rewrite every value.
    if (target == &info.bzero)
        info.bzeroInRange = CAstroImage::KeywordValueInRange(card, kCardBytes);
    else if (target == &info.bscale)
        info.bscaleInRange = CAstroImage::KeywordValueInRange(card, kCardBytes);
    return false;
}

bool CFitsHeader::Scan(CBinaryFileReader& reader, CFitsHeaderInfo& info)
{
    // The blocks stream through one buffer: a file without END costs no
    // more memory than a header that ends.
    bool ended = false;
    char block[kBlockBytes];
    while (!ended) {
        const std::size_t got = reader.Read(block, kBlockBytes);
        // Cards wholly read are tested even when the block is cut short, as a
        // card-by-card reader would have done before meeting the end.
        for (std::size_t at = 0; at + kCardBytes <= got; at += kCardBytes) {
            if (TestCard(block + at, info))
                ended = true;
        }
        if (got < kBlockBytes)
            return false;
    }
    return info.HasRequired();
}

std::vector<std::string> CFitsHeader::Cards(const std::vector<uint8_t>& header)
{
    std::vector<std::string> cards;
    CFitsHeaderInfo ignored;
    for (std::size_t at = 0; at + kCardBytes <= header.size(); at += kCardBytes) {
        const char* card = reinterpret_cast<const char*>(header.data() + at);
        cards.emplace_back(card, kCardBytes);
        if (TestCard(card, ignored))
            break;
    }
    return cards;
}
