#pragma once
#include <cstdint>
#include <vector>

#include "support/CRegion.h"

// The pixels of one plane that a filter run changed, as a mask of the
// image: At() and CopyImageRow() read it a pixel or an image row of bytes at
// a time (1 changed, 0 kept), Bytes() gives the whole image's bytes.
//
// It is kept as runs of changed pixels along the rows, because a run
// changes a small part of a frame: a mask of a byte per pixel would cost as
// much as a fair part of the run itself to clear and to scan.
class CChangeMask {
public:
    // Pixels left <= x < right of row y.
    struct SRun {
        int32_t y;
        int32_t left;
        int32_t right;
    };

    // An image of width x height pixels with nothing changed in it.
    void Reset(int32_t imageWidth, int32_t imageHeight);
    // Marks pixels left..right-1 of row y. Runs come in row-major order, each
    // after the previous one (a run that touches the previous one joins it).
    void Add(int32_t y, int32_t left, int32_t right);

    int32_t ImageWidth() const { return m_nImageWidth; }
    int32_t ImageHeight() const { return m_nImageHeight; }
    const std::vector<SRun>& Runs() const { return m_runs; }
    int64_t Count() const { return m_nCount; }
    // The smallest rectangle that holds every changed pixel (empty when none).
    CRegion Area() const;
    // Whether the pixel at column x, row y of the image changed.
    bool At(int32_t x, int32_t y) const;
    // Row y of the image, all imageWidth bytes of it, written to out.
    void CopyImageRow(int32_t y, uint8_t* out) const;
    // The whole image, row-major.
    std::vector<uint8_t> Bytes() const;
    // The first run of row y or of a later row.
    std::vector<SRun>::const_iterator RowStart(int32_t y) const;

    // The mask of the same run seen on the image with every row reversed:
    // what a run on a mirrored plane gives, turned back to the image's own
    // orientation (or the other way round).
    void Mirror();

private:
    int32_t m_nImageWidth = 0;
    int32_t m_nImageHeight = 0;
    int64_t m_nCount = 0;
    std::vector<SRun> m_runs;
};
