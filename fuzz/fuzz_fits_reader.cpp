// Feeds arbitrary bytes to the FITS reader as the whole file. An image that
// opens is saved again: with BSCALE 1 the saved file must be the input, byte
// for byte (header as read, planes re-encoded, trailer as read).
#include <cstdint>
#include <cstdlib>

#include "CScratchFolder.h"
#include "image/CFitsImage.h"
#include "support/CCollectingMessageSink.h"
#include "support/CSharedState.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    CScratchFolder folder;
    CSharedState shared;
    shared.m_nDisplayBpp = 32;
    CCollectingMessageSink messages;
    CFitsImage image(shared, messages);
    if (!image.Open(folder.Put("in.fit", data, size))) {
        if (messages.m_messages.empty())
            std::abort();  // a refusal the user is not told about
        return 0;
    }
    if (!messages.m_messages.empty() || image.Save(folder.File("out.fit")) != 1)
        std::abort();
    // No temporary file is left behind.
    if ((image.m_bscale == 1 && folder.Read("out.fit") != std::vector<uint8_t>(data, data + size)) || folder.Count() != 2)
        std::abort();
    return 0;
}
