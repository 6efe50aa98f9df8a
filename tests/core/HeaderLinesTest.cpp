#include <gtest/gtest.h>

#include <memory>

#include "image/CFitsImage.h"
#include "image/CSbigHeader.h"
#include "image/CSbigImage.h"
#include "support/CCollectingMessageSink.h"
#include "support/CSharedState.h"

namespace {

struct SHeaderCase {
    const char* file;
    std::size_t lines;
    const char* first;  // the start of the first line
    const char* last;   // the whole last line, trailing blanks left out
    std::size_t width;  // every line's length, or 0 when lines differ
};

// The header window lists what the file holds: whole 80-character cards up
// to END for FITS, SBIG lines without their line ends up to End.
TEST(HeaderLines, AsTheFileHoldsThemUpToTheEnd)
{
    const SHeaderCase cases[] = {
        {"m42-synthetic.fit", 11, "SIMPLE  =                    T", "END", 80},
        {"m42-colour.fit", 10, "SIMPLE  =                    T", "END", 80},
        {"m42-synthetic.st7", 26, "ST-7 Image", "End", 0},
        {"m42-synthetic-compressed.st7", 26, "ST-7 Compressed Image", "End", 0},
    };
    for (const SHeaderCase& c : cases) {
        SCOPED_TRACE(c.file);
        CSharedState shared;
        shared.m_nDisplayBpp = 32;
        CCollectingMessageSink messages;
        const std::string path = std::string(DORVANE_SAMPLES_DIR) + "/" + c.file;
        std::unique_ptr<CAstroImage> image;
        if (path.ends_with(".fit"))
            image = std::make_unique<CFitsImage>(shared, messages);
        else
            image = std::make_unique<CSbigImage>(shared, messages);
        ASSERT_TRUE(image->Open(path));
        const std::vector<std::string> lines = image->HeaderLines();
        ASSERT_EQ(lines.size(), c.lines);
        EXPECT_TRUE(lines[0].starts_with(c.first)) << lines[0];
        EXPECT_EQ(lines.back().substr(0, lines.back().find_last_not_of(' ') + 1), c.last);
        for (const std::string& line : lines) {
            if (c.width != 0) {
                EXPECT_EQ(line.size(), c.width) << line;
            }
            EXPECT_EQ(line.find_first_of(std::string("\r\n\0", 3)), std::string::npos) << line;
        }
    }
}

// Whatever follows End is not part of the header; either order of line
// feed and carriage return ends a line.
TEST(HeaderLines, SbigLinesStopAtEnd)
{
    const std::string header = "ST-7 Image\r\nWidth = 4\n\rEnd\n\r   padding   \r";
    EXPECT_EQ(CSbigHeader::Lines(reinterpret_cast<const uint8_t*>(header.data()), header.size()),
              (std::vector<std::string>{"ST-7 Image", "Width = 4", "End"}));
}

}  // namespace
