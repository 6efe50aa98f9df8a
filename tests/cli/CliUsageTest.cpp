#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "CliTestFiles.h"

using namespace CliTest;

namespace {
bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}
}  // namespace

TEST(CliUsage, HelpAndVersionForProgramAndEveryCommand)
{
    for (const std::vector<std::string>& prefix :
         std::vector<std::vector<std::string>>{{}, {"info"}, {"remove-blooming"}, {"render"}}) {
        std::vector<std::string> help = prefix;
        help.push_back("--help");
        CliRun run = RunCli(help);
        EXPECT_EQ(run.status, 0) << help.size();
        EXPECT_TRUE(Contains(run.out, "Usage: dorvane-cli")) << run.out;
        EXPECT_TRUE(run.err.empty());

        std::vector<std::string> version = prefix;
        version.push_back("--version");
        run = RunCli(version);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out, "dorvane-cli " DORVANE_TEST_VERSION "\n");
    }
    // Help wins over missing operands.
    EXPECT_EQ(RunCli({"remove-blooming", "--help"}).status, 0);
    EXPECT_EQ(RunCli({"render", "-x", "--help"}).status, 2);
}

TEST(CliUsage, UnknownOptionsCommandsAndMissingValuesExitTwo)
{
    struct Case {
        std::vector<std::string> args;
        const char* expected;
    };
    const Case cases[] = {
        {{}, "no command given"},
        {{"frobnicate"}, "unknown command 'frobnicate'"},
        {{"--frob"}, "unknown option '--frob'"},
        {{"info", "--jsn", "a.fit"}, "unknown option '--jsn'"},
        {{"info"}, "no input file"},
        {{"info", "--json=yes", "a.fit"}, "option '--json' takes no value"},
        {{"remove-blooming", "--in-place", "--intensity"}, "option '--intensity' needs a value"},
        {{"remove-blooming", "-o"}, "option '-o' needs a value"},
        {{"remove-blooming", "-x", "a.fit"}, "unknown option '-x'"},
        {{"remove-blooming", "a.fit"}, "give --output PATH, or --in-place"},
        {{"remove-blooming", "--in-place", "-o", "b.fit", "a.fit"}, "--in-place and --output exclude each other"},
        {{"remove-blooming", "--in-place"}, "no input file"},
        {{"remove-blooming", "--in-place", "--planes", "rx", "a.fit"}, "--planes: use the letters r, g and b"},
        {{"remove-blooming", "--in-place", "--region", "1,2,3", "a.fit"}, "--region: give four integers"},
        {{"remove-blooming", "--in-place", "--region", "5,0,4,9", "a.fit"}, "RIGHT must not be less than LEFT"},
        {{"remove-blooming", "--in-place", "--red", "60000,5", "a.fit"}, "--red: give three values"},
        {{"remove-blooming", "--in-place", "--mask", "m.fits", "a.fit", "b.fit"}, "--mask takes one input file"},
        {{"remove-blooming", "--in-place", "--mask", "m", "--mask-dir", ".", "a.fit"}, "--mask and --mask-dir exclude"},
        {{"remove-blooming", "--in-place", "--report=", "a.fit"}, "--report: the path is empty"},
        {{"remove-blooming", "--in-place", "--history=yes", "a.fit"}, "option '--history' takes no value"},
        {{"remove-blooming", "--in-place", "--mask-dir", "/no/such/folder", "a.fit"}, "--mask-dir must name an existing"},
        {{"render", "a.fit"}, "--png OUT.png is required"},
        {{"render", "--png", "o.png"}, "no input file"},
        {{"render", "--png", "o.png", "a.fit", "b.fit"}, "one input file only"},
    };
    for (const Case& c : cases) {
        CliRun run = RunCli(c.args);
        EXPECT_EQ(run.status, 2) << c.expected;
        EXPECT_TRUE(Contains(run.err, c.expected)) << run.err;
        EXPECT_TRUE(Contains(run.err, "--help'.")) << run.err;
        EXPECT_TRUE(run.out.empty());
    }
}

TEST(CliUsage, ParameterBoundsAreThoseOfTheDialogs)
{
    struct Bound {
        const char* option;
        const char* low;
        const char* high;
        const char* message;
    };
    const Bound bounds[] = {
        {"--intensity", "1", "1000000", "Please enter an integer between 1 and 1000000."},
        {"--length", "1", "10000", "Please enter an integer between 1 and 10000."},
        {"--width", "1", "1000", "Please enter an integer between 1 and 1000."},
        {"--jobs", "1", "1024", "Please enter an integer between 1 and 1024."},
    };
    TempDir dir;
    for (const Bound& bound : bounds) {
        const std::string below = "0";
        const std::string above = std::to_string(std::stoll(bound.high) + 1);
        for (const std::string& refused : {below, above, std::string("99999999999999999999")}) {
            CliRun run = RunCli({"remove-blooming", "--in-place", bound.option, refused, "a.fit"});
            EXPECT_EQ(run.status, 2) << bound.option << " " << refused;
            EXPECT_TRUE(Contains(run.err, std::string(bound.option) + ": " + bound.message)) << run.err;
        }
        // Text that is not a whole number, as the dialogs' digit-only edits say.
        for (const std::string& refused : {std::string("12x"), std::string(""), std::string("-3"), std::string("1.5")}) {
            CliRun run = RunCli({"remove-blooming", "--in-place", bound.option, refused, "a.fit"});
            EXPECT_EQ(run.status, 2) << bound.option << " " << refused;
            EXPECT_TRUE(Contains(run.err, std::string(bound.option) + ": Please enter a positive integer.")) << run.err;
        }
        // The bounds themselves are accepted: the run gets as far as the
        // missing file, which is a failure of the file, not of the usage.
        for (const char* accepted : {bound.low, bound.high}) {
            CliRun run = RunCli({"remove-blooming", "--in-place", bound.option, accepted, dir.Path("none.fit")});
            EXPECT_EQ(run.status, 1) << bound.option << " " << accepted << run.err;
        }
    }
    CliRun run = RunCli({"remove-blooming", "--in-place", "--green", "60000,10001,2", "a.fit"});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(Contains(run.err, "--green: Length: Please enter an integer between 1 and 10000.")) << run.err;
    run = RunCli({"remove-blooming", "--in-place", "--blue", "0,5,2", "a.fit"});
    EXPECT_TRUE(Contains(run.err, "--blue: Intensity: Please enter an integer between 1 and 1000000.")) << run.err;
    run = RunCli({"remove-blooming", "--in-place", "--red", "1,1,1001", "a.fit"});
    EXPECT_TRUE(Contains(run.err, "--red: Width: Please enter an integer between 1 and 1000.")) << run.err;
    run = RunCli({"render", "--zoom", "1601", "--png", "o.png", "a.fit"});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(Contains(run.err, "--zoom: Please enter an integer between 1 and 1600.")) << run.err;
    run = RunCli({"render", "--min", "65536", "--png", "o.png", "a.fit"});
    EXPECT_TRUE(Contains(run.err, "--min: Please enter an integer between 0 and 65535.")) << run.err;
}

TEST(CliUsage, OutputPlansThatWouldReplaceInputsAreRefused)
{
    TempDir dir;
    const std::string a = dir.Path("a.fit");
    const std::string b = dir.Path("b.fit");
    const Plane plane = BloomedPlane(20, 20, 1);
    WriteFits16(a, 20, 20, {plane});
    WriteFits16(b, 20, 20, {plane});
    const std::vector<uint8_t> before = ReadBytes(a);

    CliRun run = RunCli({"remove-blooming", "-o", a, a});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(Contains(run.err, "the output would replace an input file")) << run.err;
    // Another spelling of the same file is the same file.
    run = RunCli({"remove-blooming", "-o", dir.Root() + "/./a.fit", a});
    EXPECT_EQ(run.status, 2);
    // The folder the inputs live in.
    run = RunCli({"remove-blooming", "-o", dir.Root(), a, b});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(ReadBytes(a), before);

    run = RunCli({"remove-blooming", "-o", dir.Path("out.fit"), a, b});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(Contains(run.err, "--output must name an existing folder")) << run.err;

    std::filesystem::create_directory(dir.Path("sub"));
    WriteFits16(dir.Path("sub/a.fit"), 20, 20, {plane});
    std::filesystem::create_directory(dir.Path("out"));
    run = RunCli({"remove-blooming", "-o", dir.Path("out"), a, dir.Path("sub/a.fit")});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(Contains(run.err, "two input files would write this same output")) << run.err;

    run = RunCli({"remove-blooming", "--in-place", a, dir.Root() + "//a.fit"});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(Contains(run.err, "the same file is named twice")) << run.err;
    EXPECT_FALSE(Exists(dir.Path("out/a.fit")));

    // Masks and the report replace no image, no folder and not each other.
    const std::string mask = dir.Path("m.fits");
    const std::pair<std::vector<std::string>, const char*> sidecars[] = {
        {{"--in-place", "--mask", a, a}, "the mask would replace an input or output file"},
        {{"-o", dir.Path("c.fit"), "--mask", dir.Root() + "/c.fit", a}, "the mask would replace an input or output"},
        {{"--in-place", "--mask-dir", dir.Path("out"), a, dir.Path("sub/a.fit")}, "two input files would write this"},
        {{"--in-place", "--mask", dir.Path("out"), a}, "is a folder; give a file name, or use --mask-dir"},
        {{"--in-place", "--report", dir.Path("out"), a}, "is a folder; give a file name"},
        {{"--in-place", "--report", b, a, b}, "the report would replace an input, output or mask file"},
        {{"--in-place", "--mask", mask, "--report", mask, a}, "the report would replace an input, output or mask"},
    };
    for (const auto& [options, expected] : sidecars) {
        std::vector<std::string> args = {"remove-blooming"};
        args.insert(args.end(), options.begin(), options.end());
        run = RunCli(args);
        EXPECT_EQ(run.status, 2) << expected;
        EXPECT_TRUE(Contains(run.err, expected)) << run.err;
    }
    EXPECT_FALSE(Exists(mask));

    // Files are compared as files: another name of the input (a hard link
    // here, a bind mount elsewhere) is the input.
    ASSERT_EQ(::link(a.c_str(), dir.Path("out/a.fit").c_str()), 0);
    run = RunCli({"remove-blooming", "-o", dir.Path("out/a.fit"), a});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(Contains(run.err, "the output would replace an input file")) << run.err;
    // render's picture may not replace its input either, however it is named.
    ASSERT_EQ(::symlink(a.c_str(), dir.Path("link.fit").c_str()), 0);
    for (const std::string& png : {a, dir.Root() + "/./a.fit", dir.Path("link.fit"), dir.Path("out/a.fit")}) {
        run = RunCli({"render", a, "--png", png});
        EXPECT_EQ(run.status, 2) << png;
        EXPECT_TRUE(Contains(run.err, "the output would replace the input file")) << run.err;
    }
    EXPECT_EQ(ReadBytes(a), before);
}
