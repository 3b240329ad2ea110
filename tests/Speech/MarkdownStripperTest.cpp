#include "Speech/MarkdownStripper.h"

#include "Common/QtPrinters.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

struct StripCase {
    const char* name;
    QString input;
    QString spoken;
};

void PrintTo(const StripCase& c, std::ostream* out)
{
    *out << c.name;
}

class MarkdownStripperCases : public testing::TestWithParam<StripCase> {};

TEST_P(MarkdownStripperCases, LeavesOnlyWhatIsSpoken)
{
    EXPECT_EQ(MarkdownStripper::strip(GetParam().input), GetParam().spoken);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MarkdownStripperCases,
    testing::Values(StripCase{"BoldThenInlineCode", "**Note:** use `ls -la` now", "Note: use ls -la now"},
                    StripCase{"LinkKeepsItsText", "See [the guide](guide.md) first.", "See the guide first."},
                    StripCase{"ImageKeepsItsMark", "![alt](pic.png)", "!alt"},
                    StripCase{"Heading", "## Summary", "Summary"},
                    StripCase{"SevenHashesAreNoHeading", "####### x", "####### x"},
                    StripCase{"Quote", "> quoted", "quoted"}, StripCase{"Bullet", "- item", "item"},
                    StripCase{"NumberedItem", "12. item", "item"},
                    StripCase{"RuleLeavesLinesApart", "above\n---\nbelow", "above\n\nbelow"},
                    StripCase{"UnderscoreEmphasis", "a _b_ c", "a b c"},
                    StripCase{"UnderscoresInsideWords", "snake_case_name", "snake_case_name"},
                    StripCase{"AsterisksBetweenDigits", "2*3*4", "2*3*4"}, StripCase{"DunderName", "__init__", "init"},
                    StripCase{"TableRow", "| a | b |", "a b"}, StripCase{"TableSeparatorRow", "|---|:---:|", ""},
                    // Bars become spaces that stay next to the line breaks; the chunker sends rows one by one.
                    StripCase{"TableWithSeparator", "| a | b |\n|---|---|\n| 1 | 2 |", "a b \n\n 1 2"},
                    StripCase{"OpeningFenceAloneStays", "Here is code: ```python", "Here is code: ```python"},
                    StripCase{"ClosedFenceGoes", "Run ```\nmake all\n``` then test", "Run then test"},
                    StripCase{"TwoFencesStayTwoMatches", "a ```x``` b ```y``` c", "a b c"},
                    StripCase{"EmphasisSpansALineBreak", "*a\nb*", "a\nb"},
                    StripCase{"BoldDoesNotSpanALineBreak", "**a\nb**", "*a\nb*"}, StripCase{"EmptyText", "", ""},
                    StripCase{"OnlyWhiteSpace", " \t\n ", ""},
                    StripCase{"SpacesCollapseLineBreaksStay", "a \t  b\n\nc", "a b\n\nc"},
                    // Hangul is a word character: markers glued to it are not emphasis.
                    StripCase{"HangulAroundUnderscores", "변수_이름_값", "변수_이름_값"},
                    StripCase{"HangulAroundAsterisks", "가*나*다", "가*나*다"},
                    StripCase{"HangulEmphasis", "정말 *중요한* 일", "정말 중요한 일"},
                    StripCase{"NoMarkup", "  Plain sentence.  ", "Plain sentence."}),
    [](const testing::TestParamInfo<StripCase>& param) { return param.param.name; });

TEST(MarkdownStripper, CarriageReturnEndsALineForLineStartMarks)
{
    EXPECT_EQ(MarkdownStripper::strip(QStringLiteral("intro\r\n## Title\r\n- item")),
              QStringLiteral("intro\r\nTitle\r\nitem"));
}

}  // namespace
