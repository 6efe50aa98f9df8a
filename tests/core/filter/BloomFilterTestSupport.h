#pragma once
// Helpers of the filter tests: planes with blooms, an image held in memory, a
// status display that records every call, and the check of a change mask.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "filter/CChangeMask.h"
#include "filter/IFilterStatus.h"
#include "image/CAstroImage.h"

struct SPlane {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> values;

    uint32_t& At(int32_t x, int32_t y) { return values[static_cast<std::size_t>(y) * width + x]; }
};

// Noise below 1000 with vertical bright streaks 1 to 4 columns wide and up
// to maxLength rows long (clipped to the plane), values around 1000..1100.
inline SPlane MakeStreakPlane(std::mt19937& rng, int32_t width, int32_t height, int streaks, int32_t maxLength)
{
    auto pick = [&](int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(rng); };
    SPlane plane{width, height, std::vector<uint32_t>(static_cast<std::size_t>(width) * height)};
    for (uint32_t& v : plane.values)
        v = static_cast<uint32_t>(pick(100, 999));
    for (int s = 0; s < streaks; ++s) {
        const int32_t x0 = pick(0, width - 1), y0 = pick(0, height - 1), columns = pick(1, 4), length = pick(1, maxLength);
        for (int32_t y = y0; y < std::min(height, y0 + length); ++y)
            for (int32_t x = x0; x < std::min(width, x0 + columns); ++x)
                plane.At(x, y) = static_cast<uint32_t>(pick(990, 1100));
    }
    return plane;
}

class CRecordingStatus : public IFilterStatus {
public:
    void Open(const std::string& suffix) override { m_calls.push_back("open:" + suffix); }
    void SetProgress(int position) override { m_calls.push_back("pos:" + std::to_string(position)); }
    void ShowDetectedCount(int count) override { m_calls.push_back("detected:" + std::to_string(count)); }
    void ShowLengthCheckCount(int count) override { m_calls.push_back("length:" + std::to_string(count)); }
    void RevealLine(ELine line) override { m_calls.push_back("line:" + std::to_string(static_cast<int>(line))); }
    void Close() override { m_calls.push_back("close"); }

    std::vector<std::string> m_calls;
};

// An image whose planes the test fills itself.
class CPlainImage : public CAstroImage {
public:
    using CAstroImage::CAstroImage;
    bool Open(const std::string&) override { return false; }
    int Save(const std::string&) override { return 0; }
};

// The mask marks exactly the pixels whose value differs between before and after.
inline void ExpectMaskIsDifference(const std::vector<uint32_t>& before, const std::vector<uint32_t>& after,
                                   int32_t width, int32_t height, const CChangeMask& mask, const std::string& label)
{
    ASSERT_EQ(mask.ImageWidth(), width) << label;
    ASSERT_EQ(mask.ImageHeight(), height) << label;
    int64_t changed = 0;
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * width + x;
            changed += before[i] != after[i];
            ASSERT_EQ(mask.At(x, y), before[i] != after[i]) << label << " pixel " << x << "," << y;
        }
    EXPECT_EQ(mask.Count(), changed) << label;
}
