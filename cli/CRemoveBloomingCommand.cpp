#include "CRemoveBloomingCommand.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <new>

#include "CBloomFileJob.h"
#include "CBloomOptions.h"
#include "CJobPool.h"
#include "COutputPlan.h"
#include "CProgressBoard.h"
#include "CProgressLine.h"
#include "CRunReport.h"
#include "CSidecarPlan.h"
#include "CUsage.h"

const char* CRemoveBloomingCommand::Help()
{
    return "Usage: dorvane-cli remove-blooming [options] FILE...\n"
           "\n"
           "Removes blooming from FITS and SBIG Type 3 files with the desktop program's\n"
           "filter and writes each result in its input's own format, header bytes kept.\n"
           "A file the filter leaves unchanged is written back byte for byte.\n"
           "\n"
           "  --intensity N     pixels at or above N are bloom candidates\n"
           "                    (1 to 1000000, default 60000)\n"
           "  --length N        a vertical run is a bloom when longer than N pixels\n"
           "                    (1 to 10000, default 5)\n"
           "  --width N         half the side of the replacement window\n"
           "                    (1 to 1000, default 2)\n"
           "                    These three apply to a monochrome image and to every\n"
           "                    plane of a colour image.\n"
           "  --red I,L,W       intensity, length and width for the red plane of a\n"
           "  --green I,L,W     colour image (same bounds); they override the three\n"
           "  --blue I,L,W      options above for that plane\n"
           "  --planes LIST     colour planes to filter, letters r, g, b (default rgb)\n"
           "  --mirror          mirror each filtered plane before its run and after it,\n"
           "                    so replacement values come from the right of a bloom;\n"
           "                    the region is mirrored with it\n"
           "  --region L,T,R,B  filter only this rectangle of image pixels (right and\n"
           "                    bottom exclusive), clipped to each image\n"
           "  -o, --output PATH the output file (one input), or an existing folder that\n"
           "                    receives each output under its input's file name\n"
           "  --in-place        rewrite each input file; without -o it is required\n"
           "  --mask PATH       write the replaced-pixel mask of the one input file: a\n"
           "                    FITS image (BITPIX 8) of its size, 1 where the filter\n"
           "                    replaced a pixel and 0 elsewhere (three planes for a\n"
           "                    colour image), the parameters in its header\n"
           "  --mask-dir DIR    the same for every input file, into an existing folder,\n"
           "                    named after the input (frame.fit: frame.fit.mask.fits)\n"
           "  --history         add HISTORY cards to each FITS output naming the\n"
           "                    program, version, date and each plane's parameters\n"
           "                    (not to SBIG files, nor to a file the filter leaves\n"
           "                    unchanged; stderr says so)\n"
           "  --report FILE     write a JSON report: one object per input file with its\n"
           "                    output, format, size, parameters, detected and kept\n"
           "                    counts per plane, pixels replaced, region and seconds\n"
           "  -j, --jobs N      files processed at once (1 to 1024, default: the number\n"
           "                    of cores)\n"
           "  -q, --quiet       no progress output\n"
           "  -h, --help        show this help\n"
           "  --version         show the version\n"
           "\n"
           "On a terminal a progress line per file shows the filter's stages, and a\n"
           "summary ends the run. Exit status: 0 all files done, 1 a file failed\n"
           "(\"PATH: message\" on stderr; the other files are still processed), 2 usage\n"
           "error.\n";
}

int CRemoveBloomingCommand::Run(const std::vector<std::string>& args, CCliIo& io, int engineThreads)
{
    CBloomOptions options;
    CBloomOptionsParser parser;
    if (!parser.Parse(args, options))
        return CUsage::Fail(io, "remove-blooming", parser.m_error);
    if (parser.m_wantsHelp) {
        io.out << Help();
        return kExitOk;
    }
    if (parser.m_wantsVersion) {
        io.out << CUsage::VersionLine() << "\n";
        return kExitOk;
    }
    COutputPlan plan;
    if (!plan.Make(options.inputs, options.output, options.inPlace))
        return CUsage::Fail(io, "remove-blooming", plan.m_error);
    CSidecarPlan sidecars;
    if (!sidecars.Make(options, plan.m_outputs))
        return CUsage::Fail(io, "remove-blooming", sidecars.m_error);

    const std::size_t files = options.inputs.size();
    const std::size_t workers =
        std::min<std::size_t>(files, options.jobs > 0 ? static_cast<std::size_t>(options.jobs)
                                                      : CJobPool::DefaultWorkers());
    // Several files at once already fill the cores; one file at a time lets
    // the engine use a second core itself.
    if (engineThreads < 0)
        engineThreads = workers > 1 ? 1 : 0;

    const bool live = io.errIsTerminal && !options.quiet;
    CProgressBoard board(io.err, live, workers, io.columns);
    CBloomFileJob job(options, engineThreads);
    std::atomic<int64_t> bloomPixels{0};
    std::atomic<std::size_t> failed{0};
    CRunReport report(files);
    bool reportFailed = false;
    const auto started = std::chrono::steady_clock::now();

    CJobPool::Run(files, workers, [&](std::size_t index, std::size_t slot) {
        const std::string& input = options.inputs[index];
        const std::string mask = sidecars.m_masks.empty() ? std::string() : sidecars.m_masks[index];
        try {
            CProgressLine line(board, slot, input);
            const auto fileStarted = std::chrono::steady_clock::now();
            CBloomFileJob::Result result = job.Process(input, plan.m_outputs[index], live ? &line : nullptr, mask);
            if (!options.report.empty())
                report.Set(index, input, plan.m_outputs[index], mask, result,
                           std::chrono::duration<double>(std::chrono::steady_clock::now() - fileStarted).count());
            if (live)
                board.SetLine(slot, "");
            for (const std::string& note : result.notes)
                board.Print(input + ": " + note);
            if (!result.ok) {
                ++failed;
                for (const std::string& message : result.messages)
                    board.Print(input + ": " + message);
                return;
            }
            bloomPixels += result.bloomPixels;
            if (live)
                board.Print(input + ": " + std::to_string(result.bloomPixels) + " bloom pixels removed" +
                            (result.changed ? "" : ", unchanged"));
        } catch (const std::bad_alloc&) {
            // Not even the message could be built; the status still tells.
            ++failed;
        }
    });
    board.Finish();
    if (!options.report.empty()) {
        std::vector<std::string> messages;
        if (!report.Write(options.report, messages)) {
            for (const std::string& message : messages)
                io.err << options.report << ": " << message << "\n";
            reportFailed = true;
        }
    }

    if (live) {
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        char time[32];
        std::snprintf(time, sizeof time, "%.1f s", seconds);
        std::string summary = std::to_string(files) + (files == 1 ? " file" : " files");
        if (failed)
            summary += ", " + std::to_string(failed.load()) + " failed";
        summary += ", " + std::to_string(bloomPixels.load()) + " bloom pixels removed, " + time;
        io.err << summary << "\n";
        io.err.flush();
    }
    return failed || reportFailed ? kExitFailed : kExitOk;
}
