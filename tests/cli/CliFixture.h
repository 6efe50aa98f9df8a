#pragma once
#include <sys/resource.h>
#include <sys/types.h>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "CoreTestSupport.h"  // scratch folders, bytes and the file builders
#include "support/CRegion.h"

// Small image files, ways to run dorvane-cli, and what the desktop program
// does with the same file: everything the command-line tests share.
namespace CliTest {

using Plane = std::vector<uint32_t>;  // one plane, row-major
using Bytes = Blob;

// Faint noise near base with vertical streaks of 65000: two blooms placed by
// the seed, and one run too short to count.
Plane BloomedPlane(int32_t width, int32_t height, uint32_t seed, uint32_t base = 1200);
// A FITS file of 8 or 16 bits, one plane or three, each value stored as
// value - bzero; data padded to whole blocks. No planes: the header only.
void WriteFits(const std::string& path, int32_t width, int32_t height, const std::vector<Plane>& planes,
               int bitpix = 16, long long bzero = 32768);
void WriteSbig(const std::string& path, int32_t width, int32_t height, const Plane& plane, bool compressed);
inline std::string Text(const std::string& path) { const Bytes b = ReadBytes(path); return {b.begin(), b.end()}; }
inline bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
// Names in folder that begin with "." : the writer's temporary files.
std::vector<std::string> Hidden(const std::string& folder);

struct CliRun {
    int status = -1;  // as a shell reports it: the exit status, or 128 + the signal
    bool timedOut = false;
    std::string out, err;
};
// dorvane-cli's logic in-process (arguments without the program name);
// terminal: stderr passes for a terminal.
CliRun RunCli(const std::vector<std::string>& args, bool terminal = false);

// The real program as a child process, for what only a process shows.
struct ProcessSetup {
    std::string stdoutPath{};                      // empty: captured
    std::vector<std::pair<int, rlim_t>> limits{};  // setrlimit before exec
    bool dropRoot = false;                         // when root, run as nobody
    std::function<void(pid_t)> whileRunning{};     // called once the child runs
    int timeoutSeconds = 30;
};
CliRun RunCliProcess(const std::vector<std::string>& args, const ProcessSetup& setup = {});

// AddressSanitizer needs address space far beyond any useful limit.
constexpr bool kSanitized =
#if defined(__SANITIZE_ADDRESS__)
    true;
#else
    false;
#endif

// Remove Blooming then Save As, as the desktop program does them.
struct Params {
    uint32_t intensity = 60000;
    int32_t length = 5, width = 2;
};
struct Command {
    std::array<Params, 3> params{};  // a monochrome image takes the first
    std::array<bool, 3> planes{true, true, true};
    bool mirror = false;
    std::optional<CRegion> region{};  // inside the image
};
// The bloom pixels left after the length check over all runs, or -1 when a
// step failed; shown gets the counts each run's status window ends on.
long long DesktopRunAndSave(const std::string& input, const std::string& output, const Command& command,
                            std::vector<std::pair<int, int>>* shown = nullptr);

}  // namespace CliTest
