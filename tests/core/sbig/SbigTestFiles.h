#pragma once
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "image/CSbigRowCodec.h"

// Builds SBIG Type 3 files for the tests in a fresh folder that is removed
// afterwards.
class CSbigTestFolder {
public:
    CSbigTestFolder()
    {
        static int serial = 0;
        std::random_device rd;
        m_path = std::filesystem::temp_directory_path() /
                 ("dorvane-sbig-" + std::to_string(rd()) + "-" + std::to_string(serial++));
        std::filesystem::create_directories(m_path);
    }
    ~CSbigTestFolder()
    {
        std::error_code error;
        std::filesystem::remove_all(m_path, error);
    }
    std::string Path(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

inline std::vector<uint8_t> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A 2048-byte header of the given lines, each followed by ending, the rest
// zero.
inline std::vector<uint8_t> MakeSbigHeader(const std::vector<std::string>& lines,
                                       const std::string& ending = "\n\r")
{
    std::string text;
    for (const std::string& line : lines)
        text += line + ending;
    std::vector<uint8_t> header(2048, 0);
    std::copy_n(text.begin(), std::min<std::size_t>(text.size(), header.size()), header.begin());
    return header;
}

inline std::vector<uint8_t> RawRows(const std::vector<uint32_t>& values)
{
    std::vector<uint8_t> bytes;
    for (uint32_t v : values) {
        bytes.push_back(static_cast<uint8_t>(v & 0xFF));
        bytes.push_back(static_cast<uint8_t>(v >> 8));
    }
    return bytes;
}

inline std::vector<uint8_t> CompressedRows(const std::vector<uint32_t>& values, int32_t width)
{
    std::vector<uint8_t> bytes;
    std::vector<uint8_t> row(CSbigRowCodec::MaxRowBytes(width));
    for (std::size_t start = 0; start < values.size(); start += static_cast<std::size_t>(width)) {
        const std::size_t n = CSbigRowCodec::EncodeRow(values.data() + start, width, row.data());
        bytes.insert(bytes.end(), row.begin(), row.begin() + static_cast<std::ptrdiff_t>(n));
    }
    return bytes;
}

inline std::vector<uint8_t> Concat(std::vector<uint8_t> a, const std::vector<uint8_t>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A frame with the features of a real one: a noisy sky, a few stars and a
// saturated column, so that compressed rows hold deltas, escapes and plateaus.
inline std::vector<uint32_t> SkyFrame(int32_t width, int32_t height, unsigned seed)
{
    std::mt19937 rng(seed);
    std::vector<uint32_t> values(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            uint32_t v = 1000 + rng() % 40;
            if (rng() % 50 == 0)
                v = 20000 + rng() % 40000;
            if (x == width / 2)
                v = 65535;
            values[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] = v;
        }
    }
    return values;
}
