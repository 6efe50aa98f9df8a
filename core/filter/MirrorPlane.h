#pragma once
#include <cstdint>
#include <vector>

// Reverses every row of a width x height row-major plane in place (value k of
// a row becomes value width-1-k). Mirroring twice restores the plane. Used
// around a filter run so that replacement values come from the right-hand
// side of a bloom.
void MirrorPlane(uint32_t* plane, int32_t width, int32_t height);
// The same for a plane held in a vector; does nothing unless the vector
// holds exactly width*height values.
void MirrorPlane(std::vector<uint32_t>& plane, int32_t width, int32_t height);
