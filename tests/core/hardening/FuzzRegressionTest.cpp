#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "image/CFitsImage.h"
#include "image/CSbigImage.h"
#include "support/CCollectingMessageSink.h"
#include "support/CSharedState.h"

namespace {

const std::filesystem::path kFuzzDir = std::filesystem::path(DORVANE_SAMPLES_DIR) / ".." / "fuzz";

std::vector<std::filesystem::path> FilesIn(const std::filesystem::path& folder)
{
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.is_regular_file())
            files.push_back(entry.path());
    }
    return files;
}

template <class TImage>
void OpenEach(const std::string& target, bool expectOpen)
{
    const std::string folder = expectOpen ? "corpus" : "regressions";
    for (const auto& file : FilesIn(kFuzzDir / folder / target)) {
        SCOPED_TRACE(file.string());
        CSharedState shared;
        shared.m_nDisplayBpp = 32;
        CCollectingMessageSink messages;
        TImage image(shared, messages);
        const bool opened = image.Open(file.string());
        if (expectOpen) {
            EXPECT_TRUE(opened) << ::testing::PrintToString(messages.m_messages);
        }
        // Whatever happened, the user was told exactly when it failed.
        EXPECT_EQ(messages.m_messages.empty(), opened);
    }
}

// The fuzzers' seeds are valid files of each form; every input a fuzzer once
// crashed on is kept under fuzz/regressions and must now be read or refused
// cleanly (the sanitizer build catches any memory fault on the way).
TEST(FuzzInputs, SeedsOpenAndKeptCrashInputsAreHandled)
{
    ASSERT_GE(FilesIn(kFuzzDir / "corpus" / "fits_reader").size(), 3u);
    ASSERT_GE(FilesIn(kFuzzDir / "corpus" / "sbig_reader").size(), 2u);
    OpenEach<CFitsImage>("fits_reader", true);
    OpenEach<CSbigImage>("sbig_reader", true);
    OpenEach<CFitsImage>("fits_reader", false);
    OpenEach<CSbigImage>("sbig_reader", false);
}

}  // namespace
