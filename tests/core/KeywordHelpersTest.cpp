#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "image/CAstroImage.h"

namespace {

int32_t ValueOf(const std::string& card)
{
    std::string line = card;
    line.resize(80, ' ');
    return CAstroImage::KeywordValue(line.data(), 80);
}

TEST(KeywordMatches, ComparesOnlyTheKeywordsLengthSoNaxisMatchesEveryNaxisN)
{
    const char line[] = "NAXIS3  =                    3";
    EXPECT_TRUE(CAstroImage::KeywordMatches("NAXIS", line, 80));
    EXPECT_FALSE(CAstroImage::KeywordMatches("NAXIS1", line, 80));
    EXPECT_FALSE(CAstroImage::KeywordMatches("NAXIS2", line, 80));
    EXPECT_FALSE(CAstroImage::KeywordMatches("naxis", line, 80));
    EXPECT_TRUE(CAstroImage::KeywordMatches("End", "End\r", 64));
}

TEST(KeywordMatches, NeverReadsPastTheLine)
{
    // Three bytes of line, no terminator: a longer keyword cannot match.
    const char line[3] = {'E', 'N', 'D'};
    EXPECT_TRUE(CAstroImage::KeywordMatches("END", line, 3));
    EXPECT_FALSE(CAstroImage::KeywordMatches("ENDX", line, 3));
}

TEST(KeywordValue, TruncatesTowardZero)
{
    EXPECT_EQ(ValueOf("BSCALE  =                  1.9"), 1);
    EXPECT_EQ(ValueOf("BZERO   =                 -0.5"), 0);
    EXPECT_EQ(ValueOf("BZERO   =                 -7.9"), -7);
    EXPECT_EQ(ValueOf("BZERO   =                3.2E4"), 32000);
    EXPECT_EQ(ValueOf("BZERO   =               3.2e+4"), 32000);
    EXPECT_EQ(ValueOf("NAXIS1  =                +1024"), 1024);
}

TEST(KeywordValue, StopsAtTheFirstByteThatIsNoPartOfTheNumber)
{
    EXPECT_EQ(ValueOf("BZERO   =              32768.0 / offset for unsigned data"), 32768);
    EXPECT_EQ(ValueOf("BZERO   = 100/no blank before the comment"), 100);
    EXPECT_EQ(ValueOf("NAXIS1  = 12e"), 12);  // an exponent needs digits
    EXPECT_EQ(ValueOf("NAXIS1  = .5"), 0);
    EXPECT_EQ(ValueOf("NAXIS1  = 7."), 7);
}

TEST(KeywordValue, GivesZeroWithoutANumberOrWithoutEqualsSign)
{
    EXPECT_EQ(ValueOf("COMMENT   the value 5 has no equals sign"), 0);
    EXPECT_EQ(ValueOf("OBJECT  = 'M42'"), 0);
    EXPECT_EQ(ValueOf("BZERO   ="), 0);
    EXPECT_EQ(ValueOf("BZERO   = - 5"), 0);
}

TEST(KeywordValue, LooksForEqualsSignOnlyInsideTheLine)
{
    // The "=" lies just past the 8 bytes the line is said to have.
    const char text[] = "Width   = 4";
    EXPECT_EQ(CAstroImage::KeywordValue(text, 8), 0);
    EXPECT_EQ(CAstroImage::KeywordValue(text, 11), 4);
    // The number is cut where the line ends, too.
    const char longer[] = "Width=12345";
    EXPECT_EQ(CAstroImage::KeywordValue(longer, 8), 12);
}

TEST(KeywordValue, SkipsBlanksAndOtherWhiteSpaceAfterTheEqualsSign)
{
    EXPECT_EQ(ValueOf("Height =\t 768"), 768);
    EXPECT_EQ(ValueOf("Height=768"), 768);
}

TEST(KeywordValue, SaturatesValuesBeyondThirtyTwoBits)
{
    EXPECT_EQ(ValueOf("NAXIS1  = 1E30"), INT32_MAX);
    EXPECT_EQ(ValueOf("NAXIS1  = -1E30"), INT32_MIN);
    EXPECT_EQ(ValueOf("NAXIS1  = 1E-400"), 0);
}

}  // namespace
