// The command line's two throughput figures, each printed next to its goal
// with its floor measured in the same run:
//
//  (a) remove-blooming -j 2 against -j 1 over 20 frames of 16 megapixels,
//      outputs on disk: goal 1.7 times the throughput or better;
//  (b) one 24-megapixel frame at --width 8, the whole process, against a
//      durable copy of the same file (dd bs=8M conv=fsync): goal at most 2
//      times as long.
//
// dorvane-cli runs as its own process, exactly as a user runs it; the runs of
// each pair alternate, so that other work on the machine weighs on both
// alike. Every figure is the best of the runs, the median in brackets, with
// the processor time (user + system, every thread) and the one-minute load
// average when the run began: on a shared machine the wall times wander, the
// processor times much less. On a virtual machine, memory a process touches
// for the first time can cost far more than the copy of the same bytes (the
// host backs it page by page); such runs stand out by their processor time.
// Nothing here asserts a time.
//
//     bench_cli [--runs N] [--only a|b] [--cli PATH]
//
// --cli times another build of dorvane-cli (an older one, say) the same way.
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "CBloomFileJob.h"
#include "CFileSession.h"
#include "image/CAstroImage.h"
#include "support/CAtomicFileWriter.h"
#include "support/ICommitQueue.h"
#include "../tools/synthetic/CSyntheticSky.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr int kFrames = 20;
constexpr int kSide = 4096;  // (a): 16 megapixels
constexpr int kBigWidth = 6000;
constexpr int kBigHeight = 4000;  // (b): 24 megapixels
constexpr double kBatchGoal = 1.7;
constexpr double kFrameGoal = 2.0;

std::string g_cli = DORVANE_CLI_PATH;

double Now()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double Load()
{
    double load[1] = {0.0};
    return getloadavg(load, 1) == 1 ? load[0] : -1.0;
}

// One timed run: wall and processor seconds, and the load when it began.
struct SRun {
    double wall = 0;
    double cpu = 0;
    double load = 0;
};

// Runs argv as a child process and waits for it; a failure ends the benchmark.
SRun RunProcess(const std::vector<std::string>& argv)
{
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    SRun run;
    run.load = Load();
    const double start = Now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0) {
        std::fprintf(stderr, "cannot run %s\n", args[0]);
        std::exit(1);
    }
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed\n", args[0]);
        std::exit(1);
    }
    run.wall = Now() - start;
    run.cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
              static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    return run;
}

// Several runs of one kind: the best and the median of each figure.
struct SRuns {
    std::vector<SRun> runs;
    static double Best(std::vector<double> v) { return *std::min_element(v.begin(), v.end()); }
    static double Median(std::vector<double> v)
    {
        std::sort(v.begin(), v.end());
        return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
    }
    std::vector<double> Of(double SRun::*field) const
    {
        std::vector<double> v;
        for (const SRun& r : runs)
            v.push_back(r.*field);
        return v;
    }
    double BestWall() const { return Best(Of(&SRun::wall)); }
    double MedianWall() const { return Median(Of(&SRun::wall)); }
    double BestCpu() const { return Best(Of(&SRun::cpu)); }
    double MedianLoad() const { return Median(Of(&SRun::load)); }
    // The load during the best run.
    double LoadOfBest() const
    {
        return std::min_element(runs.begin(), runs.end(), [](const SRun& a, const SRun& b) { return a.wall < b.wall; })
            ->load;
    }
};

void PrintRuns(const char* label, const SRuns& r, const char* extra = "")
{
    std::printf("    %-34s %7.3f s (%.3f)%s   CPU %.3f s   load %.2f (median %.2f)\n", label, r.BestWall(),
                r.MedianWall(), extra, r.BestCpu(), r.LoadOfBest(), r.MedianLoad());
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A synthetic sky with saturated stars that bloom, as a 16-bit FITS file
// (made once, kept for later runs).
std::string Frame(const fs::path& folder, const std::string& name, int width, int height, uint64_t seed,
                  int stars, int saturated)
{
    const std::string path = (folder / name).string();
    const uintmax_t bytes = 2u * static_cast<uintmax_t>(width) * height;
    std::error_code error;
    if (fs::exists(path) && fs::file_size(path, error) >= bytes)
        return path;
    CSyntheticSkyOptions options;
    options.width = width;
    options.height = height;
    options.seed = seed;
    options.stars = stars;
    options.saturatedStars = saturated;
    options.maxTrail = 600;
    const CSyntheticSky sky = MakeSyntheticSky(options);
    WriteFile(path, SyntheticFits16({&sky.values}, sky.width, sky.height));
    return path;
}

void EmptyFolder(const fs::path& folder)
{
    fs::remove_all(folder);
    fs::create_directories(folder);
}

std::vector<std::string> Dd(const std::string& from, const std::string& to)
{
    return {"dd", "if=" + from, "of=" + to, "bs=8M", "conv=fsync", "status=none"};
}

// ---- (a) batch throughput ---------------------------------------------------

void Batch(const fs::path& root, int runs)
{
    std::vector<std::string> frames;
    for (int k = 0; k < kFrames; ++k)
        frames.push_back(Frame(root, "frame" + std::to_string(k) + ".fit", kSide, kSide, 1000 + k, 6000, 40));
    const fs::path disk = root / "out";
    // Besides the goal's pair: -j 1 held to one core, which shows how far one
    // file at a time already spreads over both cores (the filter's threads,
    // split reads and copies, the flushes on a thread of their own); and both
    // with their outputs in memory, which shows what the disk holds back.
    const fs::path memory = fs::is_directory("/dev/shm") ? fs::path("/dev/shm/dorvane-bench-cli-out") : fs::path();
    const bool pin = std::system("taskset -c 0 true > /dev/null 2>&1") == 0;
    struct SVariant {
        const char* label;
        const char* jobs;
        bool oneCore;
        fs::path out;
        SRuns runs;
    };
    std::vector<SVariant> variants = {{"-j 1", "1", false, disk, {}}, {"-j 2", "2", false, disk, {}}};
    if (pin)
        variants.push_back({"-j 1 held to one core (taskset)", "1", true, disk, {}});
    if (!memory.empty()) {
        variants.push_back({"-j 1, outputs in memory (/dev/shm)", "1", false, memory, {}});
        variants.push_back({"-j 2, outputs in memory (/dev/shm)", "2", false, memory, {}});
    }
    SRuns copy;
    for (int r = 0; r < runs; ++r) {
        for (SVariant& v : variants) {
            EmptyFolder(v.out);
            std::vector<std::string> argv = {g_cli, "remove-blooming", "-q", "-j", v.jobs, "-o", v.out.string()};
            if (v.oneCore)
                argv.insert(argv.begin(), {"taskset", "-c", "0"});
            argv.insert(argv.end(), frames.begin(), frames.end());
            v.runs.runs.push_back(RunProcess(argv));
            fs::remove_all(v.out);
        }
        EmptyFolder(disk);
        SRun all;
        all.load = Load();
        for (const std::string& frame : frames) {
            const SRun run = RunProcess(Dd(frame, (disk / fs::path(frame).filename()).string()));
            all.wall += run.wall;
            all.cpu += run.cpu;
        }
        copy.runs.push_back(all);
        fs::remove_all(disk);
    }

    std::printf("\n(a) Batch throughput: remove-blooming -o FOLDER, %d frames of %d x %d (16 MP, 32 MB each),\n"
                "    outputs on disk, best of %d runs each\n",
                kFrames, kSide, kSide, runs);
    char rate[64];
    for (const SVariant& v : variants) {
        std::snprintf(rate, sizeof rate, "  %5.2f frames/s", kFrames / v.runs.BestWall());
        PrintRuns(v.label, v.runs, rate);
    }
    auto ratio = [&](std::size_t a, std::size_t b, const char* what) {
        std::printf("    %s: %.2fx (medians %.2fx)", what, variants[a].runs.BestWall() / variants[b].runs.BestWall(),
                    variants[a].runs.MedianWall() / variants[b].runs.MedianWall());
    };
    const double best = variants[0].runs.BestWall() / variants[1].runs.BestWall();
    ratio(0, 1, "throughput -j 2 / -j 1");
    std::printf("   goal: %.1fx or more   %s\n", kBatchGoal, best >= kBatchGoal ? "met" : "NOT met");
    if (pin) {
        ratio(2, 1, "-j 2 / -j 1 on one core");
        std::printf(": what a second core gives\n");
    }
    if (!memory.empty()) {
        ratio(variants.size() - 2, variants.size() - 1, "in memory, -j 2 / -j 1");
        std::printf(": the same without the disk\n");
    }
    std::printf("    floor: the same %d files copied one after another with dd bs=8M conv=fsync: %.3f s (%.3f), "
                "CPU %.3f s\n",
                kFrames, copy.BestWall(), copy.MedianWall(), copy.BestCpu());
}

// ---- (b) one large frame ------------------------------------------------------

// Holds the written output of a save, as the command's commit stage does.
class CHeld : public ICommitQueue {
public:
    void Defer(std::unique_ptr<CAtomicFileWriter> writer) override { m_writer = std::move(writer); }
    std::unique_ptr<CAtomicFileWriter> m_writer;
};

// The steps of the command for one file, timed one by one in this process:
// where the time of (b) goes.
struct SSteps {
    double open = 1e9, filter = 1e9, write = 1e9, commit = 1e9;
};

void TimeSteps(const std::string& input, const std::string& output, SSteps& best)
{
    CBloomOptions options;
    options.mono.width = 8;
    const CBloomFileJob job(options, 0);
    double t = Now();
    CFileSession session(0);
    session.m_shared.m_bShowsImages = false;
    if (!session.Open(input) || session.m_doc.m_pImage == nullptr)
        return;
    CAstroImage& image = *session.m_doc.m_pImage;
    double next = Now();
    best.open = std::min(best.open, next - t);
    t = next;
    {
        CFilterRunRecord record;
        job.FilterImage(image, session.m_shared, nullptr, record);
        if (record.ReplacedCount() == 0)
            std::fprintf(stderr, "the filter changed nothing\n");
    }
    next = Now();
    best.filter = std::min(best.filter, next - t);
    t = next;
    CHeld held;
    image.DeferCommitsTo(&held);
    if (!session.Save(output) || !held.m_writer)
        return;
    next = Now();
    best.write = std::min(best.write, next - t);
    t = next;
    held.m_writer->Commit();
    best.commit = std::min(best.commit, Now() - t);
}

double MemcpySeconds(std::size_t bytes)
{
    std::vector<char> from(bytes, 1), to(bytes, 0);
    double best = 1e9;
    for (int k = 0; k < 5; ++k) {
        const double t = Now();
        std::memcpy(to.data(), from.data(), bytes);
        best = std::min(best, Now() - t);
        from[static_cast<std::size_t>(k)] = to[bytes - 1 - static_cast<std::size_t>(k)];
    }
    return best;
}

void OneFrame(const fs::path& root, int runs)
{
    const std::string frame = Frame(root, "frame24mp.fit", kBigWidth, kBigHeight, 77, 8000, 50);
    const fs::path out = root / "out24";
    const std::string target = (out / "frame24mp.fit").string();
    SRuns cli, copy;
    SSteps steps;
    for (int r = 0; r < runs; ++r) {
        EmptyFolder(out);
        copy.runs.push_back(RunProcess(Dd(frame, target)));
        EmptyFolder(out);
        cli.runs.push_back(
            RunProcess({g_cli, "remove-blooming", "-q", "--width", "8", "-o", out.string(), frame}));
        EmptyFolder(out);
        TimeSteps(frame, target, steps);
    }
    fs::remove_all(out);
    const std::size_t bytes = static_cast<std::size_t>(fs::file_size(frame));

    std::printf("\n(b) One frame: remove-blooming --width 8 -o FOLDER, %d x %d (24 MP, %.0f MB), whole process,\n"
                "    output on disk (a new file each run), best of %d runs each\n",
                kBigWidth, kBigHeight, static_cast<double>(bytes) / 1e6, runs);
    PrintRuns("dorvane-cli", cli);
    PrintRuns("dd bs=8M conv=fsync (the floor)", copy);
    const double best = cli.BestWall() / copy.BestWall();
    const double median = cli.MedianWall() / copy.MedianWall();
    std::printf("    dorvane-cli / dd: %.2fx (medians %.2fx)   goal: %.1fx or less   %s\n", best, median, kFrameGoal,
                best <= kFrameGoal ? "met" : "NOT met");
    std::printf("    floor: memcpy of the file's %.0f MB in memory: %.4f s\n", static_cast<double>(bytes) / 1e6,
                MemcpySeconds(bytes));
    std::printf("    where the time goes (this build), each step's best in this process: open %.3f s, filter %.3f s\n"
                "    (recording the pixels it replaces: they tell whether the file changed), write %.3f s,\n"
                "    flush and rename %.3f s\n",
                steps.open, steps.filter, steps.write, steps.commit);
}

}  // namespace

int main(int argc, char** argv)
{
    int runs = 3;
    std::string only;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--runs") == 0)
            runs = std::max(1, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--only") == 0)
            only = argv[i + 1];
        else if (std::strcmp(argv[i], "--cli") == 0)
            g_cli = argv[i + 1];
    }
    const fs::path root = fs::temp_directory_path() / "dorvane-bench-cli";
    fs::create_directories(root);
    std::printf("dorvane-cli benchmark (%s), %u cores, load %.2f at the start.\nEach figure: the best run, the "
                "median in brackets; CPU = user + system time of all the program's threads;\nload = one-minute load "
                "average as the run began.\n",
                g_cli.c_str(), std::thread::hardware_concurrency(), Load());
    if (only.empty() || only == "a")
        Batch(root, runs);
    if (only.empty() || only == "b")
        OneFrame(root, runs * 3);
    return 0;
}
