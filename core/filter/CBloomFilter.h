#pragma once
#include <cstdint>
#include <string>
#include <vector>

class CAstroImage;
class CChangeMask;
class IFilterStatus;
struct CSharedState;

// Removes blooming from one plane of one image, in place. Finds vertical runs
// of bright pixels longer than Length inside the working rectangle (the
// FilterRegion clipped to the image, or the whole image), fills them along
// each row from their left-hand neighbours, grows the marked area by one
// pixel, and replaces every marked pixel by the n-th largest value of the
// square window of side 2*Width+1 around it (n = half the window, rounded
// down).
//
// Construct one object per plane, call Run once. Run blocks the calling
// thread; it may use a second core internally but calls the status display
// only from the calling thread.
class CBloomFilter {
public:
    // How the n-th largest window value is found. Every method gives the
    // same value; Auto picks the fastest for the width.
    enum class ESelection { Auto, Sort, Histogram };

    // plane: imageWidth*imageHeight values, row-major (not owned; it must
    // stay valid until Run returns).
    CBloomFilter(uint32_t* plane, int32_t imageWidth, int32_t imageHeight,
                 uint32_t intensity, int32_t length, int32_t width);
    // One plane of image (m_red, m_green or m_blue). A plane whose size does
    // not match the image's dimensions is treated as an image without pixels.
    CBloomFilter(const CAstroImage& image, std::vector<uint32_t>& plane,
                 uint32_t intensity, int32_t length, int32_t width);
    virtual ~CBloomFilter() = default;
    CBloomFilter(const CBloomFilter&) = delete;
    CBloomFilter& operator=(const CBloomFilter&) = delete;

    // The whole pass. The working rectangle is read from state
    // (m_bRegionSet, m_rcRegionImage) at the start; state is not changed.
    // status may be null. Throws std::bad_alloc when a work buffer cannot be
    // allocated; status has then been closed, and the plane keeps the
    // changes of the stages already done.
    void Run(const std::string& suffix, const CSharedState& state, IFilterStatus* status);

    // Threads used for the replacement values: 0 (default) decides by the
    // machine and the amount of work; 1 or more uses exactly that many.
    void SetThreadCount(int threads) { m_nThreads = threads; }
    void SetSelection(ESelection selection) { m_selection = selection; }
    // When set, each Run fills changes with the pixels whose value it
    // changed (not owned; null, the default, records nothing and costs
    // nothing). The plane's values do not depend on it.
    void RecordChanges(CChangeMask* changes) { m_pChanges = changes; }

    // Pixels counted by the last Run: candidates found by the detection, and
    // those left after the length check.
    int DetectedCount() const { return m_nDetected; }
    int LengthCheckedCount() const { return m_nLengthChecked; }
    // The two counts the status display ends on, as its count lines read
    // them (they leave out the working rectangle's last column); 0 when the
    // rectangle has no columns and the lines stay empty.
    int ShownDetectedCount() const { return m_nShownDetected; }
    int ShownLengthCheckCount() const { return m_nShownLengthChecked; }

private:
    uint32_t* m_pPlane;
    int32_t m_nImageWidth;
    int32_t m_nImageHeight;
    uint32_t m_nIntensity;
    int32_t m_nLength;
    int32_t m_nWidth;
    int m_nThreads = 0;
    ESelection m_selection = ESelection::Auto;
    int m_nDetected = 0;
    int m_nLengthChecked = 0;
    int m_nShownDetected = 0;
    int m_nShownLengthChecked = 0;
    CChangeMask* m_pChanges = nullptr;
};
