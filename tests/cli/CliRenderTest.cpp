#include <gtest/gtest.h>

#include <png.h>

#include <cstdio>

#include "CliTestFiles.h"
#include "image/CDisplayLut.h"

using namespace CliTest;

namespace {
struct Png {
    bool ok = false;
    uint32_t width = 0;
    uint32_t height = 0;
    int colorType = -1;
    int bitDepth = 0;
    std::vector<uint8_t> pixels;  // rows top first
};

// Reads a PNG back with libpng's simplified API, in its own format.
Png ReadPng(const std::string& path)
{
    Png png;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return png;
    png.width = image.width;
    png.height = image.height;
    png.colorType = (image.format & PNG_FORMAT_FLAG_COLOR) ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_GRAY;
    const bool alpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    png.bitDepth = (image.format & PNG_FORMAT_FLAG_LINEAR) ? 16 : 8;
    if (alpha) {
        png_image_free(&image);
        return png;
    }
    png.pixels.resize(PNG_IMAGE_SIZE(image));
    png.ok = png_image_finish_read(&image, nullptr, png.pixels.data(), 0, nullptr) != 0;
    return png;
}

// The header's own colour type and depth, straight from the IHDR chunk.
std::pair<int, int> HeaderTypeAndDepth(const std::string& path)
{
    std::vector<uint8_t> bytes = ReadBytes(path);
    if (bytes.size() < 33)
        return {-1, -1};
    return {bytes[25], bytes[24]};
}
}  // namespace

TEST(CliRender, MonochromeIsGreyThroughTheDisplayMapping)
{
    TempDir dir;
    const std::string input = dir.Path("m42.fit");
    const Plane plane = BloomedPlane(30, 20, 1);
    WriteFits16(input, 30, 20, {plane});
    const std::string out = dir.Path("m42.png");

    CliRun run = RunCli({"render", "--min", "1100", "--max", "1400", input, "--png", out});
    ASSERT_EQ(run.status, 0) << run.err;
    Png png = ReadPng(out);
    ASSERT_TRUE(png.ok);
    EXPECT_EQ(png.width, 30u);
    EXPECT_EQ(png.height, 20u);
    EXPECT_EQ(HeaderTypeAndDepth(out), std::make_pair(int(PNG_COLOR_TYPE_GRAY), 8));
    std::vector<uint32_t> lut;
    CDisplayLut::Build(1100, 1400, 65535, lut);
    for (std::size_t p = 0; p < plane.size(); ++p)
        ASSERT_EQ(png.pixels[p], lut[plane[p]]) << "pixel " << p;

    // Inverted stretch: Max below Min.
    ASSERT_EQ(RunCli({"render", "--min", "1400", "--max", "1100", input, "--png", out}).status, 0);
    png = ReadPng(out);
    CDisplayLut::Build(1400, 1100, 65535, lut);
    EXPECT_EQ(png.pixels[0], lut[plane[0]]);
    EXPECT_EQ(png.pixels[5 * 30 + 7], 0);  // a streak pixel above both limits
}

TEST(CliRender, ColourIsRgbAndZoomScalesTheSize)
{
    TempDir dir;
    const std::string input = dir.Path("rgb.fit");
    Plane red(30 * 20, 100), green(30 * 20, 30000), blue(30 * 20, 65000);
    WriteFits16(input, 30, 20, {red, green, blue});
    const std::string out = dir.Path("rgb.png");

    ASSERT_EQ(RunCli({"render", "--min", "0", "--max", "65535", "--png", out, input}).status, 0);
    Png png = ReadPng(out);
    ASSERT_TRUE(png.ok);
    EXPECT_EQ(HeaderTypeAndDepth(out), std::make_pair(int(PNG_COLOR_TYPE_RGB), 8));
    std::vector<uint32_t> lut;
    CDisplayLut::Build(0, 65535, 65535, lut);
    EXPECT_EQ(png.pixels[0], lut[100]);
    EXPECT_EQ(png.pixels[1], lut[30000]);
    EXPECT_EQ(png.pixels[2], lut[65000]);

    struct Zoom {
        const char* percent;
        uint32_t width, height;
    };
    for (const Zoom& zoom : {Zoom{"25", 7, 5}, Zoom{"50", 15, 10}, Zoom{"200", 60, 40}, Zoom{"1600", 480, 320},
                             Zoom{"1", 1, 1}, Zoom{"33", 9, 6}}) {
        ASSERT_EQ(RunCli({"render", "--zoom", zoom.percent, input, "--png", out}).status, 0) << zoom.percent;
        png = ReadPng(out);
        ASSERT_TRUE(png.ok);
        EXPECT_EQ(png.width, zoom.width) << zoom.percent;
        EXPECT_EQ(png.height, zoom.height) << zoom.percent;
    }
}

TEST(CliRender, AutomaticStretchAndFailures)
{
    TempDir dir;
    const std::string input = dir.Path("byte.fit");
    Plane plane(16 * 8);
    for (std::size_t i = 0; i < plane.size(); ++i)
        plane[i] = i < 10 ? 5 : 200;
    WriteFits8(input, 16, 8, plane);
    const std::string out = dir.Path("byte.png");
    // The automatic stretch here is 5..200 (the most frequent value in the
    // lowest 15 %, and the 98th percentile), so the two values map to black
    // and white.
    ASSERT_EQ(RunCli({"render", input, "--png", out}).status, 0);
    Png png = ReadPng(out);
    ASSERT_TRUE(png.ok);
    EXPECT_EQ(png.pixels[0], 0);
    EXPECT_EQ(png.pixels[127], 255);
    // Only --max given: Min stays automatic.
    ASSERT_EQ(RunCli({"render", "--max", "110", input, "--png", out}).status, 0);
    png = ReadPng(out);
    EXPECT_EQ(png.pixels[0], 0);
    EXPECT_EQ(png.pixels[127], 255);

    // Limits above an 8-bit image's full scale are refused with its bounds.
    CliRun run = RunCli({"render", "--max", "256", input, "--png", out});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("--max: Please enter an integer between 0 and 255."), std::string::npos) << run.err;

    run = RunCli({"render", dir.Path("none.fit"), "--png", out});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.rfind(dir.Path("none.fit") + ": ", 0), 0u) << run.err;
    run = RunCli({"render", input, "--png", dir.Path("no/such/folder/x.png")});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("x.png: Failed to create file."), std::string::npos) << run.err;
}
