#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "CBloomOptions.h"
#include "filter/CFilterRunRecord.h"
#include "support/CAtomicFileWriter.h"
#include "support/CPosixFileOps.h"

class CAstroImage;
class CProgressLine;
class IFilterStatus;
struct CSharedState;

// Removes blooming from one file and writes the result, the way the desktop
// program's Remove Blooming command followed by Save does.
class CBloomFileJob {
public:
    struct Result {
        bool ok = false;
        bool changed = false;              // the filter changed some pixel
        int64_t bloomPixels = 0;           // after the length check, all planes
        std::vector<std::string> messages; // why it failed, in order
        std::vector<std::string> notes;    // what else stderr should say (no history written)
        bool filtered = false;             // the filter ran: record and isFits hold what it did
        bool isFits = false;
        CFilterRunRecord record;           // what the runs did; its changes tell whether any pixel changed
        // With deferred commits: the written output, still to be flushed and
        // renamed (its Commit decides whether the file is done). Null when
        // nothing was written (a failure, or an unchanged file in place).
        std::unique_ptr<CAtomicFileWriter> commit;
    };

    // engineThreads: threads each filter run may use (0: the engine decides).
    // files: the file layer. deferCommits: Process leaves the flush and the
    // rename of its output to the caller (Result::commit).
    CBloomFileJob(const CBloomOptions& options, int engineThreads, IFileOps& files = CPosixFileOps::Instance(),
                  bool deferCommits = false);

    // Reads input, filters it and writes output (the input itself when
    // rewriting in place). A file whose pixels stay unchanged is copied byte
    // for byte, or left alone when rewritten in place. progress, which may be
    // null, shows the stages. mask, when not empty, receives the file's
    // replaced-pixel mask once the output is written.
    Result Process(const std::string& input, const std::string& output, CProgressLine* progress,
                   const std::string& mask = "") const;

    // The filter runs of the command on an opened image: each chosen plane,
    // mirrored around its run when asked. Returns the bloom pixels counted.
    // state holds the file's own FilterRegion. record receives what the runs
    // did, the pixels each changed included.
    int64_t FilterImage(CAstroImage& image, CSharedState& state, IFilterStatus* status,
                        CFilterRunRecord& record) const;

private:
    // --history: the cards go into a FITS image's header before it is saved;
    // why none were added goes to the notes.
    void AddHistory(CAstroImage& image, Result& result) const;
    bool WriteMask(const std::string& mask, const std::string& input, Result& result) const;

    const CBloomOptions& m_options;
    int m_engineThreads;
    IFileOps& m_files;
    bool m_deferCommits;
};
