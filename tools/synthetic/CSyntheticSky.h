#pragma once
// Synthetic CCD frames for the bundled samples, tests and benchmarks: sky
// background with noise, Gaussian stars, and saturated stars whose bloom
// trails run at full scale along columns. Header-only and independent of the
// core, so that any program or test can include it.
//
// Every number comes from the generator below and from +, -, *, / on doubles
// (no library random distributions, no libm calls), so a seed gives the same
// frame with any compiler and standard library.
//
//     CSyntheticSkyOptions options;            // 1024 x 768, seed 42
//     CSyntheticSky sky = MakeSyntheticSky(options);
//     sky.values[y * sky.width + x]            // raw 0..65535
//     sky.trails                               // where the blooms are
//     std::vector<uint8_t> fits = SyntheticFits16({&sky.values}, sky.width, sky.height);
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

// SplitMix64: small, fast and fully specified.
class CSplitMix64 {
public:
    explicit CSplitMix64(uint64_t seed) : m_state(seed) {}
    uint64_t Next()
    {
        uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [lo, hi] (inclusive); hi >= lo.
    int64_t Range(int64_t lo, int64_t hi)
    {
        return lo + static_cast<int64_t>(Next() % static_cast<uint64_t>(hi - lo + 1));
    }
    // Uniform in [0, 1).
    double Unit() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }
    // Roughly normal with mean 0 and deviation 1: the sum of four uniform
    // values, integer arithmetic only.
    double Normal()
    {
        uint64_t r = Next();
        int64_t sum = 0;
        for (int i = 0; i < 4; ++i)
            sum += static_cast<int64_t>((r >> (16 * i)) & 0xFFFF);
        // Four uniform 0..65535 values: mean 131070, deviation 65536/sqrt(3).
        return static_cast<double>(sum - 131070) / 37837.23;
    }

private:
    uint64_t m_state;
};

// exp(-x) for x >= 0 with basic arithmetic only: a Taylor series on x/64,
// squared six times.
inline double SyntheticExpNeg(double x)
{
    if (x > 40.0)
        return 0.0;
    const double y = x / 64.0;
    double term = 1.0, sum = 1.0;
    for (int k = 1; k <= 10; ++k) {
        term *= -y / k;
        sum += term;
    }
    for (int i = 0; i < 6; ++i)
        sum *= sum;
    return sum;
}

struct CSyntheticSkyOptions {
    int width = 1024;
    int height = 768;
    uint64_t seed = 42;
    double skyLevel = 1100.0;   // mean background
    double skyGradient = 150.0; // added across the frame from left to right
    double noise = 25.0;        // background deviation
    int stars = 400;            // unsaturated stars
    int saturatedStars = 6;     // stars that bloom
    int minTrail = 30;          // bloom trail length in rows, each way
    int maxTrail = 260;
    uint32_t fullScale = 65535;
};

// One bloom: full-scale columns [x0, x1] over rows [y0, y1].
struct CSyntheticTrail {
    int x0, x1, y0, y1;
};

struct CSyntheticSky {
    int width = 0;
    int height = 0;
    std::vector<uint16_t> values;  // row-major, row 0 first
    std::vector<CSyntheticTrail> trails;
};

inline void AddSyntheticStar(std::vector<double>& image, int width, int height, double cx,
                             double cy, double peak, double sigma)
{
    const int r = static_cast<int>(sigma * 5.0) + 1;
    const int x0 = std::max(0, static_cast<int>(cx) - r), x1 = std::min(width - 1, static_cast<int>(cx) + r);
    const int y0 = std::max(0, static_cast<int>(cy) - r), y1 = std::min(height - 1, static_cast<int>(cy) + r);
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const double dx = x - cx, dy = y - cy;
            image[static_cast<size_t>(y) * width + x] +=
                peak * SyntheticExpNeg((dx * dx + dy * dy) / (2.0 * sigma * sigma));
        }
}

inline CSyntheticSky MakeSyntheticSky(const CSyntheticSkyOptions& o)
{
    CSplitMix64 rng(o.seed);
    CSyntheticSky sky;
    sky.width = o.width;
    sky.height = o.height;
    const size_t count = static_cast<size_t>(o.width) * static_cast<size_t>(o.height);
    std::vector<double> image(count);
    for (int y = 0; y < o.height; ++y)
        for (int x = 0; x < o.width; ++x)
            image[static_cast<size_t>(y) * o.width + x] =
                o.skyLevel + o.skyGradient * x / std::max(1, o.width) + o.noise * rng.Normal();
    for (int i = 0; i < o.stars; ++i) {
        const double cx = rng.Unit() * o.width, cy = rng.Unit() * o.height;
        // Many faint stars, few bright ones.
        const double u = rng.Unit();
        const double peak = 150.0 + 30000.0 * u * u * u * u;
        AddSyntheticStar(image, o.width, o.height, cx, cy, peak, 0.9 + 1.2 * rng.Unit());
    }
    std::vector<uint16_t>& v = sky.values;
    v.resize(count);
    for (size_t i = 0; i < count; ++i) {
        const double d = image[i];
        v[i] = static_cast<uint16_t>(d <= 0.0 ? 0.0 : d >= o.fullScale ? o.fullScale : d);
    }
    // Saturated stars: a clipped core and full-scale columns running up and
    // down from it, as charge spills along the sensor's columns.
    for (int i = 0; i < o.saturatedStars && o.width > 8 && o.height > 8; ++i) {
        const int cx = static_cast<int>(rng.Range(4, o.width - 5));
        const int cy = static_cast<int>(rng.Range(4, o.height - 5));
        const int halfWidth = static_cast<int>(rng.Range(0, 1));
        const int up = static_cast<int>(rng.Range(o.minTrail, o.maxTrail));
        const int down = static_cast<int>(rng.Range(o.minTrail, o.maxTrail));
        const double sigma = 2.5;
        const int r = static_cast<int>(sigma * 5.0) + 1;
        for (int y = std::max(0, cy - r); y <= std::min(o.height - 1, cy + r); ++y)
            for (int x = std::max(0, cx - r); x <= std::min(o.width - 1, cx + r); ++x) {
                const double dx = x - cx, dy = y - cy;
                uint16_t& px = v[static_cast<size_t>(y) * o.width + x];
                const double d = px + 200000.0 * SyntheticExpNeg((dx * dx + dy * dy) / (2.0 * sigma * sigma));
                px = static_cast<uint16_t>(d >= o.fullScale ? o.fullScale : d);
            }
        CSyntheticTrail t{std::max(0, cx - halfWidth), std::min(o.width - 1, cx + halfWidth),
                          std::max(0, cy - up), std::min(o.height - 1, cy + down)};
        for (int y = t.y0; y <= t.y1; ++y)
            for (int x = t.x0; x <= t.x1; ++x)
                v[static_cast<size_t>(y) * o.width + x] = static_cast<uint16_t>(o.fullScale);
        sky.trails.push_back(t);
    }
    return sky;
}

// One 80-byte FITS card, blank-padded.
inline std::string SyntheticFitsCard(const std::string& text)
{
    std::string card = text.substr(0, 80);
    card.resize(80, ' ');
    return card;
}

inline std::string SyntheticFitsValueCard(const char* keyword, long long value, const char* comment = "")
{
    char buf[96];
    std::snprintf(buf, sizeof buf, "%-8.8s= %20lld%s%s", keyword, value, *comment ? " / " : "", comment);
    return SyntheticFitsCard(buf);
}

// A 16-bit FITS primary image with BZERO 32768 and BSCALE 1 from one plane
// (two axes) or three planes (three axes), header and data each padded to
// 2880 bytes. extraCards go before END.
inline std::vector<uint8_t> SyntheticFits16(const std::vector<const std::vector<uint16_t>*>& planes,
                                            int width, int height,
                                            const std::vector<std::string>& extraCards = {})
{
    std::string header;
    header += SyntheticFitsCard("SIMPLE  =                    T / conforms to FITS standard");
    header += SyntheticFitsValueCard("BITPIX", 16, "16-bit integers");
    header += SyntheticFitsValueCard("NAXIS", planes.size() == 3 ? 3 : 2);
    header += SyntheticFitsValueCard("NAXIS1", width, "columns");
    header += SyntheticFitsValueCard("NAXIS2", height, "rows");
    if (planes.size() == 3)
        header += SyntheticFitsValueCard("NAXIS3", 3, "red, green, blue");
    header += SyntheticFitsValueCard("BZERO", 32768, "unsigned 16-bit values");
    header += SyntheticFitsValueCard("BSCALE", 1);
    for (const std::string& c : extraCards)
        header += SyntheticFitsCard(c);
    header += SyntheticFitsCard("END");
    header.resize((header.size() + 2879) / 2880 * 2880, ' ');
    std::vector<uint8_t> out(header.begin(), header.end());
    for (const std::vector<uint16_t>* plane : planes)
        for (uint16_t value : *plane) {
            const uint16_t stored = static_cast<uint16_t>(value ^ 0x8000u);  // value - 32768
            out.push_back(static_cast<uint8_t>(stored >> 8));
            out.push_back(static_cast<uint8_t>(stored & 0xFF));
        }
    out.resize((out.size() + 2879) / 2880 * 2880, 0);
    return out;
}
