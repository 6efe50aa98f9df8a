#include <gtest/gtest.h>

#include <sstream>

#include "CArgParser.h"
#include "CProgressBoard.h"

TEST(CliParts, ArgumentsInEveryAcceptedSpelling)
{
    CArgParser parser({{"output", 'o', true}, {"jobs", 'j', true}, {"quiet", 'q', false}});
    ASSERT_TRUE(parser.Parse({"-j4", "a", "--output=x=y", "-o", "-", "--jobs", "2", "-q", "--", "--quiet", "-"}));
    EXPECT_EQ(parser.m_options, (std::vector<std::pair<std::string, std::string>>{
                                    {"jobs", "4"}, {"output", "x=y"}, {"output", "-"}, {"jobs", "2"}, {"quiet", ""}}));
    EXPECT_EQ(parser.m_operands, (std::vector<std::string>{"a", "--quiet", "-"}));
    CArgParser bundled({{"quiet", 'q', false}});
    EXPECT_FALSE(bundled.Parse({"-qq"}));
    EXPECT_EQ(bundled.m_error, "option '-q' takes no value");
}

TEST(CliParts, ProgressLinesFitTheTerminalAndRedrawInPlace)
{
    std::ostringstream err, plain;
    CProgressBoard board(err, true, 2, 20), quiet(plain, false, 1, 20);
    // Lines cut at the front to 19 columns; what was drawn is erased, then
    // drawn again below what is printed.
    board.SetLine(0, "/a/long/path/frame.fit: Removing 50%");
    board.SetLine(1, "b: Reading.");
    board.Print("a: done");
    board.Finish();
    EXPECT_EQ(err.str(), "...it: Removing 50%\n\r\033[1A\033[J...it: Removing 50%\nb: Reading.\n"
                         "\r\033[2A\033[Ja: done\n...it: Removing 50%\nb: Reading.\n\r\033[2A\033[J");
    // Without a terminal only what is printed shows.
    quiet.SetLine(0, "x: 10%");
    quiet.Print("x: Failed to read header.");
    quiet.Finish();
    EXPECT_EQ(plain.str(), "x: Failed to read header.\n");
}
