// FITS reading, display mapping and saving on a 9576 x 6388 16-bit frame
// (61 million values), against cfitsio doing the same work.
//
// Goals: Open (with auto-stretch and a 32-bit display buffer) no slower than
// cfitsio's fits_read_pix into unsigned 32-bit values; UpdateDisplay at 32 bits
// within 3x a memcpy of the display buffer; Save no slower than cfitsio
// writing the same image. Save also flushes the file to the device (fsync)
// before renaming it over the target, which cfitsio does not do.
//
// Temporary files go to a folder under /tmp (or $TMPDIR), removed at the end.
#include <benchmark/benchmark.h>
#include <fitsio.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "CLargeBenchFrame.h"
#include "image/CFitsImage.h"
#include "support/CCollectingMessageSink.h"
#include "support/CSharedState.h"

namespace {

constexpr int kWidth = kLargeFrameWidth;
constexpr int kHeight = kLargeFrameHeight;
constexpr std::size_t kValues = std::size_t(kWidth) * kHeight;

std::string g_dir;
std::string g_source;

std::string MakeFolder()
{
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/dorvane-bench-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    return mkdtemp(name.data()) ? std::string(name.data()) : std::string();
}


void Check(bool ok, benchmark::State& state, const char* what)
{
    if (!ok)
        state.SkipWithError(what);
}

// range(0) = 1: a fresh buffer per read, as a program opening a file
// allocates one; 0: the same buffer every time (the read alone).
void BM_CfitsioReadPix(benchmark::State& state)
{
    const bool fresh = state.range(0) == 1;
    std::vector<uint32_t> values;
    if (!fresh)
        values.assign(kValues, 0);
    for (auto _ : state) {
        if (fresh)
            std::vector<uint32_t>(kValues).swap(values);
        fitsfile* f = nullptr;
        int status = 0, anynul = 0;
        long first[2] = {1, 1};
        fits_open_file(&f, g_source.c_str(), READONLY, &status);
        fits_read_pix(f, TUINT, first, static_cast<LONGLONG>(kValues), nullptr, values.data(), &anynul,
                      &status);
        fits_close_file(f, &status);
        Check(status == 0, state, "cfitsio read failed");
        benchmark::DoNotOptimize(values.data());
    }
}

void BM_Open(benchmark::State& state)
{
    CSharedState shared;
    shared.m_nDisplayBpp = 32;
    CCollectingMessageSink messages;
    for (auto _ : state) {
        auto image = std::make_unique<CFitsImage>(shared, messages);
        Check(image->Open(g_source), state, "Open failed");
        benchmark::DoNotOptimize(image->m_displayPixels.data());
        state.PauseTiming();
        image.reset();
        state.ResumeTiming();
    }
}

void UpdateDisplayAt(benchmark::State& state, int32_t depth)
{
    CSharedState shared;
    shared.m_nDisplayBpp = depth;
    CCollectingMessageSink messages;
    CFitsImage image(shared, messages);
    Check(image.Open(g_source), state, "Open failed");
    for (auto _ : state) {
        image.UpdateDisplay();
        benchmark::DoNotOptimize(image.m_displayPixels.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(image.m_displayPixels.size()));
}

void BM_UpdateDisplay32(benchmark::State& state)
{
    UpdateDisplayAt(state, 32);
}

void BM_UpdateDisplay24(benchmark::State& state)
{
    UpdateDisplayAt(state, 24);
}

void BM_MemcpyDisplayBuffer32(benchmark::State& state)
{
    std::vector<uint8_t> from(kValues * 4, 1), to(kValues * 4, 0);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size());
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(from.size()));
}

void BM_SaveToAnotherPath(benchmark::State& state)
{
    CSharedState shared;
    shared.m_nDisplayBpp = 32;
    CCollectingMessageSink messages;
    CFitsImage image(shared, messages);
    Check(image.Open(g_source), state, "Open failed");
    const std::string target = g_dir + "/saved.fit";
    for (auto _ : state)
        Check(image.Save(target) == 1, state, "Save failed");
}

void BM_CfitsioWrite(benchmark::State& state)
{
    // The same image as unsigned 32-bit values, written as 16-bit with
    // BZERO 32768 as cfitsio does for unsigned data.
    CSharedState shared;
    shared.m_nDisplayBpp = 32;
    CCollectingMessageSink messages;
    CFitsImage image(shared, messages);
    Check(image.Open(g_source), state, "Open failed");
    const std::string target = "!" + g_dir + "/cfitsio.fit";
    for (auto _ : state) {
        fitsfile* f = nullptr;
        int status = 0;
        long axes[2] = {kWidth, kHeight};
        long first[2] = {1, 1};
        fits_create_file(&f, target.c_str(), &status);
        fits_create_img(f, USHORT_IMG, 2, axes, &status);
        fits_write_pix(f, TUINT, first, static_cast<LONGLONG>(kValues), image.m_red.data(), &status);
        fits_close_file(f, &status);
        Check(status == 0, state, "cfitsio write failed");
    }
}

}  // namespace

// CPU time is that of the whole process (both threads), the fairer figure when
// other programs compete for the cores.
#define DORVANE_BENCH(name, n) \
    BENCHMARK(name)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->Iterations(n)
DORVANE_BENCH(BM_CfitsioReadPix, 6)->Arg(1)->Arg(0);
DORVANE_BENCH(BM_Open, 6);
DORVANE_BENCH(BM_UpdateDisplay32, 10);
DORVANE_BENCH(BM_UpdateDisplay24, 10);
DORVANE_BENCH(BM_MemcpyDisplayBuffer32, 10);
DORVANE_BENCH(BM_SaveToAnotherPath, 5);
DORVANE_BENCH(BM_CfitsioWrite, 5);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    g_dir = MakeFolder();
    if (g_dir.empty()) {
        std::fprintf(stderr, "Cannot make a folder for the benchmark's files\n");
        return 1;
    }
    g_source = g_dir + "/frame-9576x6388.fit";
    std::printf("Writing the synthetic %dx%d frame to %s\n", kWidth, kHeight, g_source.c_str());
    int rc = 0;
    if (WriteLargeBenchFrame(g_source)) {
        benchmark::RunSpecifiedBenchmarks();
    } else {
        std::fprintf(stderr, "Cannot write %s\n", g_source.c_str());
        rc = 1;
    }
    benchmark::Shutdown();
    std::error_code ec;
    std::filesystem::remove_all(g_dir, ec);
    return rc;
}
