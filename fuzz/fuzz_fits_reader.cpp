// Feeds arbitrary bytes to the FITS reader as the whole file. An image that
// opens is saved again: with BSCALE 1 the saved file must be the input, byte
// for byte (header as read, planes re-encoded, trailer as read).
#include <cstdint>
#include <cstdlib>

#include "CMemoryFileOps.h"
#include "image/CFitsImage.h"
#include "support/CCollectingMessageSink.h"
#include "support/CSharedState.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    CMemoryFileOps files;
    files.Put("in.fit", data, size);
    CSharedState shared;
    shared.m_nDisplayBpp = 32;
    CCollectingMessageSink messages;
    CFitsImage image(shared, messages, files);
    if (!image.Open("in.fit")) {
        if (messages.m_messages.empty())
            std::abort();  // a refusal the user is not told about
        return 0;
    }
    if (!messages.m_messages.empty())
        std::abort();
    if (image.Save("out.fit") != 1)
        std::abort();
    if (image.m_bscale == 1) {
        const std::vector<uint8_t>* saved = files.Find("out.fit");
        if (saved == nullptr || saved->size() != size ||
            (size != 0 && std::memcmp(saved->data(), data, size) != 0))
            std::abort();
    }
    if (files.FileCount() != 2)
        std::abort();  // a temporary file was left behind
    return 0;
}
