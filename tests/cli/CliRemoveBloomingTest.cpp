#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <filesystem>
#include <sstream>

#include "CFileSession.h"
#include "CRemoveBloomingCommand.h"
#include "CliFixture.h"
#include "image/CAstroImage.h"

using namespace CliTest;
namespace fs = std::filesystem;

namespace {
constexpr int32_t kW = 40;
constexpr int32_t kH = 36;

// The planes of an image file as the core reads them (a mask file too).
std::vector<Plane> PlanesOf(const std::string& path)
{
    CFileSession session(0);
    EXPECT_TRUE(session.Open(path)) << path;
    const CAstroImage* image = session.m_doc.m_pImage;
    if (!image || !image->m_isColor)
        return image ? std::vector<Plane>{image->m_red} : std::vector<Plane>{};
    return {image->m_red, image->m_green, image->m_blue};
}

}  // namespace

TEST(CliRemoveBlooming, OutputEqualsTheDesktopRunAndSaveInEveryFormat)
{
    CTempDir dir;
    const std::string mono = dir.File("m42.fit"), rgb = dir.File("rgb.fts"), byte8 = dir.File("byte.fit");
    WriteFits(mono, kW, kH, {BloomedPlane(kW, kH, 3)});
    WriteFits(rgb, kW, kH, {BloomedPlane(kW, kH, 1), BloomedPlane(kW, kH, 2), BloomedPlane(kW, kH, 3)});
    Plane small = BloomedPlane(kW, kH, 6, 20);
    std::transform(small.begin(), small.end(), small.begin(), [](uint32_t v) { return std::min(v, 250u); });
    WriteFits(byte8, kW, kH, {small}, 8, 0);
    WriteSbig(dir.File("packed.st7"), kW, kH, BloomedPlane(kW, kH, 4), true);
    WriteSbig(dir.File("raw.st8"), kW, kH, BloomedPlane(kW, kH, 5), false);
    // Wider than high, with a bloom at column 34: a clip that mixed up the
    // two sides would leave it.
    const std::string wide = dir.File("wide.fit"), flatRgb = dir.File("flat.fit");
    WriteFits(flatRgb, kW, kH, {Plane(kW * kH, 1000), BloomedPlane(kW, kH, 1), Plane(kW * kH, 1000)});
    WriteFits(wide, 64, 24, {BloomedPlane(64, 24, 2)});
    using P = Params;
    const std::tuple<std::string, std::vector<std::string>, Command> cases[] = {
        {mono, {}, {}},
        {mono, {"--intensity", "50000", "--length=3", "--width", "1", "--mirror"}, {{P{50000, 3, 1}}, {}, true}},
        // The per-plane triples and --planes concern colour images only.
        {mono, {"--width", "3", "--region", "4,2,30,33", "--red", "1,1,1", "--planes", "g"},
         {.params = {P{60000, 5, 3}}, .region = CRegion{4, 2, 30, 33}}},
        {rgb, {"--green", "50000,3,1", "--blue", "40000,2,3"}, {{P{}, P{50000, 3, 1}, P{40000, 2, 3}}}},
        // --width sets every plane unless a triple overrides it, in any order.
        {rgb, {"--green", "55000,4,2", "--width", "1", "--planes", "rb", "--mirror", "--region", "3,2,25,30"},
         {{P{60000, 5, 1}, P{55000, 4, 2}, P{60000, 5, 1}}, {true, false, true}, true, CRegion{3, 2, 25, 30}}},
        {rgb, {"--planes", "G"}, {.planes = {false, true, false}}},
        // Unchanged when the chosen planes hold no bloom; changed when only
        // the first chosen one holds none.
        {flatRgb, {"--planes", "rb"}, {.planes = {true, false, true}}},
        {flatRgb, {"--planes", "rg"}, {.planes = {true, true, false}}},
        {dir.File("packed.st7"), {}, {}},
        {dir.File("raw.st8"), {}, {}},
        {byte8, {"--intensity", "240"}, {{P{240, 5, 2}}}},
        // A region past every border is the whole image; one outside it, or
        // an empty one, none.
        {wide, {"--region", "-50,-9,1000,2000"}, {}},
        {wide, {"--region", "100,100,200,200"}, {.region = CRegion{}}},
        {wide, {"--region", "9,0,9,24"}, {.region = CRegion{9, 0, 9, 24}}},
        // With --mirror the selected columns are the ones filtered.
        {wide, {"--mirror", "--region", "2,0,16,24"}, {.mirror = true, .region = CRegion{2, 0, 16, 24}}},
    };
    for (const auto& [input, options, command] : cases) {
        SCOPED_TRACE(input + " " + ::testing::PrintToString(options));
        const std::string ext = fs::path(input).extension().string();
        const std::string cliOut = dir.File("cli-out" + ext), refOut = dir.File("ref-out" + ext);
        fs::remove(cliOut);
        std::vector<std::string> args = {"remove-blooming", "-q", "-o", cliOut, input};
        args.insert(args.begin() + 2, options.begin(), options.end());
        const Bytes before = ReadBytes(input);
        const CliRun run = RunCli(args);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(run.err.empty()) << run.err;
        EXPECT_GE(DesktopRunAndSave(input, refOut, command), 0);
        EXPECT_EQ(ReadBytes(input), before) << "the input changed";
        EXPECT_TRUE(ReadBytes(cliOut) == ReadBytes(refOut)) << "output differs from the desktop program's";
    }
}

TEST(CliRemoveBlooming, BatchesGoOnPastFailedFilesAndJobsOrInPlaceDoNotChangeResults)
{
    CTempDir dir;
    std::vector<std::string> inputs;
    for (uint32_t k = 0; k < 6; ++k) {
        inputs.push_back(dir.File(std::to_string(k) + (k % 2 ? ".st7" : ".fit")));
        if (k % 2)
            WriteSbig(inputs.back(), kW, kH, BloomedPlane(kW, kH, k), k == 3);
        else
            WriteFits(inputs.back(), kW, kH, {BloomedPlane(kW, kH, k)});
    }
    // No bloom, and stored values that read back below zero: saving them
    // again would not give these bytes, only a byte-for-byte copy does (the
    // bytes after the data included).
    Plane stored(kW * kH);
    for (std::size_t i = 0; i < stored.size(); ++i)
        stored[i] = static_cast<uint16_t>(static_cast<int>(i % 97) * 300 - 15000);
    const std::string same = dir.File("same.fit");
    WriteFits(same, kW, kH, {stored}, 16, 0);
    Bytes original = ReadBytes(same);
    original.push_back('T');
    WriteBytes(same, original);
    inputs.push_back(same);
    std::vector<Bytes> before;
    for (const std::string& input : inputs)
        before.push_back(ReadBytes(input));
    const std::string bad = dir.File("bad.fit"), none = dir.File("none.fit"), list = dir.File("list.txt");
    WriteBytes(bad, Bytes(3000, ' '));
    WriteBytes(list, {'h', 'i'});
    for (const std::string jobs : {"-j1", "-j4"}) {
        fs::create_directory(dir.File(jobs));
        std::vector<std::string> args = {"remove-blooming", "--width=1", jobs, "-o", dir.File(jobs), bad, none, list};
        args.insert(args.begin() + 6, inputs.begin(), inputs.end());
        const CliRun run = RunCli(args);
        EXPECT_EQ(run.status, 1);
        for (const std::string& failure :
             {bad + ": Failed to read header.\n", none + ": ", list + ": Not a FITS or SBIG Type 3 file name"})
            EXPECT_TRUE(Has(run.err, failure)) << run.err;
    }
    EXPECT_EQ(Names(dir.File("-j1")), (std::vector<std::string>{"0.fit", "1.st7", "2.fit", "3.st7", "4.fit",
                                                               "5.st7", "same.fit"}));
    EXPECT_EQ(Names(dir.File("-j4")), Names(dir.File("-j1")));
    for (std::size_t k = 0; k < inputs.size(); ++k) {
        EXPECT_EQ(ReadBytes(inputs[k]), before[k]) << "input changed without --in-place";
        const std::string name = fs::path(inputs[k]).filename().string();
        const Bytes one = ReadBytes(dir.File("-j1/" + name));
        EXPECT_EQ(one, ReadBytes(dir.File("-j4/" + name))) << name;
        EXPECT_EQ(one == before[k], inputs[k] == same) << name;
    }
    // --in-place rewrites each input with the same result; a report that
    // cannot be written fails the run all the same.
    std::vector<std::string> inPlace = {"remove-blooming", "--width", "1", "--in-place", "-j", "2", "--report",
                                        dir.File("no/such/r.json")};
    inPlace.insert(inPlace.end(), inputs.begin(), inputs.end());
    EXPECT_EQ(RunCli(inPlace).status, 1);
    for (const std::string& input : inputs)
        EXPECT_EQ(ReadBytes(input), ReadBytes(dir.File("-j1/" + fs::path(input).filename().string()))) << input;
    // A mask that cannot be written (a folder holds its name) fails its file.
    fs::create_directories(dir.File("masks/0.fit.mask.fits"));
    const CliRun run = RunCli({"remove-blooming", "--mask-dir", dir.File("masks"), "-o", dir.File("x.fit"), inputs[0]});
    EXPECT_TRUE(run.status == 1 && Has(run.err, "0.fit") && Hidden(dir.File("masks")).empty()) << run.err;
    EXPECT_TRUE(Hidden(dir.Path()).empty());
}

TEST(CliRemoveBlooming, ProgressLinesAndSummaryOnlyOnATerminal)
{
    CTempDir dir;
    fs::create_directory(dir.File("out"));
    const std::string mono = dir.File("mono.fit"), rgb = dir.File("rgb.fit"), missing = dir.File("missing.fit");
    WriteFits(mono, kW, kH, {BloomedPlane(kW, kH, 1)});
    WriteFits(rgb, kW, kH, {BloomedPlane(kW, kH, 2), BloomedPlane(kW, kH, 3), BloomedPlane(kW, kH, 4)});
    const long long bloom = DesktopRunAndSave(mono, dir.File("r1.fit"), {}) +
                            DesktopRunAndSave(rgb, dir.File("r2.fit"), {});
    // {arguments, stderr a terminal, what stderr holds (nothing when empty)}
    for (const auto& [args, terminal, err] :
         {std::tuple{std::vector<std::string>{"-j", "2", mono, rgb}, true,
                     "2 files, " + std::to_string(bloom) + " bloom pixels removed, "},
          {{"-q", mono, rgb}, true, ""},
          {{mono, rgb}, false, ""},
          {{"--quiet", missing}, true, missing + ": "},  // failures are printed even when quiet
          {{mono, missing}, true, "2 files, 1 failed, "}}) {
        std::vector<std::string> all = {"remove-blooming", "-o", dir.File("out")};
        all.insert(all.end(), args.begin(), args.end());
        const CliRun run = RunCli(all, terminal);
        EXPECT_EQ(run.status, Has(err, "failed") || Has(err, missing) ? 1 : 0);
        EXPECT_TRUE(err.empty() ? run.err.empty() : Has(run.err, err)) << run.err;
        EXPECT_TRUE(args[0] != "--quiet" || run.err.rfind(err, 0) == 0) << run.err;
        // The summary is the last line, after the progress of every plane.
        EXPECT_TRUE(!Has(err, " files, ") || run.err.find('\n', run.err.rfind(err)) == run.err.size() - 1) << run.err;
        EXPECT_EQ(Has(run.err, "Searching for bloom pixels in Blue plane."), args[0] == "-j");
        EXPECT_TRUE(run.out.empty());
    }
}

TEST(CliRemoveBlooming, MaskHistoryAndReportDescribeWhatTheFilterDid)
{
    CTempDir dir;
    fs::create_directory(dir.File("out"));
    fs::create_directory(dir.File("masks"));
    // Names a report must quote, one of them not UTF-8, as JSON shows them.
    const std::vector<std::pair<std::string, std::string>> inputs = {
        {"odd \"name\" \\ \xc3\xa9.fit", "odd \\\"name\\\" \\\\ \xc3\xa9.fit"},
        {"rgb\xff.fts", "rgb\\ufffd.fts"},
        {"frame.st7", "frame.st7"}};
    WriteFits(dir.File(inputs[0].first), kW, kH, {BloomedPlane(kW, kH, 3)});
    WriteFits(dir.File(inputs[1].first), kW, kH,
              {BloomedPlane(kW, kH, 1), BloomedPlane(kW, kH, 2), BloomedPlane(kW, kH, 4)});
    WriteSbig(dir.File(inputs[2].first), kW, kH, BloomedPlane(kW, kH, 5), false);
    // The region's last column holds a bloom (seed 3), which the status
    // window's counts leave out.
    const Command command{{Params{}, Params{50000, 3, 1}, Params{}}, {true, true, true}, false, CRegion{0, 0, 24, kH}};
    std::vector<std::string> args = {"remove-blooming", "-q", "-o", dir.File("out"), "--mask-dir", dir.File("masks"),
                                     "--history", "--report", dir.File("report.json"), "--region",
                                     "0,0,24," + std::to_string(kH), "--green", "50000,3,1"};
    for (const auto& input : inputs)
        args.push_back(dir.File(input.first));
    const CliRun run = RunCli(args);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, dir.File("frame.st7") + ": SBIG Type 3 file: no history written\n");

    // One entry a line, between the brackets of one array.
    std::istringstream report(Text(dir.File("report.json")));
    std::string line;
    ASSERT_TRUE(std::getline(report, line) && line == "[") << report.str();
    for (std::size_t k = 0; k < inputs.size() && std::getline(report, line); ++k) {
        SCOPED_TRACE(inputs[k].first);
        EXPECT_EQ(line.substr(line.rfind('}')), k + 1 < inputs.size() ? "}," : "}");
        const std::string input = dir.File(inputs[k].first), output = dir.File("out/" + inputs[k].first);
        EXPECT_TRUE(Has(line, "\"output\":\"" + dir.File("out/" + inputs[k].second) + "\",")) << line;
        // Pixels replaced: those that differ between input and output, as the
        // mask marks them and the report counts them; detected and kept as
        // the status window shows them.
        std::vector<std::pair<int, int>> shown;
        ASSERT_GT(DesktopRunAndSave(input, dir.File("ref" + fs::path(input).extension().string()), command, &shown),
                  0);
        const std::vector<Plane> before = PlanesOf(input), after = PlanesOf(output);
        const std::vector<Plane> mask = PlanesOf(dir.File("masks/" + inputs[k].first + ".mask.fits"));
        ASSERT_EQ(mask.size(), before.size());
        long long detected = 0, kept = 0, replaced = 0;
        for (std::size_t p = 0; p < before.size(); ++p) {
            for (std::size_t i = 0; i < before[p].size(); ++i) {
                replaced += before[p][i] != after[p][i];
                ASSERT_EQ(mask[p][i], before[p][i] != after[p][i] ? 1u : 0u) << "plane " << p << " pixel " << i;
            }
            detected += shown.at(p).first;
            kept += shown.at(p).second;
        }
        EXPECT_TRUE(Has(line, ",\"detected\":" + std::to_string(detected) + ",\"kept\":" + std::to_string(kept) +
                                  ",\"replaced\":" + std::to_string(replaced) + ",\"changed\":true,\"mask\":\"" +
                                  dir.File("masks/" + inputs[k].second + ".mask.fits") + "\""))
            << line;
        // FITS outputs name the run in HISTORY cards; the SBIG one is as
        // without the option.
        EXPECT_EQ(Has(Text(output), "HISTORY Remove Blooming by dorvane-cli " DORVANE_TEST_VERSION " on "),
                  k < 2);
    }
    EXPECT_TRUE(std::getline(report, line) && line == "]" && !std::getline(report, line)) << report.str();
    // A report alone describes the run as well.
    ASSERT_EQ(RunCli({"remove-blooming", "-o", dir.File("alone.st7"), "--report", dir.File("alone.json"),
                      dir.File("frame.st7")}).status, 0);
    EXPECT_TRUE(Has(Text(dir.File("alone.json")), "\"planes\":[{\"plane\":")) << Text(dir.File("alone.json"));
    EXPECT_EQ(ReadBytes(dir.File("ref.st7")), ReadBytes(dir.File("out/frame.st7")));
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
        const fs::path target(m_output);
        if (path.rfind(target.parent_path().string() + "/." + target.filename().string() + ".", 0) == 0)
            m_outputFd = fd;
        return fd;
    }
    bool Sync(int fd) override
    {
        // Once: a later file may get the same descriptor number.
        int output = fd;
        return !(m_failFlush && m_outputFd.compare_exchange_strong(output, -1)) && CPosixFileOps::Sync(fd);
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
    CTempDir dir;
    const std::string out = dir.File("out"), bad = dir.File("bad.fit");
    WriteFits(dir.File("a.fit"), kW, kH, {BloomedPlane(kW, kH, 1)});
    WriteSbig(dir.File("c.st7"), kW, kH, BloomedPlane(kW, kH, 3), false);
    for (const auto& [failFlush, jobs] : {std::pair{true, "1"}, {true, "2"}, {false, "1"}, {false, "2"}}) {
        SCOPED_TRACE(std::string(failFlush ? "flush" : "rename") + ", -j " + jobs);
        fs::remove_all(out);
        fs::create_directory(out);
        // The failing rename is that of a copy: a file the filter leaves
        // unchanged.
        WriteFits(bad, kW, kH, {failFlush ? BloomedPlane(kW, kH, 2) : Plane(kW * kH, 1000)});
        CFailingCommitOps ops(out + "/bad.fit", failFlush);
        std::ostringstream stdoutText, stderrText;
        CCliIo io{stdoutText, stderrText, true};
        EXPECT_EQ(CRemoveBloomingCommand::Run({"-j", jobs, "-o", out, dir.File("a.fit"), bad, dir.File("c.st7")}, io,
                                              -1, ops),
                  1);
        const std::string err = stderrText.str();
        EXPECT_TRUE(Has(err, bad + ": Failed to close file.\n") && Has(err, "3 files, 1 failed, ")) << err;
        // Reported done, the file would be followed by its count.
        for (std::size_t at = err.find(bad + ": "); at != std::string::npos; at = err.find(bad + ": ", at + 1))
            EXPECT_FALSE(std::isdigit(static_cast<unsigned char>(err[at + bad.size() + 2]))) << err;
        // Every other output is in place once the command returns, and
        // nothing else is left in the folder.
        EXPECT_EQ(Names(out), (std::vector<std::string>{"a.fit", "c.st7"}));
    }
}
