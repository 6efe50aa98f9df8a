#pragma once
// A deliberately literal bloom filter: the seven stages written the plain way
// (column-major loops, full-size 255/0 masks of 32-bit cells, the window
// scanned for its maximum again and again), calling the status display at
// every column or row. Slow, and meant to be obviously right; the production
// engine is compared with it. Header-only so that the benchmark can time it.
#include <cstdint>
#include <string>
#include <vector>

#include "filter/IFilterStatus.h"
#include "support/CSharedState.h"

class CLiteralBloomFilter {
public:
    CLiteralBloomFilter(uint32_t* plane, int32_t imageWidth, int32_t imageHeight, uint32_t intensity,
                        int32_t length, int32_t width)
        : m_pPlane(plane), W(imageWidth), H(imageHeight), m_nIntensity(intensity), m_nLength(length), m_nWidth(width)
    {
    }

    void Run(const std::string& suffix, const CSharedState& state, IFilterStatus* status)
    {
        const CRegion r = state.m_bRegionSet ? state.m_rcRegionImage : CRegion{0, 0, W, H};
        // Clipped to the image; an inverted rectangle is empty.
        const int32_t left = Clamp(r.left, 0, W), right = Clamp(r.right, left, W);
        const int32_t top = Clamp(r.top, 0, H), bottom = Clamp(r.bottom, top, H);
        const int32_t regionWidth = right - left, regionHeight = bottom - top;
        auto progress = [&](int start, int64_t step, int span, int64_t steps) {
            if (status)
                status->SetProgress(static_cast<int>(start + step * span / steps));
        };
        if (status)
            status->Open(suffix);
        std::vector<uint32_t> candidate(Size(), 0);

        // Stage 1: detection.
        int counter = 0;
        for (int32_t x = left; x < right; ++x) {
            progress(0, x - left, 14, regionWidth);
            if (status)
                status->ShowDetectedCount(counter);
            for (int32_t y = top; y < bottom; ++y)
                if (Bright(P(x, y)))
                    candidate[At(x, y)] = 255, ++counter;
        }
        m_nDetected = counter;
        if (status)
            status->RevealLine(IFilterStatus::ELine::LengthCheck);

        // Stage 2: length check.
        for (int32_t x = left; x < right; ++x) {
            if (status)
                status->ShowLengthCheckCount(counter);
            progress(14, x - left, 14, regionWidth);
            for (int32_t y = top; y < bottom;) {
                int32_t run = 0;
                while (candidate[At(x, y)] != 0 && y + run < H && candidate[At(x, y + run)] != 0)
                    ++run;
                if (run >= 1 && run <= m_nLength) {
                    for (int32_t k = 0; k < run; ++k)
                        candidate[At(x, y + k)] = 0;
                    counter -= run;
                }
                y += run + 1;
            }
        }
        m_nLengthChecked = counter;

        // Stage 3: horizontal fill of the plane.
        for (int32_t y = top; y < bottom; ++y) {
            progress(28, y - top, 14, regionHeight);
            bool carry = false;
            for (int32_t x = left; x < right; ++x) {
                if (carry && !Bright(P(x, y)) && x < W - 1) {
                    // Two to the right lies beyond the row at x = W-2; the
                    // row's last value stands in for it.
                    P(x + 1, y) = P(x + 2 < W ? x + 2 : W - 1, y);
                    P(x, y) = P(x + 1, y);
                }
                carry = Bright(P(x, y)) && x > 0 && candidate[At(x, y)] == 255;
                if (carry)
                    P(x, y) = P(x - 1, y);
            }
        }

        // Stages 4 and 5: neighbour marking, then merge.
        std::vector<uint32_t> neighbour(Size(), 0);
        for (int32_t x = left + 1; x <= right - 2; ++x) {
            progress(42, x - left, 14, regionWidth);
            for (int32_t y = top + 1; y <= bottom - 2; ++y)
                if (candidate[At(x, y - 1)] == 255 || candidate[At(x, y + 1)] == 255 ||
                    candidate[At(x - 1, y)] == 255 || candidate[At(x + 1, y)] == 255)
                    neighbour[At(x, y)] = 255;
        }
        for (int32_t x = left + 1; x <= right - 2; ++x) {
            progress(56, x - left, 14, regionWidth);
            for (int32_t y = top + 1; y <= bottom - 2; ++y)
                if (neighbour[At(x, y)] == 255)
                    candidate[At(x, y)] = 255;
        }
        if (status)
            status->RevealLine(IFilterStatus::ELine::Removing);

        // Stage 6: replacement values. A pixel whose window does not fit keeps
        // the value of the previous visited pixel only when that is its left
        // neighbour; otherwise it starts again from 0.
        std::vector<uint32_t> replacement(Size(), 0);
        for (int32_t y = top; y < bottom; ++y) {
            progress(70, y, 16, H);
            uint32_t value = 0;  // the left neighbour's, 0 when it was not visited
            for (int32_t x = left + 1; x <= right - 1; ++x) {
                if (candidate[At(x, y)] == 0 && neighbour[At(x, y)] == 0) {
                    value = 0;
                    continue;
                }
                if (Fits(x, y))
                    value = NthLargest(x, y);
                replacement[At(x, y)] = value;
            }
        }
        if (status)
            status->RevealLine(IFilterStatus::ELine::Blending);

        // Stage 7: write-back.
        for (int32_t y = top; y < bottom; ++y) {
            progress(86, y, 14, H);
            for (int32_t x = left; x < right; ++x)
                if (replacement[At(x, y)] != 0)
                    P(x, y) = replacement[At(x, y)];
        }
        if (status) {
            status->SetProgress(100);
            status->RevealLine(IFilterStatus::ELine::Complete);
            status->Close();
        }
    }

    int m_nDetected = 0;
    int m_nLengthChecked = 0;

private:
    bool Fits(int32_t x, int32_t y) const
    {
        const int32_t w = m_nWidth;
        return !(uint32_t(x) >= uint32_t(W - w) || uint32_t(y) >= uint32_t(H - w) || uint32_t(x) <= uint32_t(w) ||
                 uint32_t(y) <= uint32_t(w));
    }

    // Takes the largest value of the window out n = side*side/2 times; the
    // last one taken. A window of only negative values never chooses a cell
    // and gives 0, which leaves the pixel unchanged.
    uint32_t NthLargest(int32_t x, int32_t y)
    {
        const int32_t w = m_nWidth, side = 2 * w + 1;
        std::vector<int32_t> window(static_cast<std::size_t>(side) * side);
        for (int32_t dx = -w; dx <= w; ++dx)
            for (int32_t dy = -w; dy <= w; ++dy)
                window[static_cast<std::size_t>(dx + w) * side + (dy + w)] = static_cast<int32_t>(P(x + dx, y + dy));
        const int64_t n = static_cast<int64_t>(static_cast<double>(int64_t(side) * side) * 0.5);
        int32_t best = -1;
        bool chosen = false;
        for (int64_t step = 0; step < n; ++step) {
            best = -1;
            chosen = false;
            std::size_t bestAt = 0;
            for (std::size_t i = 0; i < window.size(); ++i)
                if (window[i] > best)
                    best = window[i], bestAt = i, chosen = true;
            if (chosen)
                window[bestAt] = 0;
        }
        return chosen ? static_cast<uint32_t>(best) : 0;
    }

    bool Bright(uint32_t value) const { return int64_t(static_cast<int32_t>(value)) >= int64_t(m_nIntensity); }
    static int32_t Clamp(int32_t v, int32_t low, int32_t high) { return v < low ? low : (v > high ? high : v); }
    std::size_t Size() const { return static_cast<std::size_t>(W) * H; }
    std::size_t At(int32_t x, int32_t y) const { return static_cast<std::size_t>(y) * W + x; }
    uint32_t& P(int32_t x, int32_t y) { return m_pPlane[At(x, y)]; }

    uint32_t* m_pPlane;
    int32_t W, H;
    uint32_t m_nIntensity;
    int32_t m_nLength;
    int32_t m_nWidth;
};
