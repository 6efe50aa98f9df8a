#include <gtest/gtest.h>

#include <sstream>

#include "CFileSession.h"
#include "CliFixture.h"
#include "image/CAstroImage.h"

using namespace CliTest;

TEST(CliInfo, JsonAndTextLinesForEveryFormatAndFailuresOfSingleFiles)
{
    CTempDir dir;
    // Quotes, a backslash, control characters, UTF-8 and what is not UTF-8
    // (a stray byte, overlong, surrogate and cut sequences) in a name: the
    // line must still be JSON.
    const std::string awkward = "we\"ird\\ \x01\x1f na\nme \xff \xc0\xaf \xe0\x80\xaf \xed\xa0\x80 \xe2\x82 "
                                "\xc3\xa9\xe2\x82\xac\xf0\x9f\x8c\x8c.fit";
    const std::vector<std::string> names = {"mono.fits", "color.fts", "byte.fit", "raw.st7", "packed.ST8", awkward};
    WriteFits(dir.File(names[0]), 30, 20, {BloomedPlane(30, 20, 1)});
    WriteFits(dir.File(names[1]), 30, 20, {BloomedPlane(30, 20, 2), BloomedPlane(30, 20, 3), BloomedPlane(30, 20, 4)});
    WriteFits(dir.File(names[2]), 30, 20, {Plane(30 * 20, 77)}, 8, 0);
    WriteSbig(dir.File(names[3]), 30, 20, BloomedPlane(30, 20, 5), false);
    WriteSbig(dir.File(names[4]), 30, 20, BloomedPlane(30, 20, 6), true);
    WriteFits(dir.File(names[5]), 30, 20, {BloomedPlane(30, 20, 9)});
    const std::string bad = dir.File("bad.fit"), notes = dir.File("notes.txt"), missing = dir.File("missing.fit");
    WriteBytes(bad, Bytes(100, 'x'));
    WriteBytes(notes, {'h', 'i'});

    // The format's own members, around the stretch the desktop program
    // computes on opening the file.
    const std::string fits16 = "16,\"planes\":1,\"max_value\":65535,", fitsTail = ",\"bzero\":32768,\"bscale\":1}";
    const std::string expected[][3] = {{"FITS", fits16, fitsTail},
                                       {"FITS", "16,\"planes\":3,\"max_value\":65535,", fitsTail},
                                       {"FITS", "8,\"planes\":1,\"max_value\":255,", ",\"bzero\":0,\"bscale\":1}"},
                                       {"SBIG", fits16, ",\"compressed\":false}"},
                                       {"SBIG", fits16, ",\"compressed\":true}"},
                                       {"FITS", fits16, fitsTail}};
    std::vector<std::string> args = {"info", "--json"};
    for (const std::string& name : names)
        args.push_back(dir.File(name));
    args.insert(args.end(), {bad, notes, missing});
    CliRun run = RunCli(args);
    EXPECT_EQ(run.status, 1);
    std::istringstream lines(run.out);
    for (std::size_t k = 0; k < names.size(); ++k) {
        const std::string path =
            dir.File(k + 1 < names.size() ? names[k]
                                      : "we\\\"ird\\\\ \\u0001\\u001f na\\u000ame \\ufffd \\ufffd\\ufffd "
                                        "\\ufffd\\ufffd\\ufffd \\ufffd\\ufffd\\ufffd \\ufffd\\ufffd "
                                        "\xc3\xa9\xe2\x82\xac\xf0\x9f\x8c\x8c.fit");
        CFileSession desktop(32);
        ASSERT_TRUE(desktop.m_doc.OnOpenDocument(dir.File(names[k])));
        std::string line;
        std::getline(lines, line);
        EXPECT_EQ(line, "{\"path\":\"" + path + "\",\"format\":\"" + expected[k][0] +
                            "\",\"width\":30,\"height\":20,\"bits_per_pixel\":" + expected[k][1] + "\"stretch_low\":" +
                            std::to_string(desktop.m_doc.m_pImage->m_stretchLow) + ",\"stretch_high\":" +
                            std::to_string(desktop.m_doc.m_pImage->m_stretchHigh) + expected[k][2]);
    }
    EXPECT_TRUE(lines.peek() == EOF) << run.out;
    // Each failure names its file, in the core's own words.
    for (const std::string& failure :
         {bad + ": Failed to read header.\n", notes + ": Not a FITS or SBIG Type 3 file name", missing + ": "})
        EXPECT_TRUE(Has(run.err, failure)) << run.err;

    run = RunCli({"info", dir.File(names[0]), dir.File(names[3])});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.rfind(dir.File(names[0]) + ": FITS, 30 x 20, 16 bits per pixel, 1 plane, full scale 65535, "
                                                  "BZERO 32768, BSCALE 1, stretch ", 0),
              0u)
        << run.out;
    EXPECT_TRUE(Has(run.out, dir.File(names[3]) + ": SBIG, 30 x 20, 16 bits per pixel, 1 plane, full scale "
                                                         "65535, uncompressed, stretch "))
        << run.out;
}
