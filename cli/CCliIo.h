#pragma once
#include <ostream>

// Where a command writes: its results to out, failures and progress to err.
// errIsTerminal says whether err is a terminal (progress is shown only then).
struct CCliIo {
    std::ostream& out;
    std::ostream& err;
    bool errIsTerminal = false;
    int columns = 80;  // width of that terminal
};

// Exit statuses of every command.
enum ECliExit : int {
    kExitOk = 0,        // every file was done
    kExitFailed = 1,    // one or more files failed
    kExitUsage = 2,     // the command line itself was wrong
};
