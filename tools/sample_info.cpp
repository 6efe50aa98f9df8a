// Prints what the core reads from a FITS image: size, planes, bits, full
// scale and the automatic stretch.
//
//     sample_info image.fit
#include <cstdio>

#include "image/CFitsImage.h"
#include "support/CCollectingMessageSink.h"
#include "support/CSharedState.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: sample_info image.fit\n");
        return 2;
    }
    CSharedState shared;
    shared.m_nDisplayBpp = 32;
    CCollectingMessageSink messages;
    CFitsImage image(shared, messages);
    const bool ok = image.Open(argv[1]);
    for (const std::string& text : messages.m_messages)
        std::fprintf(stderr, "Error: %s\n", text.c_str());
    if (!ok)
        return 1;
    std::printf("File:          %s\n", argv[1]);
    std::printf("Size:          %d x %d\n", image.m_width, image.m_height);
    std::printf("Planes:        %d (%s)\n", image.m_isColor ? 3 : 1, image.m_isColor ? "colour" : "monochrome");
    std::printf("Bits per value: %d\n", image.m_bitsPerPixel);
    std::printf("Full scale:    %u\n", shared.m_nFullScale);
    std::printf("BZERO, BSCALE: %d, %d\n", image.m_bzero, image.m_bscale);
    std::printf("Auto stretch:  low %d, high %d\n", image.m_stretchLow, image.m_stretchHigh);
    std::printf("Header:        %zu bytes, trailer %zu bytes\n", image.m_header.size(), image.m_trailer.size());
    return 0;
}
