#include "CRunReport.h"

#include <cstdio>

#include "CJsonLine.h"
#include "support/CAtomicFileWriter.h"
#include "support/CSaveMessages.h"

namespace {

std::string Array(const std::vector<std::string>& items)
{
    std::string text = "[";
    for (std::size_t i = 0; i < items.size(); ++i)
        text += (i ? "," : "") + items[i];
    return text + "]";
}

std::string Strings(const std::vector<std::string>& texts)
{
    std::vector<std::string> quoted;
    for (const std::string& text : texts)
        quoted.push_back(CJsonLine::Quote(text));
    return Array(quoted);
}

}  // namespace

std::string CRunReport::Entry(const std::string& input, const std::string& output, const std::string& mask,
                              const CBloomFileJob::Result& result, double seconds)
{
    CJsonLine entry;
    entry.AddString("path", input);
    entry.AddString("output", output);
    entry.AddBool("ok", result.ok);
    if (result.filtered) {
        const CFilterRunRecord& record = result.record;
        entry.AddString("format", result.isFits ? "FITS" : "SBIG");
        entry.AddInt("width", record.imageWidth);
        entry.AddInt("height", record.imageHeight);
        std::vector<std::string> planes;
        int64_t detected = 0, kept = 0;
        for (const CPlaneRunRecord& plane : record.planes) {
            CJsonLine item;
            item.AddString("plane", record.PlaneName(plane.plane));
            item.AddInt("intensity", plane.intensity);
            item.AddInt("length", plane.length);
            item.AddInt("width", plane.width);
            item.AddInt("detected", plane.detected);
            item.AddInt("kept", plane.kept);
            item.AddInt("replaced", plane.changes.Count());
            planes.push_back(item.Text());
            detected += plane.detected;
            kept += plane.kept;
        }
        entry.AddRaw("planes", Array(planes));
        entry.AddBool("mirror", record.mirror);
        std::string region = "[";
        region += record.RegionText();
        region += ']';
        entry.AddRaw("region", region);
        entry.AddInt("detected", detected);
        entry.AddInt("kept", kept);
        entry.AddInt("replaced", record.ReplacedCount());
        entry.AddBool("changed", result.changed);
        entry.AddRaw("mask", mask.empty() || !result.ok ? "null" : CJsonLine::Quote(mask));
    }
    if (!result.ok)
        entry.AddRaw("errors", Strings(result.messages));
    if (!result.notes.empty())
        entry.AddRaw("notes", Strings(result.notes));
    char time[32];
    std::snprintf(time, sizeof time, "%.3f", seconds);
    entry.AddRaw("seconds", time);
    return entry.Text();
}

void CRunReport::Set(std::size_t index, const std::string& input, const std::string& output, const std::string& mask,
                     const CBloomFileJob::Result& result, double seconds)
{
    m_entries[index] = Entry(input, output, mask, result, seconds);
}

std::string CRunReport::Text() const
{
    // An entry left empty (a job that never ran) is left out, so that the
    // text stays JSON.
    std::string text = "[";
    const char* separator = "\n";
    for (const std::string& entry : m_entries) {
        if (entry.empty())
            continue;
        text += separator + entry;
        separator = ",\n";
    }
    return text + "\n]\n";
}

bool CRunReport::Write(const std::string& path, std::vector<std::string>& messages) const
{
    const std::string text = Text();
    CAtomicFileWriter writer;
    if (!writer.Begin(path)) {
        messages.push_back(CSaveMessages::Text(ESaveStep::Create, false));
        return false;
    }
    if (!writer.Write(text.data(), text.size()) || !writer.Commit()) {
        messages.push_back(CSaveMessages::Text(ESaveStep::Close, false));
        return false;
    }
    return true;
}
