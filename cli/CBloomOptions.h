#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "support/CRegion.h"

// The filter parameters of one plane, as the parameter dialogs take them.
struct CPlaneParameters {
    uint32_t intensity = 60000;
    int32_t length = 5;
    int32_t width = 2;
};

// Everything `remove-blooming` was asked to do.
struct CBloomOptions {
    // Bounds of the three parameters, the same as the dialogs'.
    static constexpr int64_t kMinIntensity = 1, kMaxIntensity = 1000000;
    static constexpr int64_t kMinLength = 1, kMaxLength = 10000;
    static constexpr int64_t kMinWidth = 1, kMaxWidth = 1000;
    static constexpr int64_t kMaxJobs = 1024;

    CPlaneParameters mono;                       // monochrome images
    std::array<CPlaneParameters, 3> color;       // red, green, blue planes
    std::array<bool, 3> planes{true, true, true}; // colour planes to filter
    bool mirror = false;
    bool hasRegion = false;
    CRegion region;  // right and bottom exclusive, not yet clipped
    std::string output;
    bool inPlace = false;
    int64_t jobs = 0;  // 0: the number of cores
    bool quiet = false;
    std::vector<std::string> inputs;
    // What the run leaves beside the images: the replaced-pixel mask of the
    // one input (mask) or of each input in a folder (maskDir), HISTORY cards
    // in FITS outputs, and the JSON report of the whole run.
    std::string mask;
    std::string maskDir;
    bool history = false;
    std::string report;
};

// Reads the arguments of `remove-blooming` into CBloomOptions.
class CBloomOptionsParser {
public:
    // False with m_error set (the usage problem, naming the bounds).
    bool Parse(const std::vector<std::string>& args, CBloomOptions& options);
    bool m_wantsHelp = false;
    bool m_wantsVersion = false;
    std::string m_error;

private:
    bool ParseTriple(const std::string& name, const std::string& text, CPlaneParameters& parameters);
    bool ParseRegion(const std::string& text, CRegion& region);
    bool ParsePlanes(const std::string& text, std::array<bool, 3>& planes);
};
