#include "CBloomFileJob.h"

#include <new>

#include "CFileCopy.h"
#include "CFileSession.h"
#include "CPlaneSnapshot.h"
#include "CProgressLine.h"
#include "filter/CBloomFilter.h"
#include "filter/MirrorPlane.h"
#include "image/CAstroImage.h"
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
                                   CPlaneSnapshot& before) const
{
    struct PlaneRun {
        std::vector<uint32_t>* plane;
        CPlaneParameters parameters;
        const char* suffix;
    };
    std::vector<PlaneRun> runs;
    if (!image.m_isColor) {
        runs.push_back({&image.m_red, m_options.mono, ""});
    } else {
        std::vector<uint32_t>* planes[3] = {&image.m_red, &image.m_green, &image.m_blue};
        const char* suffixes[3] = {" in Red plane", " in Green plane", " in Blue plane"};
        for (std::size_t k = 0; k < 3; ++k)
            if (m_options.planes[k])
                runs.push_back({planes[k], m_options.color[k], suffixes[k]});
    }

    const int32_t width = image.m_width;
    const int32_t height = image.m_height;
    state.m_bRegionSet = m_options.hasRegion;
    if (m_options.hasRegion) {
        const CRegion clipped = m_options.region.ClippedTo(width, height);
        // The plane is mirrored as a whole for the run, so the rectangle is
        // mirrored with it: the filter then works on the selected pixels.
        state.m_rcRegionImage = m_options.mirror ? clipped.MirroredIn(width) : clipped;
    }

    int64_t bloomPixels = 0;
    for (const PlaneRun& run : runs) {
        before.Add(*run.plane);
        if (m_options.mirror)
            MirrorPlane(*run.plane, width, height);
        CBloomFilter filter(image, *run.plane, run.parameters.intensity, run.parameters.length,
                            run.parameters.width);
        filter.SetThreadCount(m_engineThreads);
        filter.Run(run.suffix, state, status);
        if (m_options.mirror)
            MirrorPlane(*run.plane, width, height);
        bloomPixels += filter.LengthCheckedCount();
    }
    return bloomPixels;
}

CBloomFileJob::Result CBloomFileJob::Process(const std::string& input, const std::string& output,
                                             CProgressLine* progress) const
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
        {
            CPlaneSnapshot before;
            result.bloomPixels = FilterImage(image, session.m_shared, progress, before);
            result.changed = before.Changed();
        }
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
    } catch (const std::bad_alloc&) {
        result.messages.assign(1, outOfMemory);
        return result;
    }
    result.ok = true;
    return result;
}
