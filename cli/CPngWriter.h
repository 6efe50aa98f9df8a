#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Writes an 8-bit PNG, grey (one channel) or RGB (three), with libpng. The
// picture is encoded in memory and written through the core's atomic writer,
// so a failure never leaves a half-written file at the target.
class CPngWriter {
public:
    // pixels: rows top first, channels bytes per pixel, no padding. False
    // with message set on failure.
    static bool Write(const std::string& path, int32_t width, int32_t height, int channels,
                      const std::vector<uint8_t>& pixels, std::string& message);
    // The encoded file; false when libpng refuses.
    static bool Encode(int32_t width, int32_t height, int channels, const std::vector<uint8_t>& pixels,
                       std::vector<uint8_t>& encoded);
};
