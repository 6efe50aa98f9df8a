#pragma once
#include <cstdint>
#include <vector>

struct CSharedState;

// The plane being filtered and its working rectangle, already clipped to the
// image: columns left <= x < right, rows top <= y < bottom.
struct SFilterArea {
    uint32_t* plane = nullptr;
    int32_t imageWidth = 0;
    int32_t imageHeight = 0;
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    int32_t Columns() const { return right - left; }
    int32_t Rows() const { return bottom - top; }
    std::size_t Cells() const { return static_cast<std::size_t>(Columns()) * static_cast<std::size_t>(Rows()); }
};

// The FilterRegion when one is set, otherwise the whole image, clipped to the
// image. A region that lies outside the image, or is inverted, gives an empty
// rectangle.
SFilterArea MakeFilterArea(uint32_t* plane, int32_t imageWidth, int32_t imageHeight, const CSharedState& state);

// A raw value is bright when, read as a signed 32-bit number, it is at least
// the Intensity. Values held out of range by the readers (negative numbers
// stored as unsigned) are therefore never bright.
inline bool IsBright(uint32_t value, uint32_t intensity)
{
    return static_cast<int64_t>(static_cast<int32_t>(value)) >= static_cast<int64_t>(intensity);
}

// The masks below cover the working rectangle only (Columns() bytes per row,
// Rows() rows); a marked cell holds 1.

// Detection: marks every bright pixel of the rectangle, unmarks the others,
// and counts them per column (counts[i] for column left + i).
void DetectCandidates(const SFilterArea& area, uint32_t intensity, std::vector<uint8_t>& mask,
                      std::vector<int32_t>& counts);

// Length check: unmarks every vertical run of at most length marked cells and
// adds the unmarked cells per column to removed.
void RemoveShortRuns(const SFilterArea& area, int32_t length, std::vector<uint8_t>& mask,
                     std::vector<int32_t>& removed);

// Horizontal fill of row y: marked bright pixels take the value of their
// left-hand neighbour, one after another from the left; a pixel below the
// Intensity right after a replaced one takes, with its right-hand neighbour,
// the value two places to its right (the row's last value at the row's end).
// writes, when not null, gets every pixel written (column, value it held
// before), in the order of the writes.
struct SFillWrite {
    int32_t x;
    uint32_t before;
};
void FillRow(const SFilterArea& area, uint32_t intensity, const std::vector<uint8_t>& mask, int32_t y,
             std::vector<SFillWrite>* writes = nullptr);

// Neighbour marking and merge, in place: the cells to visit for replacement
// values are the candidates plus, inside the rectangle less its outermost
// ring, every cell with a candidate directly above, below, left or right of
// it.
void GrowMask(const SFilterArea& area, std::vector<uint8_t>& mask);

// Offset of the first non-zero byte of mask[from, end), or end.
int32_t NextMarked(const uint8_t* mask, int32_t from, int32_t end);
