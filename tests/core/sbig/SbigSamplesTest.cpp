#include <gtest/gtest.h>

#include "image/CDorvaneDoc.h"
#include "image/CSbigImage.h"
#include "sbig/SbigTestFiles.h"
#include "support/CCollectingMessageSink.h"
#include "support/CMemorySettings.h"
#include "support/CSharedState.h"

namespace {

std::string Sample(const char* name)
{
    return std::string(DORVANE_SAMPLES_DIR) + "/" + name;
}

class SbigSamples : public ::testing::Test {
protected:
    SbigSamples() { m_shared.m_nDisplayBpp = 32; }

    std::unique_ptr<CDorvaneDoc> OpenDoc(const std::string& path)
    {
        auto doc = std::make_unique<CDorvaneDoc>(m_shared, m_messages, m_settings);
        EXPECT_TRUE(doc->OnOpenDocument(path)) << path;
        EXPECT_TRUE(m_messages.m_messages.empty());
        return doc;
    }

    CSbigTestFolder m_folder;
    CSharedState m_shared;
    CCollectingMessageSink m_messages;
    CMemorySettings m_settings;
};

}  // namespace

// The samples' compressed rows come from the generator's own encoder, so the
// core's decoder and encoder are checked against a second implementation.
TEST_F(SbigSamples, AllThreeFormsOfTheFrameHoldTheSamePixels)
{
    auto fits = OpenDoc(Sample("m42-synthetic.fit"));
    auto raw = OpenDoc(Sample("m42-synthetic.st7"));
    auto compressed = OpenDoc(Sample("m42-synthetic-compressed.st7"));
    EXPECT_EQ(raw->m_isFits, 0);
    EXPECT_EQ(raw->GetImageSize().cx, 1024);
    EXPECT_EQ(raw->GetImageSize().cy, 768);
    EXPECT_EQ(raw->m_pImage->m_red, fits->m_pImage->m_red);
    EXPECT_EQ(compressed->m_pImage->m_red, fits->m_pImage->m_red);
    EXPECT_TRUE(static_cast<CSbigImage*>(compressed->m_pImage)->m_compressed);
    EXPECT_EQ(compressed->m_pImage->m_stretchLow, fits->m_pImage->m_stretchLow);
    EXPECT_EQ(compressed->m_pImage->m_stretchHigh, fits->m_pImage->m_stretchHigh);

    for (const char* name : {"m42-synthetic.st7", "m42-synthetic-compressed.st7"}) {
        auto doc = OpenDoc(Sample(name));
        const std::string copy = m_folder.Path(name);
        ASSERT_TRUE(doc->OnSaveDocument(copy));
        EXPECT_EQ(ReadBytes(copy), ReadBytes(Sample(name))) << name;
    }
}

TEST_F(SbigSamples, ColourSampleHasThreePlanes)
{
    auto doc = OpenDoc(Sample("m42-colour.fit"));
    EXPECT_EQ(doc->m_isFits, 1);
    ASSERT_TRUE(doc->m_pImage->m_isColor);
    const std::size_t count = static_cast<std::size_t>(doc->GetImageSize().cx) * doc->GetImageSize().cy;
    EXPECT_EQ(doc->m_pImage->m_green.size(), count);
    EXPECT_EQ(doc->m_pImage->m_blue.size(), count);
    EXPECT_NE(doc->m_pImage->m_red, doc->m_pImage->m_blue);
}
