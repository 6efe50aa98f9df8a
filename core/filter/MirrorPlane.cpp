#include "filter/MirrorPlane.h"

#include <algorithm>
#include <cstddef>

void MirrorPlane(uint32_t* plane, int32_t width, int32_t height)
{
    if (plane == nullptr || width <= 1 || height <= 0)
        return;
    const std::size_t w = static_cast<std::size_t>(width);
    for (std::size_t y = 0; y < static_cast<std::size_t>(height); ++y) {
        uint32_t* row = plane + y * w;
        std::reverse(row, row + w);
    }
}

void MirrorPlane(std::vector<uint32_t>& plane, int32_t width, int32_t height)
{
    if (width <= 0 || height <= 0)
        return;
    if (plane.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
        return;
    MirrorPlane(plane.data(), width, height);
}
