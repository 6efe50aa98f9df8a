#pragma once
// SBIG Type 3 files for the bundled samples, tests and benchmarks: a 2048-byte
// text header whose lines end with line feed and carriage return, as the
// cameras' software writes them, then the plane raw or row-compressed.
// Header-only and independent of the core, so that the core's reader is
// checked against a second implementation of the row coding.
//
//     std::vector<uint8_t> st7 = SyntheticSbig(sky.values, sky.width, sky.height, true);
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

inline std::vector<uint8_t> SyntheticSbigHeader(int width, int height, bool compressed)
{
    const std::string lines[] = {
        compressed ? "ST-7 Compressed Image" : "ST-7 Image",
        "File_version = 3",
        "Data_version = 1",
        "Exposure = 3000",
        "Focal_length = 20.00",
        "Aperture = 25.00",
        "Response_factor = 2000.00",
        "Note = M42, synthetic frame, not a real exposure",
        "Background = 1100",
        "Range = 2000",
        "Height = " + std::to_string(height),
        "Width = " + std::to_string(width),
        "Date = 12/06/26",
        "Time = 22:00:00",
        "Exposure_state = 0",
        "Temperature = -10.00",
        "Number_exposures = 1",
        "Each_exposure = 3000",
        "History = 0",
        "Observer = Dorvane",
        "X_pixel_size = 0.0090",
        "Y_pixel_size = 0.0090",
        "Pedestal = 0",
        "E_gain = 2.30",
        "Sat_level = 65535",
        "End",
    };
    std::string text;
    for (const std::string& line : lines)
        text += line.substr(0, 62) + "\n\r";
    std::vector<uint8_t> header(2048, 0);
    for (std::size_t i = 0; i < text.size() && i < header.size(); ++i)
        header[i] = static_cast<uint8_t>(text[i]);
    return header;
}

// One compressed row, count first: deltas of -127..127 in one byte, 0x80 and
// the absolute value otherwise, the raw row when that is not shorter.
inline void SyntheticSbigRow(const uint16_t* values, int width, std::vector<uint8_t>& out)
{
    std::vector<uint8_t> coded;
    if (width < 1) {
        out.push_back(0);
        out.push_back(0);
        return;
    }
    coded.push_back(static_cast<uint8_t>(values[0] & 0xFF));
    coded.push_back(static_cast<uint8_t>(values[0] >> 8));
    for (int x = 1; x < width; ++x) {
        const int delta = static_cast<int>(values[x]) - static_cast<int>(values[x - 1]);
        if (delta >= -127 && delta <= 127) {
            coded.push_back(static_cast<uint8_t>(delta & 0xFF));
        } else {
            coded.push_back(0x80);
            coded.push_back(static_cast<uint8_t>(values[x] & 0xFF));
            coded.push_back(static_cast<uint8_t>(values[x] >> 8));
        }
    }
    if (width < 2 || coded.size() >= 2 * static_cast<std::size_t>(width)) {
        coded.clear();
        for (int x = 0; x < width; ++x) {
            coded.push_back(static_cast<uint8_t>(values[x] & 0xFF));
            coded.push_back(static_cast<uint8_t>(values[x] >> 8));
        }
    }
    out.push_back(static_cast<uint8_t>(coded.size() & 0xFF));
    out.push_back(static_cast<uint8_t>(coded.size() >> 8));
    out.insert(out.end(), coded.begin(), coded.end());
}

inline std::vector<uint8_t> SyntheticSbig(const std::vector<uint16_t>& values, int width, int height,
                                          bool compressed)
{
    std::vector<uint8_t> out = SyntheticSbigHeader(width, height, compressed);
    for (int y = 0; y < height; ++y) {
        const uint16_t* row = values.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        if (compressed) {
            SyntheticSbigRow(row, width, out);
        } else {
            for (int x = 0; x < width; ++x) {
                out.push_back(static_cast<uint8_t>(row[x] & 0xFF));
                out.push_back(static_cast<uint8_t>(row[x] >> 8));
            }
        }
    }
    return out;
}
