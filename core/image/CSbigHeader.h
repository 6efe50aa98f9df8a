#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The text header of an SBIG Type 3 file: 2048 bytes of lines, each ended by
// a carriage return and cut after 64 bytes. Only "End", "Height" and "Width"
// are understood, each at the very start of a line; the first line tells
// whether the pixel data are compressed ("ST-7 Compressed Image").
class CSbigHeader {
public:
    static constexpr std::size_t kSize = 2048;
    static constexpr std::size_t kLineLimit = 64;

    // Length of the line starting at line: up to and including the first
    // carriage return, at most kLineLimit bytes and at most remaining.
    static std::size_t LineLength(const uint8_t* line, std::size_t remaining);

    // Scans the lines in order, "End" ending the scan, "Height" and "Width"
    // setting height and width (the last line wins) and counting. True when
    // "End" was reached after at least 2 counted lines. The values found are
    // stored even when the scan fails.
    static bool Scan(const uint8_t* header, std::size_t size, int32_t& width, int32_t& height);

    // The lines as Scan meets them, without their line-end bytes, up to and
    // including "End" (or up to the first empty line when there is none).
    static std::vector<std::string> Lines(const uint8_t* header, std::size_t size);

    // True when the first line announces compressed pixel data: its last two
    // words are "Compressed Image" (in any letter case).
    static bool AnnouncesCompression(const uint8_t* header, std::size_t size);
};
