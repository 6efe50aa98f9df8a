// What only the running program shows: signals, resource limits, its own
// standard output, named pipes and devices. Each run is bounded in time.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "CliFixture.h"

using namespace CliTest;
namespace fs = std::filesystem;

namespace {
constexpr int32_t kW = 40;
constexpr int32_t kH = 36;

// File type and device number, symbolic links followed.
std::pair<mode_t, dev_t> TypeOf(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return {0, 0};
    return {st.st_mode & S_IFMT, S_ISCHR(st.st_mode) ? st.st_rdev : 0};
}
}  // namespace

TEST(CliProcess, OutputsThatAreNotRegularFilesAreNeverReplacedAndPipesAreNotRead)
{
    CTempDir dir;
    const std::string input = dir.File("in.fit");
    WriteFits(input, kW, kH, {BloomedPlane(kW, kH, 1)});
    // {name, exit status, what is printed after the path}
    std::vector<std::tuple<std::string, int, std::string>> targets = {{"pipe.fit", 1, "Not a regular file or a"}};
    ASSERT_EQ(::mkfifo(dir.File("pipe.fit").c_str(), 0666), 0);
    const bool devices = ::geteuid() == 0 && ::mknod(dir.File("null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0 &&
                         ::mknod(dir.File("full").c_str(), S_IFCHR | 0666, makedev(1, 7)) == 0;
    if (devices)  // the full device refuses the bytes
        targets.insert(targets.end(), {{"null", 0, ""}, {"full", 1, "Failed to "}});
    for (std::size_t k = 0, n = targets.size(); k < n; ++k) {
        const auto [name, status, message] = targets[k];
        ASSERT_EQ(::symlink(dir.File(name).c_str(), dir.File(name + "-link").c_str()), 0);
        targets.push_back({name + "-link", status, message});
    }
    for (const auto& [name, status, message] : targets) {
        const std::string path = dir.File(name);
        const auto before = TypeOf(path);
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"remove-blooming", "-q", "-o", path, input}, {"render", input, "--png", path}}) {
            SCOPED_TRACE(args[0] + " " + name);
            const CliRun run = RunCliProcess(args, {.timeoutSeconds = 20});
            EXPECT_TRUE(!run.timedOut && run.status == status && Has(run.err, message)) << run.status << run.err;
            EXPECT_EQ(TypeOf(path), before) << "replaced";
        }
    }
    // A named pipe given as input is refused at once, and the other files go on.
    const std::string pipe = dir.File("pipe.fit");
    fs::create_directory(dir.File("out"));
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"info", pipe}, {"render", pipe, "--png", dir.File("p.png")},
          {"remove-blooming", "-q", "-o", dir.File("out"), input, pipe}}) {
        const CliRun run = RunCliProcess(args, {.timeoutSeconds = 20});
        EXPECT_TRUE(!run.timedOut && run.status == 1 && Has(run.err, pipe + ": Cannot open file " + pipe + "."))
            << args[0] << ": " << run.status << run.err;
    }
    EXPECT_TRUE(fs::exists(dir.File("out/in.fit")));
    EXPECT_TRUE(Hidden(dir.Path()).empty());
    if (!devices)
        GTEST_SKIP() << "device nodes need root: only the named pipes were tested";
}

TEST(CliProcess, AWriteProtectedFileIsNotReplacedAndAFailedWriteToStandardOutputIsAFailure)
{
    CTempDir dir;
    // The folder lets anyone rename over its files; the files say no. Root
    // may write any file: the program then runs as nobody.
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0777), 0);
    const std::string locked = dir.File("locked.fit"), input = dir.File("in.fit"), target = dir.File("target.fit");
    WriteFits(locked, kW, kH, {BloomedPlane(kW, kH, 1)});
    WriteFits(input, kW, kH, {BloomedPlane(kW, kH, 2)});
    WriteBytes(target, {1, 2, 3});
    const Bytes lockedBytes = ReadBytes(locked);
    ASSERT_EQ(::chmod(locked.c_str(), 0444) | ::chmod(target.c_str(), 0444), 0);
    // (nobody cannot run a program in a build folder only root may enter)
    const bool runs = RunCliProcess({"--version"}, {.dropRoot = true}).status == 0;
    for (const auto& [args, file] : {std::pair{std::vector<std::string>{"--in-place", locked}, locked},
                                     {{"-o", target, input}, input}}) {
        std::vector<std::string> all = {"remove-blooming", "-q"};
        all.insert(all.end(), args.begin(), args.end());
        const CliRun run = RunCliProcess(all, {.dropRoot = true});
        EXPECT_TRUE(!runs || (run.status == 1 && Has(run.err, file + ": File is write-protected.")))
            << run.status << run.err;
    }
    EXPECT_EQ(ReadBytes(locked), lockedBytes);
    EXPECT_EQ(ReadBytes(target), (Bytes{1, 2, 3}));
    EXPECT_TRUE(Hidden(dir.Path()).empty());

    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "this system has no /dev/full";
    for (const std::vector<std::string>& args : {std::vector<std::string>{"info", "--json", input},
                                                 {"info", input}, {"--help"}, {"--version"}, {"render", "--help"}}) {
        const CliRun run = RunCliProcess(args, {.stdoutPath = "/dev/full"});
        EXPECT_EQ(run.status, 1) << args[0];
        EXPECT_TRUE(Has(run.err, "dorvane-cli: Failed to write to standard output.")) << run.err;
    }
    if (!runs)
        GTEST_SKIP() << "nobody cannot run " DORVANE_CLI_PATH ": write-protected files were not tried";
}

TEST(CliProcess, FilesWithoutThreadsOrMemoryFailAloneAndTheOthersGoOn)
{
    if (kSanitized)
        GTEST_SKIP() << "AddressSanitizer needs more address space than any limit tested here";
    CTempDir dir;
    const std::string a = dir.File("a.fit"), b = dir.File("b.st7");
    const std::string huge = dir.File("huge.fit");  // its plane alone takes 1.6 GB
    const std::string wide = dir.File("wide.fit");  // 1 GB as a picture at 1600 %
    WriteFits(a, kW, kH, {BloomedPlane(kW, kH, 1)});
    WriteSbig(b, kW, kH, BloomedPlane(kW, kH, 2), false);
    for (const auto& [path, side] : {std::pair{huge, 20000}, {wide, 2000}}) {
        WriteFits(path, side, side, {}, 8, 0);  // data left as a hole in the file
        fs::resize_file(path, 2880 + std::uintmax_t(side) * side);
    }
    fs::create_directory(dir.File("out"));
    const rlim_t gigabyte = rlim_t(1) << 30;
    // Thread stacks as large as the stack limit do not fit in the address
    // space: not one thread can be started.
    CliRun run = RunCliProcess({"remove-blooming", "-q", "-j", "8", "-o", dir.File("out"), a, b},
                               {.limits = {{RLIMIT_STACK, gigabyte}, {RLIMIT_AS, gigabyte / 2}}});
    EXPECT_EQ(run.status, 0) << run.err;
    fs::remove(dir.File("out/a.fit"));

    // A file too large for memory fails alone, in every command.
    const ProcessSetup oneGigabyte{.limits = {{RLIMIT_AS, gigabyte}}};
    for (const auto& [args, failure] :
         {std::pair{std::vector<std::string>{"remove-blooming", "-q", "-j", "2", "-o", dir.File("out"), huge, a},
                    huge + ": Not enough memory to open the image.\n"},
          {{"info", huge, a}, huge + ": Not enough memory to open the image.\n"},
          {{"render", "--zoom", "1600", wide, "--png", dir.File("wide.png")},
           wide + ": Not enough memory to render the image.\n"}}) {
        run = RunCliProcess(args, oneGigabyte);
        EXPECT_TRUE(run.status == 1 && run.err == failure) << run.status << run.err;
        EXPECT_TRUE(args[0] != "info" || Has(run.out, a + ": FITS")) << run.out;
    }
    EXPECT_EQ(Names(dir.File("out")), (std::vector<std::string>{"a.fit", "b.st7"}));
    EXPECT_FALSE(fs::exists(dir.File("wide.png")));
    EXPECT_TRUE(Hidden(dir.Path()).empty());
}

TEST(CliProcess, AnInterruptedSaveLeavesNoTemporaryFile)
{
    CTempDir dir;
    const std::string input = dir.File("big.fit");  // 16 MB, long enough to catch in the act
    WriteFits(input, 4096, 2048, {Plane(std::size_t(4096) * 2048, 1000)});
    const std::string out = dir.File("out");
    for (const auto& [sig, status] : {std::pair{SIGTERM, 143}, std::pair{SIGINT, 130}}) {
        bool caught = false;
        for (int attempt = 0; attempt < 5 && !caught; ++attempt) {
            fs::remove_all(out);
            fs::create_directory(out);
            // Stops the program while its temporary file exists, then signals.
            auto interrupt = [&, sig = sig](pid_t pid) {
                const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
                while (Hidden(out).empty() && !fs::exists(out + "/big.fit") &&
                       std::chrono::steady_clock::now() < deadline)
                    std::this_thread::yield();
                int state = 0;
                if (Hidden(out).empty() || ::kill(pid, SIGSTOP) != 0 || ::waitpid(pid, &state, WUNTRACED) != pid ||
                    !WIFSTOPPED(state))
                    return;  // finished first (and maybe reaped here): try again
                caught = !Hidden(out).empty();
                if (caught)
                    ::kill(pid, sig);
                ::kill(pid, SIGCONT);
            };
            const CliRun run = RunCliProcess({"remove-blooming", "-q", "--intensity", "1000000", "-o", out, input},
                                             {.whileRunning = interrupt});
            if (!caught)
                continue;
            EXPECT_EQ(run.status, status) << sig;
            EXPECT_TRUE(Hidden(out).empty()) << sig << ": " << ::testing::PrintToString(Hidden(out));
            EXPECT_FALSE(fs::exists(out + "/big.fit")) << "stopped before the rename, yet the output is there";
        }
        EXPECT_TRUE(caught) << "never saw the save in progress";
    }
}
