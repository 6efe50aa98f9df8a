#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "CCliIo.h"

// What `render` was asked to do.
struct CRenderOptions {
    bool hasMin = false;
    bool hasMax = false;
    int64_t min = 0;
    int64_t max = 0;
    int64_t zoom = 100;
    std::string png;
    std::string input;
};

// dorvane-cli render [--min N] [--max N] [--zoom PERCENT] FILE --png OUT.png
class CRenderCommand {
public:
    static int Run(const std::vector<std::string>& args, CCliIo& io);
    static const char* Help();

private:
    // Opens the input, builds the picture and writes it.
    static int Render(const CRenderOptions& options, CCliIo& io);
};
