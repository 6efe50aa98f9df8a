#pragma once
#include <string>
#include <vector>

#include "CCliIo.h"

// dorvane-cli remove-blooming [options] FILE...
class CRemoveBloomingCommand {
public:
    // engineThreads: -1 lets the command choose (one per filter run when
    // several files run at once, the engine's own choice otherwise).
    static int Run(const std::vector<std::string>& args, CCliIo& io, int engineThreads = -1);
    static const char* Help();
};
