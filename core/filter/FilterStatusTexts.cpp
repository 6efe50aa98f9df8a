#include "filter/FilterStatusTexts.h"

namespace FilterStatusTexts {

std::string SearchLine(const std::string& suffix)
{
    return "Searching for bloom pixels" + suffix + ".";
}

std::string DetectedLine(int count)
{
    return std::to_string(count) + " bloom pixels detected.";
}

std::string LengthCheckLine(int count)
{
    return std::to_string(count) + " bloom pixels after length check.";
}

const char* RevealedLine(IFilterStatus::ELine line)
{
    switch (line) {
    case IFilterStatus::ELine::LengthCheck: return "Checking length of bloom pixels.";
    case IFilterStatus::ELine::Removing: return "Removing bloom pixels.";
    case IFilterStatus::ELine::Blending: return "Blending bloom pixels.";
    case IFilterStatus::ELine::Complete: return "Processing Complete!";
    }
    return "";
}

}  // namespace FilterStatusTexts
