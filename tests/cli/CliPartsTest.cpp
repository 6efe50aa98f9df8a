#include <gtest/gtest.h>

#include <sstream>

#include "CArgParser.h"
#include "CJsonLine.h"
#include "CProgressBoard.h"
#include "CZoomScaler.h"

TEST(CliParts, ZoomAveragesBlocksWhenReducingAndRepeatsWhenEnlarging)
{
    CZoomScaler::Picture grey;
    grey.width = 4;
    grey.height = 2;
    grey.channels = 1;
    grey.pixels = {0, 10, 100, 101, 20, 30, 200, 255};
    CZoomScaler::Picture half = CZoomScaler::Scale(grey, 50);
    ASSERT_EQ(half.width, 2);
    ASSERT_EQ(half.height, 1);
    EXPECT_EQ(half.pixels, (std::vector<uint8_t>{15, 164}));  // (60+2)/4, (656+2)/4

    CZoomScaler::Picture rgb;
    rgb.width = 2;
    rgb.height = 1;
    rgb.channels = 3;
    rgb.pixels = {1, 2, 3, 4, 5, 6};
    CZoomScaler::Picture twice = CZoomScaler::Scale(rgb, 200);
    ASSERT_EQ(twice.width, 4);
    ASSERT_EQ(twice.height, 2);
    EXPECT_EQ(twice.pixels, (std::vector<uint8_t>{1, 2, 3, 1, 2, 3, 4, 5, 6, 4, 5, 6,
                                                  1, 2, 3, 1, 2, 3, 4, 5, 6, 4, 5, 6}));
    // 150 %: columns 0, 0, 1 of a two-column picture.
    CZoomScaler::Picture wide = CZoomScaler::Scale(rgb, 150);
    ASSERT_EQ(wide.width, 3);
    EXPECT_EQ(std::vector<uint8_t>(wide.pixels.begin(), wide.pixels.begin() + 9),
              (std::vector<uint8_t>{1, 2, 3, 1, 2, 3, 4, 5, 6}));
}

TEST(CliParts, JsonQuotingEscapesWhatJsonForbids)
{
    EXPECT_EQ(CJsonLine::Quote("plain"), "\"plain\"");
    EXPECT_EQ(CJsonLine::Quote("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(CJsonLine::Quote(std::string("\n\x1f", 2)), "\"\\u000a\\u001f\"");
    EXPECT_EQ(CJsonLine::Quote("\xc3\xa9\xe2\x82\xac\xf0\x9f\x8c\x8c"), "\"\xc3\xa9\xe2\x82\xac\xf0\x9f\x8c\x8c\"");
    // Stray, overlong and surrogate sequences are not UTF-8.
    EXPECT_EQ(CJsonLine::Quote("\x80"), "\"\\ufffd\"");
    EXPECT_EQ(CJsonLine::Quote("\xc0\xaf"), "\"\\ufffd\\ufffd\"");
    EXPECT_EQ(CJsonLine::Quote("\xed\xa0\x80"), "\"\\ufffd\\ufffd\\ufffd\"");
    EXPECT_EQ(CJsonLine::Quote("\xe2\x82"), "\"\\ufffd\\ufffd\"");
    CJsonLine line;
    line.AddString("k", "v");
    line.AddInt("n", -5);
    line.AddBool("b", false);
    EXPECT_EQ(line.Text(), "{\"k\":\"v\",\"n\":-5,\"b\":false}");
}

TEST(CliParts, ArgumentsInEveryAcceptedSpelling)
{
    CArgParser parser({{"output", 'o', true}, {"jobs", 'j', true}, {"quiet", 'q', false}});
    ASSERT_TRUE(parser.Parse({"-j4", "a", "--output=x=y", "-o", "-", "--jobs", "2", "-q", "--", "--quiet", "-"}));
    ASSERT_EQ(parser.m_options.size(), 5u);
    EXPECT_EQ(parser.m_options[0], std::make_pair(std::string("jobs"), std::string("4")));
    EXPECT_EQ(parser.m_options[1].second, "x=y");
    EXPECT_EQ(parser.m_options[2].second, "-");
    EXPECT_EQ(parser.m_options[3].second, "2");
    EXPECT_EQ(parser.m_options[4].first, "quiet");
    EXPECT_EQ(parser.m_operands, (std::vector<std::string>{"a", "--quiet", "-"}));

    CArgParser bundled({{"quiet", 'q', false}});
    EXPECT_FALSE(bundled.Parse({"-qq"}));
    EXPECT_EQ(bundled.m_error, "option '-q' takes no value");
}

TEST(CliParts, ProgressLinesFitTheTerminalAndRedrawInPlace)
{
    std::ostringstream err;
    CProgressBoard board(err, true, 2, 20);
    board.SetLine(0, "/a/long/path/frame.fit: Removing 50%");
    // Cut at the front to 19 columns, keeping the stage and percentage.
    EXPECT_EQ(err.str(), "...it: Removing 50%\n");
    err.str("");
    board.SetLine(1, "b: Reading.");
    // The one line drawn is erased, then both are drawn again.
    EXPECT_EQ(err.str(), "\r\033[1A\033[J...it: Removing 50%\nb: Reading.\n");
    err.str("");
    board.Print("a: done");
    EXPECT_EQ(err.str(), "\r\033[2A\033[Ja: done\n...it: Removing 50%\nb: Reading.\n");
    err.str("");
    board.Finish();
    EXPECT_EQ(err.str(), "\r\033[2A\033[J");

    std::ostringstream plain;
    CProgressBoard quiet(plain, false, 1, 20);
    quiet.SetLine(0, "x: 10%");
    quiet.Print("x: Failed to read header.");
    quiet.Finish();
    EXPECT_EQ(plain.str(), "x: Failed to read header.\n");
}
