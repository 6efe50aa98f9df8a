#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "CliFixture.h"

using namespace CliTest;

// Help and version exit 0 for the program and every command; every refusal
// of the command line itself exits 2, says why and touches no file (the
// files a plan names exist, so that only the plan is at fault).
TEST(CliUsage, HelpVersionAndEveryRefusalWithItsReasonAndExitStatus)
{
    CTempDir dir;
    const std::string a = dir.File("a.fit"), b = dir.File("b.fit"), out = dir.File("out");
    WriteFits(a, 20, 20, {BloomedPlane(20, 20, 1)});
    WriteFits(b, 20, 20, {BloomedPlane(20, 20, 1)});
    std::filesystem::create_directory(dir.File("sub"));
    std::filesystem::create_directory(out);
    WriteFits(dir.File("sub/a.fit"), 20, 20, {BloomedPlane(20, 20, 1)});
    std::filesystem::create_directory(dir.File("hard"));
    ASSERT_EQ(::link(a.c_str(), dir.File("hard/a.fit").c_str()), 0);  // another name of a.fit
    ASSERT_EQ(::symlink(a.c_str(), dir.File("link.fit").c_str()), 0);
    const Bytes before = ReadBytes(a);
    // "ARGUMENTS|REASON"; @ is the folder of the files.
    std::vector<std::string> cases;
    for (const char* command : {"", "info ", "remove-blooming ", "render "})
        cases.insert(cases.end(), {std::string(command) + "--help|Usage: dorvane-cli",
                                   std::string(command) + "--version|dorvane-cli " DORVANE_TEST_VERSION "\n"});
    cases.insert(cases.end(), {
        "|no command given", "frobnicate|unknown command 'frobnicate'", "--frob|unknown option '--frob'",
        "info --jsn a.fit|unknown option '--jsn'", "info|no input file", "render -x --help|unknown option '-x'",
        "info --json=yes a.fit|option '--json' takes no value", "remove-blooming a.fit|give --output PATH, or --in-",
        "remove-blooming --in-place --intensity|option '--intensity' needs a value",
        "remove-blooming --in-place -o b.fit a.fit|--in-place and --output exclude each other",
        "remove-blooming --in-place|no input file",
        "remove-blooming --in-place --planes rx a.fit|--planes: use the letters r, g and b",
        "remove-blooming --in-place --region 1,2,3 a.fit|--region: give four integers",
        "remove-blooming --in-place --region 5,0,4,9 a.fit|RIGHT must not be less than LEFT",
        "remove-blooming --in-place --red 60000,5 a.fit|--red: give three values",
        "remove-blooming --in-place --green 60000,10001,2 a.fit|--green: Length: Please enter an integer between 1 and "
        "10000.",
        "remove-blooming --in-place --blue 0,5,2 a.fit|--blue: Intensity: Please enter an integer between 1 and 100000",
        "remove-blooming --in-place --red 1,1,1001 a.fit|--red: Width: Please enter an integer between 1 and 1000.",
        "render --zoom 1601 --png o.png a.fit|--zoom: Please enter an integer between 1 and 1600.",
        "render --min 65536 --png o.png a.fit|--min: Please enter an integer between 0 and 65535.",
        "remove-blooming --in-place --mask m.fits a.fit b.fit|--mask takes one input file",
        "remove-blooming --in-place --mask m --mask-dir . a.fit|--mask and --mask-dir exclude",
        "remove-blooming --in-place --report= a.fit|--report: the path is empty",
        "remove-blooming --in-place --history=yes a.fit|option '--history' takes no value",
        "remove-blooming --in-place --mask-dir /no/such/folder a.fit|--mask-dir must name an existing",
        "render a.fit|--png OUT.png is required", "render --png o.png|no input file",
        "render --png o.png a.fit b.fit|one input file only",
        // Plans that would replace an input, however it is named.
        "remove-blooming -o @/a.fit @/a.fit|the output would replace an input file",
        "remove-blooming -o @/./a.fit @/a.fit|the output would replace an input file",
        "remove-blooming -o @/hard/a.fit @/a.fit|the output would replace an input file",
        "remove-blooming -o @ @/a.fit @/b.fit|the output would replace an input file",
        "remove-blooming -o @/new.fit @/a.fit @/b.fit|--output must name an existing folder",
        "remove-blooming -o @/out @/a.fit @/sub/a.fit|two input files would write this same output",
        "remove-blooming --in-place @/a.fit @//a.fit|the same file is named twice",
        "remove-blooming --in-place --mask @/a.fit @/a.fit|the mask would replace an input or output file",
        "remove-blooming -o @/c.fit --mask @/./c.fit @/a.fit|the mask would replace an input or output",
        "remove-blooming --in-place --mask-dir @/out @/a.fit @/sub/a.fit|two input files would write",
        "remove-blooming --in-place --mask @/out @/a.fit|is a folder; give a file name, or use --mask-dir",
        "remove-blooming --in-place --report @/out @/a.fit|is a folder; give a file name",
        "remove-blooming --in-place --report @/b.fit @/a.fit @/b.fit|the report would replace an input, output or mask",
        "remove-blooming --in-place --mask @/m.fits --report @/m.fits @/a.fit|the report would replace an input",
    });
    for (const char* png : {"@/a.fit", "@/./a.fit", "@/link.fit", "@/hard/a.fit"})
        cases.push_back("render @/a.fit --png " + std::string(png) + "|the output would replace the input file");
    // The parameters' bounds are the dialogs': one beyond each is refused.
    for (const auto& [option, high] : {std::pair{"--intensity", 1000000}, {"--length", 10000}, {"--width", 1000},
                                       {"--jobs", 1024}}) {
        const std::string prefix = std::string("remove-blooming --in-place ") + option;
        for (const std::string& refused : {std::string("0"), std::to_string(high + 1), std::string(20, '9')})
            cases.push_back(prefix + " " + refused + " a.fit|" + option + ": Please enter an integer between 1 and " +
                            std::to_string(high) + ".");
        for (const char* refused : {" 12x", " -3", " 1.5", "="})
            cases.push_back(prefix + refused + " a.fit|" + option + ": Please enter a positive integer.");
        // The bounds themselves pass: the run fails on the missing file.
        for (const std::string& accepted : {std::string("1"), std::to_string(high)})
            EXPECT_EQ(RunCli({"remove-blooming", "--in-place", option, accepted, dir.File("none.fit")}).status, 1)
                << option << " " << accepted;
    }
    for (const std::string& c : cases) {
        SCOPED_TRACE(c);
        std::vector<std::string> args;
        std::istringstream words(c.substr(0, c.find('|')));
        for (std::string word; words >> word;)
            args.push_back(word[0] == '@' ? dir.Path() + word.substr(1) : word);
        const std::string expected = c.substr(c.find('|') + 1);
        const CliRun run = RunCli(args);
        const bool help = expected.rfind("Usage: ", 0) == 0 || expected.rfind("dorvane-cli ", 0) == 0;
        EXPECT_EQ(run.status, help ? 0 : 2);
        EXPECT_TRUE(Has(help ? run.out : run.err, expected)) << run.out << run.err;
        EXPECT_TRUE(help ? run.err.empty() : Has(run.err, "--help'.") && run.out.empty()) << run.out << run.err;
    }
    EXPECT_EQ(ReadBytes(a), before);
    EXPECT_FALSE(std::filesystem::exists(dir.File("m.fits")));
    EXPECT_TRUE(std::filesystem::is_empty(out));
}
