#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "CliTestFiles.h"
#include "FlatJson.h"
#include "image/CAstroImage.h"
#include "image/CDorvaneDoc.h"
#include "support/CCollectingMessageSink.h"
#include "support/CMemorySettings.h"
#include "support/CSharedState.h"

using namespace CliTest;

namespace {
std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

// The automatic stretch the desktop program computes on opening the file.
std::pair<long long, long long> DesktopStretch(const std::string& path)
{
    CSharedState shared;
    shared.m_nDisplayBpp = 32;
    CCollectingMessageSink messages;
    CMemorySettings settings;
    CDorvaneDoc doc(shared, messages, settings);
    EXPECT_TRUE(doc.OnOpenDocument(path));
    return {doc.m_pImage->m_stretchLow, doc.m_pImage->m_stretchHigh};
}

using Object = std::map<std::string, FlatJson::Value>;

Object ParseLine(const std::string& line)
{
    Object object;
    std::string error;
    EXPECT_TRUE(FlatJson::Parse(line, object, error)) << error << ": " << line;
    return object;
}

std::set<std::string> Keys(const Object& object)
{
    std::set<std::string> keys;
    for (const auto& entry : object)
        keys.insert(entry.first);
    return keys;
}
}  // namespace

TEST(CliInfo, JsonLinesParseWithExactlyTheKeysOfEachFormat)
{
    TempDir dir;
    const std::string mono = dir.Path("mono.fits");
    const std::string color = dir.Path("color.fts");
    const std::string byte8 = dir.Path("byte.fit");
    const std::string raw = dir.Path("raw.st7");
    const std::string packed = dir.Path("packed.ST8");
    WriteFits16(mono, 30, 20, {BloomedPlane(30, 20, 1)});
    WriteFits16(color, 30, 20, {BloomedPlane(30, 20, 2), BloomedPlane(30, 20, 3), BloomedPlane(30, 20, 4)});
    Plane small(30 * 20);
    for (std::size_t i = 0; i < small.size(); ++i)
        small[i] = static_cast<uint32_t>(i % 251);
    WriteFits8(byte8, 30, 20, small);
    WriteSbig(raw, 30, 20, BloomedPlane(30, 20, 5), false);
    WriteSbig(packed, 30, 20, BloomedPlane(30, 20, 6), true);

    CliRun run = RunCli({"info", "--json", mono, color, byte8, raw, packed});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.err.empty());
    std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 5u);

    const std::set<std::string> common = {"path", "format", "width", "height", "bits_per_pixel",
                                          "planes", "max_value", "stretch_low", "stretch_high"};
    std::set<std::string> fitsKeys = common;
    fitsKeys.insert({"bzero", "bscale"});
    std::set<std::string> sbigKeys = common;
    sbigKeys.insert("compressed");

    struct Expected {
        std::string path;
        const char* format;
        long long bits, planes, maxValue, bzero;
        bool compressed;
    };
    const Expected expected[] = {{mono, "FITS", 16, 1, 65535, 32768, false},
                                 {color, "FITS", 16, 3, 65535, 32768, false},
                                 {byte8, "FITS", 8, 1, 255, 0, false},
                                 {raw, "SBIG", 16, 1, 65535, 0, false},
                                 {packed, "SBIG", 16, 1, 65535, 0, true}};
    for (std::size_t k = 0; k < 5; ++k) {
        Object object = ParseLine(lines[k]);
        const Expected& e = expected[k];
        const bool fits = std::string(e.format) == "FITS";
        EXPECT_EQ(Keys(object), fits ? fitsKeys : sbigKeys) << lines[k];
        EXPECT_EQ(object["path"].text, e.path);
        EXPECT_EQ(object["format"].text, e.format);
        EXPECT_EQ(object["width"].number, 30);
        EXPECT_EQ(object["height"].number, 20);
        EXPECT_EQ(object["bits_per_pixel"].number, e.bits);
        EXPECT_EQ(object["planes"].number, e.planes);
        EXPECT_EQ(object["max_value"].number, e.maxValue);
        auto [low, high] = DesktopStretch(e.path);
        EXPECT_EQ(object["stretch_low"].number, low) << e.path;
        EXPECT_EQ(object["stretch_high"].number, high) << e.path;
        if (fits) {
            EXPECT_EQ(object["bzero"].kind, FlatJson::Value::Number);
            EXPECT_EQ(object["bzero"].number, e.bzero);
            EXPECT_EQ(object["bscale"].number, 1);
        } else {
            EXPECT_EQ(object["compressed"].kind, FlatJson::Value::Bool);
            EXPECT_EQ(object["compressed"].flag, e.compressed);
        }
    }
}

TEST(CliInfo, AwkwardPathsStillGiveValidJson)
{
    TempDir dir;
    // Quotes, a backslash, a control character, a newline and a byte that
    // is not UTF-8: the line must still parse.
    const std::string name = dir.Path(std::string("we\"ird\\ \x01 na\nme \xff \xc3\xa9.fit"));
    WriteFits16(name, 8, 8, {BloomedPlane(8, 8, 9)});
    CliRun run = RunCli({"info", "--json", name});
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(run.out.back(), '\n');
    Object object = ParseLine(run.out.substr(0, run.out.size() - 1));
    EXPECT_EQ(object["path"].text,
              dir.Path(std::string("we\"ird\\ \x01 na\nme \xef\xbf\xbd \xc3\xa9.fit")));
}

TEST(CliInfo, TextReportAndFailuresOfSingleFiles)
{
    TempDir dir;
    const std::string good = dir.Path("good.fit");
    const std::string bad = dir.Path("bad.fit");
    const std::string sbig = dir.Path("dark.237");
    WriteFits16(good, 12, 7, {BloomedPlane(12, 7, 1)});
    WriteBytes(bad, std::vector<uint8_t>(100, 'x'));
    WriteSbig(sbig, 12, 7, BloomedPlane(12, 7, 2), false);
    WriteBytes(dir.Path("notes.txt"), {'h', 'i'});

    CliRun run = RunCli({"info", good, bad, dir.Path("notes.txt"), dir.Path("missing.fit"), sbig});
    EXPECT_EQ(run.status, 1);
    std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 2u) << run.out;
    EXPECT_EQ(lines[0].rfind(good + ": FITS, 12 x 7, 16 bits per pixel, 1 plane, full scale 65535, "
                                    "BZERO 32768, BSCALE 1, stretch ", 0),
              0u)
        << lines[0];
    EXPECT_EQ(lines[1].rfind(sbig + ": SBIG, 12 x 7, 16 bits per pixel, 1 plane, full scale 65535, uncompressed, "
                                    "stretch ", 0),
              0u)
        << lines[1];
    // Each failure names its file, in the core's own words.
    EXPECT_NE(run.err.find(bad + ": Failed to read header.\n"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(dir.Path("notes.txt") + ": Not a FITS or SBIG Type 3 file name"), std::string::npos);
    EXPECT_NE(run.err.find(dir.Path("missing.fit") + ": "), std::string::npos) << run.err;
}
