#include "runtime/FileSynchronizer.h"
#include "tests/support/TestData.h"

#include <gtest/gtest.h>
#include <string>

using Demo::FileSynchronizer;
using Demo::ParseSyncLine;
using TestSupport::TestData;

namespace {

const char* const header = "Track: bass\nFormat: label start end\n\n--\n";

FileSynchronizer Loaded(TestData& data, const std::string& body, int id = 1)
{
    data.WriteText("data/bass.txt", body);
    FileSynchronizer channel(id, "data/bass.txt");
    channel.Load();
    return channel;
}

} // namespace

TEST(SyncLine, ReadsSecondAndThirdTokens)
{
    char line[] = "1 00:00:01.250 00:00:01.300\n";
    const Demo::SyncMark mark = ParseSyncLine(line);
    EXPECT_EQ(mark.start, 1250u);
    EXPECT_EQ(mark.end, 1300u);
    EXPECT_FALSE(mark.fired);

    char wide[] = "   x    01:02:03.004   00:75:00.000 extra tokens\r\n";
    const Demo::SyncMark wideMark = ParseSyncLine(wide);
    EXPECT_EQ(wideMark.start, ((1u * 60 + 2) * 60 + 3) * 1000 + 4);
    EXPECT_EQ(wideMark.end, 75u * 60 * 1000); // no range limit on minutes
}

TEST(SyncLine, MissingTokensLeaveZero)
{
    char blank[] = "\n";
    EXPECT_EQ(ParseSyncLine(blank).start, 0u);
    char spaces[] = "      ";
    EXPECT_EQ(ParseSyncLine(spaces).start, 0u);
    char labelOnly[] = "7\n";
    EXPECT_EQ(ParseSyncLine(labelOnly).start, 0u);
    char oneTime[] = "7 00:00:02.000\n";
    const Demo::SyncMark mark = ParseSyncLine(oneTime);
    EXPECT_EQ(mark.start, 2000u);
    EXPECT_EQ(mark.end, 0u);
}

TEST(SyncLine, ShortOrTabbedTokensNeverReadPastTheLine)
{
    char shortToken[] = "1 00:01";
    EXPECT_EQ(ParseSyncLine(shortToken).start, 0u);
    char tab[] = "1\t00:00:01.250";
    EXPECT_EQ(ParseSyncLine(tab).start, 0u); // a tab is part of the label
    char garbage[] = "\x01\xff\xfe \x80\x81\x82\x83\x84\x85\x86\x87\x88\x89\x8a\x8b";
    ParseSyncLine(garbage); // any number will do; it must not crash
}

TEST(SyncFile, ExampleFilePolledInOrder)
{
    TestData data;
    FileSynchronizer channel = Loaded(data, std::string(header) +
                                                "1 00:00:01.250 00:00:01.300\n"
                                                "2 00:00:01.730 00:00:01.780\n"
                                                "3 00:01:05.000 00:01:05.050\n");
    ASSERT_EQ(channel.marks.size(), 3u);
    EXPECT_EQ(channel.marks[0].start, 1250u);
    EXPECT_EQ(channel.marks[1].start, 1730u);
    EXPECT_EQ(channel.marks[2].start, 65000u);
    EXPECT_EQ(channel.Poll(1000), 0);
    EXPECT_EQ(channel.Poll(1250), 1);
    EXPECT_EQ(channel.Poll(1250), 0);
    EXPECT_EQ(channel.Poll(2000), 1);
    EXPECT_EQ(channel.Poll(70000), 1);
    EXPECT_EQ(channel.Poll(90000), 0);
}

TEST(SyncFile, HeaderIsSkippedWhateverItHolds)
{
    TestData data;
    FileSynchronizer channel = Loaded(data, "1 00:00:01.000 x\n2 00:00:02.000 x\n3 00:00:03.000 x\n"
                                            "4 00:00:04.000 x\n5 00:00:05.000 x\n");
    ASSERT_EQ(channel.marks.size(), 1u);
    EXPECT_EQ(channel.marks[0].start, 5000u);
}

TEST(SyncFile, FewerThanFiveLinesGiveNoMarks)
{
    TestData data;
    EXPECT_TRUE(Loaded(data, "").marks.empty());
    EXPECT_TRUE(Loaded(data, "a\nb\n").marks.empty());
    FileSynchronizer channel = Loaded(data, header);
    EXPECT_TRUE(channel.marks.empty());
    EXPECT_EQ(channel.Poll(1000000), 0);
}

TEST(SyncFile, BlankLinesAndFinalLineWithoutNewlineAreMarks)
{
    TestData data;
    FileSynchronizer channel = Loaded(data, std::string(header) + "1 00:00:05.000 x\n\n   \n2 00:00:09.000");
    ASSERT_EQ(channel.marks.size(), 4u);
    EXPECT_EQ(channel.marks[3].start, 9000u);
    // The blank marks (start 0) are due as soon as the mark before them has fired.
    EXPECT_EQ(channel.Poll(100), 0);
    EXPECT_EQ(channel.Poll(5000), 1);
    EXPECT_EQ(channel.Poll(5001), 1);
    EXPECT_EQ(channel.Poll(5002), 1);
    EXPECT_EQ(channel.Poll(5003), 0);
}

TEST(SyncFile, EqualAndOutOfOrderMarksFireOnePerPollInFileOrder)
{
    TestData data;
    FileSynchronizer channel = Loaded(data, std::string(header) + "1 00:00:02.000 x\n2 00:00:02.000 x\n"
                                                                   "3 00:00:04.000 x\n4 00:00:03.000 x\n");
    EXPECT_EQ(channel.Poll(2000), 1);
    EXPECT_EQ(channel.Poll(2000), 1); // the equal mark comes one poll later
    EXPECT_EQ(channel.Poll(3500), 0); // 3000 waits behind 4000
    EXPECT_EQ(channel.Poll(4000), 1);
    EXPECT_EQ(channel.Poll(4000), 1); // and is then due at once
    EXPECT_EQ(channel.Poll(4000), 0);
}

// A clock that jumps ahead between polls finds the marks it passed overdue.
TEST(SyncFile, OverdueMarksComeOutOnePerPoll)
{
    TestData data;
    FileSynchronizer channel = Loaded(data, std::string(header) + "1 00:00:01.000 x\n2 00:00:02.000 x\n"
                                                                   "3 00:00:03.000 x\n4 00:01:00.000 x\n",
                                      2);
    int reported = 0;
    for (int frame = 0; frame < 10; ++frame)
        reported += channel.Poll(30000) == 2 ? 1 : 0;
    EXPECT_EQ(reported, 3);
}

// A start drops the marks before it in the order polls report them, so a
// line timed before the start but written after a later one stays, as in
// continuous play.
TEST(SyncFile, SkipBeforeDropsEarlierMarksInFileOrder)
{
    TestData data;
    FileSynchronizer channel = Loaded(data, std::string(header) + "1 00:00:01.000 x\n2 00:00:02.000 x\n"
                                                                   "3 00:00:05.000 x\n4 00:00:03.000 x\n");
    channel.SkipBefore(4000);
    EXPECT_EQ(channel.Poll(4000), 0);
    EXPECT_EQ(channel.Poll(5000), 1);
    EXPECT_EQ(channel.Poll(5000), 1); // 3000, behind 5000
    EXPECT_EQ(channel.Poll(5000), 0);
}

TEST(SyncFile, LongLinesAreReadInPiecesWithinTheBuffer)
{
    TestData data;
    // 600 characters: the first 511 are one line, the rest another.
    std::string longLine = "1 00:00:01.000 00:00:01.100 " + std::string(572, 'x') + "\n";
    FileSynchronizer channel = Loaded(data, std::string(header) + longLine + "2 00:00:02.000 x\n");
    ASSERT_EQ(channel.marks.size(), 3u);
    EXPECT_EQ(channel.marks[0].start, 1000u);
    EXPECT_EQ(channel.marks[1].start, 0u);
    EXPECT_EQ(channel.marks[2].start, 2000u);
}

TEST(SyncFile, BinaryGarbageLoadsWithoutCrashing)
{
    TestData data;
    std::string garbage(header);
    for (int i = 0; i < 20000; ++i)
        garbage += static_cast<char>((i * 7919) & 0xff);
    FileSynchronizer channel = Loaded(data, garbage);
    EXPECT_FALSE(channel.marks.empty());
    for (int i = 0; i < 100; ++i)
        channel.Poll(i * 1000);
}

TEST(SyncFile, MissingFileNamesThePath)
{
    TestData data;
    FileSynchronizer channel(1, "data/bass.txt");
    try {
        channel.Load();
        FAIL() << "no exception";
    } catch (const std::exception& error) {
        EXPECT_STREQ(error.what(), "Unable to read synchronization file:data/bass.txt");
    }
}
