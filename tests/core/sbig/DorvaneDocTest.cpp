// The document: the format from the name's extension, the favourite file
// type, saving in the image's own format, and failures that leave the
// program going (each image is deleted with its document or its successor;
// the sanitizer build finds one left or deleted twice).
#include <numeric>

#include "CoreTestSupport.h"
#include "image/CDorvaneDoc.h"
#include "image/CFitsImage.h"
#include "image/CSbigImage.h"
#include "support/CMemorySettings.h"

namespace {

class DorvaneDoc : public CoreTest {
protected:

    // A raw 3-row SBIG file, pixels 1, 2, 3...
    std::string Sbig(const std::string& name, int32_t width = 4)
    {
        std::vector<uint32_t> values(3 * static_cast<std::size_t>(width));
        std::iota(values.begin(), values.end(), 1u);
        const std::string size = "Width = " + std::to_string(width);
        return WriteBytes(dir.File(name), Concat(SbigHeader({"ST-7 Image", size, "Height = 3", "End"}), RawRows(values)));
    }
    std::string Favourite() const { return settings.GetString("Settings", "Favorite File Type", "(none)"); }

    CMemorySettings settings;
    CDorvaneDoc doc{shared, messages, settings};
};

}  // namespace

TEST(FileTypeTable, ChoosesTheFormatFromTheTextAfterTheLastDot)
{
    const std::pair<EFileType, std::vector<const char*>> cases[] = {
        {EFileType::Fits, {"M42.FIT", "m42.fits", "m42.Fts", "m42.fitx", "/data/m42.fit"}},
        {EFileType::Sbig, {"m42.ST7", "m42.st", "m42.stx", "dark.237", "flat.255", "flat.2550", "/data/night.stars/m42"}},
        {EFileType::None, {"m42.jpg", "m42", "m42.", "m42.f", "m42.s", "m42.23", "m42.fit.jpg", "m42.ft", "/a.2/m42"}},
    };
    for (const auto& [type, names] : cases)
        for (const char* name : names)
            EXPECT_EQ(CFileTypeTable::Lookup(name), type) << name;
}

TEST_F(DorvaneDoc, OpensByExtensionRecordsTheFavouriteAndSavesInTheImagesFormat)
{
    EXPECT_FALSE(doc.OnSaveDocument(dir.File("nothing.st7")));
    // Unknown extensions fail silently; a missing file or a folder fails with
    // a message; neither changes the favourite.
    for (const std::string& path : {Sbig("m42.jpg"), Sbig("m42"), dir.File("missing.fit"), dir.Path() + "/"}) {
        messages.Clear();
        EXPECT_FALSE(doc.OnOpenDocument(path)) << path;
        const bool known = !path.ends_with("m42") && !path.ends_with(".jpg");
        EXPECT_EQ(messages.m_messages, known ? Messages{"Cannot open file " + path + "."} : Messages{});
        EXPECT_EQ(doc.m_pImage, nullptr);
    }
    EXPECT_EQ(Favourite(), "(none)");
    ASSERT_TRUE(doc.OnOpenDocument(Sbig("m42.ST7")));
    EXPECT_NE(dynamic_cast<CSbigImage*>(doc.m_pImage), nullptr);
    EXPECT_EQ(std::tuple(doc.m_isFits, doc.GetImageSize().cx, doc.GetImageSize().cy), std::tuple(0, 4, 3));
    EXPECT_EQ(Favourite(), "SBIG");
    doc.m_pImage->m_red[0] = 0x1234;
    ASSERT_TRUE(doc.OnSaveDocument(dir.File("copy.fit")));  // its own format whatever the name
    Blob expected = ReadBytes(dir.File("m42.ST7"));
    expected[2048] = 0x34;
    expected[2049] = 0x12;
    EXPECT_EQ(ReadBytes(dir.File("copy.fit")), expected);
    // An SBIG file named as FITS is read as FITS and fails as such; a bad
    // header is the image's failure: the favourite has changed all the same.
    messages.Clear();
    EXPECT_FALSE(doc.OnOpenDocument(Sbig("M42.FIT")));
    EXPECT_NE(dynamic_cast<CFitsImage*>(doc.m_pImage), nullptr);
    EXPECT_EQ(std::pair(doc.m_isFits, Favourite()), std::pair(1, std::string("FITS")));
    EXPECT_EQ(messages.m_messages.front(), "Failed to read header.");
    EXPECT_FALSE(doc.OnOpenDocument(WriteBytes(dir.File("bad.st7"), Blob(3000, 'x'))));
    EXPECT_EQ(Favourite(), "SBIG");
}

TEST_F(DorvaneDoc, AnImageWithoutMemoryFailsAloneWithAMessage)
{
    const std::string path = Sbig("wide.st7", 1000);
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
}
