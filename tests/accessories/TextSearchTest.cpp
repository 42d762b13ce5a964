#include "accessories/TextSearch.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

namespace zp {
namespace {

struct SearchCase {
    const char* label;
    const char* text;
    qsizetype selectionStart;
    const char* find;
    bool matchCase;
    bool down;
    bool firstTime;
    qsizetype lastPosition;
    qsizetype expected; // -1: not found
};

TEST(TextSearchTest, searchText_followsCaseDirectionAndRepeatRules)
{
    const SearchCase cases[] = {
        {"down from the caret", "one two one two", 0, "two", false, true, true, 0, 4},
        {"down finds a match at the caret", "one two", 4, "two", false, true, true, 0, 4},
        {"a repeated search moves past the last match", "one two one two", 4, "two", false, true, false, 4, 12},
        {"not repeated when the caret moved since", "one two one two", 4, "two", false, true, false, 9, 4},
        {"first search ignores the last position", "one two one two", 4, "two", false, true, true, 4, 4},
        {"down past the last match finds nothing", "one two", 5, "two", false, true, false, 0, -1},
        {"case ignored without match case", "Alpha ALPHA", 1, "alpha", false, true, true, 0, 6},
        {"match case compares exactly", "Alpha ALPHA alpha", 0, "alpha", true, true, true, 0, 12},
        {"up finds the last match before the caret", "ab ab ab", 7, "ab", false, false, true, 0, 6},
        {"up counts a match just before the caret", "xab", 3, "b", false, false, true, 0, 2},
        {"a repeated search up passes the current match", "ab ab ab", 6, "ab", false, false, false, 6, 3},
        {"up from the start of the text finds nothing", "abc abc", 0, "abc", false, false, true, 0, -1},
        {"up honours match case", "Key key KEY", 11, "key", true, false, true, 0, 4},
        {"an empty text to find finds nothing", "abc", 0, "", false, true, true, 0, -1},
        {"a caret beyond the end is taken as the end", "abc", 99, "c", false, false, true, 0, 2},
        {"finding in an empty text", "", 0, "a", false, true, true, 0, -1},
    };
    for (const SearchCase& c : cases) {
        FindSettings s;
        s.text = QString::fromUtf8(c.find);
        s.matchCase = c.matchCase;
        s.down = c.down;
        s.firstTime = c.firstTime;
        s.lastPosition = c.lastPosition;
        const std::optional<qsizetype> got = searchText(QString::fromUtf8(c.text), c.selectionStart, s);
        EXPECT_EQ(got.value_or(-1), c.expected) << c.label;
        EXPECT_FALSE(s.firstTime) << c.label;
        const qsizetype selection = std::min<qsizetype>(c.selectionStart, qsizetype(qstrlen(c.text)));
        EXPECT_EQ(s.lastPosition, c.expected >= 0 ? c.expected : selection) << c.label;
    }
}

TEST(TextSearchTest, findNextWalksThroughEveryMatchThenReportsNone)
{
    const QString text = QStringLiteral("a-b-a-b-a");
    FindSettings s;
    s.text = QStringLiteral("A");
    qsizetype caret = 0;
    std::vector<qsizetype> found;
    while (const std::optional<qsizetype> at = searchText(text, caret, s)) {
        found.push_back(*at);
        caret = *at;
    }
    EXPECT_EQ(found, (std::vector<qsizetype>{0, 4, 8}));
    EXPECT_EQ(cannotFindMessage(s.text), QStringLiteral("Cannot find \"A\""));
}

TEST(TextSearchTest, deletionSpan_widensAnEmptySelectionOverALineBreak)
{
    struct Case {
        const char* label;
        const char* text;
        qsizetype start;
        qsizetype length;
        TextSpan expected;
    } cases[] = {
        {"one character after the caret", "abc", 1, 0, {1, 1}},
        {"a line feed alone", "ab\ncd", 2, 0, {2, 1}},
        {"carriage return and line feed together", "ab\r\ncd", 2, 0, {2, 2}},
        {"a lone carriage return", "ab\rcd", 2, 0, {2, 1}},
        {"a carriage return at the end", "ab\r", 2, 0, {2, 1}},
        {"nothing at the very end", "abc", 3, 0, {3, 0}},
        {"a selection goes as it is", "ab\r\ncd", 1, 2, {1, 2}},
        {"a selection is cut at the end", "abc", 1, 10, {1, 2}},
        {"the caret beyond the end", "abc", 7, 0, {3, 0}},
        {"an empty text", "", 0, 0, {0, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(deletionSpan(QString::fromUtf8(c.text), c.start, c.length), c.expected) << c.label;
}

} // namespace
} // namespace zp
