#include "CBloomFileJob.h"

#include <new>

#include "CFileCopy.h"
#include "CFileSession.h"
#include "CProgressLine.h"
#include "filter/CBloomFilter.h"
#include "filter/MirrorPlane.h"
#include "image/CAstroImage.h"

namespace {
bool PlanesChanged(const CAstroImage& image)
{
    if (image.m_red != image.m_undoRed)
        return true;
    return image.m_isColor && (image.m_green != image.m_undoGreen || image.m_blue != image.m_undoBlue);
}
}  // namespace

CBloomFileJob::CBloomFileJob(const CBloomOptions& options, int engineThreads)
    : m_options(options), m_engineThreads(engineThreads)
{
}

int64_t CBloomFileJob::FilterImage(CAstroImage& image, CSharedState& state, IFilterStatus* status) const
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

    image.SaveUndo();
    int64_t bloomPixels = 0;
    for (const PlaneRun& run : runs) {
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
        CFileSession session(0);
        if (progress)
            progress->ShowStage("Reading.");
        if (!session.Open(input)) {
            result.messages = session.Failure();
            return result;
        }
        CAstroImage& image = *session.m_doc.m_pImage;
        outOfMemory = "Not enough memory to filter the image.";
        result.bloomPixels = FilterImage(image, session.m_shared, progress);
        result.changed = PlanesChanged(image);
        if (progress)
            progress->ShowStage("Saving.");
        outOfMemory = "Not enough memory to save the image.";
        if (!result.changed) {
            // Nothing to encode: the output is the input's own bytes.
            if (output != input && !CFileCopy::Copy(input, output, result.messages))
                return result;
        } else if (!session.Save(output)) {
            result.messages = session.m_messages.m_messages;
            if (result.messages.empty())
                result.messages.push_back("Failed to write file.");
            return result;
        }
    } catch (const std::bad_alloc&) {
        result.messages.assign(1, outOfMemory);
        return result;
    }
    result.ok = true;
    return result;
}
