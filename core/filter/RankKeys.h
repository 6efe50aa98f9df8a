#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// Replaces every value of a plane by its rank among the plane's distinct
// values (negative values counting as 0), so that a 16-bit histogram can work
// on planes whose values reach above 65535, such as scaled FITS data. A plane
// read from an 8- or 16-bit file never holds more than 65536 distinct values.
// keys[i] is the rank of plane[i]; values[rank] the value. False, with keys
// and values empty, when there are more than 65536 distinct values.
bool BuildRankKeys(const uint32_t* plane, std::size_t count, std::vector<uint16_t>& keys,
                   std::vector<uint32_t>& values);
