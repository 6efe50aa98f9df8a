#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "support/CRegion.h"

// What the desktop program does for Remove Blooming followed by Save As,
// done in-process on the core: the reference the command line must match.
namespace DesktopReference {

struct Params {
    uint32_t intensity = 60000;
    int32_t length = 5;
    int32_t width = 2;
};

struct Command {
    Params mono;
    std::array<Params, 3> color;
    std::array<bool, 3> planes{true, true, true};
    bool mirror = false;
    bool hasRegion = false;
    CRegion region;  // inside the image
};

// Opens input, runs the command and saves to output. Returns the bloom pixels
// counted after the length check over all runs, or -1 when a step failed.
long long RunAndSave(const std::string& input, const std::string& output, const Command& command);

}  // namespace DesktopReference
