#pragma once
#include <string>
#include <vector>

#include "CCliIo.h"

// The program's entry: picks the sub-command and handles the program's own
// --help and --version. args excludes the program name.
class CCliApp {
public:
    // Output that could not be written makes the status at least 1.
    static int Run(const std::vector<std::string>& args, CCliIo& io);
    static const char* Help();

private:
    static int RunCommand(const std::vector<std::string>& args, CCliIo& io);
};
