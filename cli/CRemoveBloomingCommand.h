#pragma once
#include <string>
#include <vector>

#include "CCliIo.h"
#include "support/CPosixFileOps.h"

// dorvane-cli remove-blooming [options] FILE...
class CRemoveBloomingCommand {
public:
    // engineThreads: -1 lets the command choose (one per filter run when
    // several files run at once, the engine's own choice otherwise).
    // fileOps: the file layer every file is read and written through.
    static int Run(const std::vector<std::string>& args, CCliIo& io, int engineThreads = -1,
                   IFileOps& fileOps = CPosixFileOps::Instance());
    static const char* Help();
};
