#pragma once
#include <string>
#include <vector>

#include "CCliIo.h"

// dorvane-cli render [--min N] [--max N] [--zoom PERCENT] FILE --png OUT.png
class CRenderCommand {
public:
    static int Run(const std::vector<std::string>& args, CCliIo& io);
    static const char* Help();
};
