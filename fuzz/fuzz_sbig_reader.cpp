// Feeds arbitrary bytes to the SBIG Type 3 reader as the whole file; the
// header's first line decides between raw and compressed rows. An image that
// opens is saved in its own form and read back: the pixels must survive, and
// a raw file must come back as its header and plane, byte for byte.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "CMemoryFileOps.h"
#include "image/CSbigImage.h"
#include "support/CCollectingMessageSink.h"
#include "support/CSharedState.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    CMemoryFileOps files;
    files.Put("in.st7", data, size);
    CSharedState shared;
    shared.m_nDisplayBpp = 32;
    CCollectingMessageSink messages;
    CSbigImage image(shared, messages, files);
    if (!image.Open("in.st7")) {
        if (messages.m_messages.empty())
            std::abort();
        return 0;
    }
    if (!messages.m_messages.empty())
        std::abort();
    if (image.Save("out.st7") != 1)
        std::abort();
    const std::vector<uint8_t>* saved = files.Find("out.st7");
    if (saved == nullptr)
        std::abort();
    if (!image.m_compressed) {
        const std::size_t expected = 2048 + 2 * image.m_red.size();
        if (saved->size() != expected || std::memcmp(saved->data(), data, expected) != 0)
            std::abort();
    }
    CSbigImage again(shared, messages, files);
    if (!again.Open("out.st7") || again.m_red != image.m_red ||
        again.m_compressed != image.m_compressed)
        std::abort();
    return 0;
}
