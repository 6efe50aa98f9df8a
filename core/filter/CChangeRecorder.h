#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "filter/BloomStages.h"
#include "filter/CReplacementStage.h"

class CChangeMask;

// Finds the pixels a filter run changed from the writes themselves, without
// a copy of the plane. The horizontal fill logs each pixel it writes with
// the value it held; at the end of each row the recorder keeps, while the
// row is still in the cache, the values before the run and after the fill of
// those pixels and of their neighbours on either side. Just before the
// write-back of a row, each pixel that either stage writes is compared: its
// value before the run against the one the row ends with. Only the few
// written cells the fill did not come near are read from the plane.
class CChangeRecorder {
public:
    // mask is cleared for the area's image and filled row by row. blooms:
    // the bloom pixels the length check kept (for the room to set aside).
    CChangeRecorder(const SFilterArea& area, CChangeMask& mask, std::size_t blooms);

    // Where FillRow logs the writes of the row being filled.
    std::vector<SFillWrite>* FillLog() { return &m_log; }
    // The fill of row y is done: keeps what its log tells of the row. Called
    // for every row of the rectangle, top to bottom.
    void EndFillRow(int32_t y);
    // Row y is about to receive the write-back of its visited cells (those of
    // value 0 are not written): marks the changed pixels of the row. Called
    // for every row of the rectangle, top to bottom.
    void BeforeWriteBack(int32_t y, const CReplacementStage::SCell* cells, const uint32_t* values,
                         std::size_t count);

private:
    // A pixel whose values before the run and after the fill are known.
    struct SKnown {
        int32_t x;
        uint32_t before;
        uint32_t afterFill;
    };

    SFilterArea m_area;
    CChangeMask& m_mask;
    std::vector<SFillWrite> m_log;
    std::vector<SKnown> m_known;           // row-major, one per pixel
    std::vector<std::size_t> m_rowStart;   // per row of the rectangle, its first entry
};
