#include <gtest/gtest.h>

#include "CAllocationLimit.h"
#include "image/CDorvaneDoc.h"
#include "image/CFileTypeTable.h"
#include "image/CFitsImage.h"
#include "image/CSbigImage.h"
#include "sbig/SbigTestFiles.h"
#include "support/CCollectingMessageSink.h"
#include "support/CMemorySettings.h"
#include "support/CSharedState.h"

namespace {

// Counts how often images made by the document are destroyed.
class CCountedSbigImage : public CSbigImage {
public:
    CCountedSbigImage(CSharedState& shared, IMessageSink& messages, int& deletions)
        : CSbigImage(shared, messages), m_deletions(deletions)
    {
    }
    ~CCountedSbigImage() override { ++m_deletions; }

private:
    int& m_deletions;
};

class CCountingDoc : public CDorvaneDoc {
public:
    CCountingDoc(CSharedState& shared, IMessageSink& messages, ISettings& settings, int& deletions)
        : CDorvaneDoc(shared, messages, settings), m_deletions(deletions)
    {
    }

protected:
    std::unique_ptr<CAstroImage> CreateImage(EFileType) override
    {
        return std::make_unique<CCountedSbigImage>(m_shared, m_messages, m_deletions);
    }

private:
    int& m_deletions;
};

class DorvaneDoc : public ::testing::Test {
protected:
    DorvaneDoc() { m_shared.m_nDisplayBpp = 32; }

    std::string WriteSbig(const std::string& name)
    {
        const std::string path = m_folder.Path(name);
        WriteBytes(path, Concat(MakeSbigHeader({"ST-7 Image", "Width = 4", "Height = 3", "End"}),
                                RawRows({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12})));
        return path;
    }

    std::string Favourite() const { return m_settings.GetString("Settings", "Favorite File Type", "(none)"); }

    CSbigTestFolder m_folder;
    CSharedState m_shared;
    CCollectingMessageSink m_messages;
    CMemorySettings m_settings;
};

}  // namespace

TEST(FileTypeTable, ChoosesTheFormatFromTheTextAfterTheLastDot)
{
    for (const char* name : {"M42.FIT", "m42.fits", "m42.Fts", "m42.fitx", "/data/m42.fit"})
        EXPECT_EQ(CFileTypeTable::Lookup(name), EFileType::Fits) << name;
    for (const char* name : {"m42.ST7", "m42.st", "m42.stx", "dark.237", "flat.255", "flat.2550"})
        EXPECT_EQ(CFileTypeTable::Lookup(name), EFileType::Sbig) << name;
    for (const char* name : {"m42.jpg", "m42", "m42.", "m42.f", "m42.s", "m42.23", "m42.fit.jpg", "m42.ft"})
        EXPECT_EQ(CFileTypeTable::Lookup(name), EFileType::None) << name;
    // A dot in a folder name: the "extension" runs on through the separator.
    EXPECT_EQ(CFileTypeTable::Lookup("/data/run.2/m42"), EFileType::None);
    EXPECT_EQ(CFileTypeTable::Lookup("/data/night.stars/m42"), EFileType::Sbig);
}

TEST_F(DorvaneDoc, OpensEachFormatAndRecordsItAsFavourite)
{
    CDorvaneDoc sbig(m_shared, m_messages, m_settings);
    ASSERT_TRUE(sbig.OnOpenDocument(WriteSbig("m42.ST7")));
    EXPECT_EQ(sbig.m_isFits, 0);
    EXPECT_NE(dynamic_cast<CSbigImage*>(sbig.m_pImage), nullptr);
    EXPECT_EQ(Favourite(), "SBIG");
    EXPECT_EQ(sbig.GetImageSize().cx, 4);
    EXPECT_EQ(sbig.GetImageSize().cy, 3);

    // An SBIG file named as FITS is read as FITS, and fails as such; the
    // favourite changes all the same.
    CDorvaneDoc fits(m_shared, m_messages, m_settings);
    EXPECT_FALSE(fits.OnOpenDocument(WriteSbig("M42.FIT")));
    EXPECT_EQ(fits.m_isFits, 1);
    EXPECT_NE(dynamic_cast<CFitsImage*>(fits.m_pImage), nullptr);
    EXPECT_EQ(Favourite(), "FITS");
    ASSERT_FALSE(m_messages.m_messages.empty());
    EXPECT_EQ(m_messages.m_messages.front(), "Failed to read header.");
}

TEST_F(DorvaneDoc, UnknownExtensionsFailSilentlyAndMissingFilesChangeNothing)
{
    for (const char* name : {"m42.jpg", "m42"}) {
        CDorvaneDoc doc(m_shared, m_messages, m_settings);
        EXPECT_FALSE(doc.OnOpenDocument(WriteSbig(name))) << name;
        EXPECT_EQ(doc.m_pImage, nullptr);
    }
    EXPECT_TRUE(m_messages.m_messages.empty());
    EXPECT_FALSE(m_settings.Has("Settings", "Favorite File Type"));

    const std::string missing = m_folder.Path("missing.fit");
    CDorvaneDoc doc(m_shared, m_messages, m_settings);
    EXPECT_FALSE(doc.OnOpenDocument(missing));
    EXPECT_EQ(m_messages.m_messages, std::vector<std::string>{"Cannot open file " + missing + "."});
    // A folder cannot be read as a file either.
    std::filesystem::create_directory(m_folder.Path("folder.st7"));
    EXPECT_FALSE(doc.OnOpenDocument(m_folder.Path("folder.st7")));
    EXPECT_EQ(m_messages.m_messages.back(), "Cannot open file " + m_folder.Path("folder.st7") + ".");
    EXPECT_EQ(doc.m_pImage, nullptr);
    EXPECT_FALSE(m_settings.Has("Settings", "Favorite File Type"));

    // A bad header is the image's failure: the favourite is already written.
    const std::string bad = m_folder.Path("bad.st7");
    WriteBytes(bad, std::vector<uint8_t>(3000, 'x'));
    EXPECT_FALSE(doc.OnOpenDocument(bad));
    EXPECT_EQ(Favourite(), "SBIG");
}

TEST_F(DorvaneDoc, SavesThroughItsImage)
{
    CDorvaneDoc doc(m_shared, m_messages, m_settings);
    EXPECT_FALSE(doc.OnSaveDocument(m_folder.Path("nothing.st7")));
    ASSERT_TRUE(doc.OnOpenDocument(WriteSbig("m42.st7")));
    doc.m_pImage->m_red[0] = 4660;
    const std::string copy = m_folder.Path("copy.fit");
    ASSERT_TRUE(doc.OnSaveDocument(copy));
    // The image keeps its format whatever the target's name.
    const std::vector<uint8_t> written = ReadBytes(copy);
    ASSERT_EQ(written.size(), 2048u + 24u);
    EXPECT_EQ(written[2048], 0x34);
    EXPECT_EQ(written[2049], 0x12);
}

TEST_F(DorvaneDoc, AnImageWithoutMemoryFailsWithAMessageAndTheProgramGoesOn)
{
    const std::string path = m_folder.Path("wide.st7");
    WriteBytes(path, Concat(MakeSbigHeader({"ST-7 Image", "Width = 1000", "Height = 3", "End"}),
                            RawRows(std::vector<uint32_t>(3000, 5))));
    CDorvaneDoc doc(m_shared, m_messages, m_settings);
    {
        CAllocationLimit limit(4096);  // less than a plane or a row block
        EXPECT_FALSE(doc.OnOpenDocument(path));
    }
    ASSERT_TRUE(doc.OnOpenDocument(path));
    const std::string copy = m_folder.Path("copy.st7");
    {
        CAllocationLimit limit(4096);
        EXPECT_FALSE(doc.OnSaveDocument(copy));
    }
    EXPECT_EQ(m_messages.m_messages, (std::vector<std::string>{"Not enough memory to open the image.",
                                                               "Not enough memory to save the image."}));
    // The failed save left nothing: neither the target nor a temporary file.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(std::filesystem::path(path).parent_path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(DorvaneDoc, DeletesItsImageOnce)
{
    int deletions = 0;
    {
        CCountingDoc doc(m_shared, m_messages, m_settings, deletions);
        ASSERT_TRUE(doc.OnOpenDocument(WriteSbig("m42.st7")));
    }
    EXPECT_EQ(deletions, 1);

    // An image that failed to open goes with its document.
    deletions = 0;
    const std::string bad = m_folder.Path("bad.st7");
    WriteBytes(bad, std::vector<uint8_t>(10, 0));
    {
        CCountingDoc doc(m_shared, m_messages, m_settings, deletions);
        EXPECT_FALSE(doc.OnOpenDocument(bad));
        EXPECT_EQ(deletions, 0);
    }
    EXPECT_EQ(deletions, 1);

    // Opened twice, the first image is released when the second replaces it.
    deletions = 0;
    {
        auto doc = std::make_unique<CCountingDoc>(m_shared, m_messages, m_settings, deletions);
        ASSERT_TRUE(doc->OnOpenDocument(WriteSbig("a.st7")));
        ASSERT_TRUE(doc->OnOpenDocument(WriteSbig("b.st7")));
        EXPECT_EQ(deletions, 1);
        doc.reset();
        EXPECT_EQ(deletions, 2);
    }
}
