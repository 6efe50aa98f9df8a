#include <sys/ioctl.h>
#include <unistd.h>

#include <iostream>

#include "CCliApp.h"
#include "support/CTempFileRegistry.h"

int main(int argc, char** argv)
{
    // Interrupted or terminated, the tool leaves no temporary file behind.
    CTempFileRegistry::RemoveOnSignals();
    std::ios::sync_with_stdio(false);
    CCliIo io{std::cout, std::cerr, isatty(STDERR_FILENO) != 0};
    winsize size{};
    if (io.errIsTerminal && ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        io.columns = size.ws_col;
    return CCliApp::Run(std::vector<std::string>(argv + 1, argv + argc), io);
}
