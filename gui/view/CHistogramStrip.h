#pragma once
#include <QWidget>
#include <cstdint>
#include <functional>
#include <vector>

class CAstroImage;

// The stretch dialog's histogram: how many pixels of the red plane have each
// value, over 0..full scale, one bar a column on a logarithmic scale, with
// the Min and Max positions marked. The counts are taken once for each
// image and each change of its planes (MarkStale), gathered into bars once
// for each width and full scale; moving Min or Max only redraws.
class CHistogramStrip : public QWidget {
    Q_OBJECT

public:
    // source gives the image to count at paint time, or null.
    CHistogramStrip(std::function<const CAstroImage*()> source, QWidget* parent);

    // The image or its planes changed: count again before the next paint.
    void MarkStale();
    void SetMarks(uint32_t nMin, uint32_t nMax, uint32_t nFullScale);
    // The bars' counts at the present width, counted now when stale.
    const std::vector<uint32_t>& Bars();
    // Columns of the Min and Max marks.
    int MarkColumn(uint32_t nValue) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    std::function<const CAstroImage*()> m_source;
    std::vector<uint32_t> m_counts;
    std::vector<uint32_t> m_bars;
    bool m_bCountsStale = true;
    bool m_bBarsStale = true;
    uint32_t m_nMin = 0;
    uint32_t m_nMax = 0;
    uint32_t m_nFullScale = 0;
};
