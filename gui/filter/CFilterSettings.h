#pragma once
#include "CFilterParams.h"

class ISettings;

// The filter parameters as stored in the "Settings" section. The plane check
// boxes and "Process all open images." are never stored.
class CFilterSettings {
public:
    static CMonoParams ReadMono(const ISettings& settings);
    static CColorParams ReadColor(const ISettings& settings);
    // Writes "Mono Intensity", "Mono Length", "Mono Width", "Mirror".
    static void WriteMono(ISettings& settings, const CMonoParams& params);
    // Writes the nine plane values (red, green, blue; each Intensity, Length,
    // Width), then "Mirror".
    static void WriteColor(ISettings& settings, const CColorParams& params);
};
