#include <sys/ioctl.h>
#include <unistd.h>

#include <iostream>

#include "CCliApp.h"

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    CCliIo io{std::cout, std::cerr, isatty(STDERR_FILENO) != 0};
    winsize size{};
    if (io.errIsTerminal && ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        io.columns = size.ws_col;
    const int status = CCliApp::Run(std::vector<std::string>(argv + 1, argv + argc), io);
    std::cout.flush();
    return status;
}
