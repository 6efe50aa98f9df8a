#include <gtest/gtest.h>

#include <png.h>

#include "CZoomScaler.h"
#include "CliFixture.h"
#include "image/CDisplayLut.h"

using namespace CliTest;

namespace {
struct Png {
    uint32_t width = 0, height = 0;
    std::pair<int, int> typeAndDepth;  // as the header's IHDR chunk says
    Bytes pixels;                      // rows top first, as libpng reads them
};

Png ReadPng(const std::string& path)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    EXPECT_TRUE(png_image_begin_read_from_file(&image, path.c_str())) << path;
    const Bytes bytes = ReadBytes(path);
    Png png{image.width, image.height, {bytes.size() > 25 ? bytes[25] : -1, bytes.size() > 25 ? bytes[24] : -1}, {}};
    png.pixels.resize(PNG_IMAGE_SIZE(image));
    EXPECT_TRUE(png_image_finish_read(&image, nullptr, png.pixels.data(), 0, nullptr)) << path;
    return png;
}
}  // namespace

TEST(CliRender, PicturesAreTheDisplayMappingInGreyOrRgbAndZoomTruncatesTheSize)
{
    CTempDir dir;
    const std::string mono = dir.File("m42.fit"), rgb = dir.File("rgb.fit"), out = dir.File("out.png");
    const Plane plane = BloomedPlane(30, 20, 1);
    WriteFits(mono, 30, 20, {plane});
    WriteFits(rgb, 30, 20, {Plane(30 * 20, 100), Plane(30 * 20, 30000), Plane(30 * 20, 65000)});
    // Max below Min inverts the picture.
    for (const auto& [input, low, high] : {std::tuple{mono, 1100, 1400}, {mono, 1400, 1100}, {rgb, 0, 65535}}) {
        ASSERT_EQ(RunCli({"render", "--min", std::to_string(low), "--max", std::to_string(high), input, "--png", out})
                      .status,
                  0);
        const Png png = ReadPng(out);
        EXPECT_EQ(std::pair(png.width, png.height), std::pair(30u, 20u));
        std::vector<uint32_t> lut;
        CDisplayLut::Build(low, high, 65535, lut);
        if (input == rgb) {
            EXPECT_EQ(png.typeAndDepth, std::pair(int(PNG_COLOR_TYPE_RGB), 8));
            const Bytes first = {uint8_t(lut[100]), uint8_t(lut[30000]), uint8_t(lut[65000])};
            EXPECT_EQ(Bytes(png.pixels.begin(), png.pixels.begin() + 3), first);
            continue;
        }
        EXPECT_EQ(png.typeAndDepth, std::pair(int(PNG_COLOR_TYPE_GRAY), 8));
        for (std::size_t p = 0; p < plane.size(); ++p)
            ASSERT_EQ(png.pixels[p], lut[plane[p]]) << "pixel " << p;
    }
    for (const auto& [percent, width, height] : {std::tuple{"25", 7u, 5u}, {"50", 15u, 10u}, {"200", 60u, 40u},
                                                 {"1600", 480u, 320u}, {"1", 1u, 1u}, {"33", 9u, 6u}}) {
        ASSERT_EQ(RunCli({"render", "--zoom", percent, rgb, "--png", out}).status, 0) << percent;
        const Png png = ReadPng(out);
        EXPECT_EQ(std::pair(png.width, png.height), std::pair(width, height)) << percent;
    }
}

TEST(CliRender, ZoomAveragesBlocksToNearestAndRepeatsSourcePixels)
{
    // Block sums 62 and 655 leave remainders: 15.5 and 163.75 round up.
    const CZoomScaler::Picture grey{4, 2, 1, {0, 10, 100, 101, 20, 32, 200, 254}};
    const CZoomScaler::Picture half = CZoomScaler::Scale(grey, 50);
    EXPECT_EQ(std::pair(half.width, half.height), std::pair(2, 1));
    EXPECT_EQ(half.pixels, (Bytes{16, 164}));
    const CZoomScaler::Picture rgb{2, 1, 3, {1, 2, 3, 4, 5, 6}};
    const CZoomScaler::Picture twice = CZoomScaler::Scale(rgb, 200);
    EXPECT_EQ(std::pair(twice.width, twice.height), std::pair(4, 2));
    EXPECT_EQ(twice.pixels, (Bytes{1, 2, 3, 1, 2, 3, 4, 5, 6, 4, 5, 6, 1, 2, 3, 1, 2, 3, 4, 5, 6, 4, 5, 6}));
    // 150 %: source columns 0, 0, 1 (truncated, not rounded).
    const CZoomScaler::Picture wide = CZoomScaler::Scale(rgb, 150);
    EXPECT_EQ(Bytes(wide.pixels.begin(), wide.pixels.begin() + 9), (Bytes{1, 2, 3, 1, 2, 3, 4, 5, 6}));
}

TEST(CliRender, AutomaticStretchAndFailures)
{
    CTempDir dir;
    const std::string input = dir.File("byte.fit"), out = dir.File("byte.png");
    Plane plane(16 * 8, 200);
    std::fill(plane.begin(), plane.begin() + 10, 5);
    WriteFits(input, 16, 8, {plane}, 8, 0);
    // The automatic stretch here is 5..200 (the most frequent value in the
    // lowest 15 %, and the 98th percentile), so the two values map to black
    // and white; with only --max given, Min stays automatic.
    for (const std::vector<std::string>& options : {std::vector<std::string>{}, {"--max", "110"}}) {
        std::vector<std::string> args = {"render", input, "--png", out};
        args.insert(args.end(), options.begin(), options.end());
        ASSERT_EQ(RunCli(args).status, 0);
        const Png png = ReadPng(out);
        EXPECT_EQ(png.pixels[0], 0);
        EXPECT_EQ(png.pixels[127], 255);
    }
    // Limits above an 8-bit image's full scale are refused with its bounds.
    for (const auto& [args, status, message] :
         {std::tuple{std::vector<std::string>{"--max", "256", input}, 2, std::string("--max: Please enter an integer "
                                                                                      "between 0 and 255.")},
          {{input, "--png", dir.File("no/such/folder/x.png")}, 1, "x.png: Failed to create file."}}) {
        std::vector<std::string> all = {"render", "--png", out};
        all.insert(all.end(), args.begin(), args.end());
        const CliRun run = RunCli(all);
        EXPECT_EQ(run.status, status) << message;
        EXPECT_TRUE(Has(run.err, message)) << run.err;
    }
}
