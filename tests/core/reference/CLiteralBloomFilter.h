#pragma once
// A deliberately literal bloom filter: the seven stages written the plain way
// (column-major loops, full-size 255/0 masks of 32-bit cells, the window
// buffer scanned for its maximum again and again), calling the status display
// at every column or row. Slow, and meant to be obviously right; the
// production engine is compared with it. Header-only so that the benchmark can
// time it as well.
#include <cstdint>
#include <string>
#include <vector>

#include "filter/IFilterStatus.h"
#include "support/CSharedState.h"

class CLiteralBloomFilter {
public:
    CLiteralBloomFilter(uint32_t* plane, int32_t imageWidth, int32_t imageHeight,
                        uint32_t intensity, int32_t length, int32_t width)
        : m_pPlane(plane), m_nImageWidth(imageWidth), m_nImageHeight(imageHeight),
          m_nIntensity(intensity), m_nLength(length), m_nWidth(width)
    {
    }

    void Run(const std::string& suffix, const CSharedState& state, IFilterStatus* status)
    {
        const int32_t W = m_nImageWidth;
        const int32_t H = m_nImageHeight;
        if (state.m_bRegionSet) {
            m_nLeft = state.m_rcRegionImage.left;
            m_nTop = state.m_rcRegionImage.top;
            m_nRight = state.m_rcRegionImage.right;
            m_nBottom = state.m_rcRegionImage.bottom;
        } else {
            m_nLeft = 0;
            m_nTop = 0;
            m_nRight = W;
            m_nBottom = H;
        }
        // Clipped to the image; an inverted rectangle is empty.
        m_nLeft = Clamp(m_nLeft, 0, W);
        m_nRight = Clamp(m_nRight, m_nLeft, W);
        m_nTop = Clamp(m_nTop, 0, H);
        m_nBottom = Clamp(m_nBottom, m_nTop, H);
        m_nRegionWidth = m_nRight - m_nLeft;
        m_nRegionHeight = m_nBottom - m_nTop;
        m_nReplacement = 0;

        if (status)
            status->Open(suffix);
        std::vector<uint32_t> candidate(Size(), 0);

        // Stage 1: detection.
        int counter = 0;
        for (int32_t x = m_nLeft; x < m_nRight; ++x) {
            if (status) {
                status->SetProgress(static_cast<int>(int64_t(x - m_nLeft) * 14 / m_nRegionWidth));
                status->ShowDetectedCount(counter);
            }
            for (int32_t y = m_nTop; y < m_nBottom; ++y) {
                if (AtLeastIntensity(P(x, y))) {
                    candidate[At(x, y)] = 255;
                    ++counter;
                }
            }
        }
        m_nDetected = counter;
        if (status)
            status->RevealLine(IFilterStatus::ELine::LengthCheck);

        // Stage 2: length check.
        for (int32_t x = m_nLeft; x < m_nRight; ++x) {
            if (status) {
                status->ShowLengthCheckCount(counter);
                status->SetProgress(static_cast<int>(14 + int64_t(x - m_nLeft) * 14 / m_nRegionWidth));
            }
            int32_t y = m_nTop;
            while (y < m_nBottom) {
                int32_t run = 0;
                if (candidate[At(x, y)] != 0) {
                    while (y + run < H && candidate[At(x, y + run)] != 0)
                        ++run;
                }
                if (run >= 1 && run <= m_nLength) {
                    for (int32_t k = 0; k < run; ++k)
                        candidate[At(x, y + k)] = 0;
                    counter -= run;
                }
                y = y + run + 1;
            }
        }
        m_nLengthChecked = counter;

        // Stage 3: horizontal fill of the plane.
        for (int32_t y = m_nTop; y < m_nBottom; ++y) {
            if (status)
                status->SetProgress(static_cast<int>(28 + int64_t(y - m_nTop) * 14 / m_nRegionHeight));
            bool carry = false;
            for (int32_t x = m_nLeft; x < m_nRight; ++x) {
                if (carry && !AtLeastIntensity(P(x, y)) && x < W - 1) {
                    // Two to the right lies beyond the row at x = W-2; the
                    // row's last value stands in for it.
                    const int32_t source = x + 2 < W ? x + 2 : W - 1;
                    P(x + 1, y) = P(source, y);
                    P(x, y) = P(x + 1, y);
                }
                if (AtLeastIntensity(P(x, y)) && x > 0 && candidate[At(x, y)] == 255) {
                    P(x, y) = P(x - 1, y);
                    carry = true;
                } else {
                    carry = false;
                }
            }
        }

        // Stage 4: neighbour marking.
        std::vector<uint32_t> neighbour(Size(), 0);
        for (int32_t x = m_nLeft + 1; x <= m_nRight - 2; ++x) {
            if (status)
                status->SetProgress(static_cast<int>(42 + int64_t(x - m_nLeft) * 14 / m_nRegionWidth));
            for (int32_t y = m_nTop + 1; y <= m_nBottom - 2; ++y) {
                if (candidate[At(x, y - 1)] == 255 || candidate[At(x, y + 1)] == 255 ||
                    candidate[At(x - 1, y)] == 255 || candidate[At(x + 1, y)] == 255)
                    neighbour[At(x, y)] = 255;
            }
        }

        // Stage 5: merge.
        for (int32_t x = m_nLeft + 1; x <= m_nRight - 2; ++x) {
            if (status)
                status->SetProgress(static_cast<int>(56 + int64_t(x - m_nLeft) * 14 / m_nRegionWidth));
            for (int32_t y = m_nTop + 1; y <= m_nBottom - 2; ++y) {
                if (neighbour[At(x, y)] == 255)
                    candidate[At(x, y)] = 255;
            }
        }
        if (status)
            status->RevealLine(IFilterStatus::ELine::Removing);

        // Stage 6: replacement values.
        std::vector<uint32_t> replacement(Size(), 0);
        for (int32_t y = m_nTop; y < m_nBottom; ++y) {
            if (status)
                status->SetProgress(static_cast<int>(70 + int64_t(y) * 16 / H));
            // A pixel whose window does not fit keeps the value computed
            // for the previous visited pixel only when that pixel is its
            // left neighbour; otherwise it starts again from 0.
            bool leftVisited = false;
            for (int32_t x = m_nLeft + 1; x <= m_nRight - 1; ++x) {
                if (candidate[At(x, y)] != 0 || neighbour[At(x, y)] != 0) {
                    if (!leftVisited)
                        m_nReplacement = 0;
                    ComputeReplacement(x, y);
                    replacement[At(x, y)] = m_nReplacement;
                    leftVisited = true;
                } else {
                    leftVisited = false;
                }
            }
        }
        if (status)
            status->RevealLine(IFilterStatus::ELine::Blending);

        // Stage 7: write-back.
        for (int32_t y = m_nTop; y < m_nBottom; ++y) {
            if (status)
                status->SetProgress(static_cast<int>(86 + int64_t(y) * 14 / H));
            for (int32_t x = m_nLeft; x < m_nRight; ++x) {
                if (replacement[At(x, y)] != 0)
                    P(x, y) = replacement[At(x, y)];
            }
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
    void ComputeReplacement(int32_t x, int32_t y)
    {
        const int32_t w = m_nWidth;
        const uint32_t ux = static_cast<uint32_t>(x);
        const uint32_t uy = static_cast<uint32_t>(y);
        const uint32_t uw = static_cast<uint32_t>(w);
        if (ux >= static_cast<uint32_t>(m_nImageWidth - w) || uy >= static_cast<uint32_t>(m_nImageHeight - w) ||
            ux <= uw || uy <= uw)
            return;
        const int32_t side = 2 * w + 1;
        // Sized to the window once per run, as the run's first fitting window
        // needs it.
        m_window.resize(static_cast<std::size_t>(side) * side);
        auto cell = [&](int32_t dx, int32_t dy) -> int32_t& {
            return m_window[static_cast<std::size_t>(dx + w) * side + (dy + w)];
        };
        for (int32_t dx = -w; dx <= w; ++dx)
            for (int32_t dy = -w; dy <= w; ++dy)
                cell(dx, dy) = static_cast<int32_t>(P(x + dx, y + dy));

        const int64_t n = static_cast<int64_t>(static_cast<double>(int64_t(side) * side) * 0.5);
        if (n < 1) {
            m_nReplacement = 0;
            return;
        }
        int32_t best = -1;
        bool chosen = false;
        for (int64_t step = 0; step < n; ++step) {
            best = -1;
            int32_t bestDx = 0;
            int32_t bestDy = 0;
            chosen = false;
            for (int32_t dx = -w; dx <= w; ++dx) {
                for (int32_t dy = -w; dy <= w; ++dy) {
                    if (cell(dx, dy) > best) {
                        best = cell(dx, dy);
                        bestDx = dx;
                        bestDy = dy;
                        chosen = true;
                    }
                }
            }
            if (chosen)
                cell(bestDx, bestDy) = 0;
        }
        // A window of only negative values never chooses a cell; it gives 0,
        // which leaves the pixel unchanged.
        m_nReplacement = chosen ? static_cast<uint32_t>(best) : 0;
    }

    bool AtLeastIntensity(uint32_t value) const
    {
        return int64_t(static_cast<int32_t>(value)) >= int64_t(m_nIntensity);
    }
    static int32_t Clamp(int32_t v, int32_t low, int32_t high) { return v < low ? low : (v > high ? high : v); }
    std::size_t Size() const { return static_cast<std::size_t>(m_nImageWidth) * m_nImageHeight; }
    std::size_t At(int32_t x, int32_t y) const { return static_cast<std::size_t>(y) * m_nImageWidth + x; }
    uint32_t& P(int32_t x, int32_t y) { return m_pPlane[At(x, y)]; }

    uint32_t* m_pPlane;
    int32_t m_nImageWidth;
    int32_t m_nImageHeight;
    uint32_t m_nIntensity;
    int32_t m_nLength;
    int32_t m_nWidth;
    int32_t m_nLeft = 0;
    int32_t m_nTop = 0;
    int32_t m_nRight = 0;
    int32_t m_nBottom = 0;
    int32_t m_nRegionWidth = 0;
    int32_t m_nRegionHeight = 0;
    uint32_t m_nReplacement = 0;
    std::vector<int32_t> m_window;
};
