#pragma once
#include <string>

#include "IFilterStatus.h"

// The texts of the filter status display, shared by every display so that
// the desktop window and the command line say the same thing.
namespace FilterStatusTexts {

inline constexpr const char* kTitle = "Anti-Blooming Filter Status:";

// "Searching for bloom pixels" + suffix + ".".
std::string SearchLine(const std::string& suffix);
// "<count> bloom pixels detected."
std::string DetectedLine(int count);
// "<count> bloom pixels after length check."
std::string LengthCheckLine(int count);
// The text of one of the lines revealed during the run.
const char* RevealedLine(IFilterStatus::ELine line);

}  // namespace FilterStatusTexts
