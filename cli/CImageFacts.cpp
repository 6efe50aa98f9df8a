#include "CImageFacts.h"

#include "CJsonLine.h"
#include "image/CDorvaneDoc.h"
#include "image/CFitsImage.h"
#include "image/CSbigImage.h"

CImageFacts CImageFacts::FromDocument(const CDorvaneDoc& doc)
{
    CImageFacts facts;
    const CAstroImage& image = *doc.m_pImage;
    facts.isFits = doc.m_isFits != 0;
    facts.format = facts.isFits ? "FITS" : "SBIG";
    facts.width = image.m_width;
    facts.height = image.m_height;
    facts.bitsPerPixel = image.m_bitsPerPixel;
    facts.planes = image.m_isColor ? 3 : 1;
    facts.maxValue = image.m_maxValue;
    // The open sequence stores the automatic stretch in these two fields.
    facts.stretchLow = image.m_stretchLow;
    facts.stretchHigh = image.m_stretchHigh;
    if (const auto* fits = dynamic_cast<const CFitsImage*>(&image)) {
        facts.bzero = fits->m_bzero;
        facts.bscale = fits->m_bscale;
    }
    if (const auto* sbig = dynamic_cast<const CSbigImage*>(&image))
        facts.compressed = sbig->m_compressed;
    return facts;
}

std::string CImageFacts::JsonLine(const std::string& path) const
{
    CJsonLine json;
    json.AddString("path", path);
    json.AddString("format", format);
    json.AddInt("width", width);
    json.AddInt("height", height);
    json.AddInt("bits_per_pixel", bitsPerPixel);
    json.AddInt("planes", planes);
    json.AddInt("max_value", maxValue);
    json.AddInt("stretch_low", stretchLow);
    json.AddInt("stretch_high", stretchHigh);
    if (isFits) {
        json.AddInt("bzero", bzero);
        json.AddInt("bscale", bscale);
    } else {
        json.AddBool("compressed", compressed);
    }
    return json.Text();
}

std::string CImageFacts::TextLine(const std::string& path) const
{
    std::string line = path + ": " + format + ", " + std::to_string(width) + " x " + std::to_string(height) +
                       ", " + std::to_string(bitsPerPixel) + " bits per pixel, " + std::to_string(planes) +
                       (planes == 1 ? " plane" : " planes") + ", full scale " + std::to_string(maxValue);
    if (isFits)
        line += ", BZERO " + std::to_string(bzero) + ", BSCALE " + std::to_string(bscale);
    else
        line += compressed ? ", compressed" : ", uncompressed";
    line += ", stretch " + std::to_string(stretchLow) + " to " + std::to_string(stretchHigh);
    return line;
}
