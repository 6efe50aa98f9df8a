#pragma once
#include <sys/resource.h>
#include <sys/types.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

// Runs the real dorvane-cli program as a child process, for what only a
// process shows: signals, resource limits, its standard output, pipes and
// devices. Every run is bounded in time.
namespace CliTest {

struct ProcessSetup {
    std::string stdoutPath{};                    // where standard output goes; empty: captured
    std::vector<std::pair<int, rlim_t>> limits{};  // setrlimit before the program starts
    bool dropRoot = false;                       // when root, run as the user nobody
    // Called once the child runs; the child's exit is awaited afterwards.
    std::function<void(pid_t)> whileRunning{};
    int timeoutSeconds = 30;
};

struct ProcessRun {
    int status = -1;  // as a shell reports it: the exit status, or 128 + the signal
    bool timedOut = false;
    std::string out;
    std::string err;
};

ProcessRun RunCliProcess(const std::vector<std::string>& args, const ProcessSetup& setup = {});

// True when this build runs under AddressSanitizer, which needs address
// space far beyond any useful limit.
constexpr bool kSanitized =
#if defined(__SANITIZE_ADDRESS__)
    true;
#else
    false;
#endif

}  // namespace CliTest
