#pragma once
#include <string>
#include <vector>

#include "CCliIo.h"

// dorvane-cli info [--json] FILE...
class CInfoCommand {
public:
    static int Run(const std::vector<std::string>& args, CCliIo& io);
    static const char* Help();
};
