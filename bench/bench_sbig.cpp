// Opening a 16-megapixel SBIG Type 3 frame stored compressed, against the same
// frame stored raw (goal: compressed at most 1.5 times raw), plus the saves.
// Open includes the automatic stretch and a 32-bit display buffer, as in the
// program. The figures are printed; nothing here asserts a time.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <unistd.h>

#include "image/CSbigImage.h"
#include "support/CCollectingMessageSink.h"
#include "support/CSharedState.h"
#include "../tools/synthetic/CSyntheticSbig.h"
#include "../tools/synthetic/CSyntheticSky.h"

namespace {

constexpr int kWidth = 4096;
constexpr int kHeight = 4096;

struct SFiles {
    std::filesystem::path folder;
    std::string raw;
    std::string compressed;
    uintmax_t compressedBytes = 0;
};

const SFiles& Files()
{
    static const SFiles files = [] {
        SFiles f;
        f.folder = std::filesystem::temp_directory_path() / "dorvane-bench-sbig";
        std::filesystem::create_directories(f.folder);
        CSyntheticSkyOptions options;
        options.width = kWidth;
        options.height = kHeight;
        options.stars = 6000;
        options.saturatedStars = 40;
        options.maxTrail = 600;
        const CSyntheticSky sky = MakeSyntheticSky(options);
        f.raw = (f.folder / "frame.st7").string();
        f.compressed = (f.folder / "frame-compressed.st7").string();
        for (const bool compressed : {false, true}) {
            const std::vector<uint8_t> bytes = SyntheticSbig(sky.values, sky.width, sky.height, compressed);
            std::ofstream out(compressed ? f.compressed : f.raw, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        }
        f.compressedBytes = std::filesystem::file_size(f.compressed);
        return f;
    }();
    return files;
}

void Open(benchmark::State& state, const std::string& path)
{
    CSharedState shared;
    shared.m_nDisplayBpp = 32;
    CCollectingMessageSink messages;
    for (auto _ : state) {
        CSbigImage image(shared, messages);
        if (!image.Open(path)) {
            state.SkipWithError("open failed");
            return;
        }
        benchmark::DoNotOptimize(image.m_displayPixels.data());
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

void BM_OpenRaw(benchmark::State& state) { Open(state, Files().raw); }
void BM_OpenCompressed(benchmark::State& state) { Open(state, Files().compressed); }

void Save(benchmark::State& state, const std::string& path)
{
    CSharedState shared;
    shared.m_nDisplayBpp = 32;
    CCollectingMessageSink messages;
    CSbigImage image(shared, messages);
    if (!image.Open(path)) {
        state.SkipWithError("open failed");
        return;
    }
    const std::string target = (Files().folder / "saved.st7").string();
    for (auto _ : state) {
        if (image.Save(target) != 1) {
            state.SkipWithError("save failed");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

void BM_SaveRaw(benchmark::State& state) { Save(state, Files().raw); }
void BM_SaveCompressed(benchmark::State& state) { Save(state, Files().compressed); }

BENCHMARK(BM_OpenRaw)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OpenCompressed)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveRaw)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveCompressed)->Unit(benchmark::kMillisecond)->UseRealTime();

// Keeps each run's mean real time so that the ratio can be printed at the end.
class CRatioReporter : public benchmark::ConsoleReporter {
public:
    CRatioReporter() : ConsoleReporter(isatty(1) ? OO_Defaults : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && run.iterations > 0) {
                m_ms[run.benchmark_name()] = run.GetAdjustedRealTime();
                m_cpu[run.benchmark_name()] = run.GetAdjustedCPUTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    double Get(const std::string& name, bool cpu = false) const
    {
        const auto& times = cpu ? m_cpu : m_ms;
        auto it = times.find(name);
        return it == times.end() ? 0.0 : it->second;
    }

private:
    std::map<std::string, double> m_ms;
    std::map<std::string, double> m_cpu;
};

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    const SFiles& files = Files();
    std::printf("Frame %dx%d; raw file %ju bytes, compressed %ju bytes (%.1f%%)\n", kWidth, kHeight,
                static_cast<uintmax_t>(std::filesystem::file_size(files.raw)), files.compressedBytes,
                100.0 * static_cast<double>(files.compressedBytes) /
                    static_cast<double>(std::filesystem::file_size(files.raw)));
    CRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double raw = reporter.Get("BM_OpenRaw/real_time");
    const double compressed = reporter.Get("BM_OpenCompressed/real_time");
    if (raw > 0 && compressed > 0)
        std::printf("Open compressed / open raw: %.2fx wall time (goal <= 1.5x), %.2fx main-thread CPU time\n",
                    compressed / raw,
                    reporter.Get("BM_OpenCompressed/real_time", true) / reporter.Get("BM_OpenRaw/real_time", true));
    const double saveRaw = reporter.Get("BM_SaveRaw/real_time");
    const double saveCompressed = reporter.Get("BM_SaveCompressed/real_time");
    if (saveRaw > 0 && saveCompressed > 0)
        std::printf("Save compressed / save raw: %.2fx\n", saveCompressed / saveRaw);
    benchmark::Shutdown();
    std::error_code error;
    std::filesystem::remove_all(files.folder, error);
    return 0;
}
