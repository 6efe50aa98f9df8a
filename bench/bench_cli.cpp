// dorvane-cli remove-blooming over 20 frames of 16 megapixels, written to a
// folder, with -j 2 against -j 1 (goal: at least 1.7 times the throughput on
// two cores). The command runs in-process exactly as the program runs it.
// "-j 1" is the program's own choice for one file at a time (the engine may
// use a second core itself); "-j 1, one core" keeps each run on one thread,
// the baseline that shows how the file-level parallelism scales. The figures
// are printed; nothing here asserts a time. Other work on the machine (and the
// disk: every output is synced) holds the real times up; cpu_s_per_frame
// tells how much of a frame's time was the program's own work.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "CRemoveBloomingCommand.h"
#include "../tools/synthetic/CSyntheticSky.h"

namespace {

constexpr int kFrames = 20;
constexpr int kSide = 4096;  // 16 megapixels

struct SFrames {
    std::filesystem::path folder;
    std::vector<std::string> paths;
};

const SFrames& Frames()
{
    static const SFrames frames = [] {
        SFrames f;
        f.folder = std::filesystem::temp_directory_path() / "dorvane-bench-cli";
        std::filesystem::create_directories(f.folder / "out");
        for (int k = 0; k < kFrames; ++k) {
            const std::string path = (f.folder / ("frame" + std::to_string(k) + ".fit")).string();
            f.paths.push_back(path);
            if (std::filesystem::exists(path) &&
                std::filesystem::file_size(path) >= 2u * kSide * kSide)
                continue;
            CSyntheticSkyOptions options;
            options.width = kSide;
            options.height = kSide;
            options.seed = 1000 + static_cast<uint64_t>(k);
            options.stars = 6000;
            options.saturatedStars = 40;
            options.maxTrail = 600;
            const CSyntheticSky sky = MakeSyntheticSky(options);
            const std::vector<uint8_t> bytes = SyntheticFits16({&sky.values}, sky.width, sky.height);
            std::ofstream out(path, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        }
        return f;
    }();
    return frames;
}

// CPU seconds used by every thread of the process so far.
double ProcessCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Outputs to a memory-backed folder when the system has one, to show the
// program's own scaling apart from the disk.
std::string MemoryFolder()
{
    const std::filesystem::path shm = "/dev/shm";
    if (!std::filesystem::is_directory(shm))
        return {};
    const std::filesystem::path folder = shm / "dorvane-bench-cli-out";
    std::filesystem::create_directories(folder);
    return folder.string();
}

void RemoveBlooming(benchmark::State& state, const char* jobs, int engineThreads, bool toMemory = false)
{
    const SFrames& frames = Frames();
    const std::string folder = toMemory ? MemoryFolder() : (frames.folder / "out").string();
    if (folder.empty()) {
        state.SkipWithError("no memory-backed folder");
        return;
    }
    std::vector<std::string> args = {"-q", "-j", jobs, "-o", folder};
    args.insert(args.end(), frames.paths.begin(), frames.paths.end());
    const double cpuBefore = ProcessCpuSeconds();
    for (auto _ : state) {
        std::ostringstream out, err;
        CCliIo io{out, err, false};
        if (CRemoveBloomingCommand::Run(args, io, engineThreads) != kExitOk) {
            state.SkipWithError(err.str().c_str());
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * kFrames);
    // All threads' CPU time per frame: with real time per frame it shows
    // whether the run was held up by the machine (other load, the disk).
    state.counters["cpu_s_per_frame"] =
        (ProcessCpuSeconds() - cpuBefore) / static_cast<double>(state.iterations() * kFrames);
}

void BM_Jobs1(benchmark::State& state) { RemoveBlooming(state, "1", -1); }
void BM_Jobs1OneCore(benchmark::State& state) { RemoveBlooming(state, "1", 1); }
void BM_Jobs2(benchmark::State& state) { RemoveBlooming(state, "2", -1); }
void BM_Jobs1ToMemory(benchmark::State& state) { RemoveBlooming(state, "1", -1, true); }
void BM_Jobs1OneCoreToMemory(benchmark::State& state) { RemoveBlooming(state, "1", 1, true); }
void BM_Jobs2ToMemory(benchmark::State& state) { RemoveBlooming(state, "2", -1, true); }

BENCHMARK(BM_Jobs1)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1)->Repetitions(2);
BENCHMARK(BM_Jobs1OneCore)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1)->Repetitions(2);
BENCHMARK(BM_Jobs2)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1)->Repetitions(2);
BENCHMARK(BM_Jobs1ToMemory)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1)->Repetitions(2);
BENCHMARK(BM_Jobs1OneCoreToMemory)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1)->Repetitions(2);
BENCHMARK(BM_Jobs2ToMemory)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1)->Repetitions(2);

// Keeps the fastest real time of each benchmark so that the ratios can be
// printed at the end.
class CRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.iterations == 0)
                continue;
            const std::string name = run.run_name.function_name;
            const double seconds = run.GetAdjustedRealTime();
            auto it = m_seconds.find(name);
            if (it == m_seconds.end() || seconds < it->second)
                m_seconds[name] = seconds;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    double Get(const std::string& name) const
    {
        auto it = m_seconds.find(name);
        return it == m_seconds.end() ? 0.0 : it->second;
    }

private:
    std::map<std::string, double> m_seconds;
};

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    Frames();
    CRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const char* suffix : {"", "ToMemory"}) {
        const std::string tail = suffix;
        const double one = reporter.Get("BM_Jobs1" + tail);
        const double oneCore = reporter.Get("BM_Jobs1OneCore" + tail);
        const double two = reporter.Get("BM_Jobs2" + tail);
        if (one <= 0 || two <= 0)
            continue;
        std::printf("\n%d frames of %d x %d, outputs %s: -j 1 %.2f s (%.2f frames/s), -j 1 on one core %.2f s, "
                    "-j 2 %.2f s (%.2f frames/s)\n"
                    "throughput -j 2 / -j 1: %.2fx; -j 2 / -j 1 on one core: %.2fx (goal 1.7x)\n",
                    kFrames, kSide, kSide, tail.empty() ? "to disk" : "to memory", one, kFrames / one, oneCore,
                    two, kFrames / two, one / two, oneCore > 0 ? oneCore / two : 0.0);
    }
    // The memory-backed outputs would otherwise hold 640 MB of memory.
    const std::string memory = MemoryFolder();
    if (!memory.empty())
        std::filesystem::remove_all(memory);
    benchmark::Shutdown();
    return 0;
}
