#include <gtest/gtest.h>

#include <sstream>

#include "CArgParser.h"
#include "CJsonLine.h"
#include "CProgressBoard.h"

TEST(CliParts, JsonQuotingEscapesWhatJsonForbids)
{
    // Stray, overlong and surrogate sequences are not UTF-8.
    for (const auto& [text, quoted] : std::initializer_list<std::pair<std::string, std::string>>{
             {"plain", "plain"}, {"a\"b\\c", "a\\\"b\\\\c"}, {std::string("\n\x1f", 2), "\\u000a\\u001f"},
             {"\xc3\xa9\xe2\x82\xac\xf0\x9f\x8c\x8c", "\xc3\xa9\xe2\x82\xac\xf0\x9f\x8c\x8c"}, {"\x80", "\\ufffd"},
             {"\xc0\xaf", "\\ufffd\\ufffd"}, {"\xe0\x80\xaf", "\\ufffd\\ufffd\\ufffd"},
             {"\xed\xa0\x80", "\\ufffd\\ufffd\\ufffd"}, {"\xe2\x82", "\\ufffd\\ufffd"}})
        EXPECT_EQ(CJsonLine::Quote(text), "\"" + quoted + "\"") << quoted;
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
