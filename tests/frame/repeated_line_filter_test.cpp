#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/RepeatedLineFilter.h"

namespace {

struct Written {
    std::vector<std::string> lines;
    RepeatedLineFilter filter{[this](const std::string& line) { lines.push_back(line); }};
};

TEST(RepeatedLineFilter, run_of_identical_lines_becomes_the_line_and_its_count)
{
    Written out;
    for (int i = 0; i < 100000; ++i)
        out.filter.Write("lantern: cannot write save99.dat: No space left on device");
    EXPECT_EQ(out.lines.size(), 1u) << "a repeat is counted, not written";
    out.filter.Write("lantern: cannot write user.ini: No space left on device");
    ASSERT_EQ(out.lines.size(), 3u) << "another line ends the run: its count, then the new line";
    EXPECT_EQ(out.lines[1], "lantern: cannot write save99.dat: No space left on device (repeated 99999 times)");
    EXPECT_EQ(out.lines[2], "lantern: cannot write user.ini: No space left on device");
}

TEST(RepeatedLineFilter, flush_writes_a_pending_count_once_and_a_single_line_gets_none)
{
    Written out;
    out.filter.Write("a");
    out.filter.Flush();
    EXPECT_EQ(out.lines, (std::vector<std::string>{"a"})) << "a line met once has no count";
    out.filter.Write("a");
    EXPECT_EQ(out.lines.size(), 2u) << "after a flush the same line is written again";
    out.filter.Write("a");
    out.filter.Flush();
    out.filter.Flush();
    EXPECT_EQ(out.lines, (std::vector<std::string>{"a", "a", "a (repeated 1 time)"}))
        << "the count is written once, at the first flush";
}

TEST(RepeatedLineFilter, only_consecutive_repeats_fold_and_destruction_flushes)
{
    std::vector<std::string> lines;
    {
        RepeatedLineFilter filter([&lines](const std::string& line) { lines.push_back(line); });
        filter.Write("a");
        filter.Write("b");
        filter.Write("a");
        filter.Write("a");
        filter.Write("");
        filter.Write("");
    }
    EXPECT_EQ(lines, (std::vector<std::string>{"a", "b", "a", "a (repeated 1 time)", "", " (repeated 1 time)"}))
        << "lines that alternate are all kept; the pending run is written at the end";
}

}  // namespace
