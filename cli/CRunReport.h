#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "CBloomFileJob.h"

// The JSON report of a remove-blooming run (--report): an array holding one
// object per input, in the order the inputs were given, one object a line.
// Workers fill their own entries; the file is written atomically at the end.
//
// An entry: "path", "output", "ok"; once the file was filtered "format"
// ("FITS" or "SBIG"), "width", "height", "planes" (per filtered plane:
// "plane" mono/red/green/blue, "intensity", "length", "width", "detected"
// and "kept" as the desktop program's status window ends on them, and
// "replaced"), "mirror", "region" [left, top, right, bottom], the totals
// "detected", "kept", "replaced", "changed", and "mask" (its path or null);
// "errors" when the file failed, "notes" when there are any; "seconds".
class CRunReport {
public:
    explicit CRunReport(std::size_t inputs) : m_entries(inputs) {}

    // Each index is set once, by one worker.
    void Set(std::size_t index, const std::string& input, const std::string& output, const std::string& mask,
             const CBloomFileJob::Result& result, double seconds);
    std::string Text() const;
    // False with the save's messages (to print after the report's path).
    bool Write(const std::string& path, std::vector<std::string>& messages) const;

    static std::string Entry(const std::string& input, const std::string& output, const std::string& mask,
                             const CBloomFileJob::Result& result, double seconds);

private:
    std::vector<std::string> m_entries;
};
