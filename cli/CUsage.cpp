#include "CUsage.h"

#ifndef DORVANE_VERSION
#define DORVANE_VERSION "unknown"
#endif

int CUsage::Fail(CCliIo& io, const std::string& command, const std::string& problem)
{
    const std::string name = command.empty() ? "dorvane-cli" : "dorvane-cli " + command;
    io.err << name << ": " << problem << "\n"
           << "Try '" << name << " --help'.\n";
    return kExitUsage;
}

std::string CUsage::VersionLine()
{
    return std::string("dorvane-cli ") + DORVANE_VERSION;
}

std::string CUsage::Version()
{
    return DORVANE_VERSION;
}
