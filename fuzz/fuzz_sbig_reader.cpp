// Feeds arbitrary bytes to the SBIG Type 3 reader as the whole file; the
// header's first line decides between raw and compressed rows. An image that
// opens is saved in its own form and read back: the pixels must survive, and
// a raw file must come back as its header and plane, byte for byte.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "CScratchFolder.h"
#include "image/CSbigImage.h"
#include "support/CCollectingMessageSink.h"
#include "support/CSharedState.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    CScratchFolder folder;
    CSharedState shared;
    shared.m_nDisplayBpp = 32;
    CCollectingMessageSink messages;
    CSbigImage image(shared, messages);
    if (!image.Open(folder.Put("in.st7", data, size))) {
        if (messages.m_messages.empty())
            std::abort();
        return 0;
    }
    if (!messages.m_messages.empty() || image.Save(folder.File("out.st7")) != 1)
        std::abort();
    const std::vector<uint8_t> saved = folder.Read("out.st7");
    const std::size_t expected = 2048 + 2 * image.m_red.size();
    if (!image.m_compressed && (saved.size() != expected || std::memcmp(saved.data(), data, expected) != 0))
        std::abort();
    CSbigImage again(shared, messages);
    if (!again.Open(folder.File("out.st7")) || again.m_red != image.m_red || again.m_compressed != image.m_compressed)
        std::abort();
    return 0;
}
