#include "DesktopReference.h"

#include <gtest/gtest.h>

#include <vector>

#include "filter/CBloomFilter.h"
#include "filter/MirrorPlane.h"
#include "image/CAstroImage.h"
#include "image/CDorvaneDoc.h"
#include "support/CCollectingMessageSink.h"
#include "support/CMemorySettings.h"
#include "support/CSharedState.h"

namespace DesktopReference {

long long RunAndSave(const std::string& input, const std::string& output, const Command& command)
{
    CSharedState shared;
    shared.m_nDisplayBpp = 32;
    CCollectingMessageSink messages;
    CMemorySettings settings;
    CDorvaneDoc doc(shared, messages, settings);
    if (!doc.OnOpenDocument(input))
        return -1;
    CAstroImage& image = *doc.m_pImage;
    const int32_t w = image.m_width;
    const int32_t h = image.m_height;

    // The FilterRegion as selected; with Mirror the rectangle follows the
    // mirrored plane, so its columns [l, r) become [w - r, w - l).
    shared.m_bRegionSet = command.hasRegion;
    if (command.hasRegion) {
        shared.m_rcRegionImage = command.region;
        if (command.mirror) {
            shared.m_rcRegionImage.left = w - command.region.right;
            shared.m_rcRegionImage.right = w - command.region.left;
        }
    }

    image.SaveUndo();
    long long bloom = 0;
    auto runPlane = [&](std::vector<uint32_t>& plane, const Params& p, const char* suffix) {
        if (command.mirror)
            MirrorPlane(plane, w, h);
        CBloomFilter filter(image, plane, p.intensity, p.length, p.width);
        filter.Run(suffix, shared, nullptr);
        if (command.mirror)
            MirrorPlane(plane, w, h);
        bloom += filter.LengthCheckedCount();
    };
    if (!image.m_isColor) {
        runPlane(image.m_red, command.mono, "");
    } else {
        if (command.planes[0])
            runPlane(image.m_red, command.color[0], " in Red plane");
        if (command.planes[1])
            runPlane(image.m_green, command.color[1], " in Green plane");
        if (command.planes[2])
            runPlane(image.m_blue, command.color[2], " in Blue plane");
    }
    image.UpdateDisplay();
    shared.m_bRegionSet = false;
    if (!doc.OnSaveDocument(output))
        return -1;
    return bloom;
}

}  // namespace DesktopReference
