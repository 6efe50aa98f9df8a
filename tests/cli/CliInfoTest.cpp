#include <gtest/gtest.h>

#include <sstream>

#include "CliFixture.h"
#include "image/CAstroImage.h"
#include "image/CDorvaneDoc.h"
#include "support/CCollectingMessageSink.h"
#include "support/CMemorySettings.h"
#include "support/CSharedState.h"

using namespace CliTest;

namespace {
// The automatic stretch the desktop program computes on opening the file,
// as JSON members.
std::string DesktopStretch(const std::string& path)
{
    CSharedState shared;
    shared.m_nDisplayBpp = 32;
    CCollectingMessageSink messages;
    CMemorySettings settings;
    CDorvaneDoc doc(shared, messages, settings);
    EXPECT_TRUE(doc.OnOpenDocument(path)) << path;
    return "\"stretch_low\":" + std::to_string(doc.m_pImage->m_stretchLow) +
           ",\"stretch_high\":" + std::to_string(doc.m_pImage->m_stretchHigh);
}
}  // namespace

TEST(CliInfo, JsonAndTextLinesForEveryFormatAndFailuresOfSingleFiles)
{
    TempDir dir;
    // Quotes, a backslash, control characters and a byte that is not UTF-8
    // in a name: the line must still be JSON.
    const std::string awkward = "we\"ird\\ \x01 na\nme \xff \xc3\xa9.fit";
    const std::vector<std::string> names = {"mono.fits", "color.fts", "byte.fit", "raw.st7", "packed.ST8", awkward};
    WriteFits(dir.Path(names[0]), 30, 20, {BloomedPlane(30, 20, 1)});
    WriteFits(dir.Path(names[1]), 30, 20, {BloomedPlane(30, 20, 2), BloomedPlane(30, 20, 3), BloomedPlane(30, 20, 4)});
    Plane small(30 * 20);
    for (std::size_t i = 0; i < small.size(); ++i)
        small[i] = static_cast<uint32_t>(i % 251);
    WriteFits(dir.Path(names[2]), 30, 20, {small}, 8, 0);
    WriteSbig(dir.Path(names[3]), 30, 20, BloomedPlane(30, 20, 5), false);
    WriteSbig(dir.Path(names[4]), 30, 20, BloomedPlane(30, 20, 6), true);
    WriteFits(dir.Path(names[5]), 30, 20, {BloomedPlane(30, 20, 9)});
    const std::string bad = dir.Path("bad.fit"), notes = dir.Path("notes.txt"), missing = dir.Path("missing.fit");
    WriteBytes(bad, Bytes(100, 'x'));
    WriteBytes(notes, {'h', 'i'});

    const std::string fits16 = "\"bits_per_pixel\":16,\"planes\":1,\"max_value\":65535,";
    const std::string fitsTail = ",\"bzero\":32768,\"bscale\":1}";
    const struct {
        std::string format, middle, tail;
    } expected[] = {
        {"\"FITS\",", fits16, fitsTail},
        {"\"FITS\",", "\"bits_per_pixel\":16,\"planes\":3,\"max_value\":65535,", fitsTail},
        {"\"FITS\",", "\"bits_per_pixel\":8,\"planes\":1,\"max_value\":255,", ",\"bzero\":0,\"bscale\":1}"},
        {"\"SBIG\",", fits16, ",\"compressed\":false}"},
        {"\"SBIG\",", fits16, ",\"compressed\":true}"},
        {"\"FITS\",", fits16, fitsTail},
    };
    std::vector<std::string> args = {"info", "--json"};
    for (const std::string& name : names)
        args.push_back(dir.Path(name));
    args.insert(args.end(), {bad, notes, missing});
    CliRun run = RunCli(args);
    EXPECT_EQ(run.status, 1);
    std::istringstream lines(run.out);
    for (std::size_t k = 0; k < names.size(); ++k) {
        const std::string path = k + 1 < names.size() ? dir.Path(names[k])
                                                      : dir.Path("we\\\"ird\\\\ \\u0001 na\\u000ame \\ufffd \xc3\xa9.fit");
        std::string line;
        std::getline(lines, line);
        EXPECT_EQ(line, "{\"path\":\"" + path + "\",\"format\":" + expected[k].format + "\"width\":30,\"height\":20," +
                            expected[k].middle + DesktopStretch(dir.Path(names[k])) + expected[k].tail);
    }
    EXPECT_TRUE(lines.peek() == EOF) << run.out;
    // Each failure names its file, in the core's own words.
    for (const std::string& failure :
         {bad + ": Failed to read header.\n", notes + ": Not a FITS or SBIG Type 3 file name", missing + ": "})
        EXPECT_TRUE(Has(run.err, failure)) << run.err;

    run = RunCli({"info", dir.Path(names[0]), dir.Path(names[3])});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.rfind(dir.Path(names[0]) + ": FITS, 30 x 20, 16 bits per pixel, 1 plane, full scale 65535, "
                                                  "BZERO 32768, BSCALE 1, stretch ", 0),
              0u)
        << run.out;
    EXPECT_TRUE(Has(run.out, "\n" + dir.Path(names[3]) + ": SBIG, 30 x 20, 16 bits per pixel, 1 plane, full scale "
                                                         "65535, uncompressed, stretch "))
        << run.out;
}
