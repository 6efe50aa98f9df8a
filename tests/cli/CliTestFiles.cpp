#include "CliTestFiles.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "CCliApp.h"
#include "image/CSbigRowCodec.h"

namespace CliTest {

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "dorvane-cli-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary folder");
    m_path = pattern;
}

TempDir::~TempDir()
{
    std::error_code error;
    std::filesystem::remove_all(m_path, error);
}

Plane BloomedPlane(int32_t width, int32_t height, uint32_t seed, uint32_t base)
{
    Plane plane(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    uint32_t state = seed * 2654435761u + 12345u;
    for (uint32_t& value : plane) {
        state = state * 1664525u + 1013904223u;
        value = base + (state >> 24) % 200;
    }
    auto streak = [&](int32_t x, int32_t top, int32_t length, int32_t thickness) {
        for (int32_t y = top; y < top + length && y < height; ++y)
            for (int32_t dx = 0; dx < thickness && x + dx < width; ++dx)
                plane[static_cast<std::size_t>(y) * width + x + dx] = 65000;
    };
    // Blooms at places that depend on the seed, and a run too short to count.
    streak(5 + static_cast<int32_t>(seed % 7), 4, height / 2, 2);
    streak(width / 2 + static_cast<int32_t>(seed % 5), height / 3, height / 2, 1);
    streak(width - 9, 10, 4, 1);
    return plane;
}

namespace {
std::string Card(const std::string& text)
{
    std::string card = text;
    card.resize(80, ' ');
    return card;
}

std::string Value(const std::string& keyword, long long value)
{
    char card[81];
    std::snprintf(card, sizeof card, "%-8s= %20lld", keyword.c_str(), value);
    return Card(card);
}

void PadTo2880(std::string& bytes, char fill)
{
    while (bytes.size() % 2880 != 0)
        bytes += fill;
}

std::string FitsHeader(int bitpix, int32_t width, int32_t height, int planes, long long bzero)
{
    std::string header = Card("SIMPLE  =                    T");
    header += Value("BITPIX", bitpix);
    header += Value("NAXIS", planes == 1 ? 2 : 3);
    header += Value("NAXIS1", width);
    header += Value("NAXIS2", height);
    if (planes != 1)
        header += Value("NAXIS3", planes);
    header += Value("BZERO", bzero);
    header += Value("BSCALE", 1);
    header += Card("OBSERVER= 'test'           / kept byte for byte");
    header += Card("END");
    PadTo2880(header, ' ');
    return header;
}

void WriteText(const std::string& path, const std::string& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file)
        throw std::runtime_error("cannot write " + path);
}
}  // namespace

void WriteFits16(const std::string& path, int32_t width, int32_t height, const std::vector<Plane>& planes)
{
    std::string bytes = FitsHeader(16, width, height, static_cast<int>(planes.size()), 32768);
    for (const Plane& plane : planes)
        for (uint32_t value : plane) {
            uint16_t stored = static_cast<uint16_t>(static_cast<int32_t>(value) - 32768);
            bytes += static_cast<char>(stored >> 8);
            bytes += static_cast<char>(stored & 0xFF);
        }
    PadTo2880(bytes, '\0');
    WriteText(path, bytes);
}

void WriteFits8(const std::string& path, int32_t width, int32_t height, const Plane& plane)
{
    std::string bytes = FitsHeader(8, width, height, 1, 0);
    for (uint32_t value : plane)
        bytes += static_cast<char>(value);
    PadTo2880(bytes, '\0');
    WriteText(path, bytes);
}

void WriteBlankFits8(const std::string& path, int32_t width, int32_t height)
{
    const std::string header = FitsHeader(8, width, height, 1, 0);
    WriteText(path, header);
    std::filesystem::resize_file(path, header.size() + static_cast<uint64_t>(width) * static_cast<uint64_t>(height));
}

void WriteFits16Stored(const std::string& path, int32_t width, int32_t height, const std::vector<int16_t>& stored)
{
    std::string bytes = FitsHeader(16, width, height, 1, 0);
    for (int16_t value : stored) {
        uint16_t bits = static_cast<uint16_t>(value);
        bytes += static_cast<char>(bits >> 8);
        bytes += static_cast<char>(bits & 0xFF);
    }
    PadTo2880(bytes, '\0');
    WriteText(path, bytes);
}

void WriteSbig(const std::string& path, int32_t width, int32_t height, const Plane& plane, bool compressed)
{
    std::string header = compressed ? "ST-7 Compressed Image\r" : "ST-7 Image\r";
    header += "Note = written by the tests\r";
    header += "Height = " + std::to_string(height) + "\r";
    header += "Width = " + std::to_string(width) + "\r";
    header += "End\r";
    header.resize(2048, '\0');
    std::string bytes = header;
    std::vector<uint8_t> row(CSbigRowCodec::MaxRowBytes(width));
    for (int32_t y = 0; y < height; ++y) {
        const uint32_t* values = plane.data() + static_cast<std::size_t>(y) * width;
        if (compressed) {
            std::size_t length = CSbigRowCodec::EncodeRow(values, width, row.data());
            bytes.append(reinterpret_cast<const char*>(row.data()), length);
        } else {
            for (int32_t x = 0; x < width; ++x) {
                bytes += static_cast<char>(values[x] & 0xFF);
                bytes += static_cast<char>((values[x] >> 8) & 0xFF);
            }
        }
    }
    WriteText(path, bytes);
}

std::vector<uint8_t> ReadBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    WriteText(path, std::string(bytes.begin(), bytes.end()));
}

bool Exists(const std::string& path)
{
    return std::filesystem::exists(path);
}

CliRun RunCli(const std::vector<std::string>& args, bool terminal)
{
    std::ostringstream out;
    std::ostringstream err;
    CCliIo io{out, err, terminal};
    io.columns = 200;
    CliRun run;
    run.status = CCliApp::Run(args, io);
    run.out = out.str();
    run.err = err.str();
    return run;
}

}  // namespace CliTest
