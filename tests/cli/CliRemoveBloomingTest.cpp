#include <gtest/gtest.h>

#include <atomic>
#include <cctype>
#include <filesystem>
#include <sstream>

#include "CBloomFileJob.h"
#include "CFileSession.h"
#include "CRemoveBloomingCommand.h"
#include "CliTestFiles.h"
#include "DesktopReference.h"
#include "FlatJson.h"
#include "filter/IFilterStatus.h"
#include "image/CAstroImage.h"

using namespace CliTest;
using DesktopReference::Command;

namespace {
constexpr int32_t kW = 40;
constexpr int32_t kH = 36;

// Runs the command line on a copy of input and the desktop reference on
// another, and expects identical output files. Returns the reference's
// bloom pixel count.
long long ExpectSameAsDesktop(const TempDir& dir, const std::string& input, const std::vector<std::string>& options,
                              const Command& command)
{
    const std::string ext = std::filesystem::path(input).extension().string();
    const std::string cliOut = dir.Path("cli-out" + ext);
    const std::string refOut = dir.Path("ref-out" + ext);
    std::filesystem::remove(cliOut);
    std::vector<std::string> args = {"remove-blooming", "-q"};
    args.insert(args.end(), options.begin(), options.end());
    args.insert(args.end(), {"-o", cliOut, input});
    const std::vector<uint8_t> inputBefore = ReadBytes(input);
    CliRun run = RunCli(args);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.err.empty()) << run.err;
    long long bloom = DesktopReference::RunAndSave(input, refOut, command);
    EXPECT_GE(bloom, 0);
    EXPECT_EQ(ReadBytes(input), inputBefore) << "the input changed";
    std::vector<uint8_t> cli = ReadBytes(cliOut);
    std::vector<uint8_t> ref = ReadBytes(refOut);
    EXPECT_FALSE(ref.empty());
    EXPECT_TRUE(cli == ref) << "output differs from the desktop program's for " << input;
    return bloom;
}

// Value of column x, row y of a 16-bit big-endian FITS file's first plane
// (BZERO 32768, header of one block).
uint32_t Fits16Pixel(const std::vector<uint8_t>& bytes, int32_t width, int32_t x, int32_t y)
{
    std::size_t at = 2880 + 2 * (static_cast<std::size_t>(y) * width + x);
    return static_cast<uint32_t>(static_cast<int16_t>((bytes[at] << 8) | bytes[at + 1]) + 32768);
}
}  // namespace

TEST(CliRemoveBlooming, MonochromeOutputEqualsDesktopRunAndSave)
{
    TempDir dir;
    const std::string input = dir.Path("m42.fit");
    WriteFits16(input, kW, kH, {BloomedPlane(kW, kH, 3)});

    Command defaults;
    EXPECT_GT(ExpectSameAsDesktop(dir, input, {}, defaults), 0);

    Command tuned;
    tuned.mono = {50000, 3, 1};
    tuned.mirror = true;
    ExpectSameAsDesktop(dir, input, {"--intensity", "50000", "--length=3", "--width", "1", "--mirror"}, tuned);

    // The per-plane triples and --planes concern colour images only.
    Command region;
    region.mono = {60000, 5, 3};
    region.hasRegion = true;
    region.region = {4, 2, 30, 33};
    ExpectSameAsDesktop(dir, input,
                        {"--width", "3", "--region", "4,2,30,33", "--red", "1,1,1", "--planes", "g"}, region);
}

TEST(CliRemoveBlooming, ColourPlanesTakeTheirOwnParametersAndSelection)
{
    TempDir dir;
    const std::string input = dir.Path("rgb.fts");
    WriteFits16(input, kW, kH, {BloomedPlane(kW, kH, 1), BloomedPlane(kW, kH, 2), BloomedPlane(kW, kH, 3)});

    Command command;
    command.color[0] = {60000, 5, 2};
    command.color[1] = {50000, 3, 1};
    command.color[2] = {40000, 2, 3};
    ExpectSameAsDesktop(dir, input, {"--green", "50000,3,1", "--blue", "40000,2,3"}, command);

    // --width sets every plane unless a triple overrides it, in any order.
    Command mixed;
    mixed.color = {DesktopReference::Params{60000, 5, 1}, DesktopReference::Params{55000, 4, 2},
                   DesktopReference::Params{60000, 5, 1}};
    mixed.planes = {true, true, false};
    mixed.mirror = true;
    mixed.hasRegion = true;
    mixed.region = {3, 2, 25, 30};
    ExpectSameAsDesktop(dir, input,
                        {"--green", "55000,4,2", "--width", "1", "--planes", "rg", "--mirror", "--region", "3,2,25,30"},
                        mixed);

    // A plane left out stays as it was.
    const std::string out = dir.Path("green-only.fts");
    CliRun run = RunCli({"remove-blooming", "--planes", "G", "-o", out, input});
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<uint8_t> in = ReadBytes(input);
    std::vector<uint8_t> res = ReadBytes(out);
    ASSERT_EQ(in.size(), res.size());
    const std::size_t planeBytes = 2u * kW * kH;
    EXPECT_TRUE(std::equal(in.begin(), in.begin() + 2880 + planeBytes, res.begin()));
    EXPECT_FALSE(std::equal(in.begin() + 2880 + planeBytes, in.begin() + 2880 + 2 * planeBytes,
                            res.begin() + 2880 + planeBytes));
    EXPECT_TRUE(std::equal(in.begin() + 2880 + 2 * planeBytes, in.end(), res.begin() + 2880 + 2 * planeBytes));
}

TEST(CliRemoveBlooming, SbigAndEightBitFilesKeepTheirFormat)
{
    TempDir dir;
    const std::string packed = dir.Path("packed.st7");
    const std::string raw = dir.Path("raw.st8");
    const std::string byte8 = dir.Path("byte.fit");
    WriteSbig(packed, kW, kH, BloomedPlane(kW, kH, 4), true);
    WriteSbig(raw, kW, kH, BloomedPlane(kW, kH, 5), false);
    Plane small = BloomedPlane(kW, kH, 6, 20);
    for (uint32_t& v : small)
        v = v > 255 ? 250 : v;
    WriteFits8(byte8, kW, kH, small);

    Command defaults;
    EXPECT_GT(ExpectSameAsDesktop(dir, packed, {}, defaults), 0);
    EXPECT_GT(ExpectSameAsDesktop(dir, raw, {}, defaults), 0);
    Command bright;
    bright.mono = {240, 5, 2};
    EXPECT_GT(ExpectSameAsDesktop(dir, byte8, {"--intensity", "240"}, bright), 0);

    // Still compressed: the output's header announces it and info says so.
    const std::string out = dir.Path("again.st7");
    ASSERT_EQ(RunCli({"remove-blooming", "-o", out, packed}).status, 0);
    CliRun info = RunCli({"info", "--json", out});
    EXPECT_NE(info.out.find("\"compressed\":true"), std::string::npos) << info.out;
}

TEST(CliRemoveBlooming, RegionIsClippedAndMirroredWithThePlane)
{
    TempDir dir;
    const std::string input = dir.Path("frame.fit");
    WriteFits16(input, kW, kH, {BloomedPlane(kW, kH, 2)});

    // A region reaching past every border acts as the whole image.
    const std::string whole = dir.Path("whole.fit");
    const std::string clipped = dir.Path("clipped.fit");
    ASSERT_EQ(RunCli({"remove-blooming", "-o", whole, input}).status, 0);
    ASSERT_EQ(RunCli({"remove-blooming", "--region", "-50,-9,1000,2000", "-o", clipped, input}).status, 0);
    EXPECT_EQ(ReadBytes(whole), ReadBytes(clipped));
    // A region entirely outside the image changes nothing.
    const std::string outside = dir.Path("outside.fit");
    ASSERT_EQ(RunCli({"remove-blooming", "--region", "100,100,200,200", "-o", outside, input}).status, 0);
    EXPECT_EQ(ReadBytes(outside), ReadBytes(input));

    // With --mirror the selected columns are the ones filtered: the bloom at
    // columns 7..8 (seed 2) is inside [2, 16), the one near the middle is not.
    const std::string mirrored = dir.Path("mirrored.fit");
    ASSERT_EQ(RunCli({"remove-blooming", "--mirror", "--region", "2,0,16," + std::to_string(kH), "-o", mirrored, input})
                  .status,
              0);
    std::vector<uint8_t> in = ReadBytes(input);
    std::vector<uint8_t> out = ReadBytes(mirrored);
    int changedInside = 0;
    for (int32_t y = 0; y < kH; ++y)
        for (int32_t x = 0; x < kW; ++x) {
            bool same = Fits16Pixel(in, kW, x, y) == Fits16Pixel(out, kW, x, y);
            // The mirrored run may write one column beyond its rectangle,
            // which lies just left of the selection in image columns.
            if (x >= 1 && x < 16)
                changedInside += same ? 0 : 1;
            else
                EXPECT_TRUE(same) << "pixel " << x << "," << y << " outside the region changed";
        }
    EXPECT_GT(changedInside, 0);
}

TEST(CliRemoveBlooming, FailuresAreReportedAndTheOtherFilesStillProcessed)
{
    TempDir dir;
    std::filesystem::create_directory(dir.Path("out"));
    const std::string first = dir.Path("first.fit");
    const std::string bad = dir.Path("bad.fit");
    const std::string last = dir.Path("last.st7");
    WriteFits16(first, kW, kH, {BloomedPlane(kW, kH, 1)});
    WriteBytes(bad, std::vector<uint8_t>(3000, ' '));
    WriteSbig(last, kW, kH, BloomedPlane(kW, kH, 2), false);
    WriteBytes(dir.Path("list.txt"), {'h', 'i'});
    for (const char* jobs : {"1", "3"}) {
        CliRun run = RunCli({"remove-blooming", "-j", jobs, "-o", dir.Path("out"), first, bad, dir.Path("none.fit"),
                          dir.Path("list.txt"), last});
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find(bad + ": Failed to read header.\n"), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(dir.Path("none.fit") + ": "), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(dir.Path("list.txt") + ": Not a FITS or SBIG Type 3 file name"), std::string::npos);
        EXPECT_TRUE(Exists(dir.Path("out/first.fit")));
        EXPECT_TRUE(Exists(dir.Path("out/last.st7")));
        EXPECT_FALSE(Exists(dir.Path("out/bad.fit")));
        std::filesystem::remove(dir.Path("out/first.fit"));
        std::filesystem::remove(dir.Path("out/last.st7"));
    }
    // Nothing is left behind in the folder by the failed or finished saves.
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path("out")));
}

TEST(CliRemoveBlooming, InputsChangeOnlyInPlaceAndJobsDoNotChangeResults)
{
    TempDir dir;
    std::filesystem::create_directory(dir.Path("one"));
    std::filesystem::create_directory(dir.Path("many"));
    std::vector<std::string> inputs;
    std::vector<std::vector<uint8_t>> before;
    for (uint32_t k = 0; k < 6; ++k) {
        std::string path = dir.Path("f" + std::to_string(k) + (k % 2 ? ".st7" : ".fit"));
        if (k % 2)
            WriteSbig(path, kW, kH, BloomedPlane(kW, kH, k), k == 3);
        else
            WriteFits16(path, kW, kH, {BloomedPlane(kW, kH, k)});
        inputs.push_back(path);
        before.push_back(ReadBytes(path));
    }
    std::vector<std::string> args = {"remove-blooming", "--width", "1", "-j", "1", "-o", dir.Path("one")};
    args.insert(args.end(), inputs.begin(), inputs.end());
    ASSERT_EQ(RunCli(args).status, 0);
    args[4] = "4";
    args[6] = dir.Path("many");
    ASSERT_EQ(RunCli(args).status, 0);
    for (std::size_t k = 0; k < inputs.size(); ++k) {
        EXPECT_EQ(ReadBytes(inputs[k]), before[k]) << "input changed without --in-place";
        const std::string name = std::filesystem::path(inputs[k]).filename().string();
        std::vector<uint8_t> one = ReadBytes(dir.Path("one/" + name));
        EXPECT_EQ(one, ReadBytes(dir.Path("many/" + name)));
        EXPECT_NE(one, before[k]);
    }

    // --in-place rewrites each input with the same result.
    std::vector<std::string> inPlace = {"remove-blooming", "--width", "1", "--in-place", "-j", "2"};
    inPlace.insert(inPlace.end(), inputs.begin(), inputs.end());
    ASSERT_EQ(RunCli(inPlace).status, 0);
    for (const std::string& input : inputs)
        EXPECT_EQ(ReadBytes(input),
                  ReadBytes(dir.Path("one/" + std::filesystem::path(input).filename().string())));
}

TEST(CliRemoveBlooming, UnchangedPixelsAreWrittenBackByteForByte)
{
    TempDir dir;
    // Stored values that read back below zero: saving them again would not
    // give these bytes, so only a byte-for-byte copy keeps the file intact.
    std::vector<int16_t> stored(kW * kH);
    for (std::size_t i = 0; i < stored.size(); ++i)
        stored[i] = static_cast<int16_t>(static_cast<int>(i % 97) * 300 - 15000);
    const std::string input = dir.Path("signed.fit");
    WriteFits16Stored(input, kW, kH, stored);
    std::vector<uint8_t> original = ReadBytes(input);
    original.push_back('T');  // bytes after the data are kept too
    WriteBytes(input, original);

    const std::string out = dir.Path("copy.fit");
    CliRun run = RunCli({"remove-blooming", "--intensity", "1000000", "-o", out, input});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadBytes(out), original);
    run = RunCli({"remove-blooming", "--intensity", "1000000", "--in-place", input});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadBytes(input), original);

    // A colour image whose chosen planes hold no bloom is unchanged as well.
    const std::string rgb = dir.Path("rgb.fit");
    Plane flat(kW * kH, 1000);
    WriteFits16(rgb, kW, kH, {flat, BloomedPlane(kW, kH, 1), flat});
    const std::string rgbOut = dir.Path("rgb-out.fit");
    ASSERT_EQ(RunCli({"remove-blooming", "--planes", "rb", "-o", rgbOut, rgb}).status, 0);
    EXPECT_EQ(ReadBytes(rgbOut), ReadBytes(rgb));
}

TEST(CliRemoveBlooming, ProgressLinesAndSummaryOnlyOnATerminal)
{
    TempDir dir;
    std::filesystem::create_directory(dir.Path("out"));
    const std::string mono = dir.Path("mono.fit");
    const std::string rgb = dir.Path("rgb.fit");
    WriteFits16(mono, kW, kH, {BloomedPlane(kW, kH, 1)});
    WriteFits16(rgb, kW, kH, {BloomedPlane(kW, kH, 2), BloomedPlane(kW, kH, 3), BloomedPlane(kW, kH, 4)});
    Command defaults;
    long long bloom = DesktopReference::RunAndSave(mono, dir.Path("r1.fit"), defaults) +
                      DesktopReference::RunAndSave(rgb, dir.Path("r2.fit"), defaults);

    CliRun run = RunCli({"remove-blooming", "-j", "2", "-o", dir.Path("out"), mono, rgb}, true);
    ASSERT_EQ(run.status, 0) << run.err;
    for (const char* stage : {"Searching for bloom pixels.", "Searching for bloom pixels in Red plane.",
                              "Searching for bloom pixels in Green plane.", "Searching for bloom pixels in Blue plane.",
                              "Checking length of bloom pixels.", "Removing bloom pixels.", "Blending bloom pixels.",
                              " 100%"})
        EXPECT_NE(run.err.find(stage), std::string::npos) << stage;
    const std::string summary = "2 files, " + std::to_string(bloom) + " bloom pixels removed, ";
    const std::size_t at = run.err.rfind(summary);
    ASSERT_NE(at, std::string::npos) << run.err;
    EXPECT_EQ(run.err.find('\n', at), run.err.size() - 1) << "the summary is the last line";
    EXPECT_EQ(run.err.compare(run.err.size() - 3, 3, " s\n"), 0);
    EXPECT_TRUE(run.out.empty());

    run = RunCli({"remove-blooming", "-q", "-o", dir.Path("out"), mono, rgb}, true);
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.err.empty()) << run.err;
    run = RunCli({"remove-blooming", "--quiet", "-o", dir.Path("out"), dir.Path("missing.fit")}, true);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.rfind(dir.Path("missing.fit") + ": ", 0), 0u) << "failures are printed even when quiet";
    run = RunCli({"remove-blooming", "-o", dir.Path("out"), mono, dir.Path("missing.fit")}, true);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("2 files, 1 failed, "), std::string::npos) << run.err;
    run = RunCli({"remove-blooming", "-o", dir.Path("out"), mono, rgb}, false);
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.err.empty()) << run.err;
}

namespace {

// The planes of an image file as the core reads them (a mask file too).
std::vector<Plane> PlanesOf(const std::string& path)
{
    CFileSession session(0);
    EXPECT_TRUE(session.Open(path)) << path;
    const CAstroImage* image = session.m_doc.m_pImage;
    if (!image)
        return {};
    if (!image->m_isColor)
        return {image->m_red};
    return {image->m_red, image->m_green, image->m_blue};
}

// The counts a status window ends on, per plane run.
class CLastCounts : public IFilterStatus {
public:
    void Open(const std::string&) override { m_counts.emplace_back(0, 0); }
    void SetProgress(int) override {}
    void ShowDetectedCount(int count) override { m_counts.back().first = count; }
    void ShowLengthCheckCount(int count) override { m_counts.back().second = count; }
    void RevealLine(ELine) override {}
    void Close() override {}
    std::vector<std::pair<int, int>> m_counts;
};

long long Number(const FlatJson::Value& object, const char* key)
{
    const FlatJson::Value* value = object.Find(key);
    return value ? value->number : -1;
}

}  // namespace

TEST(CliRemoveBlooming, MaskHistoryAndReportDescribeWhatTheFilterDid)
{
    TempDir dir;
    std::filesystem::create_directory(dir.Path("out"));
    std::filesystem::create_directory(dir.Path("masks"));
    // Names a report must quote, one of them not UTF-8.
    const std::string mono = dir.Path("odd \"name\" \\ \xc3\xa9.fit");
    const std::string rgb = dir.Path("rgb\xff.fts");
    const std::string sbig = dir.Path("frame.st7");
    WriteFits16(mono, kW, kH, {BloomedPlane(kW, kH, 3)});
    WriteFits16(rgb, kW, kH, {BloomedPlane(kW, kH, 1), BloomedPlane(kW, kH, 2), BloomedPlane(kW, kH, 4)});
    WriteSbig(sbig, kW, kH, BloomedPlane(kW, kH, 5), false);
    const std::vector<std::string> inputs = {mono, rgb, sbig};
    // The region's last column holds a bloom (seed 3), which the status
    // window's counts leave out.
    const std::vector<std::string> options = {"--region", "0,0,24," + std::to_string(kH), "--green", "50000,3,1"};

    std::vector<std::string> args = {"remove-blooming", "-q", "-o", dir.Path("out"), "--mask-dir", dir.Path("masks"),
                                     "--history", "--report", dir.Path("report.json")};
    args.insert(args.end(), options.begin(), options.end());
    args.insert(args.end(), inputs.begin(), inputs.end());
    CliRun run = RunCli(args);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, sbig + ": SBIG Type 3 file: no history written\n");

    const std::vector<uint8_t> text = ReadBytes(dir.Path("report.json"));
    FlatJson::Value report;
    std::string error;
    ASSERT_TRUE(FlatJson::ParseValue(std::string(text.begin(), text.end()), report, error)) << error;
    ASSERT_EQ(report.items.size(), inputs.size());

    CBloomOptions parsed;
    CBloomOptionsParser parser;
    std::vector<std::string> parserArgs = options;
    parserArgs.insert(parserArgs.end(), {"--in-place", "x.fit"});
    ASSERT_TRUE(parser.Parse(parserArgs, parsed)) << parser.m_error;
    for (std::size_t k = 0; k < inputs.size(); ++k) {
        SCOPED_TRACE(inputs[k]);
        const FlatJson::Value& entry = report.items[k];
        const std::string name = std::filesystem::path(inputs[k]).filename().string();
        const std::string output = dir.Path("out/" + name);
        // A byte that is no UTF-8 reads as U+FFFD.
        EXPECT_EQ(entry.Find("output")->text, k == 1 ? dir.Path("out/rgb\xef\xbf\xbd.fts") : output);
        EXPECT_EQ(Number(entry, "width"), kW);

        // Pixels replaced: those that differ between input and output, as the
        // mask marks them and the report counts them.
        const std::vector<Plane> before = PlanesOf(inputs[k]);
        const std::vector<Plane> after = PlanesOf(output);
        const std::vector<Plane> mask = PlanesOf(dir.Path("masks/" + name + ".mask.fits"));
        ASSERT_EQ(mask.size(), before.size());
        long long replaced = 0;
        for (std::size_t p = 0; p < before.size(); ++p)
            for (std::size_t i = 0; i < before[p].size(); ++i) {
                replaced += before[p][i] != after[p][i];
                ASSERT_EQ(mask[p][i], before[p][i] != after[p][i] ? 1u : 0u) << "plane " << p << " pixel " << i;
            }
        EXPECT_GT(replaced, 0);
        EXPECT_EQ(Number(entry, "replaced"), replaced);

        // Detected and kept as the status window shows them, plane by plane.
        CFileSession session(0);
        ASSERT_TRUE(session.Open(inputs[k]));
        CLastCounts status;
        CFilterRunRecord record;
        CBloomFileJob(parsed, 1).FilterImage(*session.m_doc.m_pImage, session.m_shared, &status, record);
        const FlatJson::Value& planes = *entry.Find("planes");
        ASSERT_EQ(planes.items.size(), status.m_counts.size());
        for (std::size_t p = 0; p < planes.items.size(); ++p) {
            EXPECT_EQ(Number(planes.items[p], "detected"), status.m_counts[p].first) << "plane " << p;
            EXPECT_EQ(Number(planes.items[p], "kept"), status.m_counts[p].second) << "plane " << p;
        }

        // FITS outputs name the run in HISTORY cards; the SBIG one is as
        // without the option.
        const std::vector<uint8_t> bytes = ReadBytes(output);
        const std::string header(bytes.begin(), bytes.begin() + 2880);
        const bool history = header.find("HISTORY Remove Blooming by dorvane-cli " DORVANE_TEST_VERSION " on ") !=
                             std::string::npos;
        EXPECT_EQ(history, k < 2);
    }
    std::vector<std::string> plain = {"remove-blooming", "-q", "-o", dir.Path("plain.st7")};
    plain.insert(plain.end(), options.begin(), options.end());
    plain.push_back(sbig);
    ASSERT_EQ(RunCli(plain).status, 0);
    EXPECT_EQ(ReadBytes(dir.Path("plain.st7")), ReadBytes(dir.Path("out/frame.st7")));
}

namespace {
// The real file system, except that the flush or the rename of one output
// fails, as a failing device refuses them once every byte is written.
class CFailingCommitOps : public CPosixFileOps {
public:
    CFailingCommitOps(std::string output, bool failFlush) : m_output(std::move(output)), m_failFlush(failFlush) {}

    int CreateExclusive(const std::string& path) override
    {
        const int fd = CPosixFileOps::CreateExclusive(path);
        const std::filesystem::path target(m_output);
        const std::string prefix = (target.parent_path() / ("." + target.filename().string() + ".")).string();
        if (path.rfind(prefix, 0) == 0)
            m_outputFd = fd;
        return fd;
    }
    bool Sync(int fd) override
    {
        // Once: a later file may get the same descriptor number.
        int output = fd;
        if (m_failFlush && m_outputFd.compare_exchange_strong(output, -1))
            return false;
        return CPosixFileOps::Sync(fd);
    }
    bool Rename(const std::string& from, const std::string& to) override
    {
        return !(!m_failFlush && to == m_output) && CPosixFileOps::Rename(from, to);
    }

private:
    const std::string m_output;
    const bool m_failFlush;
    std::atomic<int> m_outputFd{-1};
};
}  // namespace

TEST(CliRemoveBlooming, AFailedFlushOrRenameFailsItsFileOnlyAndNeverReportsItDone)
{
    TempDir dir;
    const std::string out = dir.Path("out");
    std::filesystem::create_directory(out);
    const std::vector<std::string> inputs = {dir.Path("a.fit"), dir.Path("bad.fit"), dir.Path("c.st7")};
    WriteFits16(inputs[0], kW, kH, {BloomedPlane(kW, kH, 1)});
    WriteSbig(inputs[2], kW, kH, BloomedPlane(kW, kH, 3), false);
    // Reported done, the file would be followed by its count of bloom pixels.
    auto reportedDone = [&](const std::string& err) {
        const std::string name = inputs[1] + ": ";
        for (std::size_t at = err.find(name); at != std::string::npos; at = err.find(name, at + 1))
            if (std::isdigit(static_cast<unsigned char>(err[at + name.size()])))
                return true;
        return false;
    };
    for (const bool failFlush : {true, false}) {
        for (const char* jobs : {"1", "2"}) {
            SCOPED_TRACE(std::string(failFlush ? "flush" : "rename") + ", -j " + jobs);
            // The failing rename is that of a copy: a file the filter leaves
            // unchanged.
            WriteFits16(inputs[1], kW, kH, {failFlush ? BloomedPlane(kW, kH, 2) : Plane(kW * kH, 1000)});
            CFailingCommitOps ops(out + "/bad.fit", failFlush);
            std::vector<std::string> args = {"-j", jobs, "-o", out};
            args.insert(args.end(), inputs.begin(), inputs.end());
            std::ostringstream stdoutText, stderrText;
            CCliIo io{stdoutText, stderrText, true};
            EXPECT_EQ(CRemoveBloomingCommand::Run(args, io, -1, ops), 1);
            const std::string err = stderrText.str();
            EXPECT_NE(err.find(inputs[1] + ": Failed to close file.\n"), std::string::npos) << err;
            EXPECT_FALSE(reportedDone(err)) << err;
            EXPECT_NE(err.find("3 files, 1 failed, "), std::string::npos) << err;
            // Every other output is in place once the command returns, and
            // nothing else is left in the folder.
            std::vector<std::string> names;
            for (const auto& entry : std::filesystem::directory_iterator(out))
                names.push_back(entry.path().filename().string());
            std::sort(names.begin(), names.end());
            EXPECT_EQ(names, (std::vector<std::string>{"a.fit", "c.st7"}));
            std::filesystem::remove_all(out);
            std::filesystem::create_directory(out);
        }
    }
}
