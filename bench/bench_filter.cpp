// The bloom filter on a 6000 x 4000 16-bit frame from the project's synthetic
// sky (saturated stars with trails of 50 to 400 rows, about 70,000 bloom
// pixels at Intensity 60000, Length 5): the literal engine from the test tree
// against the production engine at Width 2 and 8, and the production engine
// alone at Width 50, 200 and 1000; and the production engine at Width 2 and 8
// again with the changed pixels recorded (the replaced-pixel mask), against
// the same runs without.
// Goals: production >= 10x the literal engine at Width 2, >= 50x at Width 8;
// Width 1000 under 10 s. The figures are printed; nothing here asserts a time.
//
//     bench_filter            the whole frame for every run
//     bench_filter --quick    the literal engine on a 6000 x 1000 band only
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <ctime>
#include <thread>
#include <type_traits>
#include <vector>

#include "filter/CBloomFilter.h"
#include "filter/CChangeMask.h"
#include "support/CSharedState.h"
#include "../tests/core/reference/CLiteralBloomFilter.h"
#include "../tools/synthetic/CSyntheticSky.h"

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;
constexpr uint32_t kIntensity = 60000;
constexpr int32_t kLength = 5;

std::vector<uint32_t> MakeFrame()
{
    CSyntheticSkyOptions options;
    options.width = kWidth;
    options.height = kHeight;
    options.seed = 2026;
    options.stars = 12000;
    options.saturatedStars = 150;
    options.minTrail = 25;  // each way from the star: trails of 50..400 rows
    options.maxTrail = 200;
    const CSyntheticSky sky = MakeSyntheticSky(options);
    return std::vector<uint32_t>(sky.values.begin(), sky.values.end());
}

double ProcessCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Best wall-clock time of the repeats, and the processor time (all threads)
// of that repeat: on a busy machine the second shows the work itself.
struct SResult {
    double seconds = 0;
    double cpuSeconds = 0;
    std::vector<uint32_t> plane;
    int detected = 0;
    int afterLength = 0;
    int64_t changed = 0;  // pixels in the recorded mask
};

template <class Engine>
SResult Time(const std::vector<uint32_t>& frame, int32_t width, const CSharedState& state, int repeats,
             CChangeMask* changes = nullptr, int threads = 0)
{
    SResult result;
    result.seconds = 1e30;
    for (int i = 0; i < repeats; ++i) {
        std::vector<uint32_t> plane = frame;
        Engine engine(plane.data(), kWidth, kHeight, kIntensity, kLength, width);
        if constexpr (std::is_same_v<Engine, CBloomFilter>) {
            engine.RecordChanges(changes);
            engine.SetThreadCount(threads);
        }
        const double cpuStart = ProcessCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        engine.Run("", state, nullptr);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        if (took.count() < result.seconds) {
            result.seconds = took.count();
            result.cpuSeconds = ProcessCpuSeconds() - cpuStart;
        }
        result.plane = std::move(plane);
        if (changes)
            result.changed = changes->Count();
    }
    return result;
}

}  // namespace

int main(int argc, char** argv)
{
    const bool quick = argc > 1 && std::strcmp(argv[1], "--quick") == 0;
    std::printf("Generating a %d x %d 16-bit frame...\n", kWidth, kHeight);
    const std::vector<uint32_t> frame = MakeFrame();

    CSharedState whole;
    {
        std::vector<uint32_t> plane = frame;
        CBloomFilter counter(plane.data(), kWidth, kHeight, kIntensity, kLength, 2);
        counter.Run("", whole, nullptr);
        std::printf("Intensity %u, Length %d: %d bright pixels, %d bloom pixels after the length check\n",
                    kIntensity, kLength, counter.DetectedCount(), counter.LengthCheckedCount());
    }
    std::printf("Cores: %u\n\n", std::thread::hardware_concurrency());

    // The literal engine: the whole frame, or with --quick a band of rows
    // (FilterRegion) whose time is scaled by the frame's rows over the band's.
    CSharedState literalState;
    double scale = 1.0;
    if (quick) {
        literalState.m_bRegionSet = true;
        literalState.m_rcRegionImage = {0, 1500, kWidth, 2500};
        scale = static_cast<double>(kHeight) / 1000.0;
    }
    std::printf("Times: wall clock (processor time of all threads)\n");
    std::printf("%-6s %22s %22s %16s  %s\n", "Width", "literal (s)", "engine (s)", "speed-up", "result");
    for (int32_t width : {2, 8}) {
        const SResult literal = Time<CLiteralBloomFilter>(frame, width, literalState, 1);
        const SResult engineSame = Time<CBloomFilter>(frame, width, literalState, 3);
        const SResult engine = Time<CBloomFilter>(frame, width, whole, 3);
        const double literalSeconds = literal.seconds * scale;
        const double literalCpu = literal.cpuSeconds * scale;
        std::printf("%-6d %9.3f (%9.3f) %9.3f (%9.3f) %6.1fx (%6.1fx)  %s\n", width, literalSeconds, literalCpu,
                    engine.seconds, engine.cpuSeconds, literalSeconds / engine.seconds,
                    literalCpu / engine.cpuSeconds,
                    literal.plane == engineSame.plane ? "identical planes" : "PLANES DIFFER");
        if (quick)
            std::printf("       literal on rows 1500..2499: %.3f s (%.3f s), scaled x%.0f; engine on those rows "
                        "%.3f s (%.3f s)\n",
                        literal.seconds, literal.cpuSeconds, scale, engineSame.seconds, engineSame.cpuSeconds);
    }
    for (int32_t width : {50, 200, 1000}) {
        const SResult engine = Time<CBloomFilter>(frame, width, whole, 1);
        std::printf("%-6d %22s %9.3f (%9.3f)\n", width, "-", engine.seconds, engine.cpuSeconds);
    }

    // The replaced-pixel mask: the same runs with the changes recorded. Runs
    // with and without alternate, so that a busy moment of the machine does
    // not fall on one side only; the best and the median of each are shown,
    // with the engine's own choice of threads and with one thread, whose
    // processor time is the steadiest measure of the work the mask adds.
    constexpr int kPairs = 21;
    std::printf("\nReplaced-pixel mask: %d runs without and %d with it, alternating; wall clock (processor time)\n",
                kPairs, kPairs);
    std::printf("%-6s %-7s %-10s %22s %22s %16s\n", "Width", "", "threads", "without (s)", "with mask (s)", "cost");
    for (int32_t width : {2, 8}) {
        for (int threads : {0, 1}) {
            std::vector<SResult> without, with;
            CChangeMask changes;
            for (int i = 0; i < kPairs; ++i) {
                without.push_back(Time<CBloomFilter>(frame, width, whole, 1, nullptr, threads));
                with.push_back(Time<CBloomFilter>(frame, width, whole, 1, &changes, threads));
            }
            int64_t differ = 0;
            for (std::size_t k = 0; k < frame.size(); ++k)
                differ += frame[k] != without.front().plane[k];
            auto pick = [](const std::vector<SResult>& runs, std::size_t rank, bool cpu) {
                std::vector<double> times;
                for (const SResult& r : runs)
                    times.push_back(cpu ? r.cpuSeconds : r.seconds);
                std::sort(times.begin(), times.end());
                return times[rank];
            };
            for (auto [label, rank] : {std::pair<const char*, std::size_t>{"best", 0}, {"median", kPairs / 2}}) {
                const double a = pick(without, rank, false), b = pick(with, rank, false);
                const double ac = pick(without, rank, true), bc = pick(with, rank, true);
                std::printf("%-6d %-7s %-10s %9.4f (%9.4f) %9.4f (%9.4f) %+6.1f%% (%+6.1f%%)\n", width, label,
                            threads ? "1" : "engine's", a, ac, b, bc, 100.0 * (b / a - 1.0), 100.0 * (bc / ac - 1.0));
            }
            if (threads == 0)
                std::printf("       %s, %lld pixels replaced\n",
                            with.front().plane == without.front().plane && differ == with.front().changed
                                ? "identical planes, mask = difference"
                                : "MISMATCH",
                            static_cast<long long>(with.front().changed));
        }
    }
    return 0;
}
