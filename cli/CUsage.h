#pragma once
#include <string>

#include "CCliIo.h"

// The words shared by every command's usage handling.
class CUsage {
public:
    // Prints "dorvane-cli COMMAND: problem" and the hint to --help; returns
    // kExitUsage.
    static int Fail(CCliIo& io, const std::string& command, const std::string& problem);
    // "dorvane-cli 1.8"
    static std::string VersionLine();
    // "1.8"
    static std::string Version();
};
