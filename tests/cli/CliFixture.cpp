#include "CliFixture.h"

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <sstream>
#include <tuple>

#include "CCliApp.h"
#include "CFileSession.h"
#include "filter/CBloomFilter.h"
#include "filter/MirrorPlane.h"
#include "image/CAstroImage.h"

namespace CliTest {

Plane BloomedPlane(int32_t width, int32_t height, uint32_t seed, uint32_t base)
{
    Plane plane(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    uint32_t state = seed * 2654435761u + 12345u;
    for (uint32_t& value : plane) {
        state = state * 1664525u + 1013904223u;
        value = base + (state >> 24) % 200;
    }
    auto streak = [&](int32_t x, int32_t top, int32_t length, int32_t thickness) {
        for (int32_t y = top; y < top + length && y < height; ++y)
            for (int32_t dx = 0; dx < thickness && x + dx < width; ++dx)
                plane[static_cast<std::size_t>(y) * width + x + dx] = 65000;
    };
    streak(5 + static_cast<int32_t>(seed % 7), 4, height / 2, 2);
    streak(width / 2 + static_cast<int32_t>(seed % 5), height / 3, height / 2, 1);
    streak(width - 9, 10, 4, 1);
    return plane;
}

void WriteFits(const std::string& path, int32_t width, int32_t height, const std::vector<Plane>& planes, int bitpix,
               long long bzero)
{
    CFitsBuilder fits = CFitsBuilder::Image(bitpix, width, height, planes.size() == 3, std::to_string(bzero).c_str());
    for (const Plane& plane : planes)
        for (uint32_t value : plane) {
            const auto stored = static_cast<uint16_t>(static_cast<int64_t>(value) - bzero);
            if (bitpix == 16)
                fits.data.push_back(static_cast<uint8_t>(stored >> 8));
            fits.data.push_back(static_cast<uint8_t>(stored & 0xFF));
        }
    WriteBytes(path, fits.Bytes());
}

void WriteSbig(const std::string& path, int32_t width, int32_t height, const Plane& plane, bool compressed)
{
    const Blob header = SbigHeader({compressed ? "ST-7 Compressed Image" : "ST-7 Image",
                                    "Height = " + std::to_string(height), "Width = " + std::to_string(width), "End"},
                                   "\r");
    WriteBytes(path, Concat(header, compressed ? CompressedRows(plane, width) : RawRows(plane)));
}

std::vector<std::string> Hidden(const std::string& folder)
{
    std::vector<std::string> names = Names(folder);
    names.erase(std::remove_if(names.begin(), names.end(), [](const std::string& n) { return n[0] != '.'; }),
                names.end());
    return names;
}

CliRun RunCli(const std::vector<std::string>& args, bool terminal)
{
    std::ostringstream out, err;
    CCliIo io{out, err, terminal, 200};
    const int status = CCliApp::Run(args, io);
    return {status, false, out.str(), err.str()};
}

CliRun RunCliProcess(const std::vector<std::string>& args, const ProcessSetup& setup)
{
    CTempDir capture;
    const std::string outPath = setup.stdoutPath.empty() ? capture.File("out") : setup.stdoutPath;
    const std::string errPath = capture.File("err");
    std::vector<std::string> all = {DORVANE_CLI_PATH};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv(all.size() + 1, nullptr);
    std::transform(all.begin(), all.end(), argv.begin(), [](std::string& arg) { return arg.data(); });
    const bool dropRoot = setup.dropRoot && ::geteuid() == 0;

    const pid_t pid = ::fork();
    if (pid == 0) {
        // Only async-signal-safe calls between fork and exec.
        const int in = ::open("/dev/null", O_RDONLY);
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        if (in < 0 || out < 0 || err < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0)
            ::_exit(120);
        for (const auto& [resource, value] : setup.limits)
            if (const rlimit limit{value, value}; ::setrlimit(resource, &limit) != 0)
                ::_exit(121);
        if (dropRoot && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(122);
        ::alarm(static_cast<unsigned>(setup.timeoutSeconds));  // outlives exec: a run that hangs ends
        ::execv(argv[0], argv.data());
        ::_exit(123);
    }
    CliRun run;
    if (pid > 0 && setup.whileRunning)
        setup.whileRunning(pid);
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid)
        return run;
    run.timedOut = WIFSIGNALED(status) && WTERMSIG(status) == SIGALRM;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.out = setup.stdoutPath.empty() ? Text(outPath) : "";
    run.err = Text(errPath);
    return run;
}

long long DesktopRunAndSave(const std::string& input, const std::string& output, const Command& command,
                            std::vector<std::pair<int, int>>* shown)
{
    CFileSession session(32);  // the desktop's objects; its own open and save below
    if (!session.m_doc.OnOpenDocument(input))
        return -1;
    CSharedState& shared = session.m_shared;
    CAstroImage& image = *session.m_doc.m_pImage;
    const int32_t w = image.m_width;
    // The region as selected; with Mirror it follows the mirrored plane, so
    // its columns [l, r) become [w - r, w - l).
    shared.m_bRegionSet = command.region.has_value();
    shared.m_rcRegionImage = command.region.value_or(CRegion{});
    if (command.mirror)
        std::tie(shared.m_rcRegionImage.left, shared.m_rcRegionImage.right) =
            std::pair(w - shared.m_rcRegionImage.right, w - shared.m_rcRegionImage.left);
    image.SaveUndo();
    long long bloom = 0;
    auto runPlane = [&](std::vector<uint32_t>& plane, const Params& p, const char* suffix) {
        if (command.mirror)
            MirrorPlane(plane, w, image.m_height);
        CBloomFilter filter(image, plane, p.intensity, p.length, p.width);
        filter.Run(suffix, shared, nullptr);
        if (command.mirror)
            MirrorPlane(plane, w, image.m_height);
        bloom += filter.LengthCheckedCount();
        if (shown)
            shown->emplace_back(filter.ShownDetectedCount(), filter.ShownLengthCheckCount());
    };
    if (!image.m_isColor)
        runPlane(image.m_red, command.params[0], "");
    std::vector<uint32_t>* planes[] = {&image.m_red, &image.m_green, &image.m_blue};
    const char* suffixes[] = {" in Red plane", " in Green plane", " in Blue plane"};
    for (int k = 0; k < 3 && image.m_isColor; ++k)
        if (command.planes[k])
            runPlane(*planes[k], command.params[k], suffixes[k]);
    image.UpdateDisplay();
    shared.m_bRegionSet = false;
    return session.m_doc.OnSaveDocument(output) ? bloom : -1;
}

}  // namespace CliTest
