#include "filter/CFilterRunRecord.h"

#include <algorithm>

#include "image/CAstroImage.h"
#include "support/CSharedState.h"

CFilterRunRecord CFilterRunRecord::Start(const CAstroImage& image, const CSharedState& shared, bool mirror)
{
    CFilterRunRecord record;
    record.imageWidth = std::max(image.m_width, 0);
    record.imageHeight = std::max(image.m_height, 0);
    record.isColor = image.m_isColor;
    record.mirror = mirror;
    const CRegion whole{0, 0, record.imageWidth, record.imageHeight};
    record.region = shared.m_bRegionSet ? shared.m_rcRegionImage.ClippedTo(record.imageWidth, record.imageHeight)
                                        : whole;
    return record;
}

int64_t CFilterRunRecord::ReplacedCount() const
{
    int64_t count = 0;
    for (const CPlaneRunRecord& plane : planes)
        count += plane.changes.Count();
    return count;
}

const CPlaneRunRecord* CFilterRunRecord::Plane(int plane) const
{
    for (const CPlaneRunRecord& record : planes)
        if (record.plane == plane)
            return &record;
    return nullptr;
}

std::string CFilterRunRecord::PlaneName(int plane) const
{
    if (!isColor)
        return "mono";
    return plane == 0 ? "red" : plane == 1 ? "green" : "blue";
}

std::string CFilterRunRecord::RegionText() const
{
    return std::to_string(region.left) + "," + std::to_string(region.top) + "," + std::to_string(region.right) +
           "," + std::to_string(region.bottom);
}

std::vector<std::string> CFilterRunRecord::DescriptionLines() const
{
    std::vector<std::string> lines;
    for (const CPlaneRunRecord& plane : planes)
        lines.push_back("  " + PlaneName(plane.plane) + ": intensity " + std::to_string(plane.intensity) +
                        ", length " + std::to_string(plane.length) + ", width " + std::to_string(plane.width) +
                        ", " + std::to_string(plane.changes.Count()) + " pixels replaced");
    if (planes.empty())
        lines.push_back("  no plane filtered");
    lines.push_back(std::string("  mirror ") + (mirror ? "yes" : "no") + ", region " + RegionText() +
                    " (left,top,right,bottom)");
    return lines;
}
