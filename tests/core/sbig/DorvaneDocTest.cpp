// The document: the format from the name's extension, the favourite file
// type, saving in the image's own format, and failures that leave the
// program going.
#include <gtest/gtest.h>

#include "CAllocationLimit.h"
#include "CoreTestSupport.h"
#include "image/CDorvaneDoc.h"
#include "image/CFitsImage.h"
#include "image/CSbigImage.h"
#include "support/CCollectingMessageSink.h"
#include "support/CMemorySettings.h"
#include "support/CSharedState.h"

using namespace coretest;
using Messages = std::vector<std::string>;

namespace {

// Counts the images the document destroys.
class CCountingDoc : public CDorvaneDoc {
public:
    CCountingDoc(CSharedState& shared, IMessageSink& messages, ISettings& settings, int& deletions)
        : CDorvaneDoc(shared, messages, settings), m_deletions(deletions)
    {
    }

protected:
    std::unique_ptr<CAstroImage> CreateImage(EFileType) override
    {
        struct CCounted : CSbigImage {
            CCounted(CSharedState& s, IMessageSink& m, int& d) : CSbigImage(s, m), deletions(d) {}
            ~CCounted() override { ++deletions; }
            int& deletions;
        };
        return std::make_unique<CCounted>(m_shared, m_messages, m_deletions);
    }

private:
    int& m_deletions;
};

class DorvaneDoc : public ::testing::Test {
protected:
    DorvaneDoc() { shared.m_nDisplayBpp = 32; }

    std::string Sbig(const std::string& name, int32_t width = 4)
    {
        std::vector<uint32_t> values(3 * static_cast<std::size_t>(width));
        for (std::size_t i = 0; i < values.size(); ++i)
            values[i] = static_cast<uint32_t>(i + 1);
        return WriteBytes(dir.File(name), Concat(SbigHeader({"ST-7 Image", "Width = " + std::to_string(width), "Height = 3", "End"}),
                                                 RawRows(values)));
    }
    std::string Favourite() const { return settings.GetString("Settings", "Favorite File Type", "(none)"); }

    CTempDir dir;
    CSharedState shared;
    CCollectingMessageSink messages;
    CMemorySettings settings;
};

}  // namespace

TEST(FileTypeTable, ChoosesTheFormatFromTheTextAfterTheLastDot)
{
    const std::pair<EFileType, std::vector<const char*>> cases[] = {
        {EFileType::Fits, {"M42.FIT", "m42.fits", "m42.Fts", "m42.fitx", "/data/m42.fit"}},
        {EFileType::Sbig, {"m42.ST7", "m42.st", "m42.stx", "dark.237", "flat.255", "flat.2550", "/data/night.stars/m42"}},
        {EFileType::None, {"m42.jpg", "m42", "m42.", "m42.f", "m42.s", "m42.23", "m42.fit.jpg", "m42.ft", "/data/run.2/m42"}},
    };
    for (const auto& [type, names] : cases)
        for (const char* name : names)
            EXPECT_EQ(CFileTypeTable::Lookup(name), type) << name;
}

TEST_F(DorvaneDoc, OpensByExtensionRecordsTheFavouriteAndSavesInTheImagesFormat)
{
    CDorvaneDoc doc(shared, messages, settings);
    EXPECT_FALSE(doc.OnSaveDocument(dir.File("nothing.st7")));
    // Unknown extensions fail silently; a missing file or a folder fails
    // with a message; neither changes the favourite.
    for (const std::string& path : {Sbig("m42.jpg"), Sbig("m42"), dir.File("missing.fit"), dir.Path() + "/"}) {
        messages.Clear();
        EXPECT_FALSE(doc.OnOpenDocument(path)) << path;
        const bool known = !path.ends_with("m42") && !path.ends_with(".jpg");
        EXPECT_EQ(messages.m_messages, known ? Messages{"Cannot open file " + path + "."} : Messages{});
        EXPECT_EQ(doc.m_pImage, nullptr);
    }
    EXPECT_EQ(Favourite(), "(none)");

    ASSERT_TRUE(doc.OnOpenDocument(Sbig("m42.ST7")));
    EXPECT_EQ(doc.m_isFits, 0);
    EXPECT_NE(dynamic_cast<CSbigImage*>(doc.m_pImage), nullptr);
    EXPECT_EQ(Favourite(), "SBIG");
    EXPECT_EQ(std::pair(doc.GetImageSize().cx, doc.GetImageSize().cy), std::pair(4, 3));
    doc.m_pImage->m_red[0] = 0x1234;
    ASSERT_TRUE(doc.OnSaveDocument(dir.File("copy.fit")));  // its own format whatever the name
    const Blob written = ReadBytes(dir.File("copy.fit"));
    ASSERT_EQ(written.size(), 2048u + 24u);
    EXPECT_EQ(written[2048] | written[2049] << 8, 0x1234);

    // An SBIG file named as FITS is read as FITS and fails as such; a bad
    // header is the image's failure: the favourite has changed all the same.
    messages.Clear();
    EXPECT_FALSE(doc.OnOpenDocument(Sbig("M42.FIT")));
    EXPECT_EQ(doc.m_isFits, 1);
    EXPECT_NE(dynamic_cast<CFitsImage*>(doc.m_pImage), nullptr);
    EXPECT_EQ(Favourite(), "FITS");
    EXPECT_EQ(messages.m_messages.front(), "Failed to read header.");
    EXPECT_FALSE(doc.OnOpenDocument(WriteBytes(dir.File("bad.st7"), Blob(3000, 'x'))));
    EXPECT_EQ(Favourite(), "SBIG");
}

TEST_F(DorvaneDoc, AnImageWithoutMemoryFailsAloneAndEachImageIsDeletedOnce)
{
    const std::string path = Sbig("wide.st7", 1000);
    CDorvaneDoc doc(shared, messages, settings);
    {
        CAllocationLimit limit(4096);  // less than a plane or a row block
        EXPECT_FALSE(doc.OnOpenDocument(path));
    }
    ASSERT_TRUE(doc.OnOpenDocument(path));
    {
        CAllocationLimit limit(4096);
        EXPECT_FALSE(doc.OnSaveDocument(dir.File("copy.st7")));
    }
    EXPECT_EQ(messages.m_messages, (Messages{"Not enough memory to open the image.", "Not enough memory to save the image."}));
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"wide.st7"});  // neither the target nor a temporary file

    // The image goes with its document, opened or not, and an image opened
    // over another replaces it.
    int deletions = 0;
    {
        CCountingDoc counting(shared, messages, settings, deletions);
        EXPECT_FALSE(counting.OnOpenDocument(WriteBytes(dir.File("bad.st7"), Blob(10, 0))));
        ASSERT_TRUE(counting.OnOpenDocument(path));
        EXPECT_EQ(deletions, 1);
    }
    EXPECT_EQ(deletions, 2);
}
