#include "CliProcess.h"

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <thread>

#include "CliTestFiles.h"

namespace CliTest {

namespace {
std::string Slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
}  // namespace

ProcessRun RunCliProcess(const std::vector<std::string>& args, const ProcessSetup& setup)
{
    TempDir capture;
    const std::string outPath = setup.stdoutPath.empty() ? capture.Path("out") : setup.stdoutPath;
    const std::string errPath = capture.Path("err");
    std::vector<std::string> all = {DORVANE_CLI_PATH};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : all)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    const bool dropRoot = setup.dropRoot && ::geteuid() == 0;

    const pid_t pid = ::fork();
    if (pid == 0) {
        // Only async-signal-safe calls between fork and exec.
        const int in = ::open("/dev/null", O_RDONLY);
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        if (in < 0 || out < 0 || err < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0)
            ::_exit(120);
        for (const auto& [resource, value] : setup.limits) {
            const rlimit limit{value, value};
            if (::setrlimit(resource, &limit) != 0)
                ::_exit(121);
        }
        if (dropRoot && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(122);
        ::execv(argv[0], argv.data());
        ::_exit(123);
    }
    ProcessRun run;
    if (pid < 0)
        return run;
    if (setup.whileRunning)
        setup.whileRunning(pid);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(setup.timeoutSeconds);
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            run.timedOut = true;
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (setup.stdoutPath.empty())
        run.out = Slurp(outPath);
    run.err = Slurp(errPath);
    return run;
}

}  // namespace CliTest
