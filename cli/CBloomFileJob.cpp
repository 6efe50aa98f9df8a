#include "CBloomFileJob.h"

#include <ctime>
#include <filesystem>
#include <new>

#include "CFileCopy.h"
#include "CFileSession.h"
#include "CProgressLine.h"
#include "CUsage.h"
#include "filter/CPlaneFilterRun.h"
#include "image/CAstroImage.h"
#include "image/CFitsCard.h"
#include "image/CFitsHistory.h"
#include "image/CFitsImage.h"
#include "image/CFitsMaskWriter.h"
#include "support/CCollectingMessageSink.h"
#include "support/CAtomicFileWriter.h"
#include "support/CLargeBuffer.h"
#include "support/ICommitQueue.h"

namespace {
// Hands the image's planes to the spares when the file is done with, so
// that the next file of the batch reuses their memory.
class CPlaneReturn {
public:
    explicit CPlaneReturn(const CFileSession& session) : m_session(session) {}
    ~CPlaneReturn()
    {
        CAstroImage* image = m_session.m_doc.m_pImage;
        if (image == nullptr)
            return;
        for (std::vector<uint32_t>* plane : {&image->m_red, &image->m_green, &image->m_blue})
            CLargeBuffer::Release(*plane);
    }

private:
    const CFileSession& m_session;
};

// Keeps the one deferred commit of a file's save for the job's result.
class CHeldCommit : public ICommitQueue {
public:
    void Defer(std::unique_ptr<CAtomicFileWriter> writer) override { m_writer = std::move(writer); }
    std::unique_ptr<CAtomicFileWriter> m_writer;
};
}  // namespace

CBloomFileJob::CBloomFileJob(const CBloomOptions& options, int engineThreads, IFileOps& files, bool deferCommits)
    : m_options(options), m_engineThreads(engineThreads), m_files(files), m_deferCommits(deferCommits)
{
}

int64_t CBloomFileJob::FilterImage(CAstroImage& image, CSharedState& state, IFilterStatus* status,
                                   CFilterRunRecord& record) const
{
    struct PlaneRun {
        std::vector<uint32_t>* plane;
        int index;
        CPlaneParameters parameters;
        const char* suffix;
    };
    std::vector<PlaneRun> runs;
    if (!image.m_isColor) {
        runs.push_back({&image.m_red, 0, m_options.mono, ""});
    } else {
        std::vector<uint32_t>* planes[3] = {&image.m_red, &image.m_green, &image.m_blue};
        const char* suffixes[3] = {" in Red plane", " in Green plane", " in Blue plane"};
        for (int k = 0; k < 3; ++k)
            if (m_options.planes[static_cast<std::size_t>(k)])
                runs.push_back({planes[k], k, m_options.color[static_cast<std::size_t>(k)], suffixes[k]});
    }

    // Each run clips the region to the image and mirrors it with the plane.
    state.m_bRegionSet = m_options.hasRegion;
    if (m_options.hasRegion)
        state.m_rcRegionImage = m_options.region;
    record = CFilterRunRecord::Start(image, state, m_options.mirror);

    int64_t bloomPixels = 0;
    for (const PlaneRun& run : runs) {
        const CPlaneFilterRun::SParameters parameters{run.parameters.intensity, run.parameters.length,
                                                      run.parameters.width};
        bloomPixels += CPlaneFilterRun::Run(image, *run.plane, run.index, parameters, m_options.mirror, run.suffix,
                                            state, status, m_engineThreads,
                                            &record.planes.emplace_back());
    }
    return bloomPixels;
}

void CBloomFileJob::AddHistory(CAstroImage& image, Result& result) const
{
    auto* fits = dynamic_cast<CFitsImage*>(&image);
    if (fits == nullptr) {
        result.notes.push_back("SBIG Type 3 file: no history written");
        return;
    }
    if (!result.changed) {
        result.notes.push_back("no pixel changed, the file is written back as it was: no history written");
        return;
    }
    const std::vector<std::string> cards = CFitsHistory::RunCards(result.record, "dorvane-cli", CUsage::Version(),
                                                                  CFitsCard::UtcDate(std::time(nullptr)));
    if (!CFitsHistory::Insert(fits->m_header, cards))
        result.notes.push_back("the header has no END card: no history written");
}

bool CBloomFileJob::WriteMask(const std::string& mask, const std::string& input, Result& result) const
{
    CCollectingMessageSink messages;
    const CFitsMaskWriter::SFacts facts{std::filesystem::path(input).filename().string(), "dorvane-cli",
                                        CUsage::Version(), CFitsCard::UtcDate(std::time(nullptr))};
    if (CFitsMaskWriter::Write(mask, result.record, facts, messages))
        return true;
    for (const std::string& message : messages.m_messages)
        result.messages.push_back("mask " + mask + ": " + message);
    return false;
}

CBloomFileJob::Result CBloomFileJob::Process(const std::string& input, const std::string& output,
                                             CProgressLine* progress, const std::string& mask) const
{
    Result result;
    // A step that runs out of memory fails this file alone, with its own
    // text; a writer on the way out has removed its temporary file.
    const char* outOfMemory = "Not enough memory to open the image.";
    try {
        CHeldCommit held;
        CFileSession session(0, m_files);
        CPlaneReturn planeReturn(session);
        session.m_shared.m_bShowsImages = false;
        if (progress)
            progress->ShowStage("Reading.");
        if (!session.Open(input)) {
            result.messages = session.Failure();
            return result;
        }
        CAstroImage& image = *session.m_doc.m_pImage;
        outOfMemory = "Not enough memory to filter the image.";
        // The record's changed pixels come from the filter's own writes: far
        // cheaper than a copy of the planes to compare with afterwards.
        result.bloomPixels = FilterImage(image, session.m_shared, progress, result.record);
        result.changed = result.record.ReplacedCount() > 0;
        result.filtered = true;
        result.isFits = session.m_doc.m_isFits != 0;
        if (m_options.history)
            AddHistory(image, result);
        if (progress)
            progress->ShowStage("Saving.");
        outOfMemory = "Not enough memory to save the image.";
        ICommitQueue* queue = m_deferCommits ? &held : nullptr;
        if (!result.changed) {
            // Nothing to encode: the output is the input's own bytes.
            if (output != input && !CFileCopy::Copy(input, output, result.messages, m_files, queue))
                return result;
        } else {
            image.DeferCommitsTo(queue);
            if (!session.Save(output)) {
                result.messages = session.m_messages.m_messages;
                if (result.messages.empty())
                    result.messages.push_back("Failed to write file.");
                return result;
            }
        }
        result.commit = std::move(held.m_writer);
        outOfMemory = "Not enough memory to write the mask.";
        if (!mask.empty() && !WriteMask(mask, input, result))
            return result;
    } catch (const std::bad_alloc&) {
        result.messages.assign(1, outOfMemory);
        return result;
    }
    result.ok = true;
    return result;
}
